#include "FolderFiles.h"

#include "Failure.h"
#include "SystemReason.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <atomic>
#include <cerrno>

#include <io.h>
#include <windows.h>

namespace FolderFiles {

// The lock file the counter's lock makes comes and goes in the folder itself,
// so the folder's times cannot tell a file put there by hand: the folder is
// read once a process.
QByteArray changeStamp(const QString &)
{
    return {};
}

void forEachName(const QString &folder, const std::function<void(const QString &)> &visit)
{
    if (!QFileInfo(folder).isDir())
        throw Failure(QStringLiteral("cannot read the folder %1").arg(QDir::toNativeSeparators(folder)));
    QDirIterator names(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (names.hasNext())
        visit(QFileInfo(names.next()).fileName());
}

// MoveFileEx with MOVEFILE_WRITE_THROUGH returns once the name is on the disk.
void syncFolder(const QString &) {}

// A file still open by its writer cannot be removed.
void removeIfAbandoned(const QString &path)
{
    QFile::remove(path);
}

struct LockedFile::Held {
    explicit Held(const QString &counterPath) : path(counterPath), lock(counterPath + QStringLiteral(".lock")) {}
    QString path;
    QLockFile lock;
};

LockedFile::LockedFile(const QString &path) : m_held(std::make_unique<Held>(path))
{
    m_held->lock.setStaleLockTime(0);
    if (!m_held->lock.lock())
        throw Failure(QStringLiteral("cannot lock %1").arg(QDir::toNativeSeparators(path)));
}

LockedFile::~LockedFile() = default;

QByteArray LockedFile::read() const
{
    QFile file(m_held->path);
    return file.open(QIODevice::ReadOnly) ? file.read(256) : QByteArray();
}

void LockedFile::write(const QByteArray &text)
{
    QFile file(m_held->path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size() || !file.flush())
        throw Failure(QStringLiteral("cannot write %1").arg(QDir::toNativeSeparators(m_held->path)))
            .because(file.errorString());
}

struct TemporaryFile::Held {
    QFile file;
    bool placed = false;

    ~Held()
    {
        file.close();
        if (!placed)
            file.remove();
    }
};

TemporaryFile::TemporaryFile(const QString &, const QString &namedIn) : m_held(std::make_unique<Held>())
{
    static std::atomic<int> serial = 0;
    QDir().mkpath(namedIn);
    m_held->file.setFileName(
        QDir(namedIn).filePath(QStringLiteral("%1-%2.tmp").arg(GetCurrentProcessId()).arg(++serial)));
    if (!m_held->file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        m_held->placed = true; // not ours to remove
        throw Failure(QStringLiteral("cannot create %1").arg(QDir::toNativeSeparators(m_held->file.fileName())))
            .because(m_held->file.errorString());
    }
}

TemporaryFile::TemporaryFile(TemporaryFile &&) noexcept = default;
TemporaryFile &TemporaryFile::operator=(TemporaryFile &&) noexcept = default;
TemporaryFile::~TemporaryFile() = default;

// The system's own reason for each failure: a full disk, a locked file, a
// device that went away.
void TemporaryFile::write(const QByteArray &bytes)
{
    if (m_held->file.write(bytes) != bytes.size() || !m_held->file.flush())
        throw Failure(QStringLiteral("could not write")).because(m_held->file.errorString());
}

void TemporaryFile::sync()
{
    if (!FlushFileBuffers(HANDLE(_get_osfhandle(m_held->file.handle()))))
        throw Failure(QStringLiteral("could not write")).because(SystemReason::ofLastWindowsError());
}

bool TemporaryFile::placeAs(const QString &finalPath)
{
    m_held->file.close();
    // Without MOVEFILE_REPLACE_EXISTING the move never replaces a file.
    if (!MoveFileExW(reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(m_held->file.fileName()).utf16()),
                     reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(finalPath).utf16()), MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
            return false;
        throw Failure(QStringLiteral("could not name %1").arg(QDir::toNativeSeparators(finalPath)))
            .because(SystemReason::ofLastWindowsError());
    }
    m_held->placed = true;
    return true;
}

} // namespace FolderFiles
