// The parts file as any program might write it, loaded by the part window,
// and its lines handled as the chooser handles them: typed, chosen, Enter.

#include "FuzzSetup.h"

#include "DataFolder.h"
#include "PartWindow.h"
#include "LabelFonts.h"
#include "ScriptedPrompts.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    return FuzzSetup::start<QApplication>(argc, argv);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static ScriptedPrompts prompts;
    const QByteArray bytes = FuzzSetup::bytes(data, size);
    QFile file(DataFolder::file(QStringLiteral("parts.txt")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort();
    file.close();

    PartWindow window;
    window.load();
    const QStringList lines = DataFolder::splitLines(bytes);
    for (qsizetype i = 0; i < std::min<qsizetype>(lines.size(), 16); ++i) {
        window.partBox->setEditText(lines[i]);
        window.onPartTextChanged();
        window.onPartKeyPress(13);
        window.ShowPartLine(lines[i]);
    }
    if (window.partBox->count() > 0)
        window.onPartChosen(int(size % window.partBox->count()));
    return 0;
}
