// The address, order and bin label windows, driven through real key presses
// and mouse clicks against a recording spooler: their Enter flow, the jobs of
// their layouts (tests/data/<window>-flow.txt) and what a failed print leaves.

#include "Form3.h"
#include "Golden.h"
#include "LabelImage.h"
#include "ModalWatcher.h"
#include "Ormex.h"
#include "PrintStamp.h"
#include "ScriptedPrompts.h"
#include "TestPrinting.h"
#include "WindowChecks.h"
#include "frmBinLabeller.h"

#include <QtTest>

#include <memory>

using namespace WindowChecks;

class TestLabelWindows : public QObject {
    Q_OBJECT

    std::unique_ptr<TestPrinting> env;
    std::unique_ptr<ScriptedPrompts> prompts;

    // A window shown and active, as the user meets it.
    template <class W> std::unique_ptr<W> open()
    {
        auto window = std::make_unique<W>();
        if (!showActive(window.get()))
            qWarning("window did not become active");
        return window;
    }
    std::unique_ptr<QDialog> open(const QString &name)
    {
        if (name == QLatin1String("address"))
            return open<Form3>();
        return name == QLatin1String("order") ? std::unique_ptr<QDialog>(open<Ormex>()) : open<frmBinLabeller>();
    }
    // What the user saw and got: the focus and jobs so far at each step, then
    // the prompts, the jobs and what is left typed in `window`.
    QString flow(const QStringList &steps, QWidget *window)
    {
        return steps.join(QLatin1Char('\n')) + QLatin1Char('\n') + prompts->transcript()
            + typedTexts(window).join(QLatin1Char('\n')) + QLatin1Char('\n');
    }
    QString step(QWidget *window) { return QStringLiteral("focus %1 jobs %2").arg(focusName(window)).arg(env->spooler.jobs.size()); }

private slots:
    void init()
    {
        env = std::make_unique<TestPrinting>();
        env->savePrinter(QStringLiteral("Label Printer"));
        prompts = std::make_unique<ScriptedPrompts>(&env->spooler);
        Clock::setNowForTests([] { return QDateTime(QDate(2026, 6, 12), QTime(19, 29, 50)); });
    }
    void cleanup()
    {
        prompts.reset();
        env.reset();
    }

