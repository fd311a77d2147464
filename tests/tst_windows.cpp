// What users meet in the windows, as transcripts (tests/data/flow-<window>-<what>.txt):
// actions played through real key presses and clicks against a recording spooler,
// with the prompts, the jobs printed, the focus after each, the windows that opened
// and, where asked, a window's whole design.

#include "AddressLabelWindow.h"
#include "BinLabelWindow.h"
#include "Golden.h"
#include "MainWindow.h"
#include "OrderLabelWindow.h"
#include "PartWindow.h"
#include "PrintStamp.h"
#include "Prompts.h"
#include "ScriptedPrompts.h"
#include "TestPrinting.h"

#include <QDir>
#include <QInputDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTextDocument>
#include <QtTest>

#include <memory>

namespace {

QWidget *makeWindow(const QString &name, Printer &printer, Prompts &prompts)
{
    if (name == "main")
        return new MainWindow(printer, prompts);
    if (name == "address")
        return new AddressLabelWindow(printer, prompts);
    if (name == "order")
        return new OrderLabelWindow(printer, prompts);
    if (name == "bins")
        return new BinLabelWindow(printer, prompts);
    if (name == "part")
        return new PartWindow(printer, prompts);
    return nullptr;
}

// What a label shows of its text: the characters themselves, or what Qt
// makes of them as rich text ("<b>5</b>" shown as a bold 5).
QString shownText(const QLabel *label)
{
    const bool rich = label->textFormat() == Qt::RichText
                      || (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()));
    if (!rich)
        return label->text();
    QTextDocument document;
    document.setHtml(label->text());
    return document.toPlainText();
}

} // namespace

const QDateTime kNow(QDate(2026, 6, 12), QTime(9, 30, 5));

class TestWindows : public QObject {
    Q_OBJECT

    std::unique_ptr<TestPrinting> env;

private slots:
    void init()
    {
        env = std::make_unique<TestPrinting>();
        env->savePrinter(QStringLiteral("Label Printer"));
        env->printer.clock().standAt(kNow);
    }
    void cleanup() { env.reset(); }

    // Each tests/data/flow-<window>-<what>.txt is a transcript: comments
    // ("# ..."), the user's actions ("> ...", ">> ..." in a window they open)
    // and what came of each. The actions are played again; all must come out
    // the same.
    void flow_data()
    {
        QTest::addColumn<QString>("file");
        const QStringList files = QDir(QStringLiteral(TAGFOUNDRY_SOURCE_DIR "/tests/data")).entryList({"flow-*.txt"});
        for (const QString &file : files.isEmpty() ? QStringList{"flow-none-found.txt"} : files)
            QTest::newRow(qPrintable(file)) << file;
    }
    void flow()
    {
        QFETCH(QString, file);
        QFile transcript(QStringLiteral(TAGFOUNDRY_SOURCE_DIR "/tests/data/") + file);
        QVERIFY(transcript.open(QIODevice::ReadOnly));
        QStringList actions;
        for (const QString &line : QString::fromUtf8(transcript.readAll()).split(QLatin1Char('\n'))) {
            if (line.startsWith(QLatin1Char('>')) || line.startsWith(QLatin1Char('#')))
                actions << line;
        }
        ScriptedPrompts prompts(&env->spooler, &env->printer);
        std::unique_ptr<QWidget> w;
        const auto open = [&] {
            w.reset(makeWindow(file.chopped(4).section(QLatin1Char('-'), 1, 1), env->printer, prompts));
            return w.get();
        };
        // "load PARTS": this parts file (percent-encoded; "-": none), which a part window loads.
        const auto load = [&](const QString &parts) {
            if (parts != QLatin1String("-"))
                env->writeDataFile(QStringLiteral("parts.txt"), QByteArray::fromPercentEncoding(parts.toLatin1()));
            if (auto *part = qobject_cast<PartWindow *>(w.get()))
                part->load();
        };
        // The stamp's form is the locale's; its place and font are what is compared.
        QVERIFY(Golden::matches(file, prompts.play(open, actions, load).replace(PrintStamp(kNow), "<stamp>")));
    }

    // The message boxes, the shelf run's progress and the part window show
    // what was typed or read from a file as it is, also when it looks like
    // HTML: the real prompts, answered as a user would.
    void textsThatLookLikeHtmlAreShownAsTyped()
    {
        DialogPrompts prompts;
        QStringList answers, shown;
        QTimer answering; // answers each prompt as it opens, notes what it shows
        QObject::connect(&answering, &QTimer::timeout, &answering, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            if (auto *input = qobject_cast<QInputDialog *>(modal); input && !answers.isEmpty()) {
                input->setTextValue(answers.takeFirst());
                input->accept();
            } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                shown << shownText(box->findChild<QLabel *>(u"qt_msgbox_label"_qs));
                box->accept();
            }
        });
        answering.start(10);

        AddressLabelWindow address(env->printer, prompts);
        address.copiesBox->setEditText(u"<b>5</b>"_qs);
        address.printButton->click();
        QVERIFY2(shown.value(0).startsWith(u"Copies \"<b>5</b>\""_qs), qPrintable(shown.join(u'|')));

        // A run long enough to show its progress; what the progress says as
        // each label reaches the printer.
        struct ProgressWatcher : RecordingSpooler {
            QStringList *shown = nullptr;
            LabelReceipt submit(const PrintJob &job) override
            {
                for (auto *progress : QApplication::topLevelWidgets()) {
                    if (qobject_cast<QProgressDialog *>(progress) && progress->isVisible())
                        *shown << shownText(progress->findChild<QLabel *>());
                }
                return RecordingSpooler::submit(job);
            }
        } watcher;
        watcher.shown = &shown;
        Printer printer(Printers({&watcher}));
        MainWindow window(printer, prompts);
        answers = QStringList{u"<i>R</i>"_qs, u"51"_qs, u"1"_qs};
        window.findChild<QPushButton *>(u"shelvesButton"_qs)->click();
        answering.stop();
        QVERIFY2(!shown.filter(u"Printing shelf label <i>R</i>"_qs).isEmpty(), qPrintable(shown.join(u'|')));

        PartWindow part(env->printer, prompts);
        part.ShowPartLine(u"<b>AB-1</b>,<img src=\"x.png\">Pump"_qs);
        QCOMPARE(shownText(part.codeLabel), u"<b>AB-1</b>"_qs);
        QCOMPARE(shownText(part.descriptionLabel), u"<img src=\"x.png\">Pump"_qs);
    }
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
