// The pictures compiled into the program: each loads through Qt at its size, the icons keep a
// transparent background, and the bitmaps are the plain 24-bit bottom-up files the windows and
// the part label layout are measured against.

#include <QFile>
#include <QImage>
#include <QSet>
#include <QtEndian>
#include <QtTest>

class TestResources : public QObject {
    Q_OBJECT
private slots:
    void loadsAtItsSize_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        for (const QString icon : {":/printer.png", ":/label_sheet.png", ":/landscape.png"})
            QTest::newRow(qPrintable(icon)) << icon << QSize(32, 32);
        QTest::newRow("joke picture") << ":/joke.bmp" << QSize(516, 339);
        QTest::newRow("large logo") << ":/logo_large.bmp" << QSize(192, 94);
        QTest::newRow("small logo") << ":/logo_small.bmp" << QSize(134, 66);
    }
    void loadsAtItsSize()
    {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        const QImage image(path);
        QCOMPARE(image.size(), size);
        if (path.endsWith(".png")) {
            // Icons sit on the button face: transparent corners, something drawn in the middle.
            QCOMPARE((QList<int>{qAlpha(image.pixel(0, 0)), qAlpha(image.pixel(31, 0)), qAlpha(image.pixel(16, 16))}),
                     (QList<int>{0, 0, 255}));
            return;
        }
        QSet<QRgb> colours; // a drawn picture, not a blank or flat rectangle
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                colours.insert(image.pixel(x, y));
        QVERIFY2(colours.size() > 16, qPrintable(QString::number(colours.size())));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bmp = file.readAll();
        const auto field = [&](int offset) { return qFromLittleEndian<qint32>(bmp.constData() + offset); };
        // 54 header bytes and rows padded to 4 bytes, nothing more; the file size, pixels right after the
        // headers, width, height (positive: bottom-up), one plane and 24 bits a pixel, uncompressed, no resolution.
        const int bytes = 54 + (size.width() * 3 + 3) / 4 * 4 * size.height();
        QCOMPARE(bmp.left(2) + QByteArray::number(bmp.size()), "BM" + QByteArray::number(bytes));
        QCOMPARE((QList<int>{field(2), field(10), field(18), field(22), field(26), field(30), field(38), field(42)}),
                 (QList<int>{bytes, 54, size.width(), size.height(), 1 + (24 << 16), 0, 0, 0}));
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
