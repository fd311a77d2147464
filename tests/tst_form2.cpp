// The printer chooser: its design, the list of printers, Save and the close box.

#include "Form2.h"
#include "LabelFonts.h"
#include "Printer.h"
#include "TestPrinting.h"

#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

class TestForm2 : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { LabelFonts::ensureInstalled(); }

    void controlsFollowTheDesign_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("twips");
        QTest::addColumn<bool>("ownFont"); // Tahoma 9.75 pt bold; else the system's default
        QTest::addColumn<QString>("caption");
        QTest::newRow("Label1") << "Label1" << QRect(120, 120, 4455, 375) << true
                                << "Please Choose  A Printer from the List Below";
        QTest::newRow("List1") << "List1" << QRect(120, 480, 4455, 2595) << false << "";
        QTest::newRow("Command1") << "Command1" << QRect(120, 3120, 4455, 495) << true << "Save";
    }

    void controlsFollowTheDesign()
    {
        QFETCH(QString, name);
        QFETCH(QRect, twips);
        QFETCH(bool, ownFont);
        QFETCH(QString, caption);
        TestPrinting env;
        Form2 form;
        QWidget *widget = name == "Label1" ? static_cast<QWidget *>(form.Label1)
                        : name == "List1"  ? static_cast<QWidget *>(form.List1)
                                           : static_cast<QWidget *>(form.Command1);
        QCOMPARE(widget->geometry(),
                 QRect(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15));
        if (ownFont) {
            QCOMPARE(widget->font().family(), QStringLiteral("Tahoma"));
            QCOMPARE(widget->font().pointSizeF(), 9.75);
            QVERIFY(widget->font().bold());
        } else {
            QCOMPARE(widget->font(), QApplication::font(widget));
        }
        if (auto *label = qobject_cast<QLabel *>(widget))
            QCOMPARE(label->text(), caption);
        if (auto *button = qobject_cast<QPushButton *>(widget))
            QCOMPARE(button->text(), caption);
    }

    void windowFrameAndTabOrder()
    {
        TestPrinting env;
        QWidget owner; // the main window's font is not passed on to the chooser
        owner.setFont(QFont(QStringLiteral("Tahoma"), 20));
        Form2 form(&owner);
        QCOMPARE(form.windowTitle(), QStringLiteral("Printer Chooser"));
        QCOMPARE(form.minimumSize(), QSize(312, 250));
        QCOMPARE(form.maximumSize(), QSize(312, 250));
        QVERIFY(form.windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!(form.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(form.List1->font(), QApplication::font(form.List1));

        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QCOMPARE(QApplication::focusWidget(), form.List1);
        QTest::keyClick(form.List1, Qt::Key_Down); // select, so Save can take the focus
        QTest::keyClick(form.List1, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), form.Command1);
    }

    void listsPrintersInOrderWithNothingSelected_data()
    {
        QTest::addColumn<QStringList>("printers");
        QTest::addColumn<QString>("saved");
        QTest::newRow("two, none saved") << QStringList{"Label Printer", "Office"} << "none";
        QTest::newRow("one already saved is not preselected") << QStringList{"Office", "Label Printer"}
                                                              << "Label Printer";
        QTest::newRow("no printer installed") << QStringList{} << "none";
    }

    void listsPrintersInOrderWithNothingSelected()
    {
        QFETCH(QStringList, printers);
        QFETCH(QString, saved);
        TestPrinting env(printers, {});
        env.savePrinter(saved);
        Form2 form;
        QStringList listed;
        for (int i = 0; i < form.List1->count(); ++i)
            listed.append(form.List1->item(i)->text());
        QCOMPARE(listed, printers);
        QVERIFY(form.List1->selectedItems().isEmpty());
        QVERIFY(!form.Command1->isEnabled());
    }

    void selectionEnablesSave_data()
    {
        QTest::addColumn<bool>("byMouse");
        QTest::newRow("mouse click") << true;
        QTest::newRow("arrow key") << false;
    }

    void selectionEnablesSave()
    {
        QFETCH(bool, byMouse);
        TestPrinting env({"Label Printer", "Office"}, "Office");
        Form2 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        if (byMouse) {
            QListWidgetItem *office = form.List1->item(1);
            QTest::mouseClick(form.List1->viewport(), Qt::LeftButton, {},
                              form.List1->visualItemRect(office).center());
        } else {
            QTest::keyClick(form.List1, Qt::Key_Down);
        }
        QCOMPARE(form.List1->selectedItems().size(), 1);
        QVERIFY(form.Command1->isEnabled());
        QCOMPARE(env.savedPrinter(), QStringLiteral("none")); // selecting saves nothing
    }

    void saveWritesTheNameUnchangedAndCloses()
    {
        // Blanks and letter case are part of the name as the spooler reports it.
        TestPrinting env({"Office", " label printer 2 "}, "Office");
        Form2 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::mouseClick(form.List1->viewport(), Qt::LeftButton, {},
                          form.List1->visualItemRect(form.List1->item(1)).center());
        QTest::mouseClick(form.Command1, Qt::LeftButton);
        QCOMPARE(env.savedPrinter(), QStringLiteral(" label printer 2 "));
        QVERIFY(!form.isVisible());
        // The running process keeps its printer until the next job selects the saved one.
        QCOMPARE(Printer::current().deviceName(), QStringLiteral("Office"));
    }

    void closeBoxSavesNothing_data()
    {
        QTest::addColumn<QString>("saved");
        QTest::newRow("never saved") << "none";
        QTest::newRow("saved before") << "Office";
    }

    void closeBoxSavesNothing()
    {
        QFETCH(QString, saved);
        TestPrinting env;
        env.savePrinter(saved);
        QString opened;
        QTimer watcher;
        connect(&watcher, &QTimer::timeout, [&] {
            if (auto *chooser = qobject_cast<Form2 *>(QApplication::activeModalWidget())) {
                opened = chooser->windowTitle();
                QTest::keyClick(chooser->List1, Qt::Key_Down); // a selection, then the close box
                chooser->close();
            }
        });
        watcher.start(10);
        Form2::showModal(nullptr); // returns once the window has closed
        watcher.stop();
        QCOMPARE(opened, QStringLiteral("Printer Chooser"));
        QCOMPARE(env.savedPrinter(), saved);
        for (QWidget *top : QApplication::topLevelWidgets())
            QVERIFY(!qobject_cast<Form2 *>(top)); // destroyed, not just hidden
    }
};

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
