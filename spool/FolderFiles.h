#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

// What a numbered folder asks of the system, one implementation per platform
// (FolderFilesPosix.cpp, FolderFilesWindows.cpp). A call that fails throws
// Failure saying what could not be done, with the system's reason.
namespace FolderFiles {

// A text that changes whenever a name in the folder is added, removed or
// renamed; empty when the system cannot tell.
QByteArray changeStamp(const QString &folder);

// Calls `visit` with every name in the folder ("." and ".." aside), reading
// the folder a piece at a time: memory stays the same however many it holds.
void forEachName(const QString &folder, const std::function<void(const QString &name)> &visit);

// Makes the names last linked into the folder durable.
void syncFolder(const QString &folder);

// Removes a temporary file whose writer has gone; one still held stays.
void removeIfAbandoned(const QString &path);

// A small file (the folder's counter) locked against every other process
// and every other LockedFile for as long as this lives.
class LockedFile {
public:
    explicit LockedFile(const QString &path); // created when missing; waits for the lock
    LockedFile(const LockedFile &) = delete;
    LockedFile &operator=(const LockedFile &) = delete;
    ~LockedFile();

    QByteArray read() const;
    // Replaces the contents.
    void write(const QByteArray &text);

private:
    struct Held;
    std::unique_ptr<Held> m_held;
};

// A new file to be placed in `folder`, held by this process until it is
// placed or dropped, and removed unless placed. Where the system can, it has
// no name until then, so a killed run leaves nothing behind; elsewhere it is
// named in `namedIn`, and held so that no other process takes it for
// abandoned.
class TemporaryFile {
public:
    TemporaryFile(const QString &folder, const QString &namedIn);
    TemporaryFile(TemporaryFile &&) noexcept;
    TemporaryFile &operator=(TemporaryFile &&) noexcept;
    ~TemporaryFile();

    // Writes every byte and starts their way to the disk without waiting.
    void write(const QByteArray &bytes);
    // Waits until the contents are on the disk.
    void sync();
    // Gives the file its final name, never replacing a file: false, and
    // nothing done, when the name is taken.
    bool placeAs(const QString &finalPath);

private:
    struct Held;
    std::unique_ptr<Held> m_held;
};

} // namespace FolderFiles
