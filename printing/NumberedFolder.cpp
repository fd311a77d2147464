#include "NumberedFolder.h"

#include "Failure.h"

#include <QDir>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <limits>
#include <optional>

#ifdef Q_OS_WIN
#include <QFile>
#include <QLockFile>
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace {

const QString kCounterName = QStringLiteral(".last-number");
const QString kTemporaryPrefix = QStringLiteral(".writing-");

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

[[noreturn]] void fail(const QString &what, const QString &path, int error)
{
    throw Failure(QStringLiteral("%1 %2: %3").arg(what, QDir::toNativeSeparators(path), systemReason(error)));
}

void makeFolder(const QString &folder)
{
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(folder.toStdU16String()), error);
    if (error)
        fail(QStringLiteral("cannot create the folder"), folder, error.value());
}

qint64 nextAfter(qint64 last, const QString &folder)
{
    if (last >= std::numeric_limits<qint64>::max() - 1)
        throw Failure(QStringLiteral("no numbers are left in %1").arg(QDir::toNativeSeparators(folder)));
    return last + 1;
}

#ifndef Q_OS_WIN

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

// An open file descriptor, closed (and any lock on it released) at the end.
class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : m_fd(fd) {}
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }

private:
    int m_fd = -1;
};

bool lockExclusive(int fd, bool wait)
{
    int result;
    do {
        result = ::flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB));
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

