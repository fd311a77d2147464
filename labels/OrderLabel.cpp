#include "OrderLabel.h"

#include "LabelTexts.h"
#include "Printer.h"
#include "SavedPrinter.h"

using namespace LabelTexts;

LabelReceipt PrintOrderLabel(Printer &p, const QString &orderNumber, const QString &contract,
                             const QString &siteAddress)
{
    SelectSavedPrinter(p);
    p.setJobTitle(QStringLiteral("ORMEX order label"));
    p.setFontName(kArial);
    p.setCurrentX(250);
    p.setCurrentY(300);
    p.setFontSize(30);
    p.print(QStringLiteral("ORMEX"));
    p.setCurrentX(160);
    p.setCurrentY(1000);
    p.setFontSize(14);
    p.print(QStringLiteral("Order No: ") + orderNumber);
    p.setCurrentX(160);
    p.setCurrentY(1400);
    p.print(QStringLiteral("Contract: ") + contract);
    p.setCurrentX(160);
    p.setCurrentY(1800);
    p.print(QStringLiteral("Site Address: ") + siteAddress);
    return p.endDoc();
}
