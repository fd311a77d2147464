#include "NumberedFolder.h"

#include "FolderFiles.h"
#include "SystemReason.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <limits>
#include <system_error>
#include <thread>
#include <vector>

namespace {

const QString kCounterName = QStringLiteral(".last-number");
const QString kWritingFolder = QStringLiteral(".writing");
const QString kOldTemporaryPrefix = QStringLiteral(".writing-"); // beside the numbered files, before .writing/
constexpr int kAttempts = 100;
// Syncs waited for at once: each waits on the disk, and the disk serves many
// far sooner than the same one after another.
constexpr qsizetype kSyncsAtOnce = 8;

void makeFolder(const QString &folder)
{
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(folder.toStdU16String()), error);
    if (error) {
        throw Failure(QStringLiteral("cannot create the folder ") + QDir::toNativeSeparators(folder))
            .because(SystemReason::ofErrno(error.value()));
    }
}

qint64 nextAfter(qint64 last, const QString &folder)
{
    if (last >= std::numeric_limits<qint64>::max() - 1)
        throw Failure(QStringLiteral("no numbers are left in %1").arg(QDir::toNativeSeparators(folder)));
    return last + 1;
}

// The number in front of a file name ("00000042 TagFoundry BIN A-1.pdf" gives 42), or 0.
qint64 leadingNumber(const QString &name)
{
    qint64 number = 0;
    qsizetype i = 0;
    for (; i < name.size() && name[i] >= QLatin1Char('0') && name[i] <= QLatin1Char('9'); ++i) {
        if (number > (std::numeric_limits<qint64>::max() - 9) / 10)
            return 0;
        number = number * 10 + (name[i].unicode() - '0');
    }
    return i > 0 && i < name.size() && name[i] == QLatin1Char(' ') ? number : 0;
}

// The counter file: the last number handed out on its first line and, on a
// second, the folder's change stamp when it was written ("42\nfolder <stamp>\n").
struct Counter {
    qint64 last = 0; // 0: missing or unreadable
    QByteArray stamp;
};

Counter parseCounter(const QByteArray &text)
{
    const QList<QByteArray> lines = text.split('\n');
    bool ok = false;
    const qint64 last = lines[0].trimmed().toLongLong(&ok);
    if (!ok || last <= 0)
        return {};
    // A second line with anything after it is a write cut short: no stamp.
    const bool stamped = lines.size() == 3 && lines[1].startsWith("folder ") && lines[2].isEmpty();
    return {last, stamped ? lines[1].mid(7) : QByteArray()};
}

QByteArray counterText(qint64 last, const QByteArray &stamp)
{
    return QByteArray::number(last) + '\n' + (stamp.isEmpty() ? QByteArray() : "folder " + stamp + '\n');
}

// Waits until each of the first `count` files is on the disk, several at a
// time. Returns how many from the first are, and the system's reason why the
// next is not.
std::pair<qsizetype, std::optional<QString>> syncEach(std::vector<FolderFiles::TemporaryFile> &files, qsizetype count)
{
    std::vector<std::optional<QString>> reasons(static_cast<size_t>(count)); // each one's by one thread
    std::atomic<qsizetype> next = 0;
    const auto syncNext = [&] {
        for (qsizetype i = next++; i < count; i = next++) {
            try {
                files[size_t(i)].sync();
            } catch (const Failure &failure) {
                reasons[size_t(i)] = failure.reason();
            }
        }
    };
    std::vector<std::thread> helpers;
    try {
        while (qsizetype(helpers.size()) + 1 < std::min(count, kSyncsAtOnce))
            helpers.emplace_back(syncNext);
    } catch (const std::system_error &) { // no more threads: fewer at once
    }
    syncNext();
    for (std::thread &helper : helpers)
        helper.join();
    const auto failed = std::find_if(reasons.begin(), reasons.end(),
                                     [](const auto &reason) { return reason.has_value(); });
    return {failed - reasons.begin(), failed == reasons.end() ? std::nullopt : *failed};
}

} // namespace

NumberedFolder::NumberedFolder(QString folder, Namer nameFor)
    : m_folder(std::move(folder)), m_writing(QDir(m_folder).filePath(kWritingFolder)),
      m_counter(QDir(m_folder).filePath(kCounterName)), m_nameFor(std::move(nameFor))
{
}

// A group's files on the disk, not yet named: the first `ready` of them
// whole; why the next is not, when it was made and could not be written
// (`unwritten`, the system's reason, said once it has a name) or could not
// be made (`failure`).
struct NumberedFolder::Written {
    std::vector<FolderFiles::TemporaryFile> files;
    qsizetype ready = 0;
    std::optional<QString> unwritten;
    std::optional<Failure> failure;
};

