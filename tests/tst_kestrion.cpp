// The part window: loading the parts file, the chooser, the slider, closing.

#include "Kestrion.h"
#include "LabelImage.h"
#include "Prompts.h"
#include "TestPrinting.h"

#include <QApplication>
#include <QAbstractItemView>
#include <QComboBox>
#include <QPushButton>
#include <QLineEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

class RecordingPrompts : public Prompts {
public:
    QStringList told;
    QStringList titles;
    QStringList warned;
    bool askYesNo(QWidget *, const QString &text, const QString &) override
    {
        told.append(text);
        return false;
    }
    void tell(QWidget *, const QString &text, const QString &title) override
    {
        told.append(text);
        titles.append(title);
    }
    void warn(QWidget *, const QString &text) override { warned.append(text); }
    QString input(QWidget *, const QString &, const QString &) override { return {}; }
};

const QString kCannotLoad = QStringLiteral("Cannot Load Parts File");

QStringList listOf(const Kestrion &window)
{
    QStringList entries;
    for (int i = 0; i < window.Combo1->count(); ++i)
        entries.append(window.Combo1->itemText(i));
    return entries;
}

// The three labels of the part on show: code, barcode preview, description.
QStringList shown(const Kestrion &window)
{
    return {window.Label2->text(), window.Label4->text(), window.Label5->text()};
}

const QStringList kDesignTexts = {QStringLiteral("VHQPART"), QStringLiteral("*VHQPART*"),
                                  QStringLiteral("5Qty M8 Wing Nuts")};

} // namespace

class TestKestrion : public QObject {
    Q_OBJECT

    std::unique_ptr<TestPrinting> env;
    RecordingPrompts prompts;

    std::unique_ptr<Kestrion> openWindow()
    {
        auto window = std::make_unique<Kestrion>();
        window->Form_Load();
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            qWarning("the part window did not become active");
        return window;
    }

    void type(Kestrion &window, const QString &keys)
    {
        QTest::keyClicks(window.Combo1, keys);
    }

private slots:
    void init()
    {
        env = std::make_unique<TestPrinting>();
        prompts = RecordingPrompts();
        Prompts::install(&prompts);
    }

    void cleanup()
    {
        Prompts::install(nullptr);
        env.reset();
    }

    void loading_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<bool>("failed");

