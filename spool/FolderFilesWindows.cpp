#include "FolderFiles.h"

#include "Failure.h"
#include "SystemReason.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include <atomic>
#include <cerrno>
#include <string>

#include <io.h>
#include <windows.h>

namespace FolderFiles {

namespace {

std::wstring native(const QString &path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

[[noreturn]] void fail(const QString &what, const QString &path)
{
    throw Failure(what + QLatin1Char(' ') + QDir::toNativeSeparators(path)).because(SystemReason::ofLastWindowsError());
}

QByteArray number(FILETIME time)
{
    return QByteArray::number((quint64(time.dwHighDateTime) << 32) | time.dwLowDateTime);
}

} // namespace

// The folder's last-write time moves with every name added, removed or
// renamed in it (a file's contents do not move it), and so does its change
// time, which no program can set back; the volume and the file index tell a
// folder made anew. File systems that keep a folder's times this way (NTFS,
// ReFS) give a stamp; others (FAT) do not, and the folder is read once a
// process.
QByteArray changeStamp(const QString &folder)
{
    const HANDLE handle = CreateFileW(native(folder).c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return {};
    const auto close = qScopeGuard([handle] { CloseHandle(handle); });
    wchar_t fileSystem[MAX_PATH + 1] = {};
    BY_HANDLE_FILE_INFORMATION info{};
    FILE_BASIC_INFO times{};
    if (!GetVolumeInformationByHandleW(handle, nullptr, 0, nullptr, nullptr, nullptr, fileSystem, MAX_PATH + 1)
        || (_wcsicmp(fileSystem, L"NTFS") != 0 && _wcsicmp(fileSystem, L"ReFS") != 0)
        || !GetFileInformationByHandle(handle, &info)
        || !GetFileInformationByHandleEx(handle, FileBasicInfo, &times, sizeof times))
        return {};
    return number(info.ftLastWriteTime) + ' ' + QByteArray::number(times.ChangeTime.QuadPart) + ' '
           + QByteArray::number(quint64(info.dwVolumeSerialNumber)) + ' '
           + QByteArray::number((quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow);
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

// The lock is a byte-range lock on the counter file itself, so locking puts
// no name in the folder (the folder's stamp stays as it was); the system
// releases it when its holder ends, however it ends.
struct LockedFile::Held {
    QString path;
    HANDLE file = INVALID_HANDLE_VALUE;

    ~Held()
    {
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
    }
};

LockedFile::LockedFile(const QString &path) : m_held(std::make_unique<Held>())
{
    m_held->path = path;
    m_held->file = CreateFileW(native(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_held->file == INVALID_HANDLE_VALUE)
        fail(QStringLiteral("cannot open"), path);
    OVERLAPPED whole{};
    if (!LockFileEx(m_held->file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole))
        fail(QStringLiteral("cannot lock"), path);
}

LockedFile::~LockedFile() = default;

QByteArray LockedFile::read() const
{
    char text[256];
    OVERLAPPED fromStart{};
    DWORD size = 0;
    if (!ReadFile(m_held->file, text, sizeof text, &size, &fromStart) && GetLastError() != ERROR_HANDLE_EOF)
        fail(QStringLiteral("cannot read"), m_held->path);
    return {text, qsizetype(size)};
}

void LockedFile::write(const QByteArray &text)
{
    OVERLAPPED fromStart{};
    DWORD written = 0;
    LARGE_INTEGER end{};
    end.QuadPart = text.size();
    if (!WriteFile(m_held->file, text.constData(), DWORD(text.size()), &written, &fromStart))
        fail(QStringLiteral("cannot write"), m_held->path);
    if (written != DWORD(text.size())) {
        SetLastError(ERROR_DISK_FULL);
        fail(QStringLiteral("cannot write"), m_held->path);
    }
    if (!SetFilePointerEx(m_held->file, end, nullptr, FILE_BEGIN) || !SetEndOfFile(m_held->file))
        fail(QStringLiteral("cannot write"), m_held->path);
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
