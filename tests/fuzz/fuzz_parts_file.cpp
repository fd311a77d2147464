// The parts file as any program might write it, loaded by the part window,
// and its lines handled as the chooser handles them: typed, chosen, Enter.

#include "FuzzSetup.h"

#include "DataFolder.h"
#include "Kestrion.h"
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

    Kestrion window;
    window.Form_Load();
    const QStringList lines = DataFolder::splitLines(bytes);
    for (qsizetype i = 0; i < std::min<qsizetype>(lines.size(), 16); ++i) {
        window.Combo1->setEditText(lines[i]);
        window.Combo1_Change();
        window.Combo1_KeyPress(13);
        window.ShowPartLine(lines[i]);
    }
    if (window.Combo1->count() > 0)
        window.Combo1_Click(int(size % window.Combo1->count()));
    return 0;
}
