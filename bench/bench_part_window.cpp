// The part window on a wholesaler's parts list: 100,000 lines.
// Measures opening the window until it is loaded and painted, then each of
// ten keystrokes typed into the chooser (and Enter, an arrow key and the
// drop-down list), and the process's peak memory.
// Targets: ready < 500 ms, every keystroke < 5 ms, peak < 150 MB.

#include "PartWindow.h"
#include "PdfSpooler.h"
#include "Printer.h"
#include "Prompts.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int kLines = 100000;

class CountingPrompts : public Prompts {
public:
    int shown = 0;
    bool askYesNo(QWidget *, const QString &, const QString &) override { return ++shown, false; }
    void tell(QWidget *, const QString &text, const QString &) override
    {
        ++shown;
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
    void warn(QWidget *, const QString &) override { ++shown; }
    QString input(QWidget *, const QString &, const QString &) override { return {}; }
};

void writePartsFile(const QString &path)
{
    static const char *const kinds[] = {"Brass Olive",  "Tap Washer",       "Radiator Valve", "Copper Elbow",
                                        // \260: the degree sign of Windows-1252
                                        "Pump Seal Kit", "Thermostat 60\260C", "Air Vent",  "Wing Nuts M8"};
    QByteArray bytes;
    bytes.reserve(qsizetype(kLines) * 48);
    for (int i = 0; i < kLines; ++i) {
        bytes += "VQ-" + QByteArray::number(100000 + i) + ',' + QByteArray::number(1 + i % 25) + "Qty "
                 + kinds[i % 8] + ' ' + QByteArray::number(8 + i % 40) + "mm";
        if (i % 3 == 0)
            bytes += ",bin " + QByteArray::number(i % 997);
        bytes += "\r\n";
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double millisecondsOf(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

// A key as the keyboard delivers it to the focused chooser, handled and painted.
void pressKey(QWidget *target, int key, const QString &text = {})
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &release);
    QApplication::processEvents();
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    CountingPrompts prompts;
    PdfSpooler builtIn; // nothing is printed
    Printer printer(Printers({&builtIn}));

    QDir().mkpath(home.filePath(QStringLiteral("TagFoundry")));
    writePartsFile(home.filePath(QStringLiteral("TagFoundry/parts.txt")));
    const long startKilobytes = peakKilobytes();

    PartWindow *window = nullptr;
    const double openMs = millisecondsOf([&] {
        window = new PartWindow(printer, prompts);
        window->load();
        window->show();
        QApplication::processEvents();
        window->repaint();
    });
    std::printf("parts file: %d lines\n", kLines);
    std::printf("window ready: %.1f ms (list entries %d, messages %d)\n", openMs, window->partBox->count(),
                prompts.shown);

    window->partBox->setFocus();
    window->partBox->clearEditText();
    QApplication::processEvents();
    const QString typed = QStringLiteral("VQ-15432,x");
    double worst = 0;
    std::printf("keystrokes:");
    for (QChar c : typed) {
        const double ms = millisecondsOf([&] { pressKey(window->partBox, c.toUpper().unicode(), QString(c)); });
        worst = std::max(worst, ms);
        std::printf(" %.2f", ms);
    }
    std::printf(" ms\nslowest keystroke: %.2f ms (shown code \"%s\", description \"%s\")\n", worst,
                qPrintable(window->codeLabel->text()), qPrintable(window->descriptionLabel->text()));

    const double enterMs = millisecondsOf([&] { pressKey(window->partBox, Qt::Key_Return, QStringLiteral("\r")); });
    const double downMs = millisecondsOf([&] { pressKey(window->partBox, Qt::Key_Down); });
    std::printf("Enter: %.2f ms, arrow down: %.2f ms (now \"%s\")\n", enterMs, downMs,
                qPrintable(window->partBox->currentText()));
    const double popupMs = millisecondsOf([&] {
        window->partBox->showPopup();
        QApplication::processEvents();
    });
    window->partBox->hidePopup();
    std::printf("drop-down list shown: %.1f ms\n", popupMs);

    const double closeMs = millisecondsOf([&] {
        window->close();
        delete window;
        QApplication::processEvents();
    });
    std::printf("closed and unloaded: %.1f ms\n", closeMs);
    std::printf("peak memory: %.1f MB (%.1f MB before opening)\n", double(peakKilobytes()) / 1024.0,
                double(startKilobytes) / 1024.0);

    worst = std::max({worst, enterMs, downMs});
    const bool met = openMs < 500 && worst < 5 && peakKilobytes() < 150L * 1024;
    std::printf("targets (ready < 500 ms, every key < 5 ms, peak < 150 MB): %s\n", met ? "met" : "MISSED");
    return met ? 0 : 1;
}
