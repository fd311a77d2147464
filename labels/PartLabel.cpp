// The part label: one printer operation per step of its layout.

#include "PartLabel.h"

#include "LabelTexts.h"
#include "Printer.h"
#include "PrintStamp.h"
#include "SavedPrinter.h"

using namespace LabelTexts;

namespace {

const QString kProductLine = QStringLiteral("Kestrion");

} // namespace

// FontBold is not set before the company name, which keeps the weight the
// printer was left with.
LabelReceipt PrintPartLabel(Printer &p, const PartLabel &label)
{
    p.setJobTitle(QStringLiteral("PART ") + label.code);
    SelectSavedPrinter(p);                                  // 1
    p.setCopies(label.copies);                              // 2
    p.setFontName(kTahoma);                                 // 3
    p.setCurrentX(400);                                     // 4
    p.setCurrentY(200);
    p.setFontSize(12);                                      // 5
    p.print(kCompanyName);                                  // 6
    p.setCurrentX(2300);                                    // 7
    p.setCurrentY(500);
    p.setFontSize(18);                                      // 8
    p.setFontBold(true);                                    // 9
    p.print(kProductLine);                                  // 10
    p.setCurrentX(2600);                                    // 11
    p.setCurrentY(900);
    p.setFontSize(12);                                      // 12
    p.setFontBold(true);                                    // 13
    p.print(label.code);                                    // 14
    p.setFontName(kBarcodeFont);                            // 15
    p.setCurrentX(2400);                                    // 16
    p.setCurrentY(1250);
    p.setFontSize(20);                                      // 17
    p.setFontBold(false);                                   // 18
    p.print(barcodeText(label.code));                       // 19
    p.setFontName(kTahoma);                                 // 20
    p.setCurrentX(400);                                     // 21
    p.setCurrentY(1750);
    p.setFontSize(12);                                      // 22
    p.print(label.description);                             // 23
    p.setFontSize(10);                                      // 24
    p.setCurrentX(1200);                                    // 25
    p.setCurrentY(2500);
    p.print(PrintStamp(p.clock()));                         // 26
    p.paintPicture(label.logo, 200, 600);                   // 27
    return p.endDoc();                                      // 28
}