    // Enter moves down the fields and prints from the last one, just as Print
    // does (and still once after Print was clicked); Esc does nothing; what
    // was typed stays, blanks, letter case and empty lines included.
    void addressAndOrder_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QStringList>("typed");
        QTest::newRow("address") << "address" << QStringList{"  Mrs A. jONES ", "", "Leeds", "LS1 4AB"};
        QTest::newRow("order") << "order" << QStringList{"PO 4471", "Gas safety 2026", " 3 Mill Lane, Hull "};
    }
    void addressAndOrder()
    {
        QFETCH(QString, window);
        QFETCH(QStringList, typed);
        auto w = open(window);
        QStringList steps;
        for (const QString &text : typed) {
            steps << step(w.get());
            type(text);
            press(Qt::Key_Return);
        }
        QWidget *last = QApplication::focusWidget();
        QTest::mouseClick(w->findChildren<QPushButton *>().value(0), Qt::LeftButton);
        last->setFocus();
        press(Qt::Key_Enter);
        press(Qt::Key_Escape);
        QVERIFY(w->isVisible());
        QVERIFY(Golden::matches(window + QStringLiteral("-flow.txt"), flow(steps, w.get())));
    }

    // One label per press of Enter, then the field is emptied and keeps the
    // focus; an empty field still prints. The window selects no printer of its
    // own: it prints on the one that is current, before and after another
    // window selected the label printer. Esc closes it without printing.
    void bin()
    {
        auto w = open<frmBinLabeller>();
        QStringList steps;
        for (const QString &code : {QStringLiteral("abcdefghij-2345"), QStringLiteral("ABCDEFGHIJ123456"), QString()}) {
            w->Text1->setFocus();
            type(code);
            if (code.isEmpty())
                QTest::mouseClick(w->Command1, Qt::LeftButton);
            else
                press(Qt::Key_Return);
            steps << step(w.get()) + QStringLiteral(" text '") + w->Text1->text() + QLatin1Char('\'');
            if (code.isEmpty())
                continue;
            QCOMPARE(LabelImage::decodeCode39(env->spooler.jobs.last(), 203), QStringList{code.toUpper()});
            if (code.front().isLower()) { // then another window prints on the label printer
                auto order = open<Ormex>();
                QTest::mouseClick(order->Command1, Qt::LeftButton);
                order->close();
                QVERIFY(showActive(w.get()));
            }
        }
        type(QStringLiteral("NOT PRINTED"));
        press(Qt::Key_Escape);
        QVERIFY(!w->isVisible());
        QVERIFY(Golden::matches(QStringLiteral("bins-flow.txt"), flow(steps, w.get())));
    }

    // A refused job or copies that are not a whole number: the user is told
    // why, nothing is printed and nothing typed is lost. Mended, the next click
    // prints, any typed number of copies once, and the copies go back to 1.
    void failureKeepsTyping_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("copies"); // the address window's copies text
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QStringList>("warned");
        const QStringList refused{"out of labels"};
        QTest::newRow("address: printer refuses") << "address" << "3" << "out of labels" << refused;
        QTest::newRow("order: printer refuses") << "order" << "" << "out of labels" << refused;
        QTest::newRow("bins: printer refuses") << "bins" << "" << "out of labels" << refused;
        QTest::newRow("address: copies empty") << "address" << "" << "" << QStringList{"\"\"", "-32768 to 32767"};
        QTest::newRow("address: copies with a word") << "address" << "3 copies" << ""
                                                     << QStringList{"\"3 copies\"", "-32768 to 32767"};
    }
    void failureKeepsTyping()
    {
        QFETCH(QString, window);
        QFETCH(QString, copies);
        QFETCH(QString, refusal);
        QFETCH(QStringList, warned);
        auto w = open(window);
        for (QLineEdit *box : w->findChildren<QLineEdit *>())
            box->setText(nameOf(box) + QStringLiteral(" text"));
        auto *copiesBox = w->findChild<QComboBox *>();
        if (copiesBox)
            retype(copiesBox, copies);
        const QStringList before = typedTexts(w.get());
        if (!refusal.isEmpty())
            env->spooler.refuseJobs(refusal);
        QPushButton *print = w->findChildren<QPushButton *>().value(0);
        QTest::mouseClick(print, Qt::LeftButton);
        QCOMPARE(env->spooler.jobs.size(), 0);
        QCOMPARE(prompts->log.size(), 1);
        for (const QString &part : warned)
            QVERIFY2(prompts->log[0].startsWith("warn '") && prompts->log[0].contains(part), qPrintable(prompts->log[0]));
        QCOMPARE(typedTexts(w.get()), before);
        QVERIFY(w->isVisible());

        env->spooler.refuseJobs({}, -1);
        if (copiesBox)
            retype(copiesBox, QStringLiteral("45")); // beyond the list
        QTest::mouseClick(print, Qt::LeftButton);
        QCOMPARE(env->spooler.jobs.size(), 1);
        QCOMPARE(env->spooler.jobs[0].copies, copiesBox ? 45 : 1);
        if (copiesBox)
            QCOMPARE(copiesBox->currentText(), QStringLiteral("1"));
    }

    // Opened modally, each opening starts afresh: Close leaves nothing behind.
    void addressWindowReopensAfresh()
    {
        QStringList seen;
        ModalWatcher watcher([&](QWidget *window, int index) {
            auto *w = qobject_cast<Form3 *>(window);
            if (w && index == 0) {
                w->Text1->setText(QStringLiteral("left over"));
                w->Combo2->setEditText(QStringLiteral("9"));
                QTest::mouseClick(w->Command2, Qt::LeftButton);
            } else if (w) {
                // The watcher can see the dialog before the window system has
                // activated it and handed its first field the focus.
                (void)QTest::qWaitFor([w] { return w->isAncestorOf(QApplication::focusWidget()); }, 5000);
                seen << typedTexts(w) << focusName(w);
                w->close(); // the close box
            }
        });
        Form3::showModal(nullptr);
        Form3::showModal(nullptr);
        QCOMPARE(watcher.stillOpenAfterAct, QStringList());
        QCOMPARE(seen, QStringList({"Text1=", "Text2=", "Text3=", "Text4=", "Combo2=1", "Text1"}));
    }
};

QTEST_MAIN(TestLabelWindows)
#include "tst_label_windows.moc"
