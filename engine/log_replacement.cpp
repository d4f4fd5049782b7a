// The journaled replacement of the log, the chat file and the backup.
#include "engine/log_replacement.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <vector>

#include "engine/status_texts.h"
#include "platform/process.h"
#include "platform/replace_file.h"

namespace krav {

namespace {

using platform::FileState;
using platform::StateOf;

constexpr const char* kJournalHeader = "KRAV log replacement";
constexpr std::size_t kBlock = 1 << 20;
constexpr std::uint64_t kTailBytes = 32;

std::string Hex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += kDigits[c >> 4];
        out += kDigits[c & 15];
    }
    return out;
}

bool FromHex(std::string_view hex, std::string& bytes) {
    auto digit = [](char c) { return c >= 'a' ? c - 'a' + 10 : c - '0'; };
    if (hex.size() % 2 != 0) return false;
    bytes.clear();
    for (std::size_t i = 0; i < hex.size(); i += 2)
        bytes += static_cast<char>(digit(hex[i]) * 16 + digit(hex[i + 1]));
    return true;
}

// Reads exactly `length` bytes at `offset`, or fewer at the end of the file.
bool ReadExactly(platform::InPlaceFile& file, std::uint64_t offset, std::size_t length, std::string& out) {
    out.assign(length, '\0');
    std::size_t done = 0;
    while (done < length) {
        std::size_t got = 0;
        if (!file.ReadAt(offset + done, out.data() + done, length - done, got)) return false;
        if (got == 0) break;
        done += got;
    }
    out.resize(done);
    return true;
}

// Copies bytes from `from` on to `to` within one file (to <= from), up to its end as it grows; `end` gets
// where the copy ends.
bool MoveDown(platform::InPlaceFile& file, std::uint64_t from, std::uint64_t to, std::uint64_t& end) {
    std::vector<char> block(kBlock);
    while (true) {
        std::size_t got = 0;
        if (!file.ReadAt(from, block.data(), block.size(), got)) return false;
        if (got == 0) break;
        if (!file.WriteAt(to, std::string_view(block.data(), got))) return false;
        from += got;
        to += got;
    }
    end = to;
    return true;
}

}  // namespace

LogReplacement::LogReplacement(const RunInputs& in)
    : log_(in.LogPath()),
      newLog_(in.WorkPath(texts::kNewLog)),
      newChat_(in.WorkPath(texts::kNewChat)),
      chat_(in.WorkPath(texts::kChat)),
      tempBackup_(in.WorkPath(texts::kTempBackup)),
      backup_(in.WorkPath(texts::kOldLog)),
      journal_(in.WorkPath(texts::kReplacing)) {}

bool LogReplacement::Pending() const {
    return StateOf(journal_) != FileState::Missing;
}

bool LogReplacement::Read(Journal& j) const {
    std::ifstream in(journal_, std::ios::binary);
    std::string header, tail;
    if (!std::getline(in, header) || header != kJournalHeader) return false;
    int backup = 0;
    if (!(in >> j.phase >> j.covered >> j.size >> backup)) return false;
    j.backup = backup != 0;
    if (j.phase == 2 && in >> tail && !FromHex(tail, j.tail)) return false;
    return j.phase == 1 || j.phase == 2;
}

bool LogReplacement::Write(const Journal& j) const {
    std::ostringstream text;
    text << kJournalHeader << "\n"
         << j.phase << " " << j.covered << " " << j.size << " " << (j.backup ? 1 : 0) << "\n"
         << Hex(j.tail) << "\n";
    return platform::ReplaceFileWith(journal_, text.str());
}

bool LogReplacement::Begin(std::uint64_t logCovered, std::uint64_t newLogSize, bool backup) {
    Journal j;
    j.phase = 1;
    j.covered = logCovered;
    j.size = newLogSize;
    j.backup = backup;
    return Write(j);
}

LogReplacement::Outcome LogReplacement::Complete(bool sameRun, std::string& errorText) {
    // A second Ctrl-C now would leave the log half-written: it waits until the log is whole again.
    platform::InterruptDeferral deferral;
    const Outcome backOut = sameRun ? Outcome::NothingChanged : Outcome::Unfinished;
    auto fail = [&](const char* text, Outcome outcome) {
        errorText = text;
        if (outcome == Outcome::NothingChanged) platform::RemoveFile(journal_);
        return outcome;
    };

    Journal j;
    if (!Read(j) || StateOf(newLog_) != FileState::File) return fail(texts::kUnableToWriteLog, backOut);
    platform::InPlaceFile log;
    if (!log.Open(log_)) return fail(texts::kUnableToWriteLog, backOut);
    if (j.backup && StateOf(tempBackup_) == FileState::File && !platform::RenameOver(tempBackup_, backup_)) {
        return fail(texts::kUnableToUpdateBackup, backOut);
    }
    if (StateOf(newChat_) == FileState::File && !platform::RenameOver(newChat_, chat_))
        return fail(texts::kUnableToWriteChat, backOut);
    // From here on the log is touched: only forward.
    if (!RewriteLog(j) || !log.Close()) return fail(texts::kUnableToWriteLog, Outcome::Unfinished);
    platform::RemoveFile(journal_);
    platform::RemoveFile(newLog_);
    platform::SyncFolderOf(log_);
    return Outcome::Done;
}

bool LogReplacement::RewriteLog(Journal& j) {
    platform::InPlaceFile log, source;
    std::uint64_t size = 0;
    if (!log.Open(log_) || !log.Size(size)) return false;

    if (j.phase == 1) {
        // Lines the game appended since the new log was completed go to its end first.
        std::uint64_t copied = 0;
        if (size > j.covered) {
            platform::OutputFile out;
            if (!out.Append(newLog_) || !platform::AppendFileRange(log_, j.covered, size - j.covered, out, copied) ||
                !out.Sync() || !out.Close()) {
                return false;
            }
        }
        j.covered += copied;
        j.size += copied;
        // The bytes just before the covered end: while they are still there, the log has not been cut back.
        j.tail.clear();
        if (j.covered > j.size) {
            const std::uint64_t from = std::max(j.size, j.covered - std::min(j.covered, kTailBytes));
            if (!ReadExactly(log, from, static_cast<std::size_t>(j.covered - from), j.tail)) return false;
        }
        j.phase = 2;
        if (!Write(j)) return false;
    }

    // Phase 2: was the log already cut back to the new log's size (a run ended between the cut and the
    // removal of the journal)? Then what follows the new log's bytes are lines the game appended since.
    bool cut = false;
    if (j.covered > j.size) {
        std::string tail;
        if (!log.Size(size)) return false;
        cut = size < j.covered ||
              !ReadExactly(log, j.covered - j.tail.size(), j.tail.size(), tail) || tail != j.tail;
    }

    if (!source.Open(newLog_)) return false;
    std::vector<char> block(kBlock);
    for (std::uint64_t offset = 0; offset < j.size;) {
        std::size_t got = 0;
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), j.size - offset));
        if (!source.ReadAt(offset, block.data(), want, got) || got == 0) return false;
        if (!log.WriteAt(offset, std::string_view(block.data(), got))) return false;
        offset += got;
    }
    if (!log.Sync()) return false;
    if (j.covered > j.size && !cut) {
        // What the game appended while the log was rewritten moves down behind the new content.
        std::uint64_t end = 0;
        if (!MoveDown(log, j.covered, j.size, end) || !log.Truncate(end)) return false;
    }
    return log.Sync();
}

}  // namespace krav