        const QStringList ab = {"AB-12", "*AB-12*", "Brass Olive 15mm"};
        QTest::newRow("missing file: design texts, empty list")
            << false << QByteArray() << "Combo1" << kDesignTexts << QStringList() << true;
        QTest::newRow("empty file: nothing to read")
            << true << QByteArray() << "Combo1" << kDesignTexts << QStringList() << true;
        // A one-line parts file is a whole parts file.
        QTest::newRow("one line, CR LF") << true << QByteArray("AB-12,Brass Olive 15mm\r\n")
                                         << "AB-12,Brass Olive 15mm" << ab
                                         << QStringList{"AB-12,Brass Olive 15mm"} << false;
        QTest::newRow("one line, no line end") << true << QByteArray("AB-12,Brass Olive 15mm")
                                               << "AB-12,Brass Olive 15mm" << ab
                                               << QStringList{"AB-12,Brass Olive 15mm"} << false;
        QTest::newRow("two lines") << true << QByteArray("AB-12,Brass Olive 15mm\r\nCD-3,Tap Washer\r\n")
                                   << "AB-12,Brass Olive 15mm" << ab
                                   << QStringList{"AB-12,Brass Olive 15mm", "CD-3,Tap Washer"} << false;
        QTest::newRow("three lines, LF alone, file order kept")
            << true << QByteArray("AB-12,Brass Olive 15mm\nZZ,Last\nAA,First\n") << "AB-12,Brass Olive 15mm" << ab
            << QStringList{"AB-12,Brass Olive 15mm", "ZZ,Last", "AA,First"} << false;
        QTest::newRow("empty lines inside and at the end become empty entries")
            << true << QByteArray("AB-12,Brass Olive 15mm\r\n\r\nCD-3,Tap Washer\r\n\r\n")
            << "AB-12,Brass Olive 15mm" << ab
            << QStringList{"AB-12,Brass Olive 15mm", "", "CD-3,Tap Washer", ""} << false;
        // Code and preview come from the change of the text; the description
        // is missing, so loading stops with only that line listed.
        QTest::newRow("first line without a comma")
            << true << QByteArray("NOCOMMA\r\nCD-3,Tap Washer\r\n") << "NOCOMMA"
            << QStringList{"NOCOMMA", "*NOCOMMA*", "5Qty M8 Wing Nuts"} << QStringList{"NOCOMMA"} << true;
        QTest::newRow("first line empty") << true << QByteArray("\r\nCD-3,Tap Washer\r\n") << "" << kDesignTexts
                                          << QStringList{""} << true;
        QTest::newRow("three fields: the third shown nowhere")
            << true << QByteArray("P1,Radiator Key,EXTRA\r\nQ2,x\r\n") << "P1,Radiator Key,EXTRA"
            << QStringList{"P1", "*P1*", "Radiator Key"} << QStringList{"P1,Radiator Key,EXTRA", "Q2,x"} << false;
        QTest::newRow("space after the comma stays")
            << true << QByteArray("P1, Radiator Key \r\nQ2,x\r\n") << "P1, Radiator Key "
            << QStringList{"P1", "*P1*", " Radiator Key "} << QStringList{"P1, Radiator Key ", "Q2,x"} << false;
        QTest::newRow("a lone comma: empty code and description")
            << true << QByteArray(",\r\nQ2,x\r\n") << "," << QStringList{"", "**", ""}
            << QStringList{",", "Q2,x"} << false;
        QTest::newRow("Windows-1252 degree sign")
            << true << QByteArray("T60,Thermostat 60\xB0" "C\r\nQ2,x\r\n") << QString::fromUtf8("T60,Thermostat 60°C")
            << QStringList{"T60", "*T60*", QString::fromUtf8("Thermostat 60°C")}
            << QStringList{QString::fromUtf8("T60,Thermostat 60°C"), "Q2,x"} << false;
        QTest::newRow("UTF-8 degree sign")
            << true << QByteArray("T60,Thermostat 60\xC2\xB0" "C\r\n") << QString::fromUtf8("T60,Thermostat 60°C")
            << QStringList{"T60", "*T60*", QString::fromUtf8("Thermostat 60°C")}
            << QStringList{QString::fromUtf8("T60,Thermostat 60°C")} << false;
    }

    void loading()
    {
        QFETCH(bool, exists);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(QStringList, labels);
        QFETCH(QStringList, list);
        QFETCH(bool, failed);
        if (exists)
            env->writeDataFile(QStringLiteral("parts.txt"), bytes);

        auto window = openWindow();
        QCOMPARE(prompts.told, failed ? QStringList{kCannotLoad} : QStringList());
        if (failed)
            QCOMPARE(prompts.titles, QStringList{QString()}); // the box sets no title of its own
        QCOMPARE(window->Combo1->currentText(), text);
        QCOMPARE(shown(*window), labels);
        QCOMPARE(listOf(*window), list);
        QCOMPARE(window->lblQty->text(), QStringLiteral("1"));
        QCOMPARE(window->HScroll1->value(), 1);
    }

    void typingIntoTheEmptiedChooser()
    {
        env->writeDataFile(QStringLiteral("parts.txt"), "AB-12,Brass Olive 15mm\r\nCD-3,Tap Washer\r\n");
        auto window = openWindow();
        QTest::keyClick(window->Combo1, Qt::Key_A, Qt::ControlModifier); // select all
        QTest::keyClick(window->Combo1, Qt::Key_Backspace);
        QCOMPARE(window->Combo1->currentText(), QString());
        QCOMPARE(shown(*window), (QStringList{"AB-12", "*AB-12*", "Brass Olive 15mm"}));

        QTest::keyClick(window->Combo1, 'A');
        QCOMPARE(shown(*window), (QStringList{"A", "*A*", "Brass Olive 15mm"}));
        QTest::keyClick(window->Combo1, 'B');
        QCOMPARE(shown(*window), (QStringList{"AB", "*AB*", "Brass Olive 15mm"}));

        // Typing never completes from the list nor adds to it.
        QCOMPARE(window->Combo1->currentText(), QStringLiteral("AB"));
        type(*window, QStringLiteral("-12,Cu"));
        QCOMPARE(shown(*window), (QStringList{"AB-12", "*AB-12*", "Cu"}));
        QTest::keyClick(window->Combo1, Qt::Key_Return);
        QCOMPARE(listOf(*window), (QStringList{"AB-12,Brass Olive 15mm", "CD-3,Tap Washer"}));
    }

    void enterShowsTheTypedPartAndNeitherPrintsNorCloses()
    {
        env->writeDataFile(QStringLiteral("parts.txt"), "AB-12,Brass Olive 15mm\r\n");
        auto window = openWindow();
        // A text the chooser already holds: Enter shows it afresh.
        window->Label2->setText(QStringLiteral("stale"));
        QTest::keyClick(window->Combo1, Qt::Key_Return);
        QCOMPARE(window->Label2->text(), QStringLiteral("AB-12"));
        QTest::keyClick(window->Combo1, Qt::Key_Enter);
        QTest::keyClick(window->Combo1, Qt::Key_Escape);
        QVERIFY(window->isVisible());
        QCOMPARE(window->result(), 0);
        QVERIFY(env->spooler.jobs.isEmpty());
    }

    void choosingEntriesWithTheArrowKeys()
    {
        env->writeDataFile(QStringLiteral("parts.txt"), "AB-12,Brass Olive 15mm\r\n\r\nCD-3,Tap Washer\r\nEF\r\n");
        auto window = openWindow();
        const QStringList first = {"AB-12", "*AB-12*", "Brass Olive 15mm"};
        QTest::keyClick(window->Combo1, Qt::Key_Down); // the empty entry: nothing changes
        QCOMPARE(window->Combo1->currentText(), QString());
        QCOMPARE(shown(*window), first);
        QTest::keyClick(window->Combo1, Qt::Key_Down);
        QCOMPARE(shown(*window), (QStringList{"CD-3", "*CD-3*", "Tap Washer"}));
        QTest::keyClick(window->Combo1, Qt::Key_Down); // no comma: the description stays
        QCOMPARE(shown(*window), (QStringList{"EF", "*EF*", "Tap Washer"}));
        QTest::keyClick(window->Combo1, Qt::Key_Up);
        QTest::keyClick(window->Combo1, Qt::Key_Up);
        QCOMPARE(shown(*window), (QStringList{"CD-3", "*CD-3*", "Tap Washer"}));
        QTest::keyClick(window->Combo1, Qt::Key_Up);
        QCOMPARE(shown(*window), first);
    }

    void choosingAnEntryFromTheList()
    {
        env->writeDataFile(QStringLiteral("parts.txt"), "AB-12,Brass Olive 15mm\r\n\r\nCD-3,Tap Washer\r\n");
        auto window = openWindow();
        QSignalSpy chosen(window->Combo1, &QComboBox::activated);
        window->Combo1->showPopup();
        QAbstractItemView *list = window->Combo1->view();
        QTRY_VERIFY(list->isVisible());
        const QRect empty = list->visualRect(list->model()->index(1, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, empty.center());
        QTRY_COMPARE(chosen.count(), 1);
        QCOMPARE(shown(*window), (QStringList{"AB-12", "*AB-12*", "Brass Olive 15mm"}));

        window->Combo1->showPopup();
        QTRY_VERIFY(list->isVisible());
        const QRect third = list->visualRect(list->model()->index(2, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, third.center());
        QTRY_COMPARE(chosen.count(), 2);
        QCOMPARE(shown(*window), (QStringList{"CD-3", "*CD-3*", "Tap Washer"}));
    }

    void showingALineTwiceChangesNothing()
    {
        auto window = openWindow();
        window->ShowPartLine(QStringLiteral("X1,One,Two"));
        const QStringList once = shown(*window);
        window->ShowPartLine(QStringLiteral("X1,One,Two"));
        QCOMPARE(shown(*window), once);
        QCOMPARE(once, (QStringList{"X1", "*X1*", "One"}));
    }

    void slider_data()
    {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<int>("value");
        QTest::newRow("right end") << QList<int>{Qt::Key_End} << 100;
        QTest::newRow("past the right end") << QList<int>{Qt::Key_End, Qt::Key_Right} << 100;
        QTest::newRow("never below 1") << QList<int>{Qt::Key_Left, Qt::Key_Home, Qt::Key_Left} << 1;
        QTest::newRow("right arrow adds, left arrow takes away")
            << QList<int>{Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Left} << 3;
        QTest::newRow("back to the left end") << QList<int>{Qt::Key_End, Qt::Key_Home} << 1;
    }

    void slider()
    {
        QFETCH(QList<int>, keys);
        QFETCH(int, value);
        auto window = openWindow();
        for (int key : keys)
            QTest::keyClick(window->HScroll1, Qt::Key(key));
        QCOMPARE(window->HScroll1->value(), value);
        QCOMPARE(window->lblQty->text(), QString::number(value));
    }

    void barcodePreviewScansAndIsCentred_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("decoded");
        QTest::newRow("design text") << QString() << "VHQPART";
        QTest::newRow("short code") << "K7" << "K7";
        QTest::newRow("code with dash and digits") << "VQ-1234" << "VQ-1234";
        QTest::newRow("lower case reads as capitals") << "ab-9" << "AB-9";
    }

    void barcodePreviewScansAndIsCentred()
    {
        QFETCH(QString, typed);
        QFETCH(QString, decoded);
        auto window = openWindow();
        if (!typed.isEmpty()) {
            window->Combo1->lineEdit()->clear();
            type(*window, typed);
        }
        QCOMPARE(window->Label4->text(), QLatin1Char('*') + (typed.isEmpty() ? decoded : typed) + QLatin1Char('*'));

        // As on the screen, and magnified as a scanner would need it.
        const QImage onScreen = window->Label4->grab().toImage();
        QImage magnified(window->Label4->size() * 4, QImage::Format_RGB32);
        magnified.setDevicePixelRatio(4);
        magnified.fill(Qt::white);
        window->Label4->render(&magnified, {}, {}, QWidget::DrawChildren);
        QCOMPARE(LabelImage::decodeCode39(magnified), QStringList{decoded});

        // The bars sit in the middle of the label, with as much room each side.
        const QImage grey = onScreen.convertToFormat(QImage::Format_Grayscale8);
        const int row = 10;
        int first = -1, last = -1;
        for (int x = 0; x < grey.width(); ++x) {
            if (qGray(grey.pixel(x, row)) < 128) {
                if (first < 0)
                    first = x;
                last = x;
            }
        }
        QVERIFY(first > 0);
        // The font's last glyph ends in a gap of one narrow element (~1 px).
        QVERIFY2(qAbs(first - (grey.width() - 1 - last)) <= 2,
                 qPrintable(QStringLiteral("bars %1..%2 in %3 px").arg(first).arg(last).arg(grey.width())));
    }

    void closingAndReopeningStartsAfresh()
    {
        env->writeDataFile(QStringLiteral("parts.txt"), "AB-12,Brass Olive 15mm\r\nCD-3,Tap Washer\r\n");
        QPointer<Kestrion> first;
        QTimer::singleShot(0, this, [&] {
            first = qobject_cast<Kestrion *>(QApplication::activeModalWidget());
            QVERIFY(first);
            QTest::keyClick(first->HScroll1, Qt::Key_End);
            QTest::keyClick(first->Combo1, Qt::Key_Down);
            QTest::mouseClick(first->Command1, Qt::LeftButton);
        });
        Kestrion::showModal(nullptr);
        QVERIFY(first.isNull()); // unloaded

        // The file changed meanwhile: it is read afresh.
        env->writeDataFile(QStringLiteral("parts.txt"), "GH-5,Air Vent\r\n");
        QStringList seen;
        QTimer::singleShot(0, this, [&] {
            auto *second = qobject_cast<Kestrion *>(QApplication::activeModalWidget());
            QVERIFY(second);
            seen = shown(*second) + listOf(*second)
                   << second->lblQty->text() << QString::number(second->HScroll1->value());
            second->close(); // as from the title bar
        });
        Kestrion::showModal(nullptr);
        QCOMPARE(seen, (QStringList{"GH-5", "*GH-5*", "Air Vent", "GH-5,Air Vent", "1", "1"}));
        QVERIFY(prompts.told.isEmpty());
    }
};

QTEST_MAIN(TestKestrion)
#include "tst_kestrion.moc"
