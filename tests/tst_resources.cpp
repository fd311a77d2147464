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
        QTest::addColumn<int>("bytes"); // of a bitmap's file
        QTest::newRow("window icon") << ":/printer.png" << QSize(32, 32) << 0;
        QTest::newRow("label sheet icon") << ":/label_sheet.png" << QSize(32, 32) << 0;
        QTest::newRow("landscape icon") << ":/landscape.png" << QSize(32, 32) << 0;
        QTest::newRow("joke picture") << ":/joke.bmp" << QSize(516, 339) << 524826;
        QTest::newRow("large logo") << ":/logo_large.bmp" << QSize(192, 94) << 54198;
        QTest::newRow("small logo") << ":/logo_small.bmp" << QSize(134, 66) << 26718;
    }
    void loadsAtItsSize()
    {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        QFETCH(int, bytes);
        const QImage image(path);
        QCOMPARE(image.size(), size);
        if (!bytes) {
            // Icons sit on the button face: transparent corners, something drawn in the middle.
            QCOMPARE((QList<int>{qAlpha(image.pixel(0, 0)), qAlpha(image.pixel(31, 0)), qAlpha(image.pixel(16, 16))}),
                     (QList<int>{0, 0, 255}));
            return;
        }
        // A drawn picture, not a blank or flat rectangle.
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                colours.insert(image.pixel(x, y));
        QVERIFY2(colours.size() > 16, qPrintable(QString::number(colours.size())));

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bmp = file.readAll();
        QCOMPARE(int(bmp.size()), bytes); // 54 header bytes and rows padded to 4 bytes, nothing more
        auto field = [&](int offset, bool word) {
            return word ? int(qFromLittleEndian<quint16>(bmp.constData() + offset)) : qFromLittleEndian<qint32>(bmp.constData() + offset);
        };
        QCOMPARE(bmp.left(2), QByteArray("BM"));
        // File size, pixels right after the headers, width, height (positive: bottom-up), one plane,
        // 24 bits a pixel, uncompressed, no resolution.
        QCOMPARE((QList<int>{field(2, false), field(10, false), field(18, false), field(22, false), field(26, true),
                             field(28, true), field(30, false), field(38, false), field(42, false)}),
                 (QList<int>{bytes, 54, size.width(), size.height(), 1, 24, 0, 0, 0}));
    }

    // The menu's icons (installed, not compiled in) are the window icon's picture at each
    // size: brought down to 16 x 16 (a whole number of pixels into one), each matches it.
    void desktopIconsShowTheWindowIcon_data()
    {
        QTest::addColumn<int>("size");
        for (int size : {48, 64, 128, 256})
            QTest::newRow(qPrintable(QString::number(size))) << size;
    }
    void desktopIconsShowTheWindowIcon()
    {
        QFETCH(int, size);
        const QString path = QStringLiteral(TAGFOUNDRY_SOURCE_DIR "/resources/icons/tagfoundry-%1.png").arg(size);
        const QImage icon(path);
        QCOMPARE(icon.size(), QSize(size, size));
        auto shrunk = [](const QImage &image) {
            return image.convertToFormat(QImage::Format_ARGB32).scaled(16, 16, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        };
        const QImage small = shrunk(icon), window = shrunk(QImage(QStringLiteral(":/printer.png")));
        double difference = 0; // mean over pixels and channels, 0 to 255; another picture gives 60 or more
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const QRgb a = small.pixel(x, y), b = window.pixel(x, y);
                difference += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b))
                    + std::abs(qBlue(a) - qBlue(b)) + std::abs(qAlpha(a) - qAlpha(b));
            }
        }
        difference /= 16 * 16 * 4;
        QVERIFY2(difference < 4, qPrintable(QStringLiteral("%1 differs from the window icon by %2").arg(path).arg(difference)));
    }
};

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
