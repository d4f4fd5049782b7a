// The block reader: line ends, lines across blocks, the last line, failures and the block count.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "engine/log_line.h"
#include "engine/log_reader.h"
#include "engine/text.h"
#include "tests/test_support.h"

namespace krav::test {
namespace {

std::vector<std::string> ReadAll(const std::string& content, std::uint64_t* consumed = nullptr) {
    TempFolder folder;
    const auto path = folder.path() / "log.txt";
    WriteFile(path, content);
    LogReader reader;
    EXPECT_TRUE(reader.Open(path.string()));
    EXPECT_EQ(reader.InitialSize(), content.size());
    std::vector<std::string> lines;
    std::string_view line;
    while (!reader.AtEnd() && reader.NextLine(line))
        lines.emplace_back(line);
    EXPECT_FALSE(reader.Failed());
    if (consumed != nullptr) *consumed = reader.BytesConsumed();
    return lines;
}

using Lines = std::vector<std::string>;

TEST(LogReader, SplitsAtLfAndCrLfOnly) {
    EXPECT_EQ(ReadAll("a\r\nb\nc\r\n"), (Lines{"a", "b", "c"}));
    EXPECT_EQ(ReadAll("a\rb\r\n"), (Lines{"a\rb"}));  // a lone CR belongs to the line
    EXPECT_EQ(ReadAll("a\r\r\n"), (Lines{"a\r"}));
    EXPECT_EQ(ReadAll("\r\n\n"), (Lines{"", ""}));
}

TEST(LogReader, LastLineWithoutLineEndAndEmptyFiles) {
    EXPECT_EQ(ReadAll("a\r\nlast"), (Lines{"a", "last"}));
    EXPECT_EQ(ReadAll("last\r"), (Lines{"last\r"}));
    EXPECT_EQ(ReadAll(""), Lines{});
    std::uint64_t consumed = 0;
    EXPECT_EQ(ReadAll("a\r\nbc", &consumed), (Lines{"a", "bc"}));
    EXPECT_EQ(consumed, 5u);
}

TEST(LogReader, LinesSpanningBlocksComeBackWhole) {
    const std::size_t block = LogReader::kBlockSize;
    const std::string longLine(2 * block + 17, 'y');
    // The CR of a CR LF as the last byte of a block, the LF first of the next.
    const std::string upToBoundary(block - 2, 'z');
    Lines lines = ReadAll(upToBoundary + "\r\n" + longLine + "\r\nshort\n" + longLine);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], upToBoundary);
    EXPECT_EQ(lines[1], longLine);
    EXPECT_EQ(lines[2], "short");
    EXPECT_EQ(lines[3], longLine);

    const std::string straddling(block - 1, 'w');
    lines = ReadAll(straddling + "\r\nnext\r\n");
    EXPECT_EQ(lines, (Lines{straddling, "next"}));
}

