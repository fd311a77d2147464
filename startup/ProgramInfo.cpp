#include "ProgramInfo.h"

#include "Process.h"

namespace ProgramInfo {

namespace {

QString version()
{
    return QStringLiteral("TagFoundry " TAGFOUNDRY_VERSION "\n");
}

QString help()
{
    return QStringLiteral("Usage: tagfoundry [XLIST | BINS | --help | --version]\n"
                          "\n"
                          "Prints labels with Code 39 barcodes on a label printer.\n"
                          "\n"
                          "  tagfoundry            open the main window\n"
                          "  tagfoundry XLIST      print one label for every line of the label file, XLIST layout,\n"
                          "                        without a window (no display needed)\n"
                          "  tagfoundry BINS       the same in the BINS layout\n"
                          "  tagfoundry --help     show this text\n"
                          "  tagfoundry --version  show the version\n"
                          "\n"
                          "The batch word must be exactly XLIST or BINS; any other argument opens the main window.\n"
                          "\n"
                          "Exit status of a batch run:\n"
                          "  0  every label was printed\n"
                          "  1  a label or the printer failed; standard error names the file, the line and\n"
                          "     what is wrong (labels before it stay printed, nothing after it is printed)\n"
                          "  2  no label printer has been chosen yet (nothing is printed)\n"
                          "\n"
                          "Files:\n")
           + Process::filesHelp();
}

} // namespace

std::optional<QString> textFor(const QString &argumentText)
{
    if (argumentText == QLatin1String("--help"))
        return help();
    if (argumentText == QLatin1String("--version"))
        return version();
    return std::nullopt;
}

} // namespace ProgramInfo
