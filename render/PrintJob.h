#pragma once

#include <QImage>
#include <QList>
#include <QPointF>
#include <QString>

// The font in force for one text: face name, size in points, boldness.
struct FontSpec {
    QString name;
    double size = 0;
    bool bold = false;
    bool operator==(const FontSpec &) const = default;
};

// One thing drawn on the label, in twips from the printable corner.
struct PrintOp {
    enum class Kind { Text, Box, Picture };
    Kind kind = Kind::Text;
    QPointF at;          // text: top-left of the character cell; box: first corner; picture: top-left
    QPointF to;          // box only: the opposite corner
    QString text;        // text only
    FontSpec font;       // text only
    int colour = 0;      // box only: 0x00BBGGRR, 0 is black
    QImage picture;      // picture only, drawn at 15 twips per pixel

    bool operator==(const PrintOp &other) const
    {
        return kind == other.kind && at == other.at && to == other.to && text == other.text
            && font == other.font && colour == other.colour && picture == other.picture;
    }
};

// A finished job as the spooler receives it: one page, printed `copies` times.
struct PrintJob {
    QString printerName;  // the name of the printer it goes to
    QString title;        // what a print queue shows, e.g. "TagFoundry XLIST AB-1234"
    int copies = 1;       // always at least 1
    QList<PrintOp> ops;

    bool operator==(const PrintJob &) const = default;
};

// The layouts' unit, the twip, in the others: 1440 to the inch, 20 to the
// point (a font of P points is 20 x P twips tall), 15 to the pixel of a
// picture or a window (96 pixels to the inch).
inline constexpr double kTwipsPerInch = 1440.0;
inline constexpr double kTwipsPerPoint = 20.0;
inline constexpr double kTwipsPerPixel = 15.0;
