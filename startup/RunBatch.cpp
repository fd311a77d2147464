#include "RunBatch.h"

#include "BatchLayouts.h"
#include "Code39Glyphs.h"
#include "DataFolder.h"
#include "Failure.h"
#include "PendingLabels.h"
#include "Printer.h"

#include <QDir>

namespace {

// A line whose first four characters are "NONE" (a shorter line compared
// whole) prints nothing at all.
bool isSkipLine(const QString &line)
{
    return line.left(4) == QStringLiteral("NONE");
}

// What a label whose code Code 39 cannot encode says once it is printed, or
// nothing.
QString code39Warning(const QString &path, qsizetype line, const QStringList &fields)
{
    const QString missing = fields.isEmpty() ? QString() : Code39Glyphs::undrawable(fields[0]);
    if (missing.isEmpty())
        return {};
    return escapeControlCharacters(
        QStringLiteral("%1 line %2: warning: the code \"%3\" has characters Code 39 cannot encode (\"%4\"); "
                       "its barcode was printed but will not scan")
            .arg(path)
            .arg(line)
            .arg(fields[0], missing));
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

    // Each label is handed to the printer as soon as it is drawn; the
    // printer may still be finishing it while the next one is drawn.
    PendingLabels labels(Printer::current().entry().spooler, path, warn);
    for (qsizetype i = 0; i < lines->size(); ++i) {
        const QString &line = lines->at(i);
        if (isSkipLine(line))
            continue;
        const QStringList fields = line.isEmpty() ? QStringList{} : line.split(QLatin1Char(','));
        labels.print(
            i + 1, [&] { PrintBatchRecord(fields, word); }, code39Warning(path, i + 1, fields));
    }
    labels.finish();
}
