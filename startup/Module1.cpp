#include "Module1.h"

#include "BatchLayouts.h"
#include "Failure.h"
#include "Form1.h"
#include "RunBatch.h"
#include "SavedPrinter.h"

#include <cstdio>

namespace Module1 {

namespace {

void reportToStandardError(const QString &message)
{
    std::fprintf(stderr, "tagfoundry: %s\n", message.toLocal8Bit().constData());
    std::fflush(stderr);
}

int runBatch(const QString &word)
{
    if (SavedPrinter::read() == SavedPrinter::kNone) {
        // Nothing is printed and no window opens; the calling program still
        // learns that nothing was printed.
        reportToStandardError(QStringLiteral("no label printer has been chosen yet (saved printer is \"none\"); "
                                             "nothing was printed. Choose one in the printer chooser."));
        return 2;
    }
    SelectSavedPrinter();
    try {
        RunBatch(word);
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

int Main(const QString &argumentText)
{
    if (IsBatchWord(argumentText))
        return runBatch(argumentText);
    Form1::showMainWindow();
    return -1;
}

} // namespace Module1
