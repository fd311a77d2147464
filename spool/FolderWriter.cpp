#include "FolderWriter.h"

namespace {

// Enough to keep the disk busy while the caller makes the next files; the
// caller waits beyond it, so memory stays the same however many it hands over.
constexpr qsizetype kMaxWaitingBytes = qsizetype(1) << 20;
// A group waits for this many files unless the caller waits for it: the disk
// then waits once for many of them. Each file of a group is open until it is named.
constexpr qsizetype kGroupFiles = 32;

} // namespace

FolderWriter::FolderWriter(std::function<Failure(Failure)> describe)
    : m_describe(std::move(describe)), m_thread([this] { run(); })
{
}

FolderWriter::~FolderWriter()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void FolderWriter::hand(const std::shared_ptr<NumberedFolder> &folder, NumberedFolder::File file)
{
    std::unique_lock lock(m_mutex);
    const qsizetype bytes = file.contents.size();
    // At least one file waits, however large.
    const auto roomForIt = [&] { return m_failure || m_waiting.empty() || m_waitingBytes + bytes <= kMaxWaitingBytes; };
    if (!roomForIt()) {
        ++m_callersWaiting;
        m_changed.notify_all(); // the writer goes on without a whole group
        m_changed.wait(lock, roomForIt);
        --m_callersWaiting;
    }
    throwIfFailed();
    m_waiting.push_back({folder, std::move(file)});
    m_waitingBytes += bytes;
    ++m_handed;
    lock.unlock();
    m_changed.notify_all();
}

qsizetype FolderWriter::added()
{
    const std::lock_guard lock(m_mutex);
    return m_added;
}

void FolderWriter::finish()
{
    std::unique_lock lock(m_mutex);
    ++m_callersWaiting;
    m_changed.notify_all();
    m_changed.wait(lock, [&] { return m_failure || m_added == m_handed; });
    --m_callersWaiting;
    throwIfFailed();
}

void FolderWriter::rethrowFailure()
{
    const std::lock_guard lock(m_mutex);
    throwIfFailed();
}

void FolderWriter::throwIfFailed() const
{
    if (m_failure)
        throw *m_failure;
}

void FolderWriter::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [&] {
            return m_stopping || qsizetype(m_waiting.size()) >= kGroupFiles
                   || (!m_waiting.empty() && m_callersWaiting > 0);
        });
        if (m_waiting.empty())
            return;
        // The group: what waits, for one folder.
        const std::shared_ptr<NumberedFolder> folder = m_waiting.front().folder;
        QList<NumberedFolder::File> group;
        qsizetype bytes = 0;
        while (!m_waiting.empty() && m_waiting.front().folder == folder && group.size() < kGroupFiles) {
            bytes += m_waiting.front().file.contents.size();
            group.append(std::move(m_waiting.front().file));
            m_waiting.pop_front();
        }
        lock.unlock();
        const NumberedFolder::Outcome outcome = folder->add(group);
        const std::optional<Failure> failed = outcome.failure ? std::optional(m_describe(*outcome.failure))
                                                              : std::nullopt;
        group.clear();
        lock.lock();
        m_waitingBytes -= bytes;
        m_added += outcome.added;
        if (failed) {
            m_failure.emplace(*failed, m_added);
            m_waiting.clear();
            m_waitingBytes = 0;
        }
        m_changed.notify_all();
    }
}
