#include "RunBatch.h"

#include "BatchLayouts.h"
#include "Failure.h"
#include "LabelFile.h"
#include "PendingLabels.h"
#include "Printer.h"

#include <QDir>

namespace {

QString inches(double twips)
{
    return QString::number(twips / kTwipsPerInch, 'f', 2);
}

// What a printed label says once it is printed: a code Code 39 cannot
// encode, a barcode without the room to scan off a thermal printer.
QStringList warningsOf(const QString &path, qsizetype line, const QString &code, const LabelReceipt &receipt)
{
    const QString where = QStringLiteral("%1 line %2: warning: ").arg(path).arg(line);
    QStringList warnings;
    for (const BarcodeShortfall &shortfall : receipt.shortfalls) {
        if (!shortfall.unencodable.isEmpty()) {
            warnings << where
                            + QStringLiteral("the code \"%1\" has characters Code 39 cannot encode (\"%2\"); "
                                             "its barcode was printed but will not scan")
                                  .arg(code, shortfall.unencodable);
        }
    }
    for (const BarcodeShortfall &shortfall : receipt.shortfalls) {
        if (shortfall.narrower) {
            warnings << where
                            + QStringLiteral("the barcode of \"%1\" needs %2 in from its start to scan when a %3 dpi "
                                             "printer's dots spread or thin, but has %4 in up to %5; it was printed "
                                             "narrower and may not scan")
                                  .arg(code, inches(shortfall.needed))
                                  .arg(shortfall.dpi)
                                  .arg(inches(shortfall.room), shortfall.limit);
        }
    }
    for (QString &warning : warnings)
        warning = escapeControlCharacters(warning);
    return warnings;
}

} // namespace

void RunBatch(Printer &printer, const QString &word, const std::function<void(const QString &)> &warn)
{
    // Reports name the file as the system writes paths (C:\TagFoundry\labels.txt on Windows).
    const QString path = QDir::toNativeSeparators(LabelFile::path());
    const QList<LabelFile::Record> records = LabelFile::read(LabelFile::path());

    // Each label is handed to the printer as soon as it is drawn; the
    // printer may still be finishing it while the next one is drawn.
    PendingLabels labels(printer.entry().spooler, path, warn);
    for (const LabelFile::Record &record : records) {
        labels.print(record.line, [&] {
            const BatchLabel label = LabelFile::labelOf(record);
            return warningsOf(path, record.line, label.code, PrintBatchRecord(printer, label, word));
        });
    }
    labels.finish();
}