// Every line that comes with prepared search fields has exactly those that the line's own preparation gives;
// with and without the read-ahead the lines and the bytes consumed are the same.
TEST(LogReader, TheReadAheadPreparesLinesAsTheReaderWouldAndChangesNoLine) {
    const std::size_t block = LogReader::kBlockSize;
    std::mt19937 random(7);
    const std::string pieces[] = {"You hit ", "a GOBLIN", " for 12 points", ", but ", " 'Hail, ", "'", "\r",
                                  "  ",       "Ann's",    "x",              ",",      "\xEF\xBB",   "\t", ""};
    std::string content = LogReader::kByteOrderMark;
    // Three times the blocks the read-ahead may hold, so that it cannot have read them all ahead.
    const std::size_t blocks = 3 * LogReader::kBlocksAhead;
    while (content.size() < blocks * block + 1000) {
        std::string line = "[Mon Dec 07 04:13:00 2026] ";
        if (random() % 50 == 0) line.clear();                                        // no timestamp
        const std::size_t count = random() % 400 == 0 ? block / 4 : random() % 12;  // a few span blocks
        for (std::size_t i = 0; i < count; ++i)
            line += pieces[random() % std::size(pieces)];
        content += line + (random() % 3 == 0 ? "\n" : "\r\n");
    }
    // A CR LF split by the first block's end, and a last line without its line end.
    content.insert(block + 3 - 2000, std::string(2000 - 1, 'z') + "\r");
    content += "last line, 'without' an end";

    TempFolder folder;
    const auto path = folder.path() / "log.txt";
    WriteFile(path, content);
    // `use`: whether the reader is told that the prepared fields were used; a block whose prepared lines
    // were not leaves the pairs of the next blocks' lines to the search.
    std::size_t withPairs = 0;
    auto readAll = [&](bool ahead, std::size_t& prepared, bool use = true) {
        LogReader reader;
        reader.SetReadAhead(ahead);
        EXPECT_TRUE(reader.Open(path.string()));
        Lines lines;
        std::string_view raw;
        while (!reader.AtEnd() && reader.NextLine(raw)) {
            lines.emplace_back(raw);
            const PreparedLine* given = reader.Prepared();
            if (given == nullptr) continue;
            ++prepared;
            if (use) reader.NotePreparedUsed();
            LogLine own = MessageLine(MessagePart(raw)), taken;
            taken.Message = own.Message;
            TakePrepared(taken, *given);
            EXPECT_EQ(std::tie(taken.Unquoted, taken.Head, taken.StartsWithYou, taken.HasApostrophe,
                               taken.CommaBeforeQuote),
                      std::tie(own.Unquoted, own.Head, own.StartsWithYou, own.HasApostrophe,
                               own.CommaBeforeQuote))
                << "line " << lines.size();
            if (!taken.PairsReady) continue;
            ++withPairs;
            PreparePairs(own);
            EXPECT_EQ(std::tie(taken.Pairs[0], taken.Pairs[1]), std::tie(own.Pairs[0], own.Pairs[1]));
            EXPECT_TRUE(taken.ForReady);
            EXPECT_EQ(FirstFor(taken), FindNoCase(" for ", own.Unquoted)) << "line " << lines.size();
            EXPECT_EQ(FirstFor(own), FindNoCase(" for ", own.Unquoted)) << "line " << lines.size();
        }
        EXPECT_FALSE(reader.Failed());
        EXPECT_EQ(reader.BytesConsumed(), content.size());
        return lines;
    };
    std::size_t preparedAhead = 0, preparedHere = 0;
    const Lines ahead = readAll(true, preparedAhead), here = readAll(false, preparedHere);
    EXPECT_EQ(ahead, here);
    EXPECT_EQ(preparedHere, 0u);
    // All but the lines that span blocks, the first line of each block and the last line.
    EXPECT_GT(preparedAhead, here.size() * 98 / 100);
    EXPECT_EQ(withPairs, preparedAhead);

    std::size_t preparedUnused = 0;
    withPairs = 0;
    EXPECT_EQ(readAll(true, preparedUnused, false), here);
    EXPECT_EQ(preparedUnused, preparedAhead);
    // Only the blocks read ahead before the first was done: a third of them at most, half with room to spare.
    EXPECT_LT(withPairs, preparedAhead / 2);
}

TEST(LogReader, OnlyRegularFilesOpen) {
    TempFolder folder;
    LogReader reader;
    EXPECT_FALSE(reader.Open(folder.path().string()));
    EXPECT_FALSE(reader.Open((folder.path() / "missing.txt").string()));
    EXPECT_FALSE(reader.IsOpen());
}

TEST(LogReader, FetchedBlocksRunAheadOfTheLineAndStopAtTheLastWholeBlock) {
    EXPECT_EQ(FetchedBlocks(0, 1000), 0);
    EXPECT_EQ(FetchedBlocks(1, 1000), 1);
    EXPECT_EQ(FetchedBlocks(128, 1000), 1);
    EXPECT_EQ(FetchedBlocks(129, 1000), 2);
    EXPECT_EQ(FetchedBlocks(1000, 1000), 7);  // 1000 div 128
    EXPECT_EQ(FetchedBlocks(100, 100), 0);    // a file under one block
    EXPECT_EQ(FetchedBlocks(5000, 1000), 7);  // the file grew while it was read
}

}  // namespace
}  // namespace krav::test
