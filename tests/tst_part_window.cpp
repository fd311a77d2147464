// The part window's barcode preview, read off the screen by a scanner, and
// the windows opened modally from the main window starting afresh each time.
// What the part window shows and prints is in tst_windows.

#include "AddressLabelWindow.h"
#include "LabelImage.h"
#include "ModalWatcher.h"
#include "PartWindow.h"
#include "ScriptedPrompts.h"
#include "TestPrinting.h"

#include <QScrollBar>
#include <QtTest>

using namespace WindowChecks;

class TestPartWindow : public QObject {
    Q_OBJECT
private slots:
    void previewDrawsRealBars()
    {
        TestPrinting env;
        env.writeDataFile(QStringLiteral("parts.txt"), "AB-12,Brass Olive 15mm\r\n");
        PartWindow window;
        window.load();
        QVERIFY(showActive(&window));
        retype(window.partBox, QStringLiteral("AB"));
        QImage preview(window.barcodeLabel->size() * 4, QImage::Format_RGB32);
        preview.setDevicePixelRatio(4);
        preview.fill(Qt::white);
        window.barcodeLabel->render(&preview);
        QCOMPARE(LabelImage::decodeCode39(preview), QStringList{"AB"});
    }

    // Changed and closed by Close, then opened again (the parts file changed
    // meanwhile): nothing is left over; the texts and focus of the second opening.
    void reopensAfresh_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QStringList>("seen");
        QTest::newRow("address") << "address" << QStringList{"line1Box=", "line2Box=", "line3Box=", "line4Box=", "copiesBox=1", "line1Box"};
        QTest::newRow("part") << "part" << QStringList{"partBox=GH-5,Air Vent", "partBox", "Veltrane Heating Supplies Ltd.", "1",
                                                       "GH-5", "*GH-5*", "Air Vent", "Kestrion"};
    }
    void reopensAfresh()
    {
        QFETCH(QString, window);
        QFETCH(QStringList, seen);
        TestPrinting env;
        env.writeDataFile(QStringLiteral("parts.txt"), "AB-12,Brass Olive 15mm\r\nCD-3,Tap Washer\r\n");
        ScriptedPrompts prompts(&env.spooler);
        QStringList second;
        ModalWatcher watcher([&](QWidget *opened, int index) {
            // The watcher can see the window before the window system has
            // activated it and handed the focus over.
            (void)QTest::qWaitFor([opened] { return opened->isAncestorOf(QApplication::focusWidget()); }, 5000);
            if (index == 0) {
                for (QLineEdit *box : opened->findChildren<QLineEdit *>())
                    box->setText(QStringLiteral("9"));
                for (QScrollBar *slider : opened->findChildren<QScrollBar *>())
                    slider->setValue(slider->maximum());
                env.writeDataFile(QStringLiteral("parts.txt"), "GH-5,Air Vent\r\n");
                QTest::mouseClick(opened->findChild<QPushButton *>(QStringLiteral("closeButton")), Qt::LeftButton);
                return;
            }
            second << typedTexts(opened) << focusName(opened);
            for (QLabel *label : opened->findChildren<QLabel *>(Qt::FindDirectChildrenOnly))
                second << label->text();
            opened->close(); // the close box
        });
        for (int i = 0; i < 2; ++i)
            window == QLatin1String("part") ? PartWindow::showModal(nullptr) : AddressLabelWindow::showModal(nullptr);
        QCOMPARE(watcher.stillOpenAfterAct, QStringList());
        QCOMPARE(second, seen);
    }
};

QTEST_MAIN(TestPartWindow)
#include "tst_part_window.moc"
