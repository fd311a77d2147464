#include "FolderFiles.h"

#include "Failure.h"
#include "SystemReason.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace FolderFiles {

namespace {

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

[[noreturn]] void fail(const QString &what, const QString &path, int error)
{
    throw Failure(what + QLatin1Char(' ') + QDir::toNativeSeparators(path)).because(SystemReason::ofErrno(error));
}

// An open file descriptor, closed (and any lock on it released) at the end.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    ~Descriptor() { reset(); }
    int get() const { return m_fd; }
    void reset(int fd = -1)
    {
        // What close() can report is a write lost: a label's file is synced,
        // and its errors reported, before it is closed; a counter whose
        // write is lost keeps a stamp that no longer matches, so the next
        // run reads the folder.
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd = -1;
};

bool lockExclusive(int fd, bool wait)
{
    int result = 0;
    do {
        result = ::flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB));
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

} // namespace

QByteArray changeStamp(const QString &folder)
{
    // The change time moves with every name added, removed or renamed, and
    // no program can set it back; the identity tells a folder made anew.
    // Without it the counter is trusted no further: the folder is read.
    struct stat info {};
    if (::stat(encoded(folder).constData(), &info) != 0)
        return {};
    return QByteArray::number(qint64(info.st_ctim.tv_sec)) + '.' + QByteArray::number(qint64(info.st_ctim.tv_nsec))
           + ' ' + QByteArray::number(quint64(info.st_dev)) + ' ' + QByteArray::number(quint64(info.st_ino));
}

void forEachName(const QString &folder, const std::function<void(const QString &)> &visit)
{
    DIR *dir = ::opendir(encoded(folder).constData());
    if (!dir)
        fail(QStringLiteral("cannot read the folder"), folder, errno);
    const auto close = qScopeGuard([dir] { ::closedir(dir); }); // read only: nothing to lose
    for (;;) {
        errno = 0; // readdir() ends the folder and fails alike, with a null entry
        const dirent *entry = ::readdir(dir);
        if (!entry) {
            if (errno != 0)
                fail(QStringLiteral("cannot read the folder"), folder, errno);
            return;
        }
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            visit(QFile::decodeName(entry->d_name));
    }
}

