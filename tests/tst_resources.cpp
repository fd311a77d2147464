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
        QTest::newRow("window icon") << ":/printer.png" << QSize(32, 32);
        QTest::newRow("label sheet icon") << ":/label_sheet.png" << QSize(32, 32);
        QTest::newRow("landscape icon") << ":/landscape.png" << QSize(32, 32);
        QTest::newRow("joke picture") << ":/joke.bmp" << QSize(516, 339);
        QTest::newRow("large logo") << ":/logo_large.bmp" << QSize(192, 94);
        QTest::newRow("small logo") << ":/logo_small.bmp" << QSize(134, 66);
    }
    void loadsAtItsSize()
    {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        const QImage image(path);
        QVERIFY2(!image.isNull(), qPrintable(path));
        QCOMPARE(image.size(), size);
        if (path.endsWith(QLatin1String(".png"))) {
            // Icons sit on the button face: transparent corners, something drawn in the middle.
            QVERIFY(image.hasAlphaChannel());
            QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
            QCOMPARE(qAlpha(image.pixel(31, 0)), 0);
            QCOMPARE(qAlpha(image.pixel(16, 16)), 255);
        } else {
            // A drawn picture, not a blank or flat rectangle.
            QSet<QRgb> colours;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    colours.insert(image.pixel(x, y));
            QVERIFY2(colours.size() > 16, qPrintable(QString::number(colours.size())));
        }
    }

    void bitmapsAre24BitBottomUp_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("joke picture") << ":/joke.bmp" << 516 << 339;
        QTest::newRow("large logo") << ":/logo_large.bmp" << 192 << 94;
        QTest::newRow("small logo") << ":/logo_small.bmp" << 134 << 66;
    }
    void bitmapsAre24BitBottomUp()
    {
        QFETCH(QString, path);
        QFETCH(int, width);
        QFETCH(int, height);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.size() >= 54);
        const auto *h = reinterpret_cast<const uchar *>(bytes.constData());
        QCOMPARE(bytes.left(2), QByteArray("BM"));
        QCOMPARE(qFromLittleEndian<quint32>(h + 2), quint32(bytes.size()));
        QCOMPARE(qFromLittleEndian<quint32>(h + 10), 54u);                // pixels follow the headers
        QCOMPARE(qFromLittleEndian<qint32>(h + 18), width);
        QCOMPARE(qFromLittleEndian<qint32>(h + 22), height);             // positive: bottom-up
        QCOMPARE(qFromLittleEndian<quint16>(h + 28), quint16(24));       // bits per pixel
        QCOMPARE(qFromLittleEndian<quint32>(h + 30), 0u);                 // uncompressed
        const int stride = (width * 3 + 3) / 4 * 4;
        QCOMPARE(bytes.size(), 54 + stride * height);
    }

    void jokePictureIsItsExactFile()
    {
        QFile file(QStringLiteral(":/joke.bmp"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(bytes.size(), 524826);
        const auto *h = reinterpret_cast<const uchar *>(bytes.constData());
        QCOMPARE(qFromLittleEndian<quint16>(h + 26), quint16(1));  // planes
        QCOMPARE(qFromLittleEndian<qint32>(h + 38), 0);            // no resolution
        QCOMPARE(qFromLittleEndian<qint32>(h + 42), 0);
    }
};

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
