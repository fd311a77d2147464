// The libFuzzer targets, one built from this file per FUZZ_<target> macro.
// Each runs in a home folder of its own (so the data folder is a scratch one)
// on Qt's offscreen platform, and aborts on anything a user must never meet.

#include "BatchLayouts.h"
#include "DataFolder.h"
#include "Failure.h"
#include "JobRenderer.h"
#include "PartWindow.h"
#include "LabelFonts.h"
#include "LabelPdfDevice.h"
#include "LabelTexts.h"
#include "NumberText.h"
#include "Printer.h"
#include "Printers.h"
#include "RecordingSpooler.h"
#include "RunBatch.h"
#include "ScriptedPrompts.h"

#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPainter>

namespace {

[[maybe_unused]] QByteArray bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

[[maybe_unused]] void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort();
}

// A message must show no control character raw.
[[maybe_unused]] void requireShownSafely(const QString &message)
{
    if (std::any_of(message.begin(), message.end(), [](QChar c) { return c.category() == QChar::Other_Control; }))
        std::abort();
}

} // namespace

// The Qt application is never destroyed: libFuzzer ends the process with exit().
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    QByteArray home = QDir::tempPath().toLocal8Bit() + "/tagfoundry-fuzz-XXXXXX";
    if (!mkdtemp(home.data()))
        std::abort();
    qputenv("HOME", home);
    qputenv("XDG_CONFIG_HOME", home + "/.config");
    qputenv("XDG_RUNTIME_DIR", home);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QDir().mkpath(QString::fromLocal8Bit(home) + "/TagFoundry");
    new QApplication(*argc, *argv);
    LabelFonts::ensureInstalled();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
#if defined(FUZZ_fuzz_label_file)
    // The label file as any program might write it, printed in both layouts:
    // failures are Failures with safe messages, every job a copy or more.
    static RecordingSpooler spooler({"Label Printer"}, "Label Printer");
    Printers::useSpoolers({&spooler});
    writeAll(LabelFilePath(), bytes(data, size));
    for (const QString &word : {kXList, kBins}) {
        Printer::current().reset();
        try {
            RunBatch(word, requireShownSafely);
        } catch (const Failure &failure) {
            requireShownSafely(failure.message());
        }
        for (const PrintJob &job : spooler.jobs) {
            if (job.copies < 1 || !job.title.contains(' ' + word + ' '))
                std::abort();
        }
        spooler.jobs.clear();
    }
#elif defined(FUZZ_fuzz_parts_file)
    // The parts file loaded by the part window, its lines typed, chosen, entered.
    static ScriptedPrompts prompts(nullptr); // answers only; no flow is played
    writeAll(DataFolder::file("parts.txt"), bytes(data, size));
    PartWindow window;
    window.load();
    const QStringList lines = DataFolder::splitLines(bytes(data, size));
    for (qsizetype i = 0; i < std::min<qsizetype>(lines.size(), 16); ++i) {
        window.partBox->setEditText(lines[i]);
        window.onPartTextChanged();
        window.onPartKeyPress(13);
        window.ShowPartLine(lines[i]);
    }
    if (window.partBox->count() > 0)
        window.onPartChosen(int(size % window.partBox->count()));
#elif defined(FUZZ_fuzz_pdf_text)
    // Any text in every label font, bold or not: the PDF file is always produced.
    const QString text = QString::fromUtf8(bytes(data, std::min<size_t>(size, 400)));
    PrintJob job;
    job.copies = 1 + int(size % 3);
    for (const QString &font : {LabelTexts::kTahoma, LabelTexts::kArial, LabelTexts::kBarcodeFont}) {
        for (bool bold : {false, true}) {
            PrintOp op;
            op.at = {160, 400.0 * job.ops.size()};
            op.text = text;
            op.font = {font, bold ? 10.0 : 22.0, bold};
            job.ops.append(op);
        }
    }
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    LabelPdfDevice device(&out);
    device.setTitle(text);
    device.setCopies(job.copies);
    QPainter painter;
    if (!painter.begin(&device))
        std::abort();
    JobRenderer::renderPage(painter, job);
    if (!painter.end() || !out.data().startsWith("%PDF-") || !out.data().trimmed().endsWith("%%EOF"))
        std::abort();
#elif defined(FUZZ_fuzz_strict_number)
    // A text that is a number in the 16-bit range is one to both readings; none crashes.
    const QString text = QString::fromUtf8(bytes(data, size));
    if (NumberText::strictInt16(text) && !NumberText::strictNumber(text))
        std::abort();
    NumberText::lenientInt16(text);
    NumberText::leadingNumber(text);
#endif
    return 0;
}
