// Writing files so that a failure, a full disk or a kill never leaves a user's file half-written: the one way
// to replace a file (a uniquely named temporary file beside it, written, flushed to the disk, renamed over the
// target, the folder flushed), plain output files that report every failed write, and in-place rewriting of a
// file that another program holds open.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace krav::platform {

// A file opened for writing, unbuffered: every call goes to the system and its result is checked.
class OutputFile {
public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile() { Close(); }

    bool Create(const std::string& path);  // an existing file is truncated
    bool Append(const std::string& path);  // an existing file is kept; fails when there is none
    bool IsOpen() const { return handle_ >= 0; }
    bool Write(std::string_view bytes);
    bool Sync();   // to the disk
    bool Close();  // false when the system reported a failure on closing

private:
    friend class ReplacementFile;
    bool Open(const std::string& path, int flags);
    int handle_ = -1;
};

// A file that takes the place of `target` once complete. Nothing is changed at the target until Commit.
class ReplacementFile {
public:
    ReplacementFile() = default;
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;
    ~ReplacementFile() { Abandon(); }

    // Creates the temporary file beside the target. Fails when the folder takes no file or the target is a
    // folder.
    bool Open(const std::string& target);
    bool IsOpen() const { return file_.IsOpen(); }
    bool Write(std::string_view bytes);
    // Flushes the file to the disk, renames it over the target and flushes the folder. False, with the target
    // unchanged and the temporary file gone, when any of it fails (a failure to flush the folder after the
    // rename is reported too, though the target has then been replaced).
    bool Commit();
    // Closes and deletes the temporary file.
    void Abandon();

private:
    static constexpr std::uint64_t kWriteBackStep = std::uint64_t{1} << 20;
    std::string target_, temporary_;
    OutputFile file_;
    std::uint64_t written_ = 0, writingBack_ = 0;  // bytes written, and sent on to the disk
    bool failed_ = false;
};

// The whole text as the new content of `target`.
bool ReplaceFileWith(const std::string& target, std::string_view text);
// A copy of `source` as the new content of `target`. False when `source` is no readable regular file.
bool CopyFileOver(const std::string& source, const std::string& target);
// Appends bytes [offset, offset + limit) of `source`, as far as they reach when read, to `out`; `copied` gets
// how many.
bool AppendFileRange(const std::string& source, std::uint64_t offset, std::uint64_t limit, OutputFile& out,
                     std::uint64_t& copied);
// Renames a complete file over `target` and flushes the folder.
bool RenameOver(const std::string& from, const std::string& target);
// Deletes a file; a file that does not exist is no failure.
bool RemoveFile(const std::string& path);
// Flushes the folder of `path`, so that names created, renamed or deleted in it reach the disk.
bool SyncFolderOf(const std::string& path);

enum class FileState { Missing, File, Other };
// Whether there is a regular file at `path`, nothing, or something else (a folder, a device, no access).
FileState StateOf(const std::string& path);

// A file rewritten in place, without truncation on opening: the program that appends to it keeps its handle.
class InPlaceFile {
public:
    InPlaceFile() = default;
    InPlaceFile(const InPlaceFile&) = delete;
    InPlaceFile& operator=(const InPlaceFile&) = delete;
    ~InPlaceFile() { Close(); }

    bool Open(const std::string& path);  // read and write; the file must exist
    bool Size(std::uint64_t& size);
    // Reads up to `length` bytes at `offset`; `got` is 0 at the end of the file.
    bool ReadAt(std::uint64_t offset, char* buffer, std::size_t length, std::size_t& got);
    bool WriteAt(std::uint64_t offset, std::string_view bytes);
    bool Truncate(std::uint64_t size);
    bool Sync();
    bool Close();

private:
    int handle_ = -1;
};

// Keeps a second run on the same log away while held; released by Release or when the process ends.
class LogLock {
public:
    LogLock() = default;
    LogLock(const LogLock&) = delete;
    LogLock& operator=(const LogLock&) = delete;
    ~LogLock() { Release(); }

    // False when another process holds the lock for this log.
    bool Acquire(const std::string& logPath);
    void Release();

private:
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int handle_ = -1;
#endif
};

namespace testing {
// Called after a replacement has been written completely to its temporary file and before that file is
// renamed over the target; lets a test end the process at the worst possible moment.
using BeforeRenameHook = void (*)(const std::string& temporaryPath);
void SetBeforeRenameHook(BeforeRenameHook hook);
}  // namespace testing

}  // namespace krav::platform
