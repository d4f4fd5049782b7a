// Tests of the split of a log line into timestamp part and message, and of the long form of slashed dates.
#include "engine/log_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/text.h"
#include "test_support.h"

namespace krav {
namespace {

constexpr std::string_view kStamp = "[Mon Dec 07 04:13:59 2026]";

TEST(LogLine, TimestampIsTwentySixCharactersLong) {
    EXPECT_EQ(kStamp.size(), 26u);
    EXPECT_EQ(kTimestampLength, 26u);
}

TEST(LogLine, OrdinaryGameLine) {
    const std::string line = std::string(kStamp) + " You have slain a gnoll!";
    EXPECT_EQ(TimestampPart(line), kStamp);
    EXPECT_EQ(MessagePart(line), "You have slain a gnoll!");
    EXPECT_EQ(ShortDate(TimestampPart(line)), "07-Dec-2026 (04:13)");
    // Timestamp part, one blank and message give the line back.
    EXPECT_EQ(std::string(TimestampPart(line)) + " " + std::string(MessagePart(line)), line);
}

TEST(LogLine, TimestampPartOfShortAndExactLines) {
    const std::string stamp(kStamp);
    EXPECT_EQ(TimestampPart(stamp), kStamp);              // exactly 26 characters
    EXPECT_EQ(TimestampPart(stamp + " "), kStamp);        // 27
    EXPECT_EQ(TimestampPart(stamp + " x"), kStamp);       // 28
    EXPECT_EQ(TimestampPart(stamp + "X hello"), kStamp);  // no blank after the part
    EXPECT_EQ(TimestampPart("[Mon Dec"), "[Mon Dec");     // shorter: all of the line
    EXPECT_EQ(TimestampPart("x"), "x");
    EXPECT_EQ(TimestampPart(stamp.substr(0, 25)), stamp.substr(0, 25));
}

TEST(LogLine, TimestampPartOfBlankLines) {
    // Nothing but blanks in the first 26 characters: the line brings no timestamp part.
    EXPECT_EQ(TimestampPart(""), "");
    EXPECT_EQ(TimestampPart(" "), "");
    EXPECT_EQ(TimestampPart("     "), "");
    EXPECT_EQ(TimestampPart(std::string(26, ' ')), "");
    EXPECT_EQ(TimestampPart(std::string(40, ' ')), "");
    EXPECT_EQ(TimestampPart(std::string(26, ' ') + "hello"), "");
    EXPECT_TRUE(TimestampPart(std::string(26, ' ') + "hello").empty());
    // One character other than a blank within the 26 is enough.
    EXPECT_EQ(TimestampPart(std::string(25, ' ') + "x rest"), std::string(25, ' ') + "x");
    EXPECT_EQ(TimestampPart("x" + std::string(30, ' ')), "x" + std::string(25, ' '));
}

TEST(LogLine, LineStartingWithABlank) {
    const std::string endRecord = " {KRAV} End of File";
    // The first 26 characters are not all blank, so they are a timestamp part too.
    EXPECT_EQ(TimestampPart(endRecord), endRecord);
    EXPECT_EQ(MessagePart(endRecord), "{KRAV} End of File");
    EXPECT_TRUE(MessageStartsWith("{KRAV} ", MessagePart(endRecord)));

    const std::string longRecord = " {KRAV} Zone, North Qeynos, 12, 3";
    EXPECT_EQ(TimestampPart(longRecord), longRecord.substr(0, 26));
    EXPECT_EQ(MessagePart(longRecord), longRecord.substr(1));

    // Only the one leading blank is dropped.
    EXPECT_EQ(MessagePart("  two blanks"), " two blanks");
    EXPECT_EQ(MessagePart(" "), "");
    EXPECT_EQ(MessagePart("   "), "  ");
    EXPECT_EQ(MessagePart(std::string(30, ' ')), std::string(29, ' '));
}

TEST(LogLine, MessagePartFromPosition28) {
    const std::string stamp(kStamp);
    EXPECT_EQ(MessagePart(""), "");
    EXPECT_EQ(MessagePart(stamp), "");          // 26 characters
    EXPECT_EQ(MessagePart(stamp + " "), "");    // 27 characters
    EXPECT_EQ(MessagePart(stamp + " x"), "x");  // 28 characters
    EXPECT_EQ(MessagePart(stamp + "  x"), " x");
    // The 27th character is dropped whatever it is.
    EXPECT_EQ(MessagePart(stamp + "X hello"), " hello");
    // Lines shorter than the timestamp part have no message.
    EXPECT_EQ(MessagePart("[Mon Dec"), "");
    EXPECT_EQ(MessagePart("x"), "");
    // A tab is not a blank.
    EXPECT_EQ(MessagePart("\t" + std::string(26, 'x') + "msg"), "msg");
}

TEST(LogLine, MessagePartIsTheWholeRestOfALongLine) {
    std::string message;
    for (int i = 0; i < 400; ++i)
        message += static_cast<char>('a' + i % 26);
    const std::string line = std::string(kStamp) + " " + message;
    EXPECT_EQ(MessagePart(line), message);
    EXPECT_EQ(MessagePart(line).size(), 400u);
    EXPECT_EQ(MessagePart(" " + message), message);
}

TEST(LogLine, SlashDateToTextExamples) {
    EXPECT_EQ(SlashDateToText("12/7/04"), "7 December, 2004");
    EXPECT_EQ(SlashDateToText("3/15/99"), "15 March, 1999");
    EXPECT_EQ(SlashDateToText("1/1/91"), "1 January, 1991");
    EXPECT_EQ(SlashDateToText("1/31/90"), "31 January, 2090");
    EXPECT_EQ(SlashDateToText("6/5/00"), "5 June, 2000");
    // The day loses its leading zeros, the year is kept as written.
    EXPECT_EQ(SlashDateToText("12/07/04"), "7 December, 2004");
    EXPECT_EQ(SlashDateToText("012/7/04"), "7 December, 2004");
    // Months outside 1 to 12 are kept as written.
    EXPECT_EQ(SlashDateToText("13/2/05"), "2 13, 2005");
    EXPECT_EQ(SlashDateToText("-1/5/04"), "5 -1, 2004");
    // A missing year is an empty one.
    EXPECT_EQ(SlashDateToText("12/7"), "7 December, 20");
}

TEST(LogLine, SlashDateToTextLeavesNonDatesUnchanged) {
    EXPECT_EQ(SlashDateToText("0/5/03"), "0/5/03");
    EXPECT_EQ(SlashDateToText("5/0/03"), "5/0/03");
    EXPECT_EQ(SlashDateToText("abc"), "abc");
    EXPECT_EQ(SlashDateToText(""), "");
    EXPECT_EQ(SlashDateToText("x/5/04"), "x/5/04");
    EXPECT_EQ(SlashDateToText("12/x/04"), "12/x/04");
    EXPECT_EQ(SlashDateToText("12"), "12");
    EXPECT_EQ(SlashDateToText("12/"), "12/");
    EXPECT_EQ(SlashDateToText("/7/04"), "/7/04");
}

// ---------------------------------------------------------------------------------------------------------
// The prepared searches: whatever shortcut they take, they answer as the plain message search does.

// Messages of every length around the sixteen-byte blocks the pair mask is built from, over bytes at the
// edges of the capitals, bytes above 127 and the quote that ends the searched part.
std::string RandomMessage(std::mt19937& random, std::size_t size) {
    static const std::string alphabet = std::string("aAzZyYoOuU @[`{',.!") + "\xC1\xE1\xDA\xFA\x80\xFF";
    return test::RandomText(random, size, alphabet);
}

TEST(PreparedLine, SearchFieldsOfRandomMessages) {
    std::mt19937 random(2611);
    for (int round = 0; round < 20000; ++round) {
        std::string message = RandomMessage(random, random() % 70);
        if (round % 3 == 0) message = "You" + message;
        const LogLine line = MessageLine(message);
        // The searched part ends before the first apostrophe that follows a blank (not at the first byte).
        std::size_t end = message.size();
        for (std::size_t i = 1; i < message.size(); ++i) {
            if (message[i] == '\'' && message[i - 1] == ' ') {
                end = i - 1;
                break;
            }
        }
        std::uint64_t head = 0;
        for (std::size_t i = 0; i < message.size() && i < 8; ++i)
            head |= std::uint64_t{static_cast<unsigned char>(FoldCase(message[i]))} << (8 * i);
        ASSERT_EQ(line.Unquoted, message.substr(0, end)) << "'" << message << "'";
        ASSERT_EQ(line.HasApostrophe, message.find('\'') != std::string::npos) << "'" << message << "'";
        ASSERT_EQ(line.CommaBeforeQuote, message.substr(0, end).find(',') != std::string::npos)
            << "'" << message << "'";
        ASSERT_EQ(line.Head, head) << "'" << message << "'";
        ASSERT_EQ(line.StartsWithYou, message.size() >= 3 && EqualsNoCase(message.substr(0, 3), "you"))
            << "'" << message << "'";
    }
}

TEST(PreparedLine, PairMaskHoldsEveryPairOfTheMessage) {
    std::mt19937 random(4131);
    // Up to three blocks of 64 bytes, with and without the wide registers where the processor has them.
    for (const bool wide : {false, true}) {
        UseWidePairs(wide);
        for (int round = 0; round < 3000; ++round) {
            const std::string message = RandomMessage(random, random() % 200);
            const LogLine line = MessageLine(message);
            PreparePairs(line);
            std::uint64_t expected[2] = {0, 0};
            for (std::size_t i = 1; i < message.size(); ++i) {
                const unsigned bit = PairBit(message[i - 1], message[i]);
                expected[bit >> 6] |= std::uint64_t{1} << (bit & 63);
            }
            ASSERT_EQ(line.Pairs[0], expected[0]) << "'" << message << "' wide " << wide;
            ASSERT_EQ(line.Pairs[1], expected[1]) << "'" << message << "' wide " << wide;
        }
    }
}

TEST(PreparedLine, FindInLineAgreesWithTheMessageSearch) {
    std::mt19937 random(1207);
    for (int round = 0; round < 20000; ++round) {
        const std::string message = RandomMessage(random, random() % 70);
        std::string needle;
        if (!message.empty() && random() % 2 == 0) {
            const std::size_t from = random() % message.size();
            needle = message.substr(from, 1 + random() % std::min<std::size_t>(20, message.size() - from));
        } else {
            needle = RandomMessage(random, 1 + random() % 6);
        }
        const LogLine line = MessageLine(message);
        ASSERT_EQ(FindInLine(Needle(needle), line), FindInMessage(needle, message))
            << "needle '" << needle << "' message '" << message << "'";
    }
}

TEST(PreparedLine, LineStartsWithAgreesWithMessageStartsWith) {
    std::mt19937 random(31);
    for (int round = 0; round < 20000; ++round) {
        const std::string message = RandomMessage(random, random() % 24);
        std::string prefix = message.substr(0, random() % (message.size() + 1));
        // Change the case of some letters, and now and then a byte, or make it longer than the message.
        for (char& c : prefix)
            if (random() % 3 == 0) c = FoldCase(c) == c ? UpperCase(c) : FoldCase(c);
        if (!prefix.empty() && random() % 4 == 0) prefix[random() % prefix.size()] = 'q';
        if (random() % 8 == 0) prefix += " ";
        const LogLine line = MessageLine(message);
        ASSERT_EQ(LineStartsWith(Prefix(prefix), line), MessageStartsWith(prefix, message))
            << "prefix '" << prefix << "' message '" << message << "'";
    }
    EXPECT_FALSE(LineStartsWith(Prefix(""), MessageLine("You")));
    EXPECT_TRUE(LineStartsWith("You say, ", MessageLine("YOU SAY, hi")));
    EXPECT_FALSE(LineStartsWith("You say, ", MessageLine("You say, 'hi'")));  // the quote ends the search
    EXPECT_TRUE(LineStartsWith("You say, '", MessageLine("You say, 'hi'")));
}

TEST(PreparedLine, PrefixFilterNeverRulesOutAMatchingPrefix) {
    static constexpr Prefix kTable[] = {"You", "You ",  "Your faction", "You have been ",
                                        "Yo",  "YOU A", "You z",        "Glug, glug"};
    static constexpr PrefixFilter kFilter(kTable, [](const Prefix& p) -> const Prefix& { return p; });
    static constexpr Prefix kLong[] = {"You have been ", "Your faction"};
    static constexpr PrefixFilter kLongFilter(kLong, [](const Prefix& p) -> const Prefix& { return p; });
    static constexpr Prefix kFive[] = {"Your ", "YOU A", "You regain your "};  // five bytes: any sixth
    static constexpr PrefixFilter kFiveFilter(kFive, [](const Prefix& p) -> const Prefix& { return p; });
    std::mt19937 random(99);
    int ruledOut = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string message = RandomMessage(random, random() % 20);
        if (random() % 3 == 0) message = std::string(kTable[random() % std::size(kTable)].text) + message;
        if (random() % 3 == 0) message = std::string(kFive[random() % std::size(kFive)].text) + message;
        const LogLine line = MessageLine(message);
        for (const auto& [table, filter] : {std::pair{std::span<const Prefix>(kTable), &kFilter},
                                            std::pair{std::span<const Prefix>(kLong), &kLongFilter},
                                            std::pair{std::span<const Prefix>(kFive), &kFiveFilter}}) {
            bool any = false;
            for (const Prefix& prefix : table)
                any = any || LineStartsWith(prefix, line);
            if (any) {
                ASSERT_TRUE(filter->Admits(line)) << "'" << message << "'";
            }
            ruledOut += filter->Admits(line) ? 0 : 1;
        }
    }
    EXPECT_GT(ruledOut, 1000);  // the filter does rule lines out
    // Prefixes of four characters or fewer admit every line.
    EXPECT_TRUE(kFilter.Admits(MessageLine("Yozzz")));
    EXPECT_FALSE(kLongFilter.Admits(MessageLine("You are here")));
    EXPECT_TRUE(kLongFilter.Admits(MessageLine("YOUR FACTION")));
    EXPECT_FALSE(kLongFilter.Admits(MessageLine("You")));
    EXPECT_TRUE(kFiveFilter.Admits(MessageLine("YOUR pet")));
    EXPECT_TRUE(kFiveFilter.Admits(MessageLine("You AX")));
    EXPECT_FALSE(kFiveFilter.Admits(MessageLine("You slash a rat")));
}

}  // namespace
}  // namespace krav
