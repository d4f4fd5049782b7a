// A work file of a run (new log, chat file, backup): buffered line writing that remembers the first failure.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/replace_file.h"

namespace krav {

class WorkFile {
public:
    WorkFile() = default;
    WorkFile(const WorkFile&) = delete;
    WorkFile& operator=(const WorkFile&) = delete;
    ~WorkFile() { Close(); }

    bool Create(const std::string& path);  // an existing file is truncated
    bool Append(const std::string& path);  // opened for appending; fails when it cannot be
    bool IsOpen() const { return file_.IsOpen(); }

    // Writes parts of one line followed by CR LF. Returns false once any write has failed.
    bool Put(std::string_view text);
    bool EndLine() { return Put("\r\n"); }
    // Writes out what is buffered; false when the file did not take all of it.
    bool Flush();
    // Writes out what is buffered and makes the file's content durable on the disk.
    bool Sync();
    // Flushes and closes; false when anything written was not taken by the file.
    bool Close();
    bool Failed() const { return failed_; }

private:
    platform::OutputFile file_;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
    bool failed_ = false;
};

}  // namespace krav
