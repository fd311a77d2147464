#include "ShelfLabels.h"

#include "LabelTexts.h"
#include "NumberText.h"
#include "Printer.h"

#include <cmath>

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

std::optional<qint64> ShelfCount(const QString &answer)
{
    const std::optional<double> value = NumberText::strictNumber(answer);
    if (!value || !std::isfinite(*value))
        return std::nullopt;
    const double whole = std::floor(*value);
    if (whole < 1)
        return 0;
    return whole >= 1e15 ? qint64(1e15) : qint64(whole); // a run that long is stopped with Cancel
}

ShelfRun::ShelfRun(QString row, qint64 racks, qint64 shelves)
    : m_row(std::move(row)), m_racks(racks), m_shelves(shelves)
{
}

LabelReceipt ShelfRun::printNext(Printer &p)
{
    LabelReceipt receipt = PrintShelfLabel(p, m_row, m_rack, m_shelf);
    ++m_printed;
    if (++m_shelf > m_shelves) {
        m_shelf = 1;
        ++m_rack;
    }
    return receipt;
}
