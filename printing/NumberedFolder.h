#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// A folder of numbered files that several processes write into at once, and
// that a reader may look into at any moment: each file appears whole under
// its final name, or not at all.
//
// - Numbers are claimed under a lock on the folder's counter file
//   (".last-number"), so every file gets its own number, in claim order,
//   and a number is never handed out twice, even after its file is deleted.
//   The first claim of a process also looks at the names present, so the
//   count continues after the highest number in the folder.
// - A file is written to a temporary name in the same folder (".writing-...",
//   never ending in the final suffix), flushed to disk, then linked to its
//   numbered name in one step that never replaces a file; on any failure the
//   temporary file is removed. Temporary files whose writer has gone (a
//   killed run) are removed by the next process that claims a number.
//
// Every failure throws Failure with the path and the system's reason.
class NumberedFolder {
public:
    explicit NumberedFolder(QString folder) : m_folder(std::move(folder)) {}

    // Claims the next number, writes `contents` to a temporary file and gives
    // it the name `nameFor(number)`. Returns the final path.
    QString add(const std::function<QString(qint64 number)> &nameFor, const QByteArray &contents);

    // The number in front of a file name ("00000042 ..." gives 42), or 0.
    static qint64 leadingNumber(const QString &fileName);

private:
    qint64 claim(bool rescan);

    QString m_folder;
    bool m_scanned = false;
};