NumberedFolder::Outcome NumberedFolder::add(const QList<File> &files)
{
    Written written = write(files);
    if (written.ready == 0 && !written.unwritten)
        return {0, written.failure, {}};
    Outcome outcome = nameInOrder(files, written);
    if (outcome.added == 0)
        return outcome;
    try {
        FolderFiles::syncFolder(m_folder);
    } catch (const Failure &failure) {
        // The files have their names, but the names may not outlive a power
        // cut: none of them counts as added, the first of them fails.
        outcome.added = 0;
        outcome.paths.clear();
        outcome.failure = Failure(failure).then(
            QStringLiteral("the files just named in it may be lost in a power cut"));
    }
    return outcome;
}

NumberedFolder::Written NumberedFolder::write(const QList<File> &files) const
{
    // Each file into one of its own, the disk starting on each at once...
    Written written;
    written.files.reserve(size_t(files.size()));
    try {
        makeFolder(m_folder);
        for (const File &file : files) {
            FolderFiles::TemporaryFile &temporary = written.files.emplace_back(m_folder, m_writing);
            try {
                temporary.write(file.contents);
            } catch (const Failure &failure) {
                written.unwritten = failure.reason();
                break;
            }
            ++written.ready;
        }
    } catch (const Failure &failure) {
        written.failure = failure;
    }
    // ... then one pass that waits until every one is on the disk.
    if (auto [synced, reason] = syncEach(written.files, written.ready); reason) {
        written.ready = synced;
        written.unwritten = std::move(reason);
        written.failure.reset();
    }
    return written;
}

NumberedFolder::Outcome NumberedFolder::nameInOrder(const QList<File> &files, Written &written)
{
    Outcome outcome;
    try {
        FolderFiles::LockedFile counter(m_counter);
        const Counter before = parseCounter(counter.read());
        const QByteArray stamp = FolderFiles::changeStamp(m_folder);
        removeAbandonedTemporaries();
        qint64 last = before.last;
        if (before.last == 0 || (stamp.isEmpty() ? !m_scanned : before.stamp != stamp))
            last = std::max(last, highestPresent());
        try {
            for (; outcome.added < written.ready; ++outcome.added) {
                const QString &label = files[outcome.added].label;
                last = place(written.files[size_t(outcome.added)], label, last);
                outcome.paths.append(QDir(m_folder).filePath(m_nameFor(last, label)));
            }
            if (written.unwritten) {
                const QString path = QDir(m_folder).filePath(
                    m_nameFor(nextAfter(last, m_folder), files[written.ready].label));
                throw Failure(QStringLiteral("could not write ") + QDir::toNativeSeparators(path))
                    .because(*written.unwritten);
            }
            outcome.failure = written.failure;
        } catch (const Failure &failure) {
            outcome.failure = failure;
        }
        if (outcome.added > 0) {
            try {
                counter.write(counterText(last, FolderFiles::changeStamp(m_folder)));
            } catch (const Failure &) {
                // The stamp no longer matches, so the next claim reads the
                // folder: nothing is lost.
            }
        }
    } catch (const Failure &failure) {
        outcome.failure = failure;
    }
    return outcome;
}

qint64 NumberedFolder::place(FolderFiles::TemporaryFile &file, const QString &label, qint64 last)
{
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const qint64 number = nextAfter(last, m_folder);
        const QString path = QDir(m_folder).filePath(m_nameFor(number, label));
        if (file.placeAs(path))
            return number;
        // A name is taken only by a file put there since the folder was
        // read: by hand, or by a run killed while naming.
        last = std::max(number, highestPresent());
    }
    throw Failure(QStringLiteral("found no free file name in %1").arg(QDir::toNativeSeparators(m_folder)));
}

qint64 NumberedFolder::highestPresent()
{
    qint64 highest = 0;
    FolderFiles::forEachName(m_folder, [&](const QString &name) {
        if (name.startsWith(kOldTemporaryPrefix))
            FolderFiles::removeIfAbandoned(QDir(m_folder).filePath(name));
        else
            highest = std::max(highest, leadingNumber(name));
    });
    m_scanned = true;
    return highest;
}

void NumberedFolder::removeAbandonedTemporaries()
{
    if (m_cleaned || !QFileInfo(m_writing).isDir())
        return;
    // Under the counter's lock: a temporary file is closed (and so looks
    // abandoned, on some systems) only while it is being named.
    FolderFiles::forEachName(
        m_writing, [&](const QString &name) { FolderFiles::removeIfAbandoned(QDir(m_writing).filePath(name)); });
    m_cleaned = true;
}
