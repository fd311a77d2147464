#include "LabelPdfFile.h"

#include "LabelPdfDevice.h"
#include "PdfSyntax.h"
#include "PdfType3Fonts.h"
#include "PrintJob.h"

#include <QMutex>
#include <QPainter>

#include <deque>

namespace LabelPdfFile {

namespace {

using PdfSyntax::ObjectWriter;

// The page's user space is PDF's points.
constexpr double kPointsPerTwip = 72 / kTwipsPerInch;

// The page's content as it is painted, in twips, y down from the top-left
// corner, mapped to the page's points, y up from the bottom-left corner.
QByteArray twipsToPoints()
{
    QByteArray matrix;
    PdfSyntax::putNumbers(matrix,
                          {kPointsPerTwip, 0, 0, -kPointsPerTwip, 0, LabelPdfDevice::kHeightTwips * kPointsPerTwip});
    return matrix + "cm\n";
}

QByteArray mediaBox()
{
    QByteArray box = "[0 0 ";
    PdfSyntax::putNumber(box, LabelPdfDevice::kWidthTwips * kPointsPerTwip);
    box += ' ';
    PdfSyntax::putNumber(box, LabelPdfDevice::kHeightTwips * kPointsPerTwip);
    return box + ']';
}

// Compressed images, kept for a few files: a batch prints the same picture
// on label after label.
class ImageCache {
public:
    static ImageCache &instance()
    {
        static ImageCache cache;
        return cache;
    }

    QByteArray data(const QImage &image)
    {
        QMutexLocker locker(&m_mutex);
        for (const auto &[key, bytes] : m_entries) {
            if (key == image.cacheKey())
                return bytes;
        }
        QByteArray bytes = PdfSyntax::flate(rgbBytes(image));
        m_entries.push_front({image.cacheKey(), bytes});
        if (m_entries.size() > kKept)
            m_entries.pop_back();
        return bytes;
    }

private:
    static constexpr size_t kKept = 8;

    // The image's rows of RGB bytes, any transparency flattened onto white paper.
    static QByteArray rgbBytes(const QImage &image)
    {
        QImage rgb;
        if (image.hasAlphaChannel()) {
            rgb = QImage(image.size(), QImage::Format_RGB888);
            rgb.fill(Qt::white);
            QPainter painter(&rgb);
            painter.drawImage(0, 0, image);
        } else {
            rgb = image.convertToFormat(QImage::Format_RGB888);
        }
        QByteArray bytes;
        const qsizetype rowBytes = qsizetype(rgb.width()) * 3;
        bytes.reserve(rowBytes * rgb.height());
        for (int y = 0; y < rgb.height(); ++y)
            bytes.append(reinterpret_cast<const char *>(rgb.constScanLine(y)), rowBytes);
        return bytes;
    }

    QMutex m_mutex;
    std::deque<std::pair<qint64, QByteArray>> m_entries;
};

} // namespace

QByteArray imageName(int image)
{
    return "/Im" + QByteArray::number(image + 1);
}

QByteArray write(const Info &info, const QByteArray &content, const PdfType3Fonts &fonts, const QList<QImage> &images)
{
    ObjectWriter w;
    const int catalog = w.reserve();
    const int pages = w.reserve();
    const int infoObject = w.reserve();
    const int contentObject = w.reserve();
    const int resources = w.reserve();
    QList<int> pageObjects;
    for (int i = 0; i < std::max(1, info.copies); ++i)
        pageObjects.append(w.reserve());

    w.object(catalog, "<< /Type /Catalog /Pages " + ObjectWriter::ref(pages) + " >>");

    QByteArray kids;
    for (int page : pageObjects)
        kids += ObjectWriter::ref(page) + ' ';
    w.object(pages, "<< /Type /Pages /Count " + QByteArray::number(pageObjects.size()) + " /Kids [" + kids + "] >>");

    w.object(infoObject, "<< /Title " + PdfSyntax::textString(info.title) + " /Creator "
                             + PdfSyntax::textString(info.creator) + " /Producer " + PdfSyntax::textString(info.creator)
                             + " >>");

    w.stream(contentObject, "/Filter /FlateDecode", PdfSyntax::flate(twipsToPoints() + content));

    const QByteArray box = mediaBox();
    for (int page : pageObjects) {
        w.object(page, "<< /Type /Page /Parent " + ObjectWriter::ref(pages) + " /MediaBox " + box + " /Resources "
                           + ObjectWriter::ref(resources) + " /Contents " + ObjectWriter::ref(contentObject) + " >>");
    }

    const QByteArray fontEntries = fonts.write(w);
    QByteArray imageEntries;
    for (qsizetype i = 0; i < images.size(); ++i) {
        const QImage &image = images[i];
        const QByteArray data = ImageCache::instance().data(image);
        const int object = w.reserve();
        w.stream(object,
                 "/Type /XObject /Subtype /Image /Width " + QByteArray::number(image.width()) + " /Height "
                     + QByteArray::number(image.height())
                     + " /ColorSpace /DeviceRGB /BitsPerComponent 8 /Filter /FlateDecode",
                 data);
        imageEntries += imageName(int(i)) + ' ' + ObjectWriter::ref(object) + ' ';
    }

    w.object(resources,
             "<< /ProcSet [/PDF /Text /ImageC] /Font << " + fontEntries + ">> /XObject << " + imageEntries + ">> >>");
    return w.finish(catalog, infoObject);
}

} // namespace LabelPdfFile
