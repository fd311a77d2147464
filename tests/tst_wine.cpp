// The Windows program as a counter PC runs it, under Wine: the folder
// TagFoundry/ that tools/windows lays out, in a Wine prefix of the test's own,
// with C:\TagFoundry\labels.txt and the saved printer in the registry. Its
// labels are held against the Linux build's on the same records; its system
// printers are the queues of a private cupsd, as Wine's printers are CUPS's.

#include "ChildProgram.h"
#include "LabelImage.h"
#include "PrivateCups.h"

#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString kWine = u"/usr/lib/wine/wine64"_s; // Debian puts no wine64 on PATH
const QString kPdfPrinter = u"TagFoundry PDF"_s;
const QString kSettingsKey = u"HKCU\\Software\\TagFoundry\\TagFoundry\\Settings"_s;

// Two labels and a skipped line; copies 2 and 1.
const QByteArray kLabels = "VLV-2201,R12-A,Diverter valve cartridge,NOTE: FRAGILE,2\r\n"
                           "NONE,this line is skipped\r\n"
                           "TRV-10-LOCKSHIELD-A,STOCK,Radiator valve,NONE,1\r\n";

// The Windows build folder: TAGFOUNDRY_WINDOWS_BUILD, else build-windows/ in the source tree.
QString windowsBuild()
{
    const QString set = qEnvironmentVariable("TAGFOUNDRY_WINDOWS_BUILD");
    return set.isEmpty() ? QStringLiteral(TAGFOUNDRY_SOURCE_DIR "/build-windows") : set;
}

QString whyWineCannotRun()
{
    if (!QFileInfo(kWine).isExecutable())
        return u"%1 is missing (packages wine, wine64)"_s.arg(kWine);
    if (!QFile::exists(windowsBuild() + u"/TagFoundry/tagfoundry.exe"_s))
        return u"no Windows build in %1 (bash tools/windows build)"_s.arg(windowsBuild());
    return {};
}

using Words = QList<std::pair<QString, QPointF>>;

QString describe(const Words &words)
{
    QStringList parts;
    for (const auto &[text, at] : words)
        parts.append(u"%1@(%2,%3)"_s.arg(text).arg(at.x(), 0, 'f', 2).arg(at.y(), 0, 'f', 2));
    return parts.join(u' ');
}

QPointF wordAt(const Words &words, const QString &text)
{
    for (const auto &[word, at] : words) {
        if (word == text)
            return at;
    }
    return {-1000, -1000};
}

// Every word of one label at the place of the same word on the other,
// within 0.5 pt. The print stamp is the system's date and time formats (Wine
// has an American short date and a 12-hour clock where Linux's C locale has
// neither), so the words only one side has must be the one stamp line, and
// it must start at the same place on both.
bool sameLabel(Words windows, Words onLinux)
{
    const auto within = [](QPointF a, QPointF b) { return qAbs(a.x() - b.x()) <= 0.5 && qAbs(a.y() - b.y()) <= 0.5; };
    for (auto w = windows.begin(); w != windows.end();) {
        const auto l = std::find_if(onLinux.begin(), onLinux.end(),
                                    [&](const auto &word) { return word.first == w->first && within(word.second, w->second); });
        if (l == onLinux.end()) {
            ++w;
            continue;
        }
        onLinux.erase(l);
        w = windows.erase(w);
    }
    if (windows.isEmpty() || onLinux.isEmpty())
        return windows.isEmpty() && onLinux.isEmpty();
    const auto leftmost = [](const Words &words) {
        return std::min_element(words.begin(), words.end(), [](const auto &a, const auto &b) { return a.second.x() < b.second.x(); })->second;
    };
    const QPointF start = leftmost(windows);
    const auto onStampLine = [&](const auto &word) { return qAbs(word.second.y() - start.y()) <= 0.5; };
    return std::all_of(windows.begin(), windows.end(), onStampLine) && std::all_of(onLinux.begin(), onLinux.end(), onStampLine)
        && within(leftmost(onLinux), start);
}

} // namespace

