// Every window as its design gives it (tests/data/design-<window>.txt: the
// frame, each control's place, size, font, caption, list and tip, and the
// order Tab takes), and what users meet in them: actions played through real
// key presses and clicks against a recording spooler, with the prompts, the
// jobs printed and the focus after each (tests/data/flow-<name>.txt).

#include "AddressLabelWindow.h"
#include "BinLabelWindow.h"
#include "Golden.h"
#include "JokeWindow.h"
#include "MainWindow.h"
#include "OrderLabelWindow.h"
#include "PartWindow.h"
#include "PrintStamp.h"
#include "PrinterChooser.h"
#include "ScriptedPrompts.h"
#include "TestPrinting.h"

#include <QDir>
#include <QtTest>

#include <memory>

using namespace WindowChecks;

namespace {

std::unique_ptr<QWidget> makeWindow(const QString &name, QWidget *owner)
{
    const QHash<QString, std::function<QWidget *()>> windows = {
        {"main", [] { return new MainWindow; }}, {"chooser", [owner] { return new PrinterChooser(owner); }},
        {"address", [owner] { return new AddressLabelWindow(owner); }}, {"order", [owner] { return new OrderLabelWindow(owner); }},
        {"bins", [owner] { return new BinLabelWindow(owner); }}, {"part", [owner] { return new PartWindow(owner); }},
        {"joke", [owner] { return new JokeWindow(owner); }}};
    return std::unique_ptr<QWidget>(windows.value(name, [] { return nullptr; })());
}

} // namespace

const QDateTime kNow(QDate(2026, 6, 12), QTime(9, 30, 5));

class TestWindows : public QObject {
    Q_OBJECT

    std::unique_ptr<TestPrinting> env;
    QWidget owner; // the owner's font is not passed on to the windows

private slots:
    void initTestCase() { owner.setFont(QFont(QStringLiteral("Tahoma"), 20)); }
    void init()
    {
        env = std::make_unique<TestPrinting>();
        env->savePrinter(QStringLiteral("Label Printer"));
        Clock::setNowForTests([] { return kNow; });
    }
    void cleanup() { env.reset(); }

    void design_data()
    {
        QTest::addColumn<QString>("window");
        for (const char *window : {"main", "chooser", "address", "order", "bins", "part", "joke"})
            QTest::newRow(window) << QString::fromLatin1(window);
    }
    void design()
    {
        QFETCH(QString, window);
        const std::unique_ptr<QWidget> w = makeWindow(window, &owner);
        QVERIFY(w);
        QString table = WindowChecks::design(w.get()); // before the main window's clock first ticks
        QVERIFY(showActive(w.get()));
        if (window == QLatin1String("chooser"))
            press(Qt::Key_Down); // a printer selected, so Save can take the focus
        table += QStringLiteral("tab ") + tabOrder(w.get()).join(QLatin1Char(' ')) + QLatin1Char('\n');
        QVERIFY(Golden::matches(QStringLiteral("design-%1.txt").arg(window), table));
    }

    // Each tests/data/flow-<window>-<what>.txt is a transcript: comments
    // ("# ..."), the user's actions ("> ...") and what came of each. The
    // actions are played again on a new window; all must come out the same.
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
        ScriptedPrompts prompts(&env->spooler);
        std::unique_ptr<QWidget> w;
        const auto open = [&] {
            w = makeWindow(file.chopped(4).section(QLatin1Char('-'), 1, 1), nullptr);
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
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
