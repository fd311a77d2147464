#pragma once

#include "Code39Glyphs.h"

#include <QString>

// Texts and font names the label layouts and windows share.
namespace LabelTexts {

inline const QString kCompanyName = QStringLiteral("Veltrane Heating Supplies Ltd.");
inline const QString kTahoma = QStringLiteral("Tahoma");
inline const QString kArial = QStringLiteral("Arial");
// The barcode font; the renderer draws its glyphs itself.
inline const QString kBarcodeFont = Code39Glyphs::kFontName;

// The barcode text of a value: Code 39's start and stop character around it.
inline QString barcodeText(const QString &value)
{
    return QLatin1Char('*') + value + QLatin1Char('*');
}

// The barcode's size in points: longer codes get a narrower barcode.
inline double barcodeSize(const QString &code)
{
    return code.size() > 15 ? 22 : 25;
}

} // namespace LabelTexts
