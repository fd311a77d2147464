#include "ProgramInfo.h"

namespace ProgramInfo {

namespace {

QString version()
{
    return QStringLiteral("TagFoundry " TAGFOUNDRY_VERSION "\n");
}

QString help()
{
#ifdef Q_OS_WIN
    const char *files = "  C:\\TagFoundry\\labels.txt    the label file, one label a line:\n"
                        "                              code,reference,description,note,copies\n"
                        "  C:\\TagFoundry\\parts.txt     the parts list of the part window\n"
                        "  C:\\TagFoundry\\printed\\      the PDFs of the built-in printer \"TagFoundry PDF\"\n"
                        "  HKCU\\Software\\TagFoundry\\TagFoundry   the chosen label printer ([Settings] Printer)\n";
#else
    const char *files = "  ~/TagFoundry/labels.txt     the label file, one label a line:\n"
                        "                              code,reference,description,note,copies\n"
                        "  ~/TagFoundry/parts.txt      the parts list of the part window\n"
                        "  ~/TagFoundry/printed/       the PDFs of the built-in printer \"TagFoundry PDF\"\n"
                        "  ~/.config/TagFoundry/TagFoundry.conf   the chosen label printer ([Settings] Printer)\n";
#endif
    return QStringLiteral(
               "Usage: tagfoundry [XLIST | BINS | --help | --version]\n"
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
        + QString::fromLatin1(files)
#ifndef Q_OS_WIN
        + QStringLiteral("\nCUPS_SERVER=host:port uses a shared print server; TAGFOUNDRY_DEBUG=1 shows Qt's notices.\n"
                         "More in the manual page: man tagfoundry\n")
#endif
        ;
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
