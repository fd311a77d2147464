#pragma once

#include "NumberedFolder.h"
#include "Spooler.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

// Adds files to numbered folders on a thread of its own, a group at a time:
// while the disk takes one group, the caller makes the next files. Files are counted from 0
// in the order they were handed over; a file that fails stops the writer:
// the files before it are added, it and every file after it are dropped, and
// every later call throws a LateFailure for it.
class FolderWriter {
public:
    // `describe` adds to a folder's failure what the caller reports with it.
    explicit FolderWriter(std::function<Failure(Failure)> describe);
    FolderWriter(const FolderWriter &) = delete;
    FolderWriter &operator=(const FolderWriter &) = delete;
    // Waits for the files handed over, then ends the thread.
    ~FolderWriter();

    // Hands a file over; waits while too much is waiting already.
    void hand(const std::shared_ptr<NumberedFolder> &folder, NumberedFolder::File file);
    // How many of the files handed over are added, in order.
    qsizetype added();
    // Waits until every file handed over is added.
    void finish();
    // Throws the LateFailure of a file that failed, if one did.
    void rethrowFailure();

private:
    struct Waiting {
        std::shared_ptr<NumberedFolder> folder;
        NumberedFolder::File file;
    };

    void run();
    void throwIfFailed() const;

    std::function<Failure(Failure)> m_describe;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Waiting> m_waiting;
    qsizetype m_waitingBytes = 0;
    qsizetype m_handed = 0;
    qsizetype m_added = 0;
    int m_callersWaiting = 0; // in hand() or finish(): the writer goes on without a whole group
    std::optional<LateFailure> m_failure;
    bool m_stopping = false;
    std::thread m_thread; // last: starts once the rest is ready
};