// The folder's counter file, locked for as long as this lives.
class Counter {
public:
    explicit Counter(const QString &folder) : m_path(QDir(folder).filePath(kCounterName))
    {
        m_fd = ::open(encoded(m_path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (m_fd < 0)
            fail(QStringLiteral("cannot open"), m_path, errno);
        if (!lockExclusive(m_fd, true)) {
            const int error = errno;
            ::close(m_fd);
            fail(QStringLiteral("cannot lock"), m_path, error);
        }
    }
    Counter(const Counter &) = delete;
    Counter &operator=(const Counter &) = delete;
    ~Counter() { ::close(m_fd); }

    // The last number claimed; 0 when none was (or the file is not a number).
    qint64 last() const
    {
        char text[32] = {};
        const ssize_t size = ::pread(m_fd, text, sizeof text - 1, 0);
        if (size < 0)
            fail(QStringLiteral("cannot read"), m_path, errno);
        bool ok = false;
        const qint64 number = QByteArray(text, size).trimmed().toLongLong(&ok);
        return ok && number > 0 ? number : 0;
    }

    void setLast(qint64 number)
    {
        const QByteArray text = QByteArray::number(number) + '\n';
        errno = 0;
        if (::pwrite(m_fd, text.constData(), size_t(text.size()), 0) != text.size()
            || ::ftruncate(m_fd, text.size()) != 0)
            fail(QStringLiteral("cannot write"), m_path, errno ? errno : ENOSPC);
    }

private:
    QString m_path;
    int m_fd = -1;
};

// A temporary file, locked while its writer lives, removed unless kept.
class TemporaryFile {
public:
    TemporaryFile(const QString &folder, qint64 number)
    {
        static int serial = 0;
        m_path = QDir(folder).filePath(
            QStringLiteral("%1%2-%3-%4.tmp").arg(kTemporaryPrefix).arg(number).arg(::getpid()).arg(++serial));
        m_fd = ::open(encoded(m_path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (m_fd < 0)
            fail(QStringLiteral("cannot create"), m_path, errno);
        if (!lockExclusive(m_fd, true)) {
            const int error = errno;
            discard();
            fail(QStringLiteral("cannot lock"), m_path, error);
        }
    }
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;
    ~TemporaryFile() { discard(); }

    // Writes every byte and flushes them to the disk; the system's error
    // number when it cannot.
    int writeWhole(const QByteArray &bytes)
    {
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t written = ::write(m_fd, bytes.constData() + done, size_t(bytes.size() - done));
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                return written < 0 ? errno : ENOSPC;
            done += written;
        }
        return ::fsync(m_fd) == 0 ? 0 : errno;
    }

    // Gives the file its final name, never replacing a file. 0 when done,
    // EEXIST when the name is taken, otherwise the system's error number.
    int placeAs(const QString &finalPath)
    {
        const QByteArray from = encoded(m_path), to = encoded(finalPath);
        if (::link(from.constData(), to.constData()) != 0) {
            const int error = errno;
            if (error != EPERM && error != EOPNOTSUPP && error != ENOSYS)
                return error;
#ifdef SYS_renameat2
            // A file system without hard links: rename, never replacing.
            constexpr unsigned kNoReplace = 1; // RENAME_NOREPLACE
            if (::syscall(SYS_renameat2, AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), kNoReplace) != 0)
                return errno;
            m_path.clear();
#else
            return error;
#endif
        }
        discard();
        return 0;
    }

private:
    void discard()
    {
        if (!m_path.isEmpty())
            ::unlink(encoded(m_path).constData());
        m_path.clear();
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

    QString m_path;
    int m_fd = -1;
};

// Removes a temporary file whose writer has gone: its lock is free.
void removeIfAbandoned(const QString &path)
{
    const Descriptor fd(::open(encoded(path).constData(), O_RDONLY | O_CLOEXEC));
    if (fd.get() >= 0 && lockExclusive(fd.get(), false))
        ::unlink(encoded(path).constData());
}

void syncFolder(const QString &folder)
{
    const Descriptor fd(::open(encoded(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0)
        ::fsync(fd.get()); // the name is durable too; some file systems cannot say
}

#else // Q_OS_WIN

class Counter {
public:
    explicit Counter(const QString &folder)
        : m_path(QDir(folder).filePath(kCounterName)), m_lock(m_path + QStringLiteral(".lock"))
    {
        m_lock.setStaleLockTime(0);
        if (!m_lock.lock())
            throw Failure(QStringLiteral("cannot lock %1").arg(QDir::toNativeSeparators(m_path)));
    }

    qint64 last() const
    {
        QFile file(m_path);
        if (!file.open(QIODevice::ReadOnly))
            return 0;
        bool ok = false;
        const qint64 number = file.read(32).trimmed().toLongLong(&ok);
        return ok && number > 0 ? number : 0;
    }

    void setLast(qint64 number)
    {
        QFile file(m_path);
        const QByteArray text = QByteArray::number(number) + '\n';
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size() || !file.flush())
            throw Failure(QStringLiteral("cannot write %1: %2").arg(QDir::toNativeSeparators(m_path), file.errorString()));
    }

private:
    QString m_path;
    QLockFile m_lock;
};

class TemporaryFile {
public:
    TemporaryFile(const QString &folder, qint64 number)
    {
        static int serial = 0;
        m_file.setFileName(QDir(folder).filePath(QStringLiteral("%1%2-%3-%4.tmp")
                                                     .arg(kTemporaryPrefix)
                                                     .arg(number)
                                                     .arg(GetCurrentProcessId())
                                                     .arg(++serial)));
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            throw Failure(QStringLiteral("cannot create %1: %2")
                              .arg(QDir::toNativeSeparators(m_file.fileName()), m_file.errorString()));
    }
    ~TemporaryFile()
    {
        m_file.close();
        if (!m_placed)
            m_file.remove();
    }

    int writeWhole(const QByteArray &bytes)
    {
        if (m_file.write(bytes) != bytes.size() || !m_file.flush()
            || !FlushFileBuffers(HANDLE(_get_osfhandle(m_file.handle()))))
            return ENOSPC;
        return 0;
    }

    int placeAs(const QString &finalPath)
    {
        m_file.close();
        // Without MOVEFILE_REPLACE_EXISTING the move never replaces a file.
        if (!MoveFileExW(reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(m_file.fileName()).utf16()),
                         reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(finalPath).utf16()),
                         MOVEFILE_WRITE_THROUGH))
            return GetLastError() == ERROR_ALREADY_EXISTS || GetLastError() == ERROR_FILE_EXISTS ? EEXIST : EIO;
        m_placed = true;
        return 0;
    }

private:
    QFile m_file;
    bool m_placed = false;
};

// A file still open by its writer cannot be removed.
void removeIfAbandoned(const QString &path)
{
    QFile::remove(path);
}

void syncFolder(const QString &) {}

#endif

} // namespace

qint64 NumberedFolder::leadingNumber(const QString &fileName)
{
    static const QRegularExpression leading(QStringLiteral("^(\\d+) "));
    const QRegularExpressionMatch match = leading.match(fileName);
    bool ok = false;
    const qint64 number = match.hasMatch() ? match.captured(1).toLongLong(&ok) : 0;
    return ok ? number : 0;
}

QString NumberedFolder::add(const std::function<QString(qint64)> &nameFor, const QByteArray &contents)
{
    makeFolder(m_folder);
    // A name can be taken only by a file put there by hand (or by another
    // program) since the folder was last looked at: look again and retry.
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::optional<TemporaryFile> temporary;
        qint64 number = 0;
        {
            Counter counter(m_folder);
            qint64 last = counter.last();
            if (!m_scanned || attempt > 0) {
                const QStringList names = QDir(m_folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
                for (const QString &name : names) {
                    if (name.startsWith(kTemporaryPrefix))
                        removeIfAbandoned(QDir(m_folder).filePath(name));
                    else
                        last = std::max(last, leadingNumber(name));
                }
                m_scanned = true;
            }
            number = nextAfter(last, m_folder);
            counter.setLast(number);
            // Created and locked while the counter is held, so no other
            // process takes it for an abandoned one.
            temporary.emplace(m_folder, number);
        }
        QString finalPath = QDir(m_folder).filePath(nameFor(number));
        if (const int error = temporary->writeWhole(contents))
            fail(QStringLiteral("could not write"), finalPath, error);
        const int error = temporary->placeAs(finalPath);
        if (error == EEXIST)
            continue;
        if (error)
            fail(QStringLiteral("could not name"), finalPath, error);
        syncFolder(m_folder);
        return finalPath;
    }
    throw Failure(QStringLiteral("found no free file name in %1").arg(QDir::toNativeSeparators(m_folder)));
}
