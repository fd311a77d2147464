#include "LabelFile.h"

#include "DataFolder.h"
#include "Failure.h"
#include "NumberText.h"

#include <QDir>

namespace LabelFile {

namespace {

// The marker of a skip line, and of a reference or note left out.
const QString kNone = QStringLiteral("NONE");
constexpr int kFieldsNeeded = 5;

bool isSkipLine(const QString &line)
{
    return line.left(4) == kNone;
}

std::optional<QString> unlessNone(const QString &field)
{
    return field == kNone ? std::nullopt : std::optional(field);
}

// The leading number of the field, as the platform's lenient conversion reads it.
qint16 copiesOf(const QString &field)
{
    const std::optional<qint16> copies = NumberText::lenientInt16(field);
    if (!copies)
        throw Failure(QStringLiteral("copies \"%1\" is outside -32768 to 32767").arg(field));
    return *copies;
}

} // namespace

QString path()
{
    return DataFolder::file(QStringLiteral("labels.txt"));
}

QList<Record> read(const QString &filePath)
{
    const QStringList lines = DataFolder::readLines(filePath);
    if (lines.isEmpty()) {
        throw Failure(QStringLiteral("the file is empty, there are no labels to print"))
            .inFile(QDir::toNativeSeparators(filePath));
    }
    QList<Record> records;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        if (!isSkipLine(line))
            records.append({i + 1, line.isEmpty() ? QStringList{} : line.split(QLatin1Char(','))});
    }
    return records;
}

BatchLabel labelOf(const Record &record)
{
    const QStringList &fields = record.fields;
    if (fields.size() < kFieldsNeeded) {
        throw Failure(fields.isEmpty() ? QStringLiteral("empty line, at least %1 fields needed").arg(kFieldsNeeded)
                                       : QStringLiteral("%1 field%2, at least %3 needed")
                                             .arg(fields.size())
                                             .arg(fields.size() == 1 ? "" : "s")
                                             .arg(kFieldsNeeded));
    }
    return {fields[0], unlessNone(fields[1]), fields[2], unlessNone(fields[3]), copiesOf(fields[4])};
}

} // namespace LabelFile