// In a test function: skips with the reason when Wine or the Windows build is
// missing, and fails instead under CI=true, where both must be there.
#define REQUIRE_WINE()                                                                                         \
    do {                                                                                                       \
        if (const QString why_ = whyWineCannotRun(); !why_.isEmpty()) {                                        \
            if (qEnvironmentVariable("CI") == QLatin1String("true"))                                           \
                QFAIL(qPrintable(u"Wine needed: "_s + why_));                                                  \
            QSKIP(qPrintable(u"Wine cannot run the Windows build: "_s + why_));                                \
        }                                                                                                      \
    } while (false)

class TestWine : public QObject {
    Q_OBJECT

    QTemporaryDir prefix;
    QString program; // tagfoundry.exe, as a Windows path
    QTemporaryDir linuxHome;

    QString driveC(const QString &path = {}) const { return prefix.filePath(u"drive_c/"_s + path); }
    QString printed() const { return driveC(u"TagFoundry/printed"_s); }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const QString &name : environment.keys()) {
            if (name.startsWith(u"QT_"_s) || name.startsWith(u"WINE"_s) || name == u"DISPLAY"_s
                || name == u"WAYLAND_DISPLAY"_s || name == u"PRINTER"_s || name == u"LPDEST"_s)
                environment.remove(name);
        }
        environment.insert(u"WINEPREFIX"_s, prefix.path());
        environment.insert(u"WINEARCH"_s, u"win64"_s);
        environment.insert(u"WINEDEBUG"_s, u"-all"_s);
        environment.insert(u"WINEDLLOVERRIDES"_s, u"mscoree,mshtml="_s); // no Mono or Gecko prompts
        return environment;
    }

    ProgramRun wine(const QStringList &arguments, QProcessEnvironment env = {}, int timeoutMs = 120000) const
    {
        return runProgram(kWine, arguments, env.isEmpty() ? environment() : env, timeoutMs);
    }

    // Waits until the prefix's Wine session has ended, so the next run starts afresh.
    void endSession() const { runProgram(u"wineserver"_s, {u"-w"_s}, environment(), 60000); }

    void setSavedPrinter(const QString &name) const
    {
        wine({u"reg"_s, u"delete"_s, kSettingsKey, u"/f"_s});
        if (!name.isNull())
            QCOMPARE(wine({u"reg"_s, u"add"_s, kSettingsKey, u"/v"_s, u"Printer"_s, u"/d"_s, name, u"/f"_s}).exitCode, 0);
    }

    // A fresh data folder holding these labels (no labels.txt when null).
    void setLabels(const QByteArray &labels) const
    {
        QDir(driveC(u"TagFoundry"_s)).removeRecursively();
        QVERIFY(QDir().mkpath(driveC(u"TagFoundry"_s)));
        QString error;
        if (!labels.isNull())
            QVERIFY2(writeFile(driveC(u"TagFoundry/labels.txt"_s), labels, &error), qPrintable(error));
    }

    ProgramRun linuxBatch(const QString &word, const QByteArray &labels, const QString &saved) const
    {
        QDir(linuxHome.path()).removeRecursively();
        QDir().mkpath(linuxHome.path());
        return runProgram(QStringLiteral(TAGFOUNDRY_EXECUTABLE), {word},
                          batchHome(linuxHome.path(), labels, saved, QProcessEnvironment::systemEnvironment()), 60000);
    }

    static QStringList pdfsIn(const QString &folder)
    {
        return QDir(folder).entryList({u"*.pdf"_s}, QDir::Files, QDir::Name);
    }

