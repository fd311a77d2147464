// The pictures compiled into the program, as tests/data/resources.txt lists them: each loads
// through Qt at its size, the icons keep a transparent background, the bitmaps are the plain
// 24-bit bottom-up files the windows and the part label layout are measured against.

#include "Golden.h"

#include <QImage>
#include <QSet>
#include <QtEndian>
#include <QtTest>

class TestResources : public QObject {
    Q_OBJECT
private slots:
    // A bitmap's header: file size, where the pixels start, width, height (positive: bottom-up),
    // planes, bits a pixel, compression, resolution; 54 header bytes and rows padded to 4 bytes.
    void picturesAreWhatTheWindowsAreMeasuredAgainst()
    {
        QString table;
        for (const QString path : {":/printer.png", ":/label_sheet.png", ":/landscape.png", ":/joke.bmp", ":/logo_large.bmp",
                                   ":/logo_small.bmp"}) {
            const QImage image(path);
            QSet<QRgb> colours;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    colours.insert(image.pixel(x, y));
            table += QString("%1 %2x%3, more than 16 colours %4, alpha at corners and middle %5 %6 %7")
                         .arg(path).arg(image.width()).arg(image.height()).arg(colours.size() > 16)
                         .arg(qAlpha(image.pixel(0, 0))).arg(qAlpha(image.pixel(image.width() - 1, 0)))
                         .arg(qAlpha(image.pixel(image.width() / 2, image.height() / 2)));
            QFile file(path);
            const QByteArray bmp = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
            if (bmp.startsWith("BM")) {
                table += QString(", %1 bytes, padded rows %2, header").arg(bmp.size())
                             .arg(bmp.size() == 54 + (image.width() * 3 + 3) / 4 * 4 * image.height());
                for (int offset : {2, 10, 18, 22, 26, 28, 30, 38, 42})
                    table += ' ' + QString::number(qFromLittleEndian<qint32>(bmp.constData() + offset) & (offset == 26 || offset == 28 ? 0xffff : -1));
            }
            table += '\n';
        }
        QVERIFY(Golden::matches("resources.txt", table));
    }

    // The menu's icons (installed, not compiled in) are the window icon's picture at each
    // size: brought down to 16 x 16 (a whole number of pixels into one), each matches it.
    void desktopIconsShowTheWindowIcon()
    {
        const auto shrunk = [](const QImage &image) {
            return image.convertToFormat(QImage::Format_ARGB32).scaled(16, 16, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        };
        const QImage window = shrunk(QImage(":/printer.png"));
        for (int size : {48, 64, 128, 256}) {
            const QImage icon(QStringLiteral(TAGFOUNDRY_SOURCE_DIR "/resources/icons/tagfoundry-%1.png").arg(size));
            QCOMPARE(icon.size(), QSize(size, size));
            const QImage small = shrunk(icon);
            double difference = 0; // mean over pixels and channels, 0 to 255; another picture gives 60 or more
            for (int i = 0; i < 16 * 16; ++i) {
                const QRgb a = small.pixel(i % 16, i / 16), b = window.pixel(i % 16, i / 16);
                difference += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b))
                    + std::abs(qAlpha(a) - qAlpha(b));
            }
            QVERIFY2(difference / (16 * 16 * 4) < 4, qPrintable(QString("%1 px differs by %2").arg(size).arg(difference / 1024)));
        }
    }
};

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
