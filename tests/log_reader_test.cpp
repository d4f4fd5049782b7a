// The block reader: line ends, lines across blocks, the last line, failures and the block count.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/log_reader.h"
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