private slots:
    void initTestCase()
    {
        REQUIRE_WINE();
        QVERIFY(prefix.isValid() && linuxHome.isValid());
        const ProgramRun boot = wine({u"wineboot"_s, u"--init"_s}, {}, 300000);
        QVERIFY2(boot.exitCode == 0, qPrintable(boot.errors));
        endSession();
        program = u"Z:"_s + QDir::toNativeSeparators(windowsBuild() + u"/TagFoundry/tagfoundry.exe"_s);
    }

    // The same records print the same labels as on Linux: the same files,
    // pages, words and positions, and barcodes that scan at both of the
    // label printers' resolutions.
    void batchPrintsAsOnLinux_data()
    {
        QTest::addColumn<QString>("word");
        QTest::newRow("XLIST") << "XLIST";
        QTest::newRow("BINS") << "BINS";
    }

    void batchPrintsAsOnLinux()
    {
        QFETCH(QString, word);
        setLabels(kLabels);
        setSavedPrinter(kPdfPrinter);
        const ProgramRun onWindows = wine({program, word});
        QVERIFY2(onWindows.exitCode == 0, qPrintable(u"exit %1: %2"_s.arg(onWindows.exitCode).arg(onWindows.errors)));
        const ProgramRun onLinux = linuxBatch(word, kLabels, kPdfPrinter);
        QVERIFY2(onLinux.exitCode == 0, qPrintable(onLinux.errors));

        const QStringList files = pdfsIn(printed());
        const QString linuxPrinted = linuxHome.filePath(u"TagFoundry/printed"_s);
        QCOMPARE(files, pdfsIn(linuxPrinted));
        QCOMPARE(files.size(), 2);
        const QStringList codes = {u"VLV-2201"_s, u"TRV-10-LOCKSHIELD-A"_s};
        for (int i = 0; i < files.size(); ++i) {
            const QString pdf = printed() + u'/' + files[i];
            const Words words = LabelImage::pdfWords(pdf);
            const Words expected = LabelImage::pdfWords(linuxPrinted + u'/' + files[i]);
            QVERIFY2(sameLabel(words, expected),
                     qPrintable(u"%1\nWindows: %2\nLinux:   %3"_s.arg(files[i], describe(words), describe(expected))));
            for (const int dpi : {203, 300}) {
                const QList<QImage> pages = LabelImage::renderPdf(pdf, dpi);
                QCOMPARE(pages.size(), i == 0 ? 2 : 1);
                for (const QImage &page : pages)
                    QCOMPARE(LabelImage::decodeCode39(page), QStringList{codes[i]});
            }
        }
    }

    // Exit statuses and the one line on standard error, through a pipe as
    // another program reads them, as on Linux.
    void failuresExitAsOnLinux_data()
    {
        QTest::addColumn<QByteArray>("labels");
        QTest::addColumn<QString>("saved");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("no saved printer") << kLabels << QString() << 2 << "nothing was printed";
        QTest::newRow("no labels.txt") << QByteArray() << kPdfPrinter << 1 << "labels.txt";
        QTest::newRow("too few fields") << QByteArray("A-1,B\r\n") << kPdfPrinter << 1 << "labels.txt line 1";
    }

    void failuresExitAsOnLinux()
    {
        QFETCH(QByteArray, labels);
        QFETCH(QString, saved);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        setLabels(labels);
        setSavedPrinter(saved);
        const ProgramRun onWindows = wine({program, u"XLIST"_s});
        QCOMPARE(onWindows.exitCode, exitCode);
        QVERIFY2(onWindows.errors.startsWith(u"tagfoundry: "_s) && onWindows.errors.contains(message),
                 qPrintable(onWindows.errors));
        QVERIFY(pdfsIn(printed()).isEmpty());

        const ProgramRun onLinux = linuxBatch(u"XLIST"_s, labels.isNull() ? QByteArray("") : labels, saved);
        if (!labels.isNull()) // Linux's batch home always has a labels.txt
            QCOMPARE(onLinux.exitCode, exitCode);
    }

    // The Windows printer path: a label through the Windows spooler to a
    // CUPS queue, read back from the queue: title, copies, one page, the
    // label's media, the text at its place from the printable corner.
    void windowsPrinterPrintsOnTheQueue()
    {
        REQUIRE_PRIVATE_CUPS();
        PrivateCups cups;
        QString error;
        QVERIFY2(cups.start(&error) && cups.addQueue(u"Label_Printer"_s, u"Label Printer"_s, PrivateCups::Media::Label, &error)
                     && cups.addQueue(u"Rejecting"_s, u"Rejecting"_s, PrivateCups::Media::Label, &error)
                     && cups.run({u"cupsreject"_s, u"-r"_s, u"out of labels"_s, u"Rejecting"_s}, &error),
                 qPrintable(error));
        QProcessEnvironment env = environment();
        env.insert(u"CUPS_SERVER"_s, cups.server());
        endSession(); // Wine reads the printers when its session starts
        setLabels(kLabels);
        setSavedPrinter(u"Label_Printer"_s);
        const ProgramRun run = wine({program, u"BINS"_s}, env);
        QVERIFY2(run.exitCode == 0, qPrintable(u"exit %1: %2"_s.arg(run.exitCode).arg(run.errors)));
        endSession();

        // The same records on the Linux build's built-in printer, a page each.
        constexpr int dpi = 288;
        const ProgramRun onLinux = linuxBatch(u"BINS"_s, kLabels, kPdfPrinter);
        QVERIFY2(onLinux.exitCode == 0, qPrintable(onLinux.errors));
        const QString linuxPrinted = linuxHome.filePath(u"TagFoundry/printed"_s);
        QList<QImage> builtIn;
        for (const QString &name : pdfsIn(linuxPrinted))
            builtIn.append(LabelImage::renderPdf(linuxPrinted + u'/' + name, dpi).value(0));

        const QList<PrivateCups::Job> jobs = cups.jobs(u"Label_Printer"_s);
        QCOMPARE(jobs.size(), 2);
        QCOMPARE(builtIn.size(), 2);
        const QStringList codes = {u"VLV-2201"_s, u"TRV-10-LOCKSHIELD-A"_s};
        const QList<int> copies = {2, 1};
        using P = PrivateCups;
        const QPointF corner(P::kLabelLeft, P::kLabelTop);
        // Places holding one text each, in points from the printable corner:
        // the code inside its frame, and the first record's bold note.
        const QRectF codeArea(13, 6, 137, 22);
        const QRectF noteArea(170, 102.5, 100, 17.5);
        for (int i = 0; i < jobs.size(); ++i) {
            QCOMPARE(jobs[i].title, u"TagFoundry BINS "_s + codes[i]);
            QCOMPARE(jobs[i].copies, copies[i]);
            // Wine's printer driver sends PostScript: read it as a PDF.
            const QString pdf = QDir(prefix.path()).filePath(u"job%1.pdf"_s.arg(jobs[i].id));
            const ProgramRun convert = runProgram(u"ps2pdf"_s, {cups.spooledFile(jobs[i].id), pdf});
            QVERIFY2(convert.exitCode == 0, qPrintable(convert.errors));
            const QList<QImage> pages = LabelImage::renderPdf(pdf, dpi);
            QCOMPARE(pages.size(), 1);
            QCOMPARE(QSizeF(pages[0].size()) * 72 / dpi, QSizeF(P::kLabelWidth, P::kLabelHeight));
            // The ink lands where the built-in printer puts it, from the
            // printable corner: two texts far apart, so a shift or a scale shows.
            QList<QRectF> areas = {codeArea};
            if (i == 0)
                areas.append(noteArea);
            for (const QRectF &area : areas) {
                const QRectF sent = LabelImage::inkIn(pages[0], dpi, corner, area);
                const QRectF expected = LabelImage::inkIn(builtIn[i], dpi, QPointF(), area);
                QVERIFY(!expected.isEmpty());
                const double off = std::max({qAbs(sent.left() - expected.left()), qAbs(sent.top() - expected.top()),
                                             qAbs(sent.right() - expected.right()), qAbs(sent.bottom() - expected.bottom())});
                QVERIFY2(off <= 0.5, qPrintable(u"%1: ink at (%2, %3)-(%4, %5) pt, the built-in printer's at (%6, %7)-(%8, %9)"_s
                                                    .arg(codes[i]).arg(sent.left()).arg(sent.top()).arg(sent.right()).arg(sent.bottom())
                                                    .arg(expected.left()).arg(expected.top()).arg(expected.right()).arg(expected.bottom())));
            }
        }

        // A queue that rejects jobs: the first label fails naming the printer.
        setSavedPrinter(u"Rejecting"_s);
        const ProgramRun refused = wine({program, u"BINS"_s}, env);
        QCOMPARE(refused.exitCode, 1);
        QVERIFY2(refused.errors.contains(u"labels.txt line 1: Printer \"Rejecting\" refused the job"_s),
                 qPrintable(refused.errors));
        QVERIFY(cups.jobs(u"Rejecting"_s).isEmpty());
    }

    // The main window on a display: its title and client size, and a quick
    // label typed in and printed with Enter as a user does it.
    void mainWindowPrintsAQuickLabel()
    {
        for (const QString &tool : {u"Xvfb"_s, u"xdotool"_s, u"xwininfo"_s}) {
            if (findProgram(tool).isEmpty()) {
                if (qEnvironmentVariable("CI") == QLatin1String("true"))
                    QFAIL(qPrintable(tool + u" is missing"_s));
                QSKIP(qPrintable(tool + u" is missing (packages xvfb, xdotool, x11-utils)"_s));
            }
        }
        QProcess xvfb; // on a free display, whose number it tells on standard output
        xvfb.start(findProgram(u"Xvfb"_s), {u"-displayfd"_s, u"1"_s, u"-screen"_s, u"0"_s, u"1024x768x24"_s,
                                           u"-nolisten"_s, u"tcp"_s});
        QTRY_VERIFY_WITH_TIMEOUT(xvfb.canReadLine() || xvfb.state() == QProcess::NotRunning, 20000);
        const QString display = u":"_s + QString::fromLatin1(xvfb.readLine()).trimmed();
        QProcessEnvironment env = environment();
        env.insert(u"DISPLAY"_s, display);
        auto x = [&](const QStringList &command) { return runProgram(command.first(), command.mid(1), env, 30000); };

        setLabels({});
        setSavedPrinter(kPdfPrinter);
        endSession();
        QProcess app;
        app.setProcessEnvironment(env);
        app.start(kWine, {program});
        const auto closeAll = qScopeGuard([&] {
            runProgram(u"wineserver"_s, {u"-k"_s}, env); // the window and its Yes/No box
            endSession();
            app.waitForFinished(20000);
            xvfb.terminate();
            xvfb.waitForFinished(10000);
        });
        QString window;
        QTRY_VERIFY_WITH_TIMEOUT(!(window = x({u"xdotool"_s, u"search"_s, u"--name"_s, u"^TagFoundry$"_s}).output.trimmed()).isEmpty(),
                                 60000);
        window = window.section(u'\n', 0, 0);
        QCOMPARE(x({u"xdotool"_s, u"getwindowname"_s, window}).output.trimmed(), u"TagFoundry"_s);
        const QString info = x({u"xwininfo"_s, u"-id"_s, window}).output;
        // 5400 by 4230 twips at 15 twips a pixel.
        QVERIFY2(info.contains(u"Width: 360\n"_s) && info.contains(u"Height: 282\n"_s), qPrintable(info));

        x({u"xdotool"_s, u"windowfocus"_s, u"--sync"_s, window});
        x({u"xdotool"_s, u"type"_s, u"--delay"_s, u"20"_s, u"ACME Plumbing"_s});
        x({u"xdotool"_s, u"key"_s, u"Return"_s});
        x({u"xdotool"_s, u"type"_s, u"--delay"_s, u"20"_s, u"JOB 4471"_s});
        x({u"xdotool"_s, u"key"_s, u"Return"_s});
        QTRY_COMPARE_WITH_TIMEOUT(pdfsIn(printed()).size(), 1, 30000);
        // The Yes/No box that offers to clear the fields follows the label.
        QTRY_VERIFY_WITH_TIMEOUT(!x({u"xdotool"_s, u"search"_s, u"--name"_s, u"^Clear Fields\\?$"_s}).output.isEmpty(), 20000);


        const Words words = LabelImage::pdfWords(printed() + u'/' + pdfsIn(printed()).value(0));
        const QList<std::pair<QString, QPointF>> layout = {{u"Veltrane"_s, {400, 200}}, {u"ACME"_s, {160, 500}},
                                                           {u"JOB"_s, {160, 1200}}};
        for (const auto &[text, at] : layout) {
            const QPointF off = wordAt(words, text) - at / 20;
            QVERIFY2(qAbs(off.x()) <= 0.5 && qAbs(off.y()) <= 0.5, qPrintable(describe(words)));
        }
    }

    // The installer as a counter PC runs it, silently: the program folder,
    // a Start-menu entry, an entry to uninstall it by; the installed program
    // prints; the uninstaller takes everything away again.
    void installerInstallsAndUninstalls()
    {
        const QStringList installers = QDir(windowsBuild()).entryList({u"TagFoundry-*-setup.exe"_s}, QDir::Files);
        QCOMPARE(installers.size(), 1);
        const QString setup = u"Z:"_s + QDir::toNativeSeparators(windowsBuild() + u'/' + installers[0]);
        const QString folder = driveC(u"Program Files/TagFoundry"_s);
        const QString shortcut = driveC(u"ProgramData/Microsoft/Windows/Start Menu/Programs/TagFoundry.lnk"_s);
        const QString uninstallKey = u"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TagFoundry"_s;

        QCOMPARE(wine({setup, u"/S"_s}).exitCode, 0);
        for (const QString &file : {folder + u"/tagfoundry.exe"_s, folder + u"/platforms/qwindows.dll"_s,
                                    folder + u"/fonts/tahoma.ttf"_s, folder + u"/uninstall.exe"_s, shortcut})
            QVERIFY2(QFile::exists(file), qPrintable(file));
        QVERIFY(wine({u"reg"_s, u"query"_s, uninstallKey}).output.contains(u"uninstall.exe"_s));

        setLabels(kLabels);
        setSavedPrinter(kPdfPrinter);
        QCOMPARE(wine({u"C:\\Program Files\\TagFoundry\\tagfoundry.exe"_s, u"XLIST"_s}).exitCode, 0);
        QCOMPARE(pdfsIn(printed()).size(), 2);

        // The uninstaller runs from a copy of itself in the temporary folder:
        // the prefix's session ends when that has finished.
        QCOMPARE(wine({u"C:\\Program Files\\TagFoundry\\uninstall.exe"_s, u"/S"_s}).exitCode, 0);
        endSession();
        QVERIFY(!QFile::exists(folder));
        QVERIFY(!QFile::exists(shortcut));
        QVERIFY(wine({u"reg"_s, u"query"_s, uninstallKey}).exitCode != 0);
        QVERIFY2(QFile::exists(driveC(u"TagFoundry/labels.txt"_s)), "the uninstaller removed the user's data folder");
    }

    // The cross-built Qt Test programs, each in the prefix on the offscreen
    // platform (Wine passes WINEQT_* on as QT_*).
    void crossBuiltTestsPass_data()
    {
        QTest::addColumn<QString>("test");
        const QString folder = windowsBuild() + u"/tests-run"_s;
        const QStringList tests = QDir(folder).entryList({u"tst_*.exe"_s}, QDir::Files, QDir::Name);
        if (tests.isEmpty())
            QTest::newRow("none") << QString();
        for (const QString &test : tests)
            QTest::newRow(qPrintable(test)) << folder + u'/' + test;
    }

    void crossBuiltTestsPass()
    {
        QFETCH(QString, test);
        QVERIFY2(!test.isEmpty(), qPrintable(u"no cross-built tests in %1/tests-run"_s.arg(windowsBuild())));
        QProcessEnvironment env = environment();
        env.insert(u"WINEQT_QPA_PLATFORM"_s, u"offscreen"_s);
        env.insert(u"WINEQT_FORCE_STDERR_LOGGING"_s, u"1"_s);
        const ProgramRun run = wine({u"Z:"_s + QDir::toNativeSeparators(test)}, env, 600000);
        QVERIFY2(run.exitCode == 0, qPrintable(u"exit %1\n%2%3"_s.arg(run.exitCode).arg(run.output, run.errors)));
    }

    // Wine writes the registry when its session ends: before the prefix goes.
    void cleanupTestCase()
    {
        if (whyWineCannotRun().isEmpty())
            endSession();
    }
};

QTEST_MAIN(TestWine)
#include "tst_wine.moc"