void syncFolder(const QString &folder)
{
    const Descriptor fd(::open(encoded(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0)
        fail(QStringLiteral("cannot open the folder"), folder, errno);
    int result = 0;
    do {
        result = ::fsync(fd.get());
    } while (result != 0 && errno == EINTR);
    // Some file systems cannot sync a folder at all and say so (EINVAL, or
    // "not supported"): their names are as safe as they can be made. Any
    // other error (EIO) means names just made may be lost in a power cut.
    if (result != 0 && errno != EINVAL && errno != EOPNOTSUPP)
        fail(QStringLiteral("could not sync the folder"), folder, errno);
}

// Failing is harmless: a file that cannot be opened or locked is gone
// already or still being written, and one left behind only takes room until
// the next run removes it.
void removeIfAbandoned(const QString &path)
{
    const Descriptor fd(::open(encoded(path).constData(), O_RDONLY | O_CLOEXEC));
    if (fd.get() >= 0 && lockExclusive(fd.get(), false))
        ::unlink(encoded(path).constData());
}

struct LockedFile::Held {
    QString path;
    Descriptor fd;
};

LockedFile::LockedFile(const QString &path) : m_held(std::make_unique<Held>())
{
    m_held->path = path;
    m_held->fd.reset(::open(encoded(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
    if (m_held->fd.get() < 0)
        fail(QStringLiteral("cannot open"), path, errno);
    if (!lockExclusive(m_held->fd.get(), true))
        fail(QStringLiteral("cannot lock"), path, errno);
}

LockedFile::~LockedFile() = default;

QByteArray LockedFile::read() const
{
    char text[256];
    const ssize_t size = ::pread(m_held->fd.get(), text, sizeof text, 0);
    if (size < 0)
        fail(QStringLiteral("cannot read"), m_held->path, errno);
    return {text, qsizetype(size)};
}

void LockedFile::write(const QByteArray &text)
{
    errno = 0;
    if (::pwrite(m_held->fd.get(), text.constData(), size_t(text.size()), 0) != text.size()
        || ::ftruncate(m_held->fd.get(), text.size()) != 0)
        fail(QStringLiteral("cannot write"), m_held->path, errno ? errno : ENOSPC);
}

struct TemporaryFile::Held {
    QString path; // empty while the file has no name
    Descriptor fd;

    // A temporary file that cannot be removed here is removed by the next
    // run that adds files (removeIfAbandoned).
    ~Held()
    {
        if (!path.isEmpty())
            ::unlink(encoded(path).constData());
    }
};

namespace {

// A file without a name is placed through its name under /proc; without
// /proc, or on a file system that cannot make one, the file is named.
int unnamedFile(const QString &folder)
{
    static const bool canPlace = ::access("/proc/self/fd", X_OK) == 0;
    if (canPlace)
        return ::open(encoded(folder).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0644);
    errno = EOPNOTSUPP;
    return -1;
}

} // namespace

TemporaryFile::TemporaryFile(const QString &folder, const QString &namedIn) : m_held(std::make_unique<Held>())
{
    m_held->fd.reset(unnamedFile(folder));
    if (m_held->fd.get() >= 0)
        return;
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL && errno != ENOENT)
        fail(QStringLiteral("cannot create a file in"), folder, errno);
    if (::mkdir(encoded(namedIn).constData(), 0755) != 0 && errno != EEXIST)
        fail(QStringLiteral("cannot create the folder"), namedIn, errno);
    static std::atomic<int> serial = 0;
    for (;;) {
        m_held->path = QDir(namedIn).filePath(QStringLiteral("%1-%2.tmp").arg(::getpid()).arg(++serial));
        m_held->fd.reset(::open(encoded(m_held->path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
        if (m_held->fd.get() < 0) {
            const int error = errno;
            const QString path = std::exchange(m_held->path, QString());
            fail(QStringLiteral("cannot create"), path, error);
        }
        if (!lockExclusive(m_held->fd.get(), true))
            fail(QStringLiteral("cannot lock"), m_held->path, errno);
        // Another process may have taken it for abandoned before it was
        // locked, and removed it: then it has no name left, and another is made.
        struct stat info {};
        if (::fstat(m_held->fd.get(), &info) == 0 && info.st_nlink > 0)
            return;
        m_held->path.clear();
    }
}

TemporaryFile::TemporaryFile(TemporaryFile &&) noexcept = default;
TemporaryFile &TemporaryFile::operator=(TemporaryFile &&) noexcept = default;
TemporaryFile::~TemporaryFile() = default;

void TemporaryFile::write(const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(m_held->fd.get(), bytes.constData() + done, size_t(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            throw Failure(QStringLiteral("could not write"))
                .because(SystemReason::ofErrno(written < 0 ? errno : ENOSPC));
        done += written;
    }
#ifdef SYNC_FILE_RANGE_WRITE
    // The disk starts on it now, so the group's syncs find it written. Only
    // a head start: sync() waits for the same writes and reports their errors.
    ::sync_file_range(m_held->fd.get(), 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
}

void TemporaryFile::sync()
{
    if (::fsync(m_held->fd.get()) != 0)
        throw Failure(QStringLiteral("could not write")).because(SystemReason::ofErrno(errno));
}

namespace {

// A name already taken is not a failure: the caller takes the next number.
bool placed(int result, const QString &finalPath)
{
    if (result == 0)
        return true;
    if (errno == EEXIST)
        return false;
    fail(QStringLiteral("could not name"), finalPath, errno);
}

} // namespace

bool TemporaryFile::placeAs(const QString &finalPath)
{
    const QByteArray to = encoded(finalPath);
    if (m_held->path.isEmpty()) {
        const QByteArray from = "/proc/self/fd/" + QByteArray::number(m_held->fd.get());
        if (!placed(::linkat(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), AT_SYMLINK_FOLLOW), finalPath))
            return false;
        m_held.reset();
        return true;
    }
    const QByteArray from = encoded(m_held->path);
    if (::link(from.constData(), to.constData()) != 0) {
        const int error = errno;
        errno = error;
        if (error != EPERM && error != EOPNOTSUPP && error != ENOSYS)
            return placed(-1, finalPath);
#ifdef SYS_renameat2
        // A file system without hard links: rename, never replacing.
        constexpr unsigned kNoReplace = 1; // RENAME_NOREPLACE
        if (!placed(int(::syscall(SYS_renameat2, AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), kNoReplace)),
                    finalPath))
            return false;
        m_held->path.clear();
#else
        return placed(-1, finalPath);
#endif
    }
    m_held.reset(); // the temporary name goes, the file stays under its own
    return true;
}

} // namespace FolderFiles
