// Tests of the text and number helpers (engine/text.h) and of the Windows-1252 conversion
// (engine/encoding.h).
#include "engine/text.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/encoding.h"
#include "platform/folded_bytes.h"
#include "test_support.h"

namespace krav {
namespace {

constexpr std::int64_t kInt64Max = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kInt64Min = std::numeric_limits<std::int64_t>::min();

// The byte that opens and closes an item link in the game's messages.
const std::string kLink(1, '\x12');

// ---------------------------------------------------------------------------------------------------------
// Case folding and plain searches

TEST(TextHelpers, EqualsNoCaseFoldsOnlyAsciiLetters) {
    EXPECT_TRUE(EqualsNoCase("Bob", "bOB"));
    EXPECT_TRUE(EqualsNoCase("", ""));
    EXPECT_FALSE(EqualsNoCase("Bob", "Bo"));
    EXPECT_FALSE(EqualsNoCase("Bo", "Bob"));
    // Characters that differ from a letter by the case bit are not letters and must not be folded.
    EXPECT_FALSE(EqualsNoCase("[", "{"));
    EXPECT_FALSE(EqualsNoCase("@", "`"));
    EXPECT_FALSE(EqualsNoCase("\xC9", "\xE9"));  // É and é: only A-Z are folded
}

// LoadTail reads what a copy of the bytes into a zeroed number holds.
TEST(TextHelpers, LoadTailAtEveryLength) {
    const char bytes[] = "\x81\x02\xf3\x04\x95\x06\xe7";
    for (std::size_t n = 0; n < 8; ++n) {
        std::uint64_t copied = 0;
        std::memcpy(&copied, bytes, n);
        EXPECT_EQ(platform::LoadTail(bytes, n), copied) << n;
    }
}

// Every length across the eight-, four- and one-byte paths, and a difference at every place in each.
TEST(TextHelpers, EqualBytesAtEveryLengthAndPlace) {
    for (std::size_t n = 0; n <= 40; ++n) {
        std::string a(n, 'x'), b(n, 'x');
        for (std::size_t i = 0; i < n; ++i)
            a[i] = b[i] = static_cast<char>('a' + i % 26);
        EXPECT_TRUE(platform::EqualBytes(a, b)) << n;
        EXPECT_FALSE(platform::EqualBytes(a, b + "a")) << n;
        for (std::size_t i = 0; i < n; ++i) {
            std::string c = b;
            c[i] = static_cast<char>(c[i] ^ 0x80);
            EXPECT_FALSE(platform::EqualBytes(a, c)) << n << " at " << i;
        }
    }
}

TEST(TextHelpers, FindCaseIsCaseSensitiveAndOneBased) {
    EXPECT_EQ(FindCase("gnoll", "You have slain a gnoll!"), 18u);
    EXPECT_EQ(FindCase("Gnoll", "You have slain a gnoll!"), 0u);
    EXPECT_EQ(FindCase("You", "You have slain a gnoll!"), 1u);
    EXPECT_EQ(FindCase("!", "You have slain a gnoll!"), 23u);
    EXPECT_EQ(FindCase("gnoll!!", "You have slain a gnoll!"), 0u);
    EXPECT_EQ(FindCase("abc", ""), 0u);
}

TEST(TextHelpers, FindNoCaseIgnoresCaseOfLettersOnly) {
    EXPECT_EQ(FindNoCase("GNOLL", "You have slain a gnoll!"), 18u);
    EXPECT_EQ(FindNoCase("you HAVE", "You have slain a gnoll!"), 1u);
    EXPECT_EQ(FindNoCase("z", "Z"), 1u);
    EXPECT_EQ(FindNoCase("Z", "z"), 1u);
    EXPECT_EQ(FindNoCase("orc", "an ORC pawn"), 4u);
    EXPECT_EQ(FindNoCase("troll", "an ORC pawn"), 0u);
    // The needle at the very end, and a needle one character longer than the text.
    EXPECT_EQ(FindNoCase("PAWN", "an ORC pawn"), 8u);
    EXPECT_EQ(FindNoCase("an ORC pawns", "an ORC pawn"), 0u);
    EXPECT_EQ(FindNoCase("an orc pawn", "AN ORC PAWN"), 1u);
    // First match wins.
    EXPECT_EQ(FindNoCase("ab", "xAbab"), 2u);
    // Non-letters are compared exactly.
    EXPECT_EQ(FindNoCase("[", "{abc}"), 0u);
    EXPECT_EQ(FindNoCase("{", "[abc]"), 0u);
    EXPECT_EQ(FindNoCase("\xC9", "caf\xE9"), 0u);
    EXPECT_EQ(FindNoCase("\xE9", "caf\xE9"), 4u);
}

// The search folds eight bytes at a time: it must agree with a character-by-character search on bytes at
// the edges of the capitals ('@', '[', '`', '{'), on bytes above 127 whose low seven bits are capitals, and
// on needles of every length around the block size, found anywhere in texts of every length.
TEST(TextHelpers, FindNoCaseAgreesWithAPlainSearch) {
    auto plain = [](std::string_view needle, std::string_view text) -> std::size_t {
        if (needle.empty() || needle.size() > text.size()) return 0;
        for (std::size_t at = 0; at + needle.size() <= text.size(); ++at) {
            bool same = true;
            for (std::size_t i = 0; i < needle.size() && same; ++i)
                same = FoldCase(text[at + i]) == FoldCase(needle[i]);
            if (same) return at + 1;
        }
        return 0;
    };
    // A NUL byte too: short texts are searched in a zero-padded copy.
    const std::string alphabet = std::string("aAzZbB@[`{ ") + "\xC1\xE1\xDA\xFA\x80\xFF" + std::string(1, '\0');
    std::mt19937 random(20041207);
    auto randomText = [&](std::size_t size) { return test::RandomText(random, size, alphabet); };
    for (int round = 0; round < 20000; ++round) {
        const std::string text = randomText(random() % 80);
        std::string needle;
        if (!text.empty() && random() % 2 == 0) {
            // A piece of the text with the case of some letters changed, so that it is found.
            const std::size_t from = random() % text.size();
            needle = text.substr(from, 1 + random() % (text.size() - from));
            for (char& c : needle)
                if (random() % 2 == 0) c = FoldCase(c) == c ? UpperCase(c) : FoldCase(c);
        } else {
            needle = randomText(1 + random() % 20);
        }
        ASSERT_EQ(FindNoCase(needle, text), plain(needle, text))
            << "needle '" << needle << "' text '" << text << "'";
    }
    // Blocks of eight differing only in a byte whose low seven bits are a capital.
    EXPECT_EQ(FindNoCase("abcdefgh\xC1", "ABCDEFGH\xE1"), 0u);
    EXPECT_EQ(FindNoCase("abcdefgh\xE1", "ABCDEFGH\xE1"), 1u);
    EXPECT_EQ(FindNoCase("points of damage", "x POINTS OF DAMAGE."), 3u);
    EXPECT_EQ(FindNoCase("points of damage", "x POINTS OF DAMAGe."), 3u);
    EXPECT_EQ(FindNoCase("points of damage", "x POINTS OF DAMAG@."), 0u);
}

// CutBefore takes a shortcut for one character that is no letter; it must cut where the message search
// finds it, which never looks past the first " '".
TEST(TextHelpers, CutBeforeOneCharacterAgreesWithTheMessageSearch) {
    const std::string alphabet = "ab '.!,";
    std::mt19937 random(555);
    for (int round = 0; round < 20000; ++round) {
        const std::string text = test::RandomText(random, random() % 12, alphabet);
        for (const char* x : {".", "!", " ", ",", "a", "'"}) {
            const std::size_t p = FindInMessage(x, text);
            const std::string_view expected =
                p == 0 ? std::string_view(text) : std::string_view(text).substr(0, p - 1);
            ASSERT_EQ(CutBefore(text, x), expected) << "x '" << x << "' text '" << text << "'";
        }
    }
    EXPECT_EQ(CutBefore("", "."), "");
    EXPECT_EQ(CutBefore("Bob says 'hi.'", "."), "Bob says 'hi.'");
    EXPECT_EQ(CutBefore("bound in Qeynos. 'x.'", "."), "bound in Qeynos");
    EXPECT_EQ(CutBefore("a 'b", " "), "a 'b");  // the blank opens the quoted speech
}

// ---------------------------------------------------------------------------------------------------------
// The message search

TEST(TextHelpers, FindInMessageSkipsQuotedSpeech) {
    // The examples of the message search.
    EXPECT_EQ(FindInMessage("saved", "Bob says 'I saved you'"), 0u);
    EXPECT_EQ(FindInMessage("'I saved", "Bob says 'I saved you'"), 10u);
    // Before the quote the search is an ordinary case-insensitive one.
    EXPECT_EQ(FindInMessage("SAYS", "Bob says 'I saved you'"), 5u);
    EXPECT_EQ(FindInMessage("bob says", "Bob says 'I saved you'"), 1u);
    // A needle found both before and inside the quote is found before it.
    EXPECT_EQ(FindInMessage("hail", "Hail, Bob says 'hail'"), 1u);
    // Only the first " '" cuts, and everything after it is hidden, later quotes included.
    EXPECT_EQ(FindInMessage("c", "a 'b' c 'd'"), 0u);
    EXPECT_EQ(FindInMessage("a", "a 'b' c 'd'"), 1u);
    // A double quote is an ordinary character.
    EXPECT_EQ(FindInMessage("hi", "Bob says \"hi\""), 11u);
    EXPECT_EQ(FindInMessage("\"hi", "Bob says \"hi\""), 10u);
    EXPECT_EQ(FindInMessage("bob", ""), 0u);
}

TEST(TextHelpers, FindInMessageApostrophesAtOddPlaces) {
    // An apostrophe not preceded by a blank does not start quoted speech.
    EXPECT_EQ(FindInMessage("pet", "Bob's pet says 'hi'"), 7u);
    EXPECT_EQ(FindInMessage("hi", "Bob's pet says 'hi'"), 0u);
    EXPECT_EQ(FindInMessage("'s pet", "Bob's pet says 'hi'"), 4u);
    // A message that starts with an apostrophe: there is no blank before it, so nothing is cut there.
    EXPECT_EQ(FindInMessage("hi", "'hi there'"), 2u);
    EXPECT_EQ(FindInMessage("there", "'hi there'"), 5u);
    EXPECT_EQ(FindInMessage("he", "'hi' he says 'no'"), 6u);
    EXPECT_EQ(FindInMessage("no", "'hi' he says 'no'"), 0u);
    EXPECT_EQ(FindInMessage("''", "''"), 1u);
    // A message that starts with " '" has nothing before its quote.
    EXPECT_EQ(FindInMessage("x", " 'x'"), 0u);
    EXPECT_EQ(FindInMessage("'x", " 'x'"), 2u);
    // " '" at the very end of the message.
    EXPECT_EQ(FindInMessage("end", "the end '"), 5u);
    EXPECT_EQ(FindInMessage("end ", "the end '"), 0u);
    EXPECT_EQ(FindInMessage("end '", "the end '"), 5u);
    EXPECT_EQ(FindInMessage(" '", "the end '"), 8u);
    // A needle ending in the blank that stands right before the apostrophe: that blank is cut away.
    EXPECT_EQ(FindInMessage("says ", "Bob says 'hi'"), 0u);
    EXPECT_EQ(FindInMessage("says", "Bob says 'hi'"), 5u);
    EXPECT_EQ(FindInMessage("says '", "Bob says 'hi'"), 5u);
    EXPECT_EQ(FindInMessage("Bob says", "Bob says 'hi'"), 1u);
    // A blank before an apostrophe that is itself followed by more blanks.
    EXPECT_EQ(FindInMessage("x", "a  ' x"), 0u);
    EXPECT_EQ(FindInMessage("a ", "a  ' x"), 1u);
}

TEST(TextHelpers, MessageStartsWithExamples) {
    EXPECT_TRUE(MessageStartsWith("{KRAV} ", "{krav} Start of File"));
    EXPECT_TRUE(MessageStartsWith("you have slain", "You have slain a gnoll!"));
    EXPECT_FALSE(MessageStartsWith("have slain", "You have slain a gnoll!"));
    EXPECT_FALSE(MessageStartsWith("You have slain a gnoll!!", "You have slain a gnoll!"));
    EXPECT_TRUE(MessageStartsWith("You have slain a gnoll!", "You have slain a gnoll!"));
    EXPECT_FALSE(MessageStartsWith("Bob says ", "Bob says 'hi'"));
    EXPECT_TRUE(MessageStartsWith("Bob says '", "Bob says 'hi'"));
    EXPECT_FALSE(MessageStartsWith("x", " 'x'"));
    EXPECT_TRUE(MessageStartsWith("'hi", "'hi there'"));
}

TEST(TextHelpers, MessageStartsWithAgreesWithFindInMessage) {
    const std::vector<std::string> needles = {"",
                                              "y",
                                              "you",
                                              "YOU ",
                                              "you say",
                                              "You say, 'Hail",
                                              "bob",
                                              "bob says",
                                              "Bob says ",
                                              "bob says '",
                                              "bob says 'i",
                                              "'",
                                              " '",
                                              "'hi",
                                              "''",
                                              "a",
                                              "a ",
                                              "a '",
                                              "{krav} ",
                                              "{KRAV}",
                                              "[",
                                              "{",
                                              "the end",
                                              "the end ",
                                              "the end '",
                                              "\"hi",
                                              "\"",
                                              "it's",
                                              "it's  ",
                                              "x",
                                              "You have slain a gnoll!",
                                              "You have slain a gnoll!!"};
    const std::vector<std::string> messages = {"",
                                               "y",
                                               "You say, 'Hail'",
                                               "you say",
                                               "Bob says 'I saved you'",
                                               "bob says ",
                                               "BOB SAYS",
                                               "Bob says '",
                                               "'hi there'",
                                               "''",
                                               " 'x'",
                                               " '",
                                               "'",
                                               "a 'b' c",
                                               "a ' b",
                                               "a",
                                               "{KRAV} Start of File",
                                               "[krav] x",
                                               "the end '",
                                               "THE END",
                                               "\"hi\" he said",
                                               "It's  'odd'",
                                               "it's x",
                                               "You have slain a gnoll!",
                                               "YOU HAVE SLAIN A GNOLL! 'ha'"};
    for (const std::string& needle : needles) {
        for (const std::string& message : messages) {
            SCOPED_TRACE("needle [" + needle + "] message [" + message + "]");
            EXPECT_EQ(MessageStartsWith(needle, message), FindInMessage(needle, message) == 1);
        }
    }
}

// ---------------------------------------------------------------------------------------------------------
// Cuts and numbers

TEST(TextHelpers, MidTakesOneBasedPartsAndNeverFails) {
    EXPECT_EQ(Mid("abcdef", 1, 3), "abc");
    EXPECT_EQ(Mid("abcdef", 2, 3), "bcd");
    EXPECT_EQ(Mid("abcdef", 6, 1), "f");
    EXPECT_EQ(Mid("abcdef", 4, 100), "def");
    EXPECT_EQ(Mid("abcdef", 2, 0), "");
    EXPECT_EQ(Mid("abcdef", 7, 1), "");
    EXPECT_EQ(Mid("abcdef", 100, 5), "");
    EXPECT_EQ(Mid("", 1, 1), "");
    EXPECT_EQ(Mid("abcdef", std::string_view::npos, std::string_view::npos), "");
    EXPECT_EQ(Mid("abcdef", 3, std::string_view::npos), "cdef");
}

TEST(TextHelpers, RestFromIsCappedAt255Characters) {
    EXPECT_EQ(RestFrom("abcdef", 1), "abcdef");
    EXPECT_EQ(RestFrom("abcdef", 3), "cdef");
    EXPECT_EQ(RestFrom("abcdef", 6), "f");
    EXPECT_EQ(RestFrom("abcdef", 7), "");
    EXPECT_EQ(RestFrom("", 1), "");
    EXPECT_EQ(RestFrom("abcdef", std::string_view::npos), "");

    std::string text;
    for (int i = 0; i < 300; ++i)
        text += static_cast<char>('a' + i % 26);
    EXPECT_EQ(RestFrom(text, 1), text.substr(0, 255));
    EXPECT_EQ(RestFrom(text, 46).size(), 255u);  // positions 46 to 300
    EXPECT_EQ(RestFrom(text, 47), text.substr(46));
    EXPECT_EQ(RestFrom(text, 47).size(), 254u);
    EXPECT_EQ(RestFrom(text, 300), text.substr(299));
    EXPECT_EQ(kMaxCut, 255u);
}

TEST(TextHelpers, ReadIntegerAcceptsBlanksSignAndDigitsOnly) {
    EXPECT_EQ(ReadInteger("0"), 0);
    EXPECT_EQ(ReadInteger("42"), 42);
    EXPECT_EQ(ReadInteger("   42"), 42);
    EXPECT_EQ(ReadInteger("+42"), 42);
    EXPECT_EQ(ReadInteger("-42"), -42);
    EXPECT_EQ(ReadInteger("  -42"), -42);
    EXPECT_EQ(ReadInteger("007"), 7);  // decimal, not octal
    EXPECT_EQ(ReadInteger("09"), 9);
    EXPECT_EQ(ReadInteger("-0"), 0);
    EXPECT_EQ(ReadInteger("00000000000000000000000000042"), 42);
    EXPECT_EQ(ReadInteger("999999999999999999"), 999999999999999999);  // 18 digits, the widest plain case
    EXPECT_EQ(ReadInteger("-999999999999999999"), -999999999999999999);
    EXPECT_EQ(ReadInteger("1000000000000000000"), 1000000000000000000);

    EXPECT_EQ(ReadInteger(""), std::nullopt);
    EXPECT_EQ(ReadInteger("   "), std::nullopt);
    EXPECT_EQ(ReadInteger("+"), std::nullopt);
    EXPECT_EQ(ReadInteger("-"), std::nullopt);
    EXPECT_EQ(ReadInteger("  -"), std::nullopt);
    EXPECT_EQ(ReadInteger("- 4"), std::nullopt);
    EXPECT_EQ(ReadInteger("--4"), std::nullopt);
    EXPECT_EQ(ReadInteger("+-4"), std::nullopt);
    EXPECT_EQ(ReadInteger("12a"), std::nullopt);
    EXPECT_EQ(ReadInteger("a12"), std::nullopt);
    EXPECT_EQ(ReadInteger("12 "), std::nullopt);
    EXPECT_EQ(ReadInteger("1 2"), std::nullopt);
    EXPECT_EQ(ReadInteger("1.5"), std::nullopt);
    EXPECT_EQ(ReadInteger("1,000"), std::nullopt);
    EXPECT_EQ(ReadInteger("0x10"), std::nullopt);
    EXPECT_EQ(ReadInteger("abc"), std::nullopt);

    // The fallback form.
    EXPECT_EQ(ReadInteger("x", 7), 7);
    EXPECT_EQ(ReadInteger("", -1), -1);
    EXPECT_EQ(ReadInteger("5", 7), 5);
    EXPECT_EQ(ReadInteger("0", 7), 0);
}

TEST(TextHelpers, ReadIntegerSaturatesBeyondTheRange) {
    EXPECT_EQ(ReadInteger("9223372036854775807"), kInt64Max);
    EXPECT_EQ(ReadInteger("9223372036854775806"), kInt64Max - 1);
    EXPECT_EQ(ReadInteger("9223372036854775808"), kInt64Max);
    EXPECT_EQ(ReadInteger("99999999999999999999999999999"), kInt64Max);
    EXPECT_EQ(ReadInteger("+99999999999999999999"), kInt64Max);
    EXPECT_EQ(ReadInteger("-9223372036854775807"), kInt64Min + 1);
    EXPECT_EQ(ReadInteger("-9223372036854775808"), kInt64Min);
    EXPECT_EQ(ReadInteger("-9223372036854775809"), kInt64Min);
    EXPECT_EQ(ReadInteger("-99999999999999999999999999999"), kInt64Min);
    // A saturated number followed by a bad character is still not a number.
    EXPECT_EQ(ReadInteger("99999999999999999999x"), std::nullopt);
}

TEST(TextHelpers, SaturatingAddAtTheLimits) {
    EXPECT_EQ(SaturatingAdd(1, 2), 3);
    EXPECT_EQ(SaturatingAdd(-5, 3), -2);
    EXPECT_EQ(SaturatingAdd(kInt64Max, 0), kInt64Max);
    EXPECT_EQ(SaturatingAdd(kInt64Max - 1, 1), kInt64Max);
    EXPECT_EQ(SaturatingAdd(kInt64Max, 1), kInt64Max);
    EXPECT_EQ(SaturatingAdd(1, kInt64Max), kInt64Max);
    EXPECT_EQ(SaturatingAdd(kInt64Max, kInt64Max), kInt64Max);
    EXPECT_EQ(SaturatingAdd(kInt64Min, -1), kInt64Min);
    EXPECT_EQ(SaturatingAdd(-1, kInt64Min), kInt64Min);
    EXPECT_EQ(SaturatingAdd(kInt64Min, kInt64Min), kInt64Min);
    EXPECT_EQ(SaturatingAdd(kInt64Max, kInt64Min), -1);
    EXPECT_EQ(SaturatingAdd(kInt64Min, kInt64Max), -1);
    EXPECT_EQ(SaturatingAdd(kInt64Min, 1), kInt64Min + 1);
}

TEST(TextHelpers, SaturatingMulAtTheLimits) {
    EXPECT_EQ(SaturatingMul(6, 7), 42);
    EXPECT_EQ(SaturatingMul(-3, 4), -12);
    EXPECT_EQ(SaturatingMul(-3, -4), 12);
    EXPECT_EQ(SaturatingMul(kInt64Max, 1), kInt64Max);
    EXPECT_EQ(SaturatingMul(kInt64Min, 1), kInt64Min);
    EXPECT_EQ(SaturatingMul(kInt64Max, 0), 0);
    EXPECT_EQ(SaturatingMul(0, kInt64Min), 0);
    EXPECT_EQ(SaturatingMul(kInt64Max, 2), kInt64Max);
    EXPECT_EQ(SaturatingMul(kInt64Max, -2), kInt64Min);
    EXPECT_EQ(SaturatingMul(-2, kInt64Max), kInt64Min);
    EXPECT_EQ(SaturatingMul(kInt64Min, 2), kInt64Min);
    EXPECT_EQ(SaturatingMul(kInt64Min, -1), kInt64Max);
    EXPECT_EQ(SaturatingMul(-1, kInt64Min), kInt64Max);
    EXPECT_EQ(SaturatingMul(kInt64Min, kInt64Min), kInt64Max);
    EXPECT_EQ(SaturatingMul(kInt64Max, -1), kInt64Min + 1);
    EXPECT_EQ(SaturatingMul(3037000500, 3037000500), kInt64Max);  // just above the range
    EXPECT_EQ(SaturatingMul(3037000499, 3037000499), 9223372030926249001);
}

// ---------------------------------------------------------------------------------------------------------
// Paths

TEST(TextHelpers, AddTrailingBackslashAddsOneSeparator) {
    // The game's folders use "\"; on other systems the platform's own separator takes its place.
    const std::string sep(1, static_cast<char>(std::filesystem::path::preferred_separator));
    EXPECT_EQ(AddTrailingBackslash(""), sep);
    EXPECT_EQ(AddTrailingBackslash("C:" + sep + "EQ"), "C:" + sep + "EQ" + sep);
    EXPECT_EQ(AddTrailingBackslash("C:" + sep + "EQ" + sep), "C:" + sep + "EQ" + sep);
    EXPECT_EQ(AddTrailingBackslash(sep), sep);
    EXPECT_EQ(AddTrailingBackslash("EQ "), "EQ " + sep);
}

TEST(TextHelpers, RemoveExtensionCutsBeforeTheFirstOccurrenceOfTheExtension) {
    EXPECT_EQ(RemoveExtension("eqlog_Bob_tunare.txt"), "eqlog_Bob_tunare");
    EXPECT_EQ(RemoveExtension("README"), "README");
    EXPECT_EQ(RemoveExtension(""), "");
    EXPECT_EQ(RemoveExtension("archive.tar.gz"), "archive.tar");
    EXPECT_EQ(RemoveExtension("a.txt.bak"), "a.txt");
    // The extension's first occurrence, found without regard to case, decides the cut.
    EXPECT_EQ(RemoveExtension("log.TXT.txt"), "log");
    EXPECT_EQ(RemoveExtension("log.txt.TXT"), "log");
    EXPECT_EQ(RemoveExtension("EQLOG.TXT"), "EQLOG");
    // A point in a folder name is not the file's extension.
    EXPECT_EQ(RemoveExtension("C:\\EQ\\Logs\\eqlog_Bob.txt"), "C:\\EQ\\Logs\\eqlog_Bob");
    EXPECT_EQ(RemoveExtension("C:\\EQ.old\\Logs\\eqlog_Bob"), "C:\\EQ.old\\Logs\\eqlog_Bob");
    EXPECT_EQ(RemoveExtension("/tmp/eq.d/eqlog"), "/tmp/eq.d/eqlog");
}

// ---------------------------------------------------------------------------------------------------------
// Lists

TEST(TextHelpers, ListTailIsTheTextAfterTheFirstSeparator) {
    EXPECT_EQ(ListTail("A, B, C"), "B, C");
    EXPECT_EQ(ListTail("A, and B"), "B");
    EXPECT_EQ(ListTail("2 hours and 14 minutes"), "14 minutes");
    EXPECT_EQ(ListTail("A"), "");
    EXPECT_EQ(ListTail(""), "");
    EXPECT_EQ(ListTail("A,B"), "");
    EXPECT_EQ(ListTail("A, "), "");
    // ", " wins over an earlier " and ".
    EXPECT_EQ(ListTail("x and y, z"), "z");
    // Only the exact six characters ", and " are skipped as one separator.
    EXPECT_EQ(ListTail("A, andrew"), "andrew");
    EXPECT_EQ(ListTail("A, and"), "and");
    EXPECT_EQ(ListTail("A, And B"), "And B");
    // Case-sensitive, and quotes make no difference here.
    EXPECT_EQ(ListTail("A AND B"), "");
    EXPECT_EQ(ListTail("Bob 'x, y'"), "y'");
}

TEST(TextHelpers, ListCountCountsItems) {
    EXPECT_EQ(ListCount(""), 0);
    EXPECT_EQ(ListCount("A"), 1);
    EXPECT_EQ(ListCount("A, B"), 2);
    EXPECT_EQ(ListCount("A, B, and C"), 3);
    EXPECT_EQ(ListCount("A, "), 1);
    EXPECT_EQ(ListCount("A,B"), 1);
    EXPECT_EQ(ListCount("A, B, C, D, E, F"), 6);
    EXPECT_EQ(ListCount("* A, B"), 2);
    EXPECT_EQ(ListCount("* A, B, C, D, E, F, G"), 7);
    // The count uses the message search, so ", " inside quoted speech is not a separator.
    EXPECT_EQ(ListCount("A 'x, y'"), 1);
    EXPECT_EQ(ListCount("A, B 'x, y'"), 2);
}

TEST(TextHelpers, ListAddKeepsSixItemsThenMarksTheList) {
    std::string list;
    for (std::string item : {"A", "B", "C", "D", "E", "F"})
        list = ListAdd(list, item);
    EXPECT_EQ(list, "A, B, C, D, E, F");
    EXPECT_EQ(ListAdd("A, B, C, D, E, F", "G"), "* A, B, C, D, E, F");
    EXPECT_EQ(ListAdd("* A, B, C, D, E, F", "G"), "* A, B, C, D, E, F, G");
    EXPECT_EQ(ListAdd("* A, B, C, D, E, F, G", "H"), "* A, B, C, D, E, F, G, H");
    // An item already there changes nothing, marked or not.
    EXPECT_EQ(ListAdd("A, B, C, D, E, F", "F"), "A, B, C, D, E, F");
    EXPECT_EQ(ListAdd("* A, B, C, D, E, F", "c"), "* A, B, C, D, E, F");
    // Five items take a sixth without the marker.
    EXPECT_EQ(ListAdd("A, B, C, D, E", "F"), "A, B, C, D, E, F");
    // In place, the same at every step: past the marker, with items already there, empty and unknown.
    std::string inPlace;
    for (std::string item : {"A", "B", "C", "D", "E", "F", "G", "c", "H", "", "unknown", "H"}) {
        const std::string expected = ListAdd(inPlace, item);
        ListAddTo(inPlace, item);
        EXPECT_EQ(inPlace, expected) << item;
    }
}

TEST(TextHelpers, ListAddSkipsEmptyUnknownAndContainedItems) {
    EXPECT_EQ(ListAdd("", "A"), "A");
    EXPECT_EQ(ListAdd("A", "B"), "A, B");
    EXPECT_EQ(ListAdd("* ", "X"), "* X");
    EXPECT_EQ(ListAdd("* X", "Y"), "* X, Y");
    EXPECT_EQ(ListAdd("A, B", ""), "A, B");
    EXPECT_EQ(ListAdd("", ""), "");
    EXPECT_EQ(ListAdd("A, B", "unknown"), "A, B");
    EXPECT_EQ(ListAdd("", "unknown"), "");
    EXPECT_EQ(ListAdd("A, B, C, D, E, F", "unknown"), "A, B, C, D, E, F");
    EXPECT_EQ(ListAdd("A, B, C, D, E, F", ""), "A, B, C, D, E, F");
    // Only exactly "unknown" is skipped.
    EXPECT_EQ(ListAdd("A", "Unknown"), "A, Unknown");
    // Found as a case-insensitive substring, not as a whole item.
    EXPECT_EQ(ListAdd("North Qeynos", "qeynos"), "North Qeynos");
    EXPECT_EQ(ListAdd("Greater Faydark, Befallen", "faydark"), "Greater Faydark, Befallen");
    EXPECT_EQ(ListAdd("Faydark", "Greater Faydark"), "Faydark, Greater Faydark");
    EXPECT_EQ(ListAdd("A, B", "A, B"), "A, B");
    // Found by the message search: text after " '" is not looked at unless the item holds an apostrophe.
    EXPECT_EQ(ListAdd("A ' B", "B"), "A ' B, B");
    EXPECT_EQ(ListAdd("Bob's Place", "b's"), "Bob's Place");
}

// ---------------------------------------------------------------------------------------------------------
// Played time

void ExpectDuration(std::string_view text, std::int64_t days, std::int64_t hours, std::int64_t minutes,
                    std::int64_t seconds) {
    SCOPED_TRACE(std::string("duration [") + std::string(text) + "]");
    Duration d = SplitDuration(text);
    EXPECT_EQ(d.days, days);
    EXPECT_EQ(d.hours, hours);
    EXPECT_EQ(d.minutes, minutes);
    EXPECT_EQ(d.seconds, seconds);
}

TEST(TextHelpers, SplitDurationReadsEachUnit) {
    ExpectDuration("2 days, 3 hours and 14 minutes", 2, 3, 14, 0);
    ExpectDuration("1 day, 2 hours and 3 minutes", 1, 2, 3, 0);
    ExpectDuration("1 day, 1 hour, 1 minute and 1 second", 1, 1, 1, 1);
    ExpectDuration("1 day and 2 hours", 1, 2, 0, 0);
    ExpectDuration("3 hours and 5 minutes", 0, 3, 5, 0);
    ExpectDuration("45 seconds", 0, 0, 0, 45);
    ExpectDuration("", 0, 0, 0, 0);
    ExpectDuration("nothing at all", 0, 0, 0, 0);
    // Unit words are case-sensitive.
    ExpectDuration("5 Days", 0, 0, 0, 0);
}

TEST(TextHelpers, SplitDurationGivesMinusOneForUnreadableNumbers) {
    ExpectDuration("x days", -1, 0, 0, 0);
    ExpectDuration("1 day, some hours", 1, -1, 0, 0);
    ExpectDuration("about 2 hours", 0, -1, 0, 0);
    ExpectDuration("1.5 minutes", 0, 0, -1, 0);
    ExpectDuration(" days", -1, 0, 0, 0);
    ExpectDuration("99999999999999999999 days", kInt64Max, 0, 0, 0);
    ExpectDuration("-99999999999999999999 seconds", 0, 0, 0, kInt64Min);
}

TEST(TextHelpers, DurationSecondsIsNeverNegativeAndSaturates) {
    EXPECT_EQ(DurationSeconds("1 day, 1 hour, 1 minute and 1 second"), 90061);
    EXPECT_EQ(DurationSeconds(""), 0);
    EXPECT_EQ(DurationSeconds("2 hours"), 7200);
    EXPECT_EQ(DurationSeconds("2 days, 3 hours and 14 minutes"), 184440);
    EXPECT_EQ(DurationSeconds("0 seconds"), 0);
    // Results of 0 or less give 0.
    EXPECT_EQ(DurationSeconds("x days"), 0);
    EXPECT_EQ(DurationSeconds("-3 hours"), 0);
    EXPECT_EQ(DurationSeconds("1 hour and -3601 seconds"), 0);
    EXPECT_EQ(DurationSeconds("-99999999999999999999 days"), 0);
    // Huge numbers saturate instead of wrapping round.
    EXPECT_EQ(DurationSeconds("99999999999999999999 days"), kInt64Max);
    EXPECT_EQ(DurationSeconds("153722867280912931 minutes"), kInt64Max);
    EXPECT_EQ(DurationSeconds("1 day, 9223372036854775807 seconds"), kInt64Max);
}

TEST(TextHelpers, DurationLongerComparesSeconds) {
    EXPECT_FALSE(DurationLonger("2 hours", "2 hours"));
    EXPECT_FALSE(DurationLonger("", ""));
    EXPECT_TRUE(DurationLonger("2 hours", "1 hour"));
    EXPECT_FALSE(DurationLonger("1 hour", "2 hours"));
    EXPECT_TRUE(DurationLonger("1 day", "23 hours and 59 minutes"));
    EXPECT_TRUE(DurationLonger("1 second", ""));
    EXPECT_FALSE(DurationLonger("x days", ""));  // both 0
    EXPECT_TRUE(DurationLonger("99999999999999999999 days", "1 day"));
}

// ---------------------------------------------------------------------------------------------------------
// Money

TEST(TextHelpers, MoneyToCopperExamples) {
    EXPECT_EQ(MoneyToCopper("3 Platinum 2 Gold 5 Silver 1 Copper"), 3251);
    EXPECT_EQ(MoneyToCopper("12 Gold, 4 Silver"), 1240);
    EXPECT_EQ(MoneyToCopper("7 Copper"), 7);
    EXPECT_EQ(MoneyToCopper("1 Platinum, 2 Gold, 3 Silver, 4 Copper"), 1234);
    EXPECT_EQ(MoneyToCopper("3 Platinum"), 3000);
    EXPECT_EQ(MoneyToCopper("5 Silver 3 Copper"), 53);
    EXPECT_EQ(MoneyToCopper(""), 0);
    EXPECT_EQ(MoneyToCopper("nothing"), 0);
    // The denomination words are found without regard to case.
    EXPECT_EQ(MoneyToCopper("3 platinum 2 GOLD"), 3200);
    // A denomination without a readable number counts 0.
    EXPECT_EQ(MoneyToCopper("Platinum"), 0);
    EXPECT_EQ(MoneyToCopper("some Gold, 4 Silver"), 40);
    EXPECT_EQ(MoneyToCopper("-3 Gold"), -300);
    // Quoted speech is not searched.
    EXPECT_EQ(MoneyToCopper("5 Gold '3 Platinum'"), 500);
}

TEST(TextHelpers, MoneyToCopperAfterAnd) {
    // After " and " the next number no longer stands at the start of the rest.
    EXPECT_EQ(MoneyToCopper("1 Gold and 5 Silver"), 100);
    EXPECT_EQ(MoneyToCopper("2 Silver and 3 Copper"), 20);
    EXPECT_EQ(MoneyToCopper("1 Platinum, 2 Gold and 3 Silver"), 1200);
}

TEST(TextHelpers, MoneyToCopperSaturates) {
    EXPECT_EQ(MoneyToCopper("99999999999999999999 Platinum"), kInt64Max);
    EXPECT_EQ(MoneyToCopper("9223372036854775807 Gold"), kInt64Max);
    EXPECT_EQ(MoneyToCopper("9223372036854775807 Platinum 9223372036854775807 Gold"), kInt64Max);
    // The product fits; only the sum goes beyond the range.
    EXPECT_EQ(MoneyToCopper("9223372036854775 Platinum 9999 Copper"), kInt64Max);
    EXPECT_EQ(MoneyToCopper("9223372036854775 Platinum 807 Copper"), kInt64Max);
    EXPECT_EQ(MoneyToCopper("9223372036854775 Platinum 806 Copper"), kInt64Max - 1);
    EXPECT_EQ(MoneyToCopper("-99999999999999999999 Platinum"), kInt64Min);
    EXPECT_EQ(MoneyToCopper("-9223372036854775 Platinum -9999 Copper"), kInt64Min);
}

TEST(TextHelpers, MoneyPerUnitDividesTowardZero) {
    EXPECT_EQ(MoneyPerUnit("3 Gold", 4), 75);
    EXPECT_EQ(MoneyPerUnit("3 Gold", 0), 0);
    EXPECT_EQ(MoneyPerUnit("3 Gold", 1), 300);
    EXPECT_EQ(MoneyPerUnit("3 Gold", -4), -75);
    EXPECT_EQ(MoneyPerUnit("7 Copper", 2), 3);
    EXPECT_EQ(MoneyPerUnit("7 Copper", -2), -3);
    EXPECT_EQ(MoneyPerUnit("-7 Copper", 2), -3);
    EXPECT_EQ(MoneyPerUnit("1 Copper", 2), 0);
    EXPECT_EQ(MoneyPerUnit("", 5), 0);
    EXPECT_EQ(MoneyPerUnit("", 0), 0);
    EXPECT_EQ(MoneyPerUnit("99999999999999999999 Platinum", 1), kInt64Max);
    EXPECT_EQ(MoneyPerUnit("5 Gold", kInt64Min), 0);
    // The one quotient beyond the range saturates.
    EXPECT_EQ(MoneyPerUnit("-99999999999999999999 Copper", -1), kInt64Max);
}

// ---------------------------------------------------------------------------------------------------------
// Items and dates

TEST(TextHelpers, StripItemLinkDropsTheLinkBytes) {
    EXPECT_EQ(StripItemLink(kLink + "0123456" + "Cloth Cap" + kLink), "Cloth Cap");
    EXPECT_EQ(StripItemLink(kLink + "ABCDEFG" + "Cloth Cap"), "Cloth Cap");
    EXPECT_EQ(StripItemLink("Cloth Cap"), "Cloth Cap");
    EXPECT_EQ(StripItemLink(""), "");
    EXPECT_EQ(StripItemLink("Cloth Cap" + kLink), "Cloth Cap" + kLink);
    EXPECT_EQ(StripItemLink(" " + kLink + "0123456Cloth Cap"), " " + kLink + "0123456Cloth Cap");
    // Links too short for a name.
    EXPECT_EQ(StripItemLink(kLink), "");
    EXPECT_EQ(StripItemLink(kLink + "abc"), "");
    EXPECT_EQ(StripItemLink(kLink + "0123456"), "");
    EXPECT_EQ(StripItemLink(kLink + "0123456" + kLink), "");
    EXPECT_EQ(StripItemLink(kLink + "0123456" + "X"), "X");
    // Only one closing byte is dropped.
    EXPECT_EQ(StripItemLink(kLink + "0123456" + "Cap" + kLink + kLink), "Cap" + kLink);
}

TEST(TextHelpers, ShortDateOfATimestamp) {
    EXPECT_EQ(ShortDate("[Mon Dec 07 04:13:59 2026]"), "07-Dec-2026 (04:13)");
    EXPECT_EQ(ShortDate("[Sat Jan 01 23:59:01 2000]"), "01-Jan-2000 (23:59)");
    EXPECT_EQ(ShortDate(""), "");
    EXPECT_EQ(ShortDate("07-Dec-2026 (04:13)"), "07-Dec-2026 (04:13)");
    EXPECT_EQ(ShortDate(" {KRAV} End of File"), " {KRAV} End of File");
    EXPECT_EQ(ShortDate(" [Mon Dec 07 04:13:59 2026]"), " [Mon Dec 07 04:13:59 2026]");
}

TEST(TextHelpers, DateIsStaleExamples) {
    EXPECT_TRUE(DateIsStale("03-Dec-2026 (10:00)", "07-Dec-2026 (09:00)"));
    EXPECT_FALSE(DateIsStale("03-Dec-2026 (10:00)", "06-Dec-2026 (23:59)"));
    EXPECT_TRUE(DateIsStale("03-Dec-2026 (10:00)", "03-Dec-2027 (10:00)"));
    EXPECT_FALSE(DateIsStale("03-Dec-2026 (10:00)", "03-Dec-2026 (10:00)"));
    // Another month, even a day apart.
    EXPECT_TRUE(DateIsStale("30-Nov-2026 (10:00)", "01-Dec-2026 (10:00)"));
    // B before A in the same month is not stale.
    EXPECT_FALSE(DateIsStale("20-Dec-2026 (10:00)", "03-Dec-2026 (10:00)"));
    // Days with a leading zero are decimal.
    EXPECT_FALSE(DateIsStale("06-Dec-2026 (10:00)", "09-Dec-2026 (10:00)"));
    EXPECT_TRUE(DateIsStale("05-Dec-2026 (10:00)", "09-Dec-2026 (10:00)"));
    // Unreadable days: -255 for A, 0 for B.
    EXPECT_TRUE(DateIsStale("xx-Dec-2026 (10:00)", "01-Dec-2026 (10:00)"));
    EXPECT_FALSE(DateIsStale("03-Dec-2026 (10:00)", "xx-Dec-2026 (10:00)"));
    EXPECT_TRUE(DateIsStale("", ""));
    EXPECT_TRUE(DateIsStale("", "07-Dec-2026 (09:00)"));
}

// ---------------------------------------------------------------------------------------------------------
// Words and names

TEST(TextHelpers, RemoveSpacesKeepsAllBlankTexts) {
    EXPECT_EQ(RemoveSpaces("a gnoll  pup"), "agnollpup");
    EXPECT_EQ(RemoveSpaces(" x "), "x");
    EXPECT_EQ(RemoveSpaces("abc"), "abc");
    EXPECT_EQ(RemoveSpaces("   "), "   ");
    EXPECT_EQ(RemoveSpaces(" "), " ");
    EXPECT_EQ(RemoveSpaces(""), "");
    EXPECT_EQ(RemoveSpaces("a\tb"), "a\tb");  // only blanks go
}

TEST(TextHelpers, LastWordIsTheTextAfterTheLastBlank) {
    EXPECT_EQ(LastWord("a gnoll pup"), "pup");
    EXPECT_EQ(LastWord("pup"), "pup");
    EXPECT_EQ(LastWord(" pup"), "pup");
    EXPECT_EQ(LastWord("a  pup"), "pup");
    EXPECT_EQ(LastWord("a gnoll pup "), "a gnoll pup ");
    EXPECT_EQ(LastWord(" "), " ");
    EXPECT_EQ(LastWord(""), "");
}

TEST(TextHelpers, BlanksToUnderlinesReplacesEveryBlank) {
    EXPECT_EQ(BlanksToUnderlines("a gnoll  pup "), "a_gnoll__pup_");
    EXPECT_EQ(BlanksToUnderlines(" "), "_");
    EXPECT_EQ(BlanksToUnderlines(""), "");
    EXPECT_EQ(BlanksToUnderlines("Fippy"), "Fippy");
    EXPECT_EQ(BlanksToUnderlines("a\tb"), "a\tb");
}

TEST(TextHelpers, CapitalizeFirstUpperCasesOneCharacter) {
    EXPECT_EQ(CapitalizeFirst("gnoll"), "Gnoll");
    EXPECT_EQ(CapitalizeFirst("Gnoll"), "Gnoll");
    EXPECT_EQ(CapitalizeFirst("gNOLL pup"), "GNOLL pup");
    EXPECT_EQ(CapitalizeFirst("1st"), "1st");
    EXPECT_EQ(CapitalizeFirst(" gnoll"), " gnoll");
    EXPECT_EQ(CapitalizeFirst(""), "");
    EXPECT_EQ(CapitalizeFirst("{"), "{");
}

TEST(TextHelpers, CapitalizeWordsKeepsArticlesFollowedByAWord) {
    EXPECT_EQ(CapitalizeWords("a gnoll pup"), "a Gnoll Pup");
    EXPECT_EQ(CapitalizeWords("the ring of the ages"), "the Ring Of the Ages");
    EXPECT_EQ(CapitalizeWords("an orc pawn"), "an Orc Pawn");
    EXPECT_EQ(CapitalizeWords("gnoll"), "Gnoll");
    EXPECT_EQ(CapitalizeWords(""), "");
    // Without a following blank an article is an ordinary word.
    EXPECT_EQ(CapitalizeWords("a"), "A");
    EXPECT_EQ(CapitalizeWords("the"), "The");
    EXPECT_EQ(CapitalizeWords("pup a"), "Pup A");
    EXPECT_EQ(CapitalizeWords("a pup the"), "a Pup The");
    EXPECT_EQ(CapitalizeWords("the "), "the ");
    // Articles are compared exactly, and only whole words.
    EXPECT_EQ(CapitalizeWords("The orc"), "The Orc");
    EXPECT_EQ(CapitalizeWords("A gnoll"), "A Gnoll");
    EXPECT_EQ(CapitalizeWords("theodore the great"), "Theodore the Great");
    EXPECT_EQ(CapitalizeWords("another gnoll"), "Another Gnoll");
    // Blanks are kept as they are.
    EXPECT_EQ(CapitalizeWords("a  gnoll"), "a  Gnoll");
    EXPECT_EQ(CapitalizeWords(" gnoll"), " Gnoll");
    EXPECT_EQ(CapitalizeWords("gnoll "), "Gnoll ");
    EXPECT_EQ(CapitalizeWords("o'neil the brave"), "O'neil the Brave");
}

TEST(TextHelpers, IsProperNameNeedsTwoCapitalisedWords) {
    EXPECT_TRUE(IsProperName("Guard Hanlon"));
    EXPECT_TRUE(IsProperName("Guard Hanlon the Brave"));
    EXPECT_TRUE(IsProperName("Guard 2"));
    EXPECT_TRUE(IsProperName("1st Guard"));
    EXPECT_TRUE(IsProperName("An Orc"));  // "an" is not excluded
    EXPECT_TRUE(IsProperName("At Guard"));
    EXPECT_TRUE(IsProperName("Theodore Guard"));
    EXPECT_TRUE(IsProperName("Guard  hanlon"));  // the character after the first blank is a blank
    EXPECT_FALSE(IsProperName("A Guard"));
    EXPECT_FALSE(IsProperName("a Guard"));
    EXPECT_FALSE(IsProperName("The Guard"));
    EXPECT_FALSE(IsProperName("THE Guard"));
    EXPECT_FALSE(IsProperName("Fippy darkpaw"));
    EXPECT_FALSE(IsProperName("fippy Darkpaw"));
    EXPECT_FALSE(IsProperName("Guard"));
    EXPECT_FALSE(IsProperName("A"));
    EXPECT_FALSE(IsProperName(""));
}

// ---------------------------------------------------------------------------------------------------------
// Counters, ranks and sort keys

TEST(TextHelpers, NumberOrUnknownKeepsNonZeroNumbersAndZero) {
    EXPECT_EQ(NumberOrUnknown("0"), "0");
    EXPECT_EQ(NumberOrUnknown("12"), "12");
    EXPECT_EQ(NumberOrUnknown(" 12"), " 12");  // unchanged, blank included
    EXPECT_EQ(NumberOrUnknown("-3"), "-3");
    EXPECT_EQ(NumberOrUnknown("+5"), "+5");
    EXPECT_EQ(NumberOrUnknown("007"), "007");
    EXPECT_EQ(NumberOrUnknown("00"), "?");
    EXPECT_EQ(NumberOrUnknown(" 0"), "?");
    EXPECT_EQ(NumberOrUnknown("+0"), "?");
    EXPECT_EQ(NumberOrUnknown("-0"), "?");
    EXPECT_EQ(NumberOrUnknown(""), "?");
    EXPECT_EQ(NumberOrUnknown("abc"), "?");
    EXPECT_EQ(NumberOrUnknown("12a"), "?");
    EXPECT_EQ(NumberOrUnknown("12 "), "?");
    EXPECT_EQ(NumberOrUnknown("?"), "?");
}

TEST(TextHelpers, SkillRankNameBands) {
    const std::vector<std::pair<std::string, std::string>> cases = {{"-5", "Awful"},
                                                                    {"0", "Awful"},
                                                                    {"1", "Awful"},
                                                                    {"10", "Awful"},
                                                                    {"11", "Feeble"},
                                                                    {"20", "Feeble"},
                                                                    {"21", "Very Bad"},
                                                                    {"30", "Very Bad"},
                                                                    {"31", "Bad"},
                                                                    {"40", "Bad"},
                                                                    {"41", "Below Average"},
                                                                    {"50", "Below Average"},
                                                                    {"51", "Average"},
                                                                    {"60", "Average"},
                                                                    {"70", "Average"},
                                                                    {"71", "Good"},
                                                                    {"80", "Good"},
                                                                    {"81", "Very Good"},
                                                                    {"90", "Very Good"},
                                                                    {"91", "Excellent"},
                                                                    {"100", "Excellent"},
                                                                    {"101", "Master"},
                                                                    {"255", "Master"},
                                                                    {" 15", "Feeble"},
                                                                    {"99999999999999999999", "Master"},
                                                                    {"-99999999999999999999", "Awful"},
                                                                    {"?", "unknown"},
                                                                    {"x", "unknown"},
                                                                    {"", "unknown"},
                                                                    {"00", "unknown"},
                                                                    {"12a", "unknown"}};
    for (const auto& [value, word] : cases) {
        SCOPED_TRACE("value [" + value + "]");
        EXPECT_EQ(SkillRankName(value), word);
    }
}

TEST(TextHelpers, SortKeyClampsAndPads) {
    EXPECT_EQ(SortKey(-1'000'000), "0000000");
    EXPECT_EQ(SortKey(-999'999), "0000001");
    EXPECT_EQ(SortKey(-3), "0999997");
    EXPECT_EQ(SortKey(0), "1000000");
    EXPECT_EQ(SortKey(5), "1000005");
    EXPECT_EQ(SortKey(999'999), "1999999");
    EXPECT_EQ(SortKey(1'000'000), "2000000");
    EXPECT_EQ(SortKey(2'000'000), "2000000");
    EXPECT_EQ(SortKey(2'500'000), SortKey(1'000'000));
    EXPECT_EQ(SortKey(-5'000'000), "0000000");
    EXPECT_EQ(SortKey(kInt64Max), "2000000");
    EXPECT_EQ(SortKey(kInt64Min), "0000000");
    // Keys sort as texts in numeric order.
    const std::vector<std::int64_t> ordered = {-1'000'000, -12'345, -3, -1, 0, 1, 9, 10, 999'999};
    for (std::size_t i = 0; i + 1 < ordered.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_LT(SortKey(ordered[i]), SortKey(ordered[i + 1]));
        EXPECT_EQ(SortKey(ordered[i]).size(), 7u);
    }
}

// ---------------------------------------------------------------------------------------------------------
// Copying a file

class CopyOneFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        static std::atomic<int> counter{0};
        static const unsigned salt = std::random_device{}();
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ =
            std::filesystem::temp_directory_path() / ("krav_copy_" + std::string(info->name()) + "_" +
                                                      std::to_string(salt) + "_" + std::to_string(counter++));
        ASSERT_TRUE(std::filesystem::create_directories(folder_));
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }

    void Write(const std::string& name, const std::string& content) const {
        std::ofstream out(folder_ / name, std::ios::binary);
        out << content;
    }

    std::string Read(const std::string& name) const {
        std::ifstream in(folder_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // The names in the folder, so that a left-over temporary file shows.
    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    std::filesystem::path folder_;
};

TEST_F(CopyOneFileTest, CopiesToANewDestination) {
    const std::string content = std::string("line one\r\nline two\r\n") + '\0' + "\x12\xE9 end";
    Write("source.txt", content);
    EXPECT_TRUE(CopyOneFile(PathOf("source.txt"), PathOf("copy.txt"), false));
    EXPECT_EQ(Read("copy.txt"), content);
    EXPECT_EQ(Read("source.txt"), content);
    EXPECT_TRUE(CopyOneFile(PathOf("source.txt"), PathOf("second.txt"), true));
    EXPECT_EQ(Read("second.txt"), content);
    EXPECT_EQ(Names(), (std::set<std::string>{"source.txt", "copy.txt", "second.txt"}));

    Write("empty.txt", "");
    EXPECT_TRUE(CopyOneFile(PathOf("empty.txt"), PathOf("empty copy.txt"), true));
    EXPECT_TRUE(std::filesystem::exists(PathOf("empty copy.txt")));
    EXPECT_EQ(Read("empty copy.txt"), "");
}

TEST_F(CopyOneFileTest, OverwritesWhenTheFlagIsOff) {
    Write("source.txt", "new");
    Write("destination.txt", "a much longer old content that must not survive");
    EXPECT_TRUE(CopyOneFile(PathOf("source.txt"), PathOf("destination.txt"), false));
    EXPECT_EQ(Read("destination.txt"), "new");
    EXPECT_EQ(Read("source.txt"), "new");
    EXPECT_EQ(Names(), (std::set<std::string>{"source.txt", "destination.txt"}));
}

TEST_F(CopyOneFileTest, RefusesAnExistingDestinationWhenTheFlagIsOn) {
    Write("source.txt", "new");
    Write("destination.txt", "old");
    EXPECT_FALSE(CopyOneFile(PathOf("source.txt"), PathOf("destination.txt"), true));
    EXPECT_EQ(Read("destination.txt"), "old");
    // An existing folder is an existing destination too.
    std::filesystem::create_directory(folder_ / "folder");
    EXPECT_FALSE(CopyOneFile(PathOf("source.txt"), PathOf("folder"), true));
    EXPECT_TRUE(std::filesystem::is_directory(folder_ / "folder"));
    EXPECT_EQ(Names(), (std::set<std::string>{"source.txt", "destination.txt", "folder"}));
}

TEST_F(CopyOneFileTest, FailsForAMissingOrFolderSource) {
    Write("destination.txt", "old");
    EXPECT_FALSE(CopyOneFile(PathOf("missing.txt"), PathOf("copy.txt"), false));
    EXPECT_FALSE(CopyOneFile(PathOf("missing.txt"), PathOf("destination.txt"), false));
    EXPECT_EQ(Read("destination.txt"), "old");
    std::filesystem::create_directory(folder_ / "folder");
    EXPECT_FALSE(CopyOneFile(PathOf("folder"), PathOf("copy.txt"), false));
    EXPECT_FALSE(CopyOneFile(PathOf("folder"), PathOf("destination.txt"), false));
    EXPECT_EQ(Read("destination.txt"), "old");
    EXPECT_FALSE(CopyOneFile("", PathOf("copy.txt"), false));
    EXPECT_EQ(Names(), (std::set<std::string>{"destination.txt", "folder"}));
}

TEST_F(CopyOneFileTest, FailsCleanlyWhenTheDestinationCannotBeWritten) {
    Write("source.txt", "new");
    // A folder in the way of the destination, with the flag off.
    std::filesystem::create_directory(folder_ / "folder");
    EXPECT_FALSE(CopyOneFile(PathOf("source.txt"), PathOf("folder"), false));
    EXPECT_TRUE(std::filesystem::is_directory(folder_ / "folder"));
    // A destination in a folder that does not exist.
    EXPECT_FALSE(CopyOneFile(PathOf("source.txt"), PathOf("nowhere/copy.txt"), false));
    EXPECT_EQ(Names(), (std::set<std::string>{"source.txt", "folder"}));
}

// ---------------------------------------------------------------------------------------------------------
// Windows-1252 to UTF-8

TEST(EncodingCp1252, AsciiIsUnchanged) {
    EXPECT_EQ(Cp1252ToUtf8(""), "");
    EXPECT_EQ(Cp1252ToUtf8("You have slain a gnoll!"), "You have slain a gnoll!");
    const std::string controls("a\0b\x12\x7F\r\n", 7);
    EXPECT_EQ(Cp1252ToUtf8(controls), controls);
}

TEST(EncodingCp1252, HighBytesBecomeTheirCodePoints) {
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xE2\x82\xAC");  // U+20AC euro sign
    EXPECT_EQ(Cp1252ToUtf8("\x85"), "\xE2\x80\xA6");  // U+2026 ellipsis
    EXPECT_EQ(Cp1252ToUtf8("\x8A"), "\xC5\xA0");      // U+0160 S with caron
    EXPECT_EQ(Cp1252ToUtf8("\x92"), "\xE2\x80\x99");  // U+2019 right single quotation mark
    EXPECT_EQ(Cp1252ToUtf8("\x99"), "\xE2\x84\xA2");  // U+2122 trade mark
    EXPECT_EQ(Cp1252ToUtf8("\x9F"), "\xC5\xB8");      // U+0178 Y with diaeresis
    EXPECT_EQ(Cp1252ToUtf8("\xA0"), "\xC2\xA0");      // U+00A0
    EXPECT_EQ(Cp1252ToUtf8("\xBF"), "\xC2\xBF");
    EXPECT_EQ(Cp1252ToUtf8("\xC0"), "\xC3\x80");
    EXPECT_EQ(Cp1252ToUtf8("\xE9"), "\xC3\xA9");  // U+00E9 e with acute
    EXPECT_EQ(Cp1252ToUtf8("\xFF"), "\xC3\xBF");
    EXPECT_EQ(Cp1252ToUtf8("caf\xE9 5\x80!"), "caf\xC3\xA9 5\xE2\x82\xAC!");
}

TEST(EncodingCp1252, UndefinedBytesGiveValidUtf8) {
    // The five bytes without a character become the C1 control of the same value.
    EXPECT_EQ(Cp1252ToUtf8("\x81"), "\xC2\x81");
    EXPECT_EQ(Cp1252ToUtf8("\x8D"), "\xC2\x8D");
    EXPECT_EQ(Cp1252ToUtf8("\x8F"), "\xC2\x8F");
    EXPECT_EQ(Cp1252ToUtf8("\x90"), "\xC2\x90");
    EXPECT_EQ(Cp1252ToUtf8("\x9D"), "\xC2\x9D");
    EXPECT_EQ(Cp1252ToUtf8("a\x81z"), "a\xC2\x81z");
}

}  // namespace
}  // namespace krav
