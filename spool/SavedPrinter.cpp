#include "SavedPrinter.h"

#include "Failure.h"
#include "Printer.h"
#include "Printers.h"
#include "SystemReason.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringDecoder>

#include <cerrno>

namespace SavedPrinter {

namespace {
QSettings store()
{
    // Qt's native store: ~/.config/TagFoundry/TagFoundry.conf on Linux,
    // HKCU\Software\TagFoundry\TagFoundry on Windows.
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("TagFoundry"),
                     QStringLiteral("TagFoundry"));
}
const QString kKey = QStringLiteral("Settings/Printer");
} // namespace

QString read()
{
    return store().value(kKey, kNone).toString();
}

void checkReadable()
{
    const QString path = store().fileName();
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return; // nothing saved yet (or a store that is not a file)
    const auto wrong = [&](const QString &what) {
        return Failure(QStringLiteral("the settings file %1 %2").arg(QDir::toNativeSeparators(path), what));
    };
    if (info.isDir())
        throw wrong(QStringLiteral("is a folder")).because(SystemReason::ofErrno(EISDIR), true);
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly))
        throw wrong(QStringLiteral("cannot be read"))
            .because(errno ? SystemReason::ofErrno(errno) : file.errorString(), true);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw wrong(QStringLiteral("cannot be read")).because(file.errorString(), true);
    // Qt reads any bytes as an empty store; binary junk is not a settings file.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    utf8.decode(bytes);
    if (bytes.contains('\0') || utf8.hasError() || store().status() == QSettings::FormatError)
        throw wrong(QStringLiteral("is not a settings file: it holds binary data, not text"));
}

void write(const QString &deviceName)
{
    QSettings settings = store();
    settings.setValue(kKey, deviceName);
    settings.sync();
}

} // namespace SavedPrinter

void SelectSavedPrinter(Printer &printer)
{
    const QString saved = SavedPrinter::read();
    // Of printers with the same name, the last listed is chosen: the
    // built-in printer is chosen without asking the system's spooler.
    if (const PrinterEntry entry = printer.printers().lastNamed(saved); entry.isValid()) {
        printer.makeCurrent(entry);
        return;
    }
    // A label printer that is missing only because its print server cannot be
    // reached stays the destination, so the label fails with the reason
    // rather than quietly printing somewhere else.
    if (saved != SavedPrinter::kNone) {
        if (const PrinterEntry away = printer.printers().onUnreachableSpooler(saved); away.isValid())
            printer.makeCurrent(away);
    }
}
