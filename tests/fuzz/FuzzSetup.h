#pragma once

#include "LabelFonts.h"

#include <QByteArray>
#include <QDir>
#include <QString>

#include <cstdint>
#include <cstdlib>

// What every fuzz target shares: a home folder of its own (so the data
// folder is a scratch one), Qt on its offscreen platform, and the input as
// bytes.
namespace FuzzSetup {

inline void isolate()
{
    static QByteArray home = [] {
        QByteArray path = QDir::tempPath().toLocal8Bit() + "/tagfoundry-fuzz-XXXXXX";
        if (!mkdtemp(path.data()))
            std::abort();
        return path;
    }();
    qputenv("HOME", home);
    qputenv("XDG_CONFIG_HOME", home + "/.config");
    qputenv("XDG_RUNTIME_DIR", home);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QDir().mkpath(QString::fromLocal8Bit(home) + QStringLiteral("/TagFoundry"));
}

// The fuzz target's initializer: an isolated home, then the Qt application
// (never destroyed: libFuzzer ends the process with exit()) with the label fonts.
template <typename Application>
int start(int *argc, char ***argv)
{
    isolate();
    new Application(*argc, *argv);
    LabelFonts::ensureInstalled();
    return 0;
}

inline QByteArray bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// A message must show no control character raw.
inline void requireShownSafely(const QString &message)
{
    for (QChar c : message) {
        if (c.category() == QChar::Other_Control)
            std::abort();
    }
}

} // namespace FuzzSetup
