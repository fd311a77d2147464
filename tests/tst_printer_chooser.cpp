// The printer chooser: its design, the list of printers, Save and the close box.

#include "PrinterChooser.h"
#include "LabelFonts.h"
#include "ModalWatcher.h"
#include "Printer.h"
#include "TestPrinting.h"
#include "WindowChecks.h"

#include <QListWidget>
#include <QtTest>

using namespace WindowChecks;

class TestPrinterChooser : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { LabelFonts::ensureInstalled(); }

    void design()
    {
        TestPrinting env;
        QWidget owner; // the main window's font is not passed on to the chooser
        owner.setFont(QFont(QStringLiteral("Tahoma"), 20));
        PrinterChooser form(&owner);
        form.promptLabel->setObjectName("promptLabel");
        form.printerList->setObjectName("printerList");
        form.saveButton->setObjectName("saveButton");
        QCOMPARE(designOf(&form, {"promptLabel", "printerList", "saveButton"}),
                 QStringList({"promptLabel 120,120,4455,375 Tahoma 9.75 bold 'Please Choose  A Printer from the List Below'",
                              "printerList 120,480,4455,2595 default ''",
                              "saveButton 120,3120,4455,495 Tahoma 9.75 bold 'Save'"}));
        QCOMPARE(frame(&form), QStringLiteral("'Printer Chooser' 4680x3750 fixed close"));

        QVERIFY(showActive(&form));
        QTest::keyClick(form.printerList, Qt::Key_Down); // select, so Save can take the focus
        QCOMPARE(tabOrder(&form, 1), QStringList({"printerList", "saveButton"}));
    }

    // The spooler's order, and nothing selected even when one of them is saved.
    void listsPrintersInOrderWithNothingSelected()
    {
        const QStringList printers{"Office", "Label Printer"};
        TestPrinting env(printers, {});
        env.savePrinter(QStringLiteral("Label Printer"));
        PrinterChooser form;
        QStringList listed;
        for (int i = 0; i < form.printerList->count(); ++i)
            listed.append(form.printerList->item(i)->text());
        QCOMPARE(listed, printers);
        QVERIFY(form.printerList->selectedItems().isEmpty());
        QVERIFY(!form.saveButton->isEnabled());
    }

    // Selecting enables Save but saves nothing; Save writes the name exactly
    // as the spooler reports it, blanks and letter case included.
    void selectThenSave()
    {
        TestPrinting env({"Office", " label printer 2 "}, "Office");
        PrinterChooser form;
        QVERIFY(showActive(&form));
        QTest::mouseClick(form.printerList->viewport(), Qt::LeftButton, {},
                          form.printerList->visualItemRect(form.printerList->item(1)).center());
        QCOMPARE(form.printerList->selectedItems().size(), 1);
        QVERIFY(form.saveButton->isEnabled());
        QCOMPARE(env.savedPrinter(), QStringLiteral("none"));
        QTest::mouseClick(form.saveButton, Qt::LeftButton);
        QCOMPARE(env.savedPrinter(), QStringLiteral(" label printer 2 "));
        QVERIFY(!form.isVisible());
        // The running process keeps its printer until the next job selects the saved one.
        QCOMPARE(Printer::current().deviceName(), QStringLiteral("Office"));
    }

    void closeBoxSavesNothing()
    {
        TestPrinting env;
        env.savePrinter(QStringLiteral("Office")); // neither "none" nor the printer selected below
        ModalWatcher watcher([](QWidget *window, int) {
            if (auto *chooser = qobject_cast<PrinterChooser *>(window))
                QTest::keyClick(chooser->printerList, Qt::Key_Down); // a selection, then the close box
            window->close();
        });
        PrinterChooser::showModal(nullptr); // returns once the window has closed
        QCOMPARE(watcher.opened, QStringList{"PrinterChooser: Printer Chooser"});
        QCOMPARE(env.savedPrinter(), QStringLiteral("Office"));
        for (QWidget *top : QApplication::topLevelWidgets())
            QVERIFY(!qobject_cast<PrinterChooser *>(top)); // destroyed, not just hidden
    }
};

QTEST_MAIN(TestPrinterChooser)
#include "tst_printer_chooser.moc"
