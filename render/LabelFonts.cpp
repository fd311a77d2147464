#include "LabelFonts.h"

#include "Code39Glyphs.h"
#include "FontFiles.h"

#include <QDir>
#include <QFontDatabase>
#include <QHash>
#include <QMutex>
#include <QPainterPath>
#include <QRawFont>
#include <QtEndian>

#include <cmath>

namespace FontFiles {

// Adds the first copy found of each file.
void addFirstFound(const QStringList &folders, const QStringList &files)
{
    for (const QString &file : files) {
        for (const QString &folder : folders) {
            const QString path = QDir(folder).filePath(file);
            if (QFile::exists(path) && QFontDatabase::addApplicationFont(path) >= 0)
                break;
        }
    }
}
} // namespace FontFiles

namespace LabelFonts {

namespace {

// Big-endian unsigned 16-bit field of a font table; 0 past its end.
quint16 field16(const QByteArray &table, int offset)
{
    if (offset < 0 || table.size() < offset + 2)
        return 0;
    return qFromBigEndian<quint16>(table.constData() + offset);
}

// Offsets into the OpenType tables read here.
constexpr int kHeadUnitsPerEm = 18;
constexpr int kHeadMacStyle = 44;
constexpr int kOs2FsSelection = 62;
constexpr int kOs2WinAscent = 74;
constexpr int kOs2WinDescent = 76;

// The width of the stem of "l" (or "I"), in ems: the ink across the glyph
// halfway up. 0 when the face has neither.
double stemWidth(QRawFont face)
{
    constexpr double em = 1000;
    face.setPixelSize(em);
    for (const QString &letter : {QStringLiteral("l"), QStringLiteral("I")}) {
        const QList<quint32> glyphs = face.glyphIndexesForString(letter);
        if (glyphs.size() != 1 || glyphs[0] == 0)
            continue;
        const QPainterPath outline = face.pathForGlyph(glyphs[0]);
        if (outline.isEmpty())
            continue;
        const QRectF bounds = outline.boundingRect();
        QPainterPath band;
        band.addRect(QRectF(bounds.left() - 1, bounds.center().y() - 1, bounds.width() + 2, 2));
        return outline.intersected(band).boundingRect().width() / em;
    }
    return 0;
}

// Whether the face's file says it is bold (OS/2 fsSelection or head macStyle).
bool declaresBold(const QRawFont &face)
{
    return (field16(face.fontTable("OS/2"), kOs2FsSelection) & 0x20) || (field16(face.fontTable("head"), kHeadMacStyle) & 1);
}

double computeEmboldening(const QRawFont &face)
{
    // Qt itself emboldens a face that does not say it is bold when bold is
    // asked for; only a face that claims to be bold is looked at.
    if (face.weight() < QFont::DemiBold || !declaresBold(face))
        return 0;
    QFont regularFont(face.familyName());
    regularFont.setWeight(QFont::Normal);
    regularFont.setStyle(face.style());
    regularFont.setPixelSize(1000);
    regularFont.setHintingPreference(QFont::PreferNoHinting);
    const QRawFont regular = QRawFont::fromFont(regularFont);
    if (!regular.isValid() || regular.familyName() != face.familyName() || declaresBold(regular))
        return 0; // no regular face to compare with
    const double regularStem = stemWidth(regular);
    const double boldStem = stemWidth(face);
    // A real bold face has stems well over 1.25 times the regular's.
    if (regularStem <= 0 || boldStem <= 0 || boldStem > 1.25 * regularStem)
        return 0;
    return 1.7 * regularStem - boldStem;
}

} // namespace

void ensureInstalled()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    FontFiles::addStandIns(QFontDatabase::families());
}

QFont font(const FontSpec &spec)
{
    ensureInstalled();
    QFont f(spec.name);
    f.setPixelSize(std::max(1, int(std::lround(kTwipsPerPoint * spec.size))));
    f.setBold(spec.bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::PreferOutline);
    f.setKerning(false);
    return f;
}

bool isMissingGlyphBox(const QRawFont &face)
{
    return face.pixelSize() <= 0;
}

QString familyName(const QRawFont &face)
{
    return isMissingGlyphBox(face) ? QStringLiteral("MissingGlyphBox") : face.familyName();
}

QString faceKey(const QRawFont &face)
{
    return familyName(face) + QLatin1Char('|') + face.styleName() + QLatin1Char('|') + QString::number(face.weight())
           + QLatin1Char('|') + QString::number(int(face.style()));
}

Cell cell(const QRawFont &face)
{
    const QByteArray os2 = face.fontTable("OS/2");
    const double unitsPerEm = field16(face.fontTable("head"), kHeadUnitsPerEm);
    if (unitsPerEm >= 16 && os2.size() >= kOs2WinDescent + 2)
        return {field16(os2, kOs2WinAscent) / unitsPerEm, field16(os2, kOs2WinDescent) / unitsPerEm};
    const double size = face.pixelSize() > 0 ? face.pixelSize() : 1;
    return {face.ascent() / size, face.descent() / size};
}

namespace {

// The cell of the face a text prints with, in twips; the cell is looked up
// once per font name, size and weight.
Cell cellOf(const FontSpec &spec)
{
    if (Code39Glyphs::isBarcodeFont(spec.name)) {
        const double unit = Code39Font::twipsPerUnit(spec.size);
        return {Code39Font::kAscent * unit, Code39Glyphs::lineHeight(spec.size) - Code39Font::kAscent * unit};
    }
    static QMutex mutex;
    static QHash<QString, Cell> cells;
    const QString key = spec.name + QLatin1Char('|') + QString::number(spec.size) + QLatin1Char('|')
                      + QLatin1Char(spec.bold ? 'b' : 'r');
    QMutexLocker locker(&mutex);
    auto found = cells.constFind(key);
    if (found != cells.constEnd())
        return *found;
    const QFont qfont = font(spec);
    const Cell em = cell(QRawFont::fromFont(qfont));
    const double size = qfont.pixelSize();
    return *cells.insert(key, Cell{em.ascent * size, em.descent * size});
}

} // namespace

double ascent(const FontSpec &spec)
{
    return cellOf(spec).ascent;
}

double lineHeight(const FontSpec &spec)
{
    const Cell twips = cellOf(spec);
    return twips.ascent + twips.descent;
}

double emboldening(const QRawFont &face)
{
    if (!face.isValid() || face.weight() < QFont::DemiBold)
        return 0;
    static QMutex mutex;
    static QHash<QString, double> widths;
    const QString key = faceKey(face);
    QMutexLocker locker(&mutex);
    auto found = widths.constFind(key);
    if (found != widths.constEnd())
        return *found;
    return *widths.insert(key, computeEmboldening(face));
}

QPen emboldeningPen(double width, const QColor &colour)
{
    // Mitred corners, square as a bold face's; bevelled where a miter would
    // reach more than twice the width from the corner (the points of "A",
    // "V" and "N"), as PDF readers do at a miter limit of 4.
    QPen pen(colour, width, Qt::SolidLine, Qt::FlatCap, Qt::SvgMiterJoin);
    pen.setMiterLimit(kEmboldeningMiterLimit);
    return pen;
}

} // namespace LabelFonts
