#include "BinLabel.h"

#include "LabelTexts.h"
#include "Printer.h"
#include "PrintStamp.h"

using namespace LabelTexts;

void PrintFramedCode(Printer &p, const QString &code)
{
    p.setFontBold(false);
    p.box(200, 60, 4200, 580);
    p.setCurrentX(300);
    p.setCurrentY(80);
    p.setFontName(kTahoma);
    p.setFontSize(20);
    p.print(code);
}

LabelReceipt PrintBinLabel(Printer &p, const QString &code)
{
    p.setJobTitle(QStringLiteral("BIN ") + code);
    PrintFramedCode(p, code);
    p.setCurrentX(250);
    p.setCurrentY(1000);
    p.setFontName(kBarcodeFont);
    p.setFontSize(barcodeSize(code));
    p.print(barcodeText(code));
    p.setFontName(kTahoma);
    p.setFontSize(10);
    p.setCurrentX(1200);
    p.setCurrentY(2500);
    p.print(PrintStamp(p.clock()));
    return p.endDoc();
}
