#pragma once

#include <QString>
#include <QStringList>

// The fixed data folder that holds labels.txt and parts.txt:
// C:\TagFoundry\ on Windows, ~/TagFoundry/ elsewhere.
namespace DataFolder {

QString path(); // one per system: PlatformPosix.cpp, PlatformWindows.cpp
QString file(const QString &name);

// The lines of a text file written by another program. Lines end in CR LF,
// LF alone or CR alone, and the last line's terminator makes no further empty
// line. The text is UTF-16 when it starts with a UTF-16 byte-order mark,
// UTF-8 when it is valid UTF-8, otherwise Windows-1252.
// Throws Failure naming the file, with the system's reason, when it cannot
// be read.
QStringList readLines(const QString &filePath);

// The decoding and splitting of readLines, on bytes already read.
QStringList splitLines(const QByteArray &bytes);

} // namespace DataFolder
