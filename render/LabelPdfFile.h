#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

class PdfType3Fonts;

// The file around a label's painted page: the page's content drawn on
// `copies` pages of the label's size, its fonts and images, and the
// document's title and creator.
namespace LabelPdfFile {

struct Info {
    QString title;
    QString creator;
    int copies = 1; // pages, each showing the painted page
};

// The name the page's resources give image `image`: "/Im1" for the first.
QByteArray imageName(int image);

// The whole file. `content` is the page's content stream in twips, y down
// from the top-left corner; `images` are drawn by their names in it.
QByteArray write(const Info &info, const QByteArray &content, const PdfType3Fonts &fonts, const QList<QImage> &images);

} // namespace LabelPdfFile
