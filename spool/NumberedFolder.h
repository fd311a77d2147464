#pragma once

#include "Failure.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace FolderFiles {
class TemporaryFile;
}

// A folder of numbered files that several processes write into at once, and
// that a reader may look into at any moment: each file appears whole under
// its final name, or not at all, across a kill and across a power cut.
//
// - Files are added a group at a time, so the disk waits once a group and
//   not once a file: each is written to a file that has no name yet (where
//   the system cannot make one, a temporary file in the subfolder
//   ".writing"), all of them are flushed to disk, then each is linked to its
//   numbered name in order (a step that never replaces a file), then the
//   folder's names are flushed. A file's contents are on the disk before its
//   name appears; a group is added once its names are on the disk too.
// - Numbers are claimed as the files are linked, under a lock on the folder's
//   counter file (".last-number"): every file gets its own number, each
//   process's files in the order it added them, and a number is never handed
//   out twice, even after its file is deleted. A run killed before linking
//   has claimed nothing.
// - The counter keeps the folder's change stamp from when it was written.
//   The names in the folder are read (a piece at a time) only when the
//   counter is missing or unreadable, or when the folder changed since: a
//   file put there by hand, or a run killed while linking. The count then
//   continues after the highest number present.
// - A killed run leaves no file without a name behind; temporary files in
//   ".writing" whose writer has gone are removed by the next process that
//   adds files.
class NumberedFolder {
public:
    // A file's name from its number and its label, e.g. "00000042 TagFoundry BIN A-1.pdf".
    using Namer = std::function<QString(qint64 number, const QString &label)>;

    struct File {
        QString label;
        QByteArray contents;
    };

    // How far add() got: the first `added` files are whole on the disk under
    // their names; `failure`, when set, says why the next one is not (nor any
    // after it), naming its path (or the folder, when the folder's names
    // could not be made durable) with the system's reason.
    struct Outcome {
        qsizetype added = 0;
        std::optional<Failure> failure;
        QStringList paths; // of the files added, in order
    };

    NumberedFolder(QString folder, Namer nameFor);

    // Adds the files in order, each under the next free number.
    Outcome add(const QList<File> &files);

private:
    struct Written;

    Written write(const QList<File> &files) const;
    Outcome nameInOrder(const QList<File> &files, Written &written);
    qint64 place(FolderFiles::TemporaryFile &file, const QString &label, qint64 last);
    qint64 highestPresent();
    void removeAbandonedTemporaries();

    QString m_folder;
    QString m_writing;
    QString m_counter;
    Namer m_nameFor;
    bool m_scanned = false;
    bool m_cleaned = false;
};
