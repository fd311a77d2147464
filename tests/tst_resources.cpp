// Every picture compiled into the program and the menu's icons installed beside it, as
// tests/data/resources.txt lists them: the checksum of their bytes (the bitmaps the windows and
// the part label layout are measured against, the icons drawn from the window icon), and what
// Qt reads from them: size, depth, and the alpha of a corner (the icons keep a transparent
// background, the bitmaps are opaque 24-bit files).

#include "Golden.h"

#include <QCryptographicHash>
#include <QImage>
#include <QtTest>

class TestResources : public QObject {
    Q_OBJECT
private slots:
    void picturesAreTheOnesTheProgramWasMeasuredAgainst()
    {
        QString table;
        for (const QString &folder : QStringList{":/", TAGFOUNDRY_SOURCE_DIR "/resources/icons/"}) {
            for (const QString &name : QDir(folder).entryList({"*.png", "*.bmp"}, QDir::Files, QDir::Name)) {
                QFile file(folder + name);
                const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
                const QImage image = QImage::fromData(bytes);
                table += QString("%1 %2 bytes md5 %3, %4x%5 depth %6 corner alpha %7\n")
                             .arg(name).arg(bytes.size())
                             .arg(QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex()))
                             .arg(image.width()).arg(image.height()).arg(image.depth()).arg(qAlpha(image.pixel(0, 0)));
            }
        }
        QVERIFY(Golden::matches("resources.txt", table));
    }
};

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
