// A work file of a run (new log, chat file, backup): buffered line writing that remembers the first failure.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace krav {

class WorkFile {
public:
    WorkFile() = default;
    WorkFile(const WorkFile&) = delete;
    WorkFile& operator=(const WorkFile&) = delete;
    ~WorkFile() { Close(); }

    bool Create(const std::string& path);  // an existing file is truncated
    bool Append(const std::string& path);  // opened for appending; fails when it cannot be
    bool IsOpen() const { return file_ != nullptr; }

    // Writes parts of one line followed by CR LF. Returns false once any write has failed.
    bool Put(std::string_view text);
    bool EndLine() { return Put("\r\n"); }
    // Writes out what is buffered; false when the file did not take all of it.
    bool Flush();
    // Flushes and closes; false when anything written was not taken by the file.
    bool Close();
    bool Failed() const { return failed_; }

private:
    bool Open(const std::string& path, const char* mode);

    std::FILE* file_ = nullptr;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
    bool failed_ = false;
};

}  // namespace krav
