#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// One label of the label file: code,reference,description,note,copies.
struct BatchLabel {
    QString code;
    std::optional<QString> reference; // none: the file says "NONE"
    QString description;
    std::optional<QString> note; // none: the file says "NONE"
    qint16 copies = 1;
};

// The batch's label file, labels.txt in the data folder, written by another
// program: one label a line, its fields split at every comma and taken as
// they stand (no quoting, no trimming). A line whose first four characters
// are "NONE" (a shorter line compared whole) is skipped; "NONE" as the whole
// reference or note leaves it out.
namespace LabelFile {

// labels.txt in the data folder.
QString path();

// A line of the file that is no skip line.
struct Record {
    qsizetype line = 0; // 1 for the file's first line
    QStringList fields; // none for an empty line
};

// The file's records in file order, skip lines left out. Throws Failure
// naming the file, with the system's reason, when it cannot be read, and
// when it holds no line at all.
QList<Record> read(const QString &filePath);

// The label a record describes. Throws Failure (without the file and line,
// which the caller knows) when the record is no label: fewer than five
// fields, or copies outside the 16-bit range. Fields after the fifth are
// ignored.
BatchLabel labelOf(const Record &record);

} // namespace LabelFile
