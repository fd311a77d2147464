#include "RunBatch.h"

#include "BatchLayouts.h"
#include "Code39Glyphs.h"
#include "DataFolder.h"
#include "Failure.h"
#include "Printer.h"

#include <QDir>

namespace {

QString inches(double twips)
{
    return QString::number(twips / kTwipsPerInch, 'f', 2);
}

// A barcode that was printed without the room to scan off a thermal printer.
QString shortfallWarning(const QString &code, const BarcodeShortfall &shortfall)
{
    return QStringLiteral(
               "warning: the barcode of \"%1\" needs %2 in from its start to scan when a %3 dpi printer's dots "
               "spread or thin, but has %4 in up to %5; it was printed narrower and may not scan")
        .arg(code, inches(shortfall.needed))
        .arg(shortfall.dpi)
        .arg(inches(shortfall.room), shortfall.limit);
}

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
        if (!warn)
            continue;
        const QString where = QStringLiteral("%1 line %2: ").arg(path).arg(i + 1);
        if (const QString missing = Code39Glyphs::undrawable(fields[0]); !missing.isEmpty()) {
            warn(escapeControlCharacters(
                where
                + QStringLiteral("warning: the code \"%1\" has characters Code 39 cannot encode (\"%2\"); "
                                 "its barcode was printed but will not scan")
                      .arg(fields[0], missing)));
        }
        for (const BarcodeShortfall &shortfall : Printer::current().lastJobShortfalls())
            warn(escapeControlCharacters(where + shortfallWarning(fields[0], shortfall)));
    }
}
