#include "LabelFonts.h"

#include "Code39Glyphs.h"

#include <QDir>
#include <QFontDatabase>
#include <QFontMetricsF>

#include <cmath>

namespace LabelFonts {

void ensureInstalled()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    if (QFontDatabase::families().contains(QStringLiteral("Tahoma")))
        return;
    const QStringList folders = {QStringLiteral("/usr/share/wine/fonts"),
                                 QStringLiteral("/usr/share/fonts/truetype/wine")};
    for (const QString &folder : folders) {
        for (const QString &file : {QStringLiteral("tahoma.ttf"), QStringLiteral("tahomabd.ttf")}) {
            const QString path = QDir(folder).filePath(file);
            if (QFile::exists(path))
                QFontDatabase::addApplicationFont(path);
        }
    }
}

QFont font(const FontSpec &spec)
{
    ensureInstalled();
    QFont f(spec.name);
    f.setPixelSize(std::max(1, int(std::lround(20.0 * spec.size))));
    f.setBold(spec.bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::PreferOutline);
    return f;
}

double ascent(const FontSpec &spec)
{
    if (Code39Glyphs::isBarcodeFont(spec.name))
        return Code39Glyphs::kAscent * Code39Glyphs::twipsPerUnit(spec.size);
    return QFontMetricsF(font(spec)).ascent();
}

double lineHeight(const FontSpec &spec)
{
    if (Code39Glyphs::isBarcodeFont(spec.name))
        return Code39Glyphs::lineHeight(spec.size);
    return QFontMetricsF(font(spec)).lineSpacing();
}

} // namespace LabelFonts
