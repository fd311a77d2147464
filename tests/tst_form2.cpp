// The printer chooser: the list of printers, Save and the close box.

#include "Form2.h"
#include "ModalWatcher.h"
#include "Printer.h"
#include "TestPrinting.h"
#include "WindowChecks.h"

#include <QListWidget>
#include <QtTest>

class TestForm2 : public QObject {
    Q_OBJECT

private slots:
    // The spooler's order, and nothing selected even when one of them is saved.
    void listsPrintersInOrderWithNothingSelected()
    {
        const QStringList printers{"Office", "Label Printer"};
        TestPrinting env(printers, {});
        env.savePrinter(QStringLiteral("Label Printer"));
        Form2 form;
        QStringList listed;
        for (int i = 0; i < form.List1->count(); ++i)
            listed.append(form.List1->item(i)->text());
        QCOMPARE(listed, printers);
        QVERIFY(form.List1->selectedItems().isEmpty());
        QVERIFY(!form.Command1->isEnabled());
    }

    // Selecting enables Save but saves nothing; Save writes the name exactly
    // as the spooler reports it, blanks and letter case included.
    void selectThenSave()
    {
        TestPrinting env({"Office", " label printer 2 "}, "Office");
        Form2 form;
        QVERIFY(WindowChecks::showActive(&form));
        QTest::mouseClick(form.List1->viewport(), Qt::LeftButton, {},
                          form.List1->visualItemRect(form.List1->item(1)).center());
        QCOMPARE(form.List1->selectedItems().size(), 1);
        QVERIFY(form.Command1->isEnabled());
        QCOMPARE(env.savedPrinter(), QStringLiteral("none"));
        QTest::mouseClick(form.Command1, Qt::LeftButton);
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
            if (auto *chooser = qobject_cast<Form2 *>(window))
                QTest::keyClick(chooser->List1, Qt::Key_Down); // a selection, then the close box
            window->close();
        });
        Form2::showModal(nullptr); // returns once the window has closed
        QCOMPARE(watcher.opened, QStringList{"Form2: Printer Chooser"});
        QCOMPARE(env.savedPrinter(), QStringLiteral("Office"));
        for (QWidget *top : QApplication::topLevelWidgets())
            QVERIFY(!qobject_cast<Form2 *>(top)); // destroyed, not just hidden
    }
};

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
