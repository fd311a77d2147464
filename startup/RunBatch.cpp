#include "RunBatch.h"

#include "BatchLayouts.h"
#include "Code39Glyphs.h"
#include "DataFolder.h"
#include "Failure.h"

#include <QDir>

namespace {

// A line whose first four characters are "NONE" (a shorter line compared
// whole) prints nothing at all.
bool isSkipLine(const QString &line)
{
    return line.left(4) == QStringLiteral("NONE");
}

} // namespace

QString LabelFilePath()
{
    return DataFolder::file(QStringLiteral("labels.txt"));
}

void RunBatch(const QString &word, const std::function<void(const QString &)> &warn)
{
    // Reports name the file as the system writes paths (C:\TagFoundry\labels.txt on Windows).
    const QString path = QDir::toNativeSeparators(LabelFilePath());
    QString error;
    const std::optional<QStringList> lines = DataFolder::readLines(LabelFilePath(), &error);
    if (!lines)
        throw Failure(QStringLiteral("%1: %2").arg(path, error));
    if (lines->isEmpty())
        throw Failure(QStringLiteral("%1: the file is empty, there are no labels to print").arg(path));

    for (qsizetype i = 0; i < lines->size(); ++i) {
        const QString &line = lines->at(i);
        if (isSkipLine(line))
            continue;
        const QStringList fields = line.isEmpty() ? QStringList{} : line.split(QLatin1Char(','));
        try {
            PrintBatchRecord(fields, word);
        } catch (const Failure &failure) {
            throw Failure(QStringLiteral("%1 line %2: %3").arg(path).arg(i + 1).arg(failure.message()));
        }
        if (const QString missing = Code39Glyphs::undrawable(fields[0]); !missing.isEmpty() && warn) {
            warn(escapeControlCharacters(
                QStringLiteral("%1 line %2: warning: the code \"%3\" has characters Code 39 cannot encode (\"%4\"); "
                               "its barcode was printed but will not scan")
                    .arg(path).arg(i + 1).arg(fields[0], missing)));
        }
    }
}
