#include "AddressLabel.h"

#include "Failure.h"
#include "LabelTexts.h"
#include "NumberText.h"
#include "Printer.h"
#include "SavedPrinter.h"

using namespace LabelTexts;

LabelReceipt PrintAddressLabel(Printer &p, const std::array<QString, 4> &lines, const QString &copiesText)
{
    SelectSavedPrinter(p);
    // The copies text is checked before anything goes to the printer.
    const std::optional<qint16> copies = NumberText::strictInt16(copiesText);
    if (!copies) {
        throw Failure(QStringLiteral("Copies \"%1\" is not a number of copies: type a whole number from -32768 to "
                                     "32767 (a fraction is rounded, halves to the even number). Nothing was printed.")
                          .arg(copiesText));
    }
    p.setJobTitle(QStringLiteral("Address label"));
    p.setCopies(*copies);
    p.setFontName(kArial);
    p.setCurrentX(160);
    p.setCurrentY(100);
    p.setFontSize(28);
    p.print(lines[0]);
    p.setCurrentX(160);
    p.setCurrentY(700);
    p.print(lines[1]);
    p.setCurrentX(160);
    p.setCurrentY(1300);
    p.print(lines[2]);
    p.setCurrentX(160);
    p.setCurrentY(1900);
    p.print(lines[3]);
    return p.endDoc();
}
