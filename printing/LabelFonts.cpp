#include "LabelFonts.h"

#include "Code39Glyphs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>
#include <QFontMetricsF>

#include <cmath>

namespace LabelFonts {

namespace {
// Adds the first copy found of each file.
void addFontFiles(const QStringList &folders, const QStringList &files)
{
    for (const QString &file : files) {
        for (const QString &folder : folders) {
            const QString path = QDir(folder).filePath(file);
            if (QFile::exists(path) && QFontDatabase::addApplicationFont(path) >= 0)
                break;
        }
    }
}
} // namespace

void ensureInstalled()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    const QStringList families = QFontDatabase::families();
#ifdef Q_OS_WIN
    // Windows has Tahoma and Arial; the program's fonts/ folder holds
    // stand-ins for a system that lacks them, and a general font for a
    // platform that sees no system fonts at all.
    const QStringList folders = {QCoreApplication::applicationDirPath() + QStringLiteral("/fonts")};
    if (!families.contains(QStringLiteral("Arial"))) {
        addFontFiles(folders, {QStringLiteral("LiberationSans-Regular.ttf"), QStringLiteral("LiberationSans-Bold.ttf")});
        QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    }
    if (families.isEmpty())
        addFontFiles(folders, {QStringLiteral("DejaVuSans.ttf"), QStringLiteral("DejaVuSans-Bold.ttf")});
#else
    const QStringList folders = {QStringLiteral("/usr/share/wine/fonts"),
                                 QStringLiteral("/usr/share/fonts/truetype/wine")};
#endif
    if (!families.contains(QStringLiteral("Tahoma")))
        addFontFiles(folders, {QStringLiteral("tahoma.ttf"), QStringLiteral("tahomabd.ttf")});
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
