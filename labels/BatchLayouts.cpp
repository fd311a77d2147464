#include "BatchLayouts.h"

#include "BinLabel.h"
#include "LabelTexts.h"
#include "PrintStamp.h"
#include "Printer.h"

#include <QLocale>

using namespace LabelTexts;

namespace {

constexpr int kPieceLength = 35;
constexpr int kMaxPieces = 5;

QString upper(const QString &text)
{
    return QLocale::system().toUpper(text);
}

// The note, bold, at the right below the description; both layouts have it.
void printNote(Printer &p, const std::optional<QString> &note)
{
    if (!note)
        return;
    p.setCurrentX(3500);
    p.setCurrentY(2100);
    p.setFontBold(true); // stays bold for the rest of the record
    p.setFontName(kTahoma);
    p.setFontSize(10);
    p.print(*note);
}

// The print stamp at the foot, the last step of both layouts.
void printStamp(Printer &p)
{
    p.setFontName(kTahoma);
    p.setFontSize(10);
    p.setCurrentX(1200);
    p.setCurrentY(2500);
    p.print(PrintStamp(p.clock()));
}

} // namespace

// Pieces count characters, not UTF-16 units: a character outside the Basic
// Multilingual Plane (two units) is never cut in half.
QStringList BinsDescriptionLines(const QString &description)
{
    const QList<uint> characters = description.toUcs4();
    QStringList lines;
    for (qsizetype start = 0; lines.size() < kMaxPieces; start += kPieceLength) {
        const QList<uint> piece = characters.mid(start, kPieceLength);
        lines.append(upper(QString::fromUcs4(reinterpret_cast<const char32_t *>(piece.constData()), piece.size())));
        if (start + kPieceLength >= characters.size())
            break;
        if (lines.size() < kMaxPieces)
            lines.last().append(QLatin1Char('-'));
    }
    return lines;
}

LabelReceipt PrintXListLabel(Printer &p, const BatchLabel &label)
{
    p.setJobTitle(kXList + QLatin1Char(' ') + label.code);
    p.setCopies(label.copies);
    PrintFramedCode(p, label.code);
    if (label.reference) {
        p.setCurrentX(160);
        p.setCurrentY(1800);
        p.setFontName(kTahoma);
        p.setFontSize(16);
        p.print(*label.reference);
    }
    p.setCurrentX(160);
    p.setCurrentY(600);
    p.setFontName(kTahoma);
    p.setFontSize(16);
    p.print(upper(label.description));
    p.setCurrentX(250);
    p.setCurrentY(1000);
    p.setFontName(kBarcodeFont);
    p.setFontSize(barcodeSize(label.code));
    p.print(barcodeText(label.code));
    printNote(p, label.note);
    printStamp(p);
    return p.endDoc();
}

LabelReceipt PrintBinsLabel(Printer &p, const BatchLabel &label)
{
    p.setJobTitle(kBins + QLatin1Char(' ') + label.code);
    p.setCopies(label.copies);
    PrintFramedCode(p, label.code);
    if (label.reference) {
        p.setCurrentX(160);
        p.setCurrentY(600);
        p.setFontName(kTahoma);
        p.setFontSize(16);
        p.print(QStringLiteral("VHQ: ") + *label.reference);
    }
    p.setCurrentX(160);
    p.setCurrentY(1000);
    p.setFontName(kTahoma);
    p.setFontSize(10);
    const QStringList lines = BinsDescriptionLines(label.description);
    for (int i = 0; i < lines.size(); ++i) {
        p.setCurrentX(160);
        p.setCurrentY(1000 + 200 * i);
        p.print(lines[i]);
    }
    p.setCurrentX(250);
    p.setCurrentY(2100);
    p.setFontName(kBarcodeFont);
    p.setFontSize(barcodeSize(label.code));
    p.print(barcodeText(label.code));
    printNote(p, label.note);
    p.setFontName(kTahoma);
    p.setCurrentX(750);
    p.setCurrentY(2500);
    p.setFontSize(9);
    p.print(kCompanyName);
    printStamp(p);
    return p.endDoc();
}

LabelReceipt PrintBatchRecord(Printer &p, const BatchLabel &label, const QString &word)
{
    return word == kBins ? PrintBinsLabel(p, label) : PrintXListLabel(p, label);
}
