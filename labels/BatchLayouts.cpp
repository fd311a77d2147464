#include "BatchLayouts.h"

#include "BinLabel.h"
#include "Failure.h"
#include "LabelTexts.h"
#include "NumberText.h"
#include "Printer.h"
#include "PrintStamp.h"

#include <QLocale>

using namespace LabelTexts;

namespace {

const QString kNone = QStringLiteral("NONE");
constexpr int kPieceLength = 35;
constexpr int kMaxPieces = 5;
constexpr int kFieldsNeeded = 5;

QString upper(const QString &text)
{
    return QLocale::system().toUpper(text);
}

qint16 copiesOf(const QString &field)
{
    const std::optional<qint16> copies = NumberText::lenientInt16(field);
    if (!copies)
        throw Failure(QStringLiteral("copies \"%1\" is outside -32768 to 32767").arg(field));
    return *copies;
}

// The note, bold, at the right below the description; both layouts have it.
void printNote(Printer &p, const QString &note)
{
    if (note == kNone)
        return;
    p.setCurrentX(3500);
    p.setCurrentY(2100);
    p.setFontBold(true); // stays bold for the rest of the record
    p.setFontName(kTahoma);
    p.setFontSize(10);
    p.print(note);
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

void PrintXListLabel(Printer &p, const BatchLabel &label)
{
    p.setJobTitle(kXList + QLatin1Char(' ') + label.code);
    p.setCopies(label.copies);
    PrintFramedCode(p, label.code);
    if (label.reference != kNone) {
        p.setCurrentX(160);
        p.setCurrentY(1800);
        p.setFontName(kTahoma);
        p.setFontSize(16);
        p.print(label.reference);
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
    p.endDoc();
}

void PrintBinsLabel(Printer &p, const BatchLabel &label)
{
    p.setJobTitle(kBins + QLatin1Char(' ') + label.code);
    p.setCopies(label.copies);
    PrintFramedCode(p, label.code);
    if (label.reference != kNone) {
        p.setCurrentX(160);
        p.setCurrentY(600);
        p.setFontName(kTahoma);
        p.setFontSize(16);
        p.print(QStringLiteral("VHQ: ") + label.reference);
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
    p.endDoc();
}

void PrintBatchRecord(Printer &p, const QStringList &fields, const QString &word)
{
    if (fields.size() < kFieldsNeeded) {
        throw Failure(fields.isEmpty()
                          ? QStringLiteral("empty line, at least %1 fields needed").arg(kFieldsNeeded)
                          : QStringLiteral("%1 field%2, at least %3 needed")
                                .arg(fields.size())
                                .arg(fields.size() == 1 ? "" : "s")
                                .arg(kFieldsNeeded));
    }
    // The copies are checked before anything of the record is printed.
    const BatchLabel label{fields[0], fields[1], fields[2], fields[3], copiesOf(fields[4])};
    if (word == kBins)
        PrintBinsLabel(p, label);
    else
        PrintXListLabel(p, label);
}
