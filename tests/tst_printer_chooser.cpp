// The printer chooser: the list of printers, Save and the close box.

#include "PrinterChooser.h"
#include "ModalWatcher.h"
#include "Printer.h"
#include "TestPrinting.h"
#include "WindowChecks.h"

#include <QListWidget>
#include <QtTest>

class TestPrinterChooser : public QObject {
    Q_OBJECT

private slots:
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
        QVERIFY(WindowChecks::showActive(&form));
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
