#include "Startup.h"

#include "BatchLayouts.h"
#include "Failure.h"
#include "MainWindow.h"
#include "PdfSpooler.h"
#include "Printer.h"
#include "Prompts.h"
#include "RunBatch.h"
#include "SavedPrinter.h"
#include "SystemSpooler.h"

#include <QApplication>

#include <cstdio>

namespace Startup {

namespace {

void reportToStandardError(const QString &message)
{
    std::fprintf(stderr, "tagfoundry: %s\n", escapeControlCharacters(message).toLocal8Bit().constData());
    std::fflush(stderr);
}

int runBatch(Printer &printer, const QString &word)
{
    try {
        SavedPrinter::checkReadable();
    } catch (Failure &failure) {
        reportToStandardError(failure.then(QStringLiteral("nothing was printed")).message());
        return 1;
    }
    const QString saved = SavedPrinter::read();
    if (saved == SavedPrinter::kNone) {
        // Nothing is printed and no window opens; the calling program still
        // learns that nothing was printed.
        reportToStandardError(QStringLiteral("no label printer has been chosen yet (saved printer is \"none\"); "
                                             "nothing was printed. Choose one in the printer chooser."));
        return 2;
    }
    SelectSavedPrinter(printer);
    try {
        // The labels still print on the default printer, but the caller hears
        // that they did not go where it expected.
        if (const QString used = printer.deviceName(); used != saved) {
            reportToStandardError(QStringLiteral("the saved label printer \"%1\" was not found; printing on \"%2\", "
                                                 "the default printer")
                                      .arg(saved, used));
        }
        RunBatch(printer, word, reportToStandardError);
    } catch (const Failure &failure) {
        reportToStandardError(failure.message());
        return 1;
    }
    return 0;
}

} // namespace

bool IsBatchWord(const QString &argumentText)
{
    return argumentText == kXList || argumentText == kBins;
}

int Start(const QString &argumentText)
{
    SystemSpooler system;
    PdfSpooler builtIn;
    Printer printer(Printers({&system, &builtIn}));
    if (IsBatchWord(argumentText))
        return runBatch(printer, argumentText);
    DialogPrompts prompts;
    MainWindow::showMainWindow(printer, prompts);
    return QApplication::exec();
}

} // namespace Startup
