// The libFuzzer targets, one built from this file per FUZZ_<target> macro.
// Each runs in a home folder of its own (so the data folder is a scratch one)
// on Qt's offscreen platform, and aborts on anything a user must never meet.

#include "BatchLayouts.h"
#include "DataFolder.h"
#include "Failure.h"
#include "LabelImage.h"
#include "LabelTexts.h"
#include "NumberText.h"
#include "PartWindow.h"
#include "PdfSpooler.h"
#include "Printer.h"
#include "Printers.h"
#include "RecordingSpooler.h"
#include "RunBatch.h"
#include "ScriptedPrompts.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>

namespace {

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
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
#if defined(FUZZ_fuzz_label_file)
    // The label file as any program might write it, printed in both layouts:
    // failures are Failures with safe messages, every job a copy or more.
    static RecordingSpooler spooler({"Label Printer"}, "Label Printer");
    writeAll(LabelFile::path(), input);
    for (const QString &word : {kXList, kBins}) {
        Printer printer(Printers({&spooler}));
        try {
            RunBatch(printer, word, requireShownSafely);
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
    static ScriptedPrompts prompts; // answers only; no flow is played
    static RecordingSpooler spooler({"Label Printer"}, "Label Printer");
    static Printer printer(Printers({&spooler}));
    writeAll(DataFolder::file("parts.txt"), input);
    PartWindow window(printer, prompts);
    window.load();
    const QStringList lines = DataFolder::splitLines(input);
    for (qsizetype i = 0; i < std::min<qsizetype>(lines.size(), 16); ++i) {
        window.partBox->setEditText(lines[i]);
        window.onPartTextChanged();
        window.onPartKeyPress(13);
        window.ShowPartLine(lines[i]);
    }
    if (window.partBox->count() > 0)
        window.onPartChosen(int(size % window.partBox->count()));
#elif defined(FUZZ_fuzz_pdf_text)
    // Any text in every label font, bold or not, printed on the built-in printer: the PDF file is
    // always produced, whole.
    const QString text = QString::fromUtf8(input.left(400));
    PrintJob job;
    job.title = text;
    job.copies = 1 + int(size % 3);
    for (const QString &font : {LabelTexts::kTahoma, LabelTexts::kArial, LabelTexts::kBarcodeFont}) {
        for (bool bold : {false, true}) {
            const double y = 400.0 * double(job.ops.size());
            job.ops.append(LabelImage::textOp(160, y, text, {font, bold ? 10.0 : 22.0, bold}));
        }
    }
    PdfSpooler().submit(job); // a Failure thrown here ends the run as a crash
    const QDir printed(PdfSpooler::outputFolder());
    QFile pdf(printed.filePath(printed.entryList({"*.pdf"}, QDir::Files).value(0)));
    const QByteArray written = pdf.open(QIODevice::ReadOnly) ? pdf.readAll() : QByteArray();
    if (!written.startsWith("%PDF-") || !written.trimmed().endsWith("%%EOF"))
        std::abort();
    pdf.remove();
#elif defined(FUZZ_fuzz_strict_number)
    // A text that is a number in the 16-bit range is one to both readings; none crashes.
    const QString text = QString::fromUtf8(input);
    if (NumberText::strictInt16(text) && !NumberText::strictNumber(text))
        std::abort();
    NumberText::lenientInt16(text);
    NumberText::leadingNumber(text);
#endif
    return 0;
}
