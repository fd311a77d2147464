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

QString inches(double twips)
{
    return QString::number(twips / kTwipsPerInch, 'f', 2);
}

// What a printed label says once it is printed: a code Code 39 cannot
// encode, a barcode without the room to scan off a thermal printer.
QStringList warningsOf(const QString &path, qsizetype line, const QString &code,
                       const QList<BarcodeShortfall> &shortfalls)
{
    const QString where = QStringLiteral("%1 line %2: warning: ").arg(path).arg(line);
    QStringList warnings;
    if (const QString missing = Code39Glyphs::undrawable(code); !missing.isEmpty()) {
        warnings << where
                        + QStringLiteral("the code \"%1\" has characters Code 39 cannot encode (\"%2\"); "
                                         "its barcode was printed but will not scan")
                              .arg(code, missing);
    }
    for (const BarcodeShortfall &shortfall : shortfalls) {
        warnings << where
                        + QStringLiteral("the barcode of \"%1\" needs %2 in from its start to scan when a %3 dpi "
                                         "printer's dots spread or thin, but has %4 in up to %5; it was printed "
                                         "narrower and may not scan")
                              .arg(code, inches(shortfall.needed))
                              .arg(shortfall.dpi)
                              .arg(inches(shortfall.room), shortfall.limit);
    }
    for (QString &warning : warnings)
        warning = escapeControlCharacters(warning);
    return warnings;
}

} // namespace

QString LabelFilePath()
{
    return DataFolder::file(QStringLiteral("labels.txt"));
}

void RunBatch(Printer &printer, const QString &word, const std::function<void(const QString &)> &warn)
{
    // Reports name the file as the system writes paths (C:\TagFoundry\labels.txt on Windows).
    const QString path = QDir::toNativeSeparators(LabelFilePath());
    const QStringList lines = DataFolder::readLines(LabelFilePath());
    if (lines.isEmpty())
        throw Failure(QStringLiteral("the file is empty, there are no labels to print")).inFile(path);

    // Each label is handed to the printer as soon as it is drawn; the
    // printer may still be finishing it while the next one is drawn.
    PendingLabels labels(printer.entry().spooler, path, warn);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        if (isSkipLine(line))
            continue;
        const QStringList fields = line.isEmpty() ? QStringList{} : line.split(QLatin1Char(','));
        labels.print(i + 1, [&] {
            PrintBatchRecord(printer, fields, word);
            return warningsOf(path, i + 1, fields[0], printer.lastJobShortfalls());
        });
    }
    labels.finish();
}
