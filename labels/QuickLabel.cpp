#include "QuickLabel.h"

#include "Failure.h"
#include "LabelTexts.h"
#include "NumberText.h"
#include "Printer.h"
#include "PrintStamp.h"
#include "SavedPrinter.h"

using namespace LabelTexts;

namespace {

qint16 copiesOf(const QString &copiesText)
{
    const std::optional<qint16> copies = NumberText::lenientInt16(copiesText);
    if (!copies)
        throw Failure(QStringLiteral("The copies box reads \"%1\", which is outside -32768 to 32767.").arg(copiesText));
    return *copies;
}

} // namespace

LabelReceipt PrintQuickLabel(Printer &p, const QString &copiesText, const QString &firstLine, const QString &secondLine)
{
    SelectSavedPrinter(p); // "none" or not installed: the current printer stays
    const qint16 copies = copiesOf(copiesText);

    p.setJobTitle(QStringLiteral("Quick label"));
    p.setCopies(copies);
    p.setFontName(kTahoma);
    p.setCurrentX(400);
    p.setCurrentY(200);
    p.setFontSize(12);
    p.print(kCompanyName);
    p.setCurrentX(160);
    p.setCurrentY(500);
    p.setFontSize(28);
    p.print(firstLine);
    p.setCurrentX(160);
    p.setCurrentY(1200);
    p.print(secondLine); // still Tahoma 28 pt
    p.setCurrentX(160);
    p.setCurrentY(2000);
    p.setFontSize(20);
    p.print(PrintStamp(p.clock()));
    return p.endDoc();
}
