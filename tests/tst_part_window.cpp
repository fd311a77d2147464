// The part window's barcode preview, read off the screen by a scanner. What
// the part window shows and prints is in tst_windows.

#include "LabelImage.h"
#include "PartWindow.h"
#include "ScriptedPrompts.h"
#include "TestPrinting.h"
#include "WindowChecks.h"

#include <QtTest>

using namespace WindowChecks;

class TestPartWindow : public QObject {
    Q_OBJECT
private slots:
    void previewDrawsRealBars()
    {
        TestPrinting env;
        env.writeDataFile(QStringLiteral("parts.txt"), "AB-12,Brass Olive 15mm\r\n");
        ScriptedPrompts prompts;
        PartWindow window(env.printer, prompts);
        window.load();
        QVERIFY(showActive(&window));
        retype(window.partBox, QStringLiteral("AB"));
        QImage preview(window.barcodeLabel->size() * 4, QImage::Format_RGB32);
        preview.setDevicePixelRatio(4);
        preview.fill(Qt::white);
        window.barcodeLabel->render(&preview);
        QCOMPARE(LabelImage::decodeCode39(preview), QStringList{"AB"});
    }
};

QTEST_MAIN(TestPartWindow)
#include "tst_part_window.moc"
