#include "BatchLayouts.h"

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

void PrintBatchRecord(const QStringList &fields, const QString &word)
{
    if (fields.size() < kFieldsNeeded) {
        throw Failure(fields.isEmpty()
                          ? QStringLiteral("empty line, at least %1 fields needed").arg(kFieldsNeeded)
                          : QStringLiteral("%1 field%2, at least %3 needed")
                                .arg(fields.size())
                                .arg(fields.size() == 1 ? "" : "s")
                                .arg(kFieldsNeeded));
    }
    const bool bins = word == kBins;
    const QString &code = fields[0];
    const qint16 copies = copiesOf(fields[4]); // before anything of the record is printed

    Printer &p = Printer::current();
    p.setJobTitle(word + QLatin1Char(' ') + code);
    p.setCopies(copies);
    p.setFontBold(false);
    p.line(20, 200, 60, 4200, 580, 0);
    p.setCurrentX(300);
    p.setCurrentY(80);
    p.setFontName(kTahoma);
    p.setFontSize(20);
    p.print(code);

    if (fields[1] != kNone) {
        p.setCurrentX(160);
        p.setCurrentY(bins ? 600 : 1800);
        p.setFontName(kTahoma);
        p.setFontSize(16);
        p.print(bins ? QStringLiteral("VHQ: ") + fields[1] : fields[1]);
    }

    if (bins) {
        p.setCurrentX(160);
        p.setCurrentY(1000);
        p.setFontName(kTahoma);
        p.setFontSize(10);
        const QStringList lines = BinsDescriptionLines(fields[2]);
        for (int i = 0; i < lines.size(); ++i) {
            p.setCurrentX(160);
            p.setCurrentY(1000 + 200 * i);
            p.print(lines[i]);
        }
    } else {
        p.setCurrentX(160);
        p.setCurrentY(600);
        p.setFontName(kTahoma);
        p.setFontSize(16);
        p.print(upper(fields[2]));
    }

    p.setCurrentX(250);
    p.setCurrentY(bins ? 2100 : 1000);
    p.setFontName(kBarcodeFont);
    p.setFontSize(barcodeSize(code));
    p.print(barcodeText(code));

    if (fields[3] != kNone) {
        p.setCurrentX(3500);
        p.setCurrentY(2100);
        p.setFontBold(true); // stays bold for the rest of the record
        p.setFontName(kTahoma);
        p.setFontSize(10);
        p.print(fields[3]);
    }

    if (bins) {
        p.setFontName(kTahoma);
        p.setCurrentX(750);
        p.setCurrentY(2500);
        p.setFontSize(9);
        p.print(kCompanyName);
    }

    p.setFontName(kTahoma);
    p.setFontSize(10);
    p.setCurrentX(1200);
    p.setCurrentY(2500);
    p.print(PrintStamp());
    p.endDoc();
}
