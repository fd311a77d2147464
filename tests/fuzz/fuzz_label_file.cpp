// The label file as any program might write it: decoding, line ends, skip
// lines, fields, the lenient copies number and both layouts, printed on the
// recording spooler. Failures must be Failures with safe messages.

#include "FuzzSetup.h"

#include "BatchLayouts.h"
#include "DataFolder.h"
#include "Failure.h"
#include "Printer.h"
#include "Printers.h"
#include "RecordingSpooler.h"
#include "RunBatch.h"

#include <QGuiApplication>
#include "LabelFonts.h"
#include <QFile>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    return FuzzSetup::start<QGuiApplication>(argc, argv); // the printer measures lines
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static RecordingSpooler spooler({QStringLiteral("Label Printer")}, QStringLiteral("Label Printer"));
    static const bool installed = [] {
        Printers::useSpoolers({&spooler});
        return true;
    }();
    Q_UNUSED(installed);

    QFile file(LabelFilePath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(FuzzSetup::bytes(data, size)) != qsizetype(size))
        std::abort();
    file.close();
    for (const QString &word : {kXList, kBins}) {
        Printer::current().reset();
        try {
            RunBatch(word, FuzzSetup::requireShownSafely);
        } catch (const Failure &failure) {
            FuzzSetup::requireShownSafely(failure.message());
        }
        for (const PrintJob &job : spooler.jobs) {
            if (job.copies < 1 || !job.title.contains(QLatin1Char(' ') + word + QLatin1Char(' ')))
                std::abort();
        }
        spooler.jobs.clear();
    }
    return 0;
}
