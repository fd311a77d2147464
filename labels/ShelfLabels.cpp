#include "ShelfLabels.h"

#include "LabelTexts.h"
#include "Printer.h"

using namespace LabelTexts;

QString ShelfLetters(qint64 shelf)
{
    QString letters;
    for (qint64 n = shelf; n > 0; n = (n - 1) / 26)
        letters.prepend(QChar(u'A' + char16_t((n - 1) % 26)));
    return letters;
}

QString ShelfLocationCode(const QString &row, qint64 rack, qint64 shelf)
{
    return row + QString::number(rack) + ShelfLetters(shelf);
}

LabelReceipt PrintShelfLabel(Printer &p, const QString &row, qint64 rack, qint64 shelf)
{
    p.setJobTitle(QStringLiteral("SHELF ") + ShelfLocationCode(row, rack, shelf));
    p.setCurrentX(160);
    p.setCurrentY(500);
    p.setFontName(kTahoma);
    p.setFontSize(40);
    const QString letters = ShelfLetters(shelf);
    p.print(row + QString::number(rack) + letters);
    p.setCurrentX(160);
    p.setCurrentY(1500);
    p.setFontName(kBarcodeFont);
    p.setFontSize(30);
    p.print(barcodeText(QStringLiteral("SHELF-") + row + QString::number(rack) + letters));
    return p.endDoc();
}
