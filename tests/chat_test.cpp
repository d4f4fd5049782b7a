// The player's and other players' chat through whole runs: which lines reach the chat file under which
// options, and that none stays in the new log.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>

#include "output/standard_run.h"
#include "tests/test_support.h"

namespace krav::test {
namespace {

namespace fs = std::filesystem;

class ChatTest : public StandardRunTest {
protected:
    fs::path ChatFile() const { return game.path() / "logs" / "CHAT_eqlog_Bob_tunare.txt"; }

    // Runs the messages with the given options and returns what the run appended to an empty chat file.
    std::string RunChat(const Lines& messages, const ChatChannels& channels, bool chat = true,
                        ShrinkMode mode = ShrinkMode::Compatible) {
        fs::remove(ChatFile());
        Lines lines;
        for (const std::string& m : messages)
            lines.push_back(At("10:00:00", m));
        WriteFile(Log(), Crlf(lines));
        RunInputs in = MakeInputs(game, mode);
        in.Channels = channels;
        in.Chat = chat;
        ProcessingRun::Run(session, in, host, StandardRunSteps());
        return ReadFile(ChatFile());
    }
};

ChatChannels AllOn() {
    return {true, true, true, true, true, true, true};
}
ChatChannels AllOff() {
    return {false, false, false, false, false, false, false};
}

bool Has(const std::string& file, const std::string& message) {
    return file.find(At("10:00:00", message) + "\r\n") != std::string::npos;
}

// The lines of each channel option, in the order of ChatChannels' flags.
const std::array<Lines, 7> kChannelLines = {{
    {"You told Ann, 'hi'", "Ann tells you, 'hi'", "Bob -> Ann: hi", "Ann -> Bob: hi", "Ann -> Bob hi",
     "Bob -> "},
    {"You say, 'hi'", "Ann says, 'he glares at you'", "Ann says, 'don't", "Ann says, hi' there"},
    {"You tell your party, 'hi'", "Ann tells the group, 'hi'"},
    {"You say to your guild, 'hi'", "Ann tells the guild, 'hi'"},
    {"You shout, 'hi'", "Ann shouts, 'hi'"},
    {"You say out of character, 'hi'", "Ann says out of character, 'hi'"},
    {"You auction, 'WTS hat'", "Ann auctions, 'WTS hat'"},
}};
const Lines kOtherChannels = {"You tell general:1, 'hi'", "Ann tells general:1, 'hi'"};
// Never chat: language lines, talk between two others, arrows to no one, and a name with a quote.
const Lines kNeverChat = {"Ann says, in Elvish, 'hi'",
                          "Ann tells the group, in Dwarvish, 'hi'",
                          "Ann -> Cid: hi",
                          "bob -> Ann: hi",
                          "Ann -> Bobby: hi",
                          "Ann -> ",
                          "Ann -> :",
                          "Ann 'the bold' says, 'hi'"};

Lines AllMessages() {
    Lines all;
    for (const Lines& lines : kChannelLines)
        all.insert(all.end(), lines.begin(), lines.end());
    all.insert(all.end(), kOtherChannels.begin(), kOtherChannels.end());
    all.insert(all.end(), kNeverChat.begin(), kNeverChat.end());
    return all;
}

TEST_F(ChatTest, EveryChannelFollowsItsOwnOption) {
    const std::string all = RunChat(AllMessages(), AllOn());
    int expected = 0;
    for (const Lines& lines : kChannelLines) {
        for (const std::string& m : lines) {
            EXPECT_TRUE(Has(all, m)) << m;
            ++expected;
        }
    }
    EXPECT_EQ(session.ChatLinesAppended, expected + 2);
    // No chat line, appended or not, stays in the new log.
    const std::string log = Kept();
    for (const std::string& m : AllMessages())
        EXPECT_FALSE(Has(log, m)) << m;

    for (std::size_t off = 0; off < kChannelLines.size(); ++off) {
        ChatChannels channels = AllOn();
        std::array<bool*, 7> flags = {&channels.Tell,  &channels.Say, &channels.Group,  &channels.Guild,
                                      &channels.Shout, &channels.OOC, &channels.Auction};
        *flags[off] = false;
        const std::string chat = RunChat(AllMessages(), channels);
        for (std::size_t c = 0; c < kChannelLines.size(); ++c) {
            for (const std::string& m : kChannelLines[c])
                EXPECT_EQ(Has(chat, m), c != off) << "channel " << off << " off: " << m;
        }
        for (const std::string& m : kOtherChannels)
            EXPECT_TRUE(Has(chat, m)) << m;
    }
}

TEST_F(ChatTest, OtherChannelsFollowTheChatOptionAlone) {
    const std::string chat = RunChat(AllMessages(), AllOff());
    EXPECT_EQ(chat, Crlf({At("10:00:00", kOtherChannels[0]), At("10:00:00", kOtherChannels[1])}));

    // With the chat option off nothing is appended, whatever the channels say.
    EXPECT_EQ(RunChat(AllMessages(), AllOn(), false), "");
    EXPECT_EQ(session.ChatLinesAppended, 0);
    EXPECT_TRUE(HasStatus("WARNING: No chat information will be saved!"));
    EXPECT_FALSE(Has(Kept(), "Ann tells you, 'hi'"));
}

TEST_F(ChatTest, ReadOnlyRunsAppendNothing) {
    WriteFile(ChatFile(), "kept\r\n");
    WriteFile(Log(), Crlf({At("10:00:00", "Ann tells you, 'hi'"), At("10:00:00", "You say, 'hi'")}));
    RunInputs in = MakeInputs(game, ShrinkMode::ReadOnly);
    in.Channels = AllOn();
    ProcessingRun::Run(session, in, host, StandardRunSteps());
    EXPECT_EQ(ReadFile(ChatFile()), "kept\r\n");
    EXPECT_EQ(session.ChatLinesAppended, 0);
    EXPECT_FALSE(fs::exists(game.path() / "logs" / "NEWCHAT_eqlog_Bob_tunare.txt"));
    EXPECT_FALSE(fs::exists(game.path() / "logs" / "NEWLOG_eqlog_Bob_tunare.txt"));
}

TEST_F(ChatTest, NeverChatLinesReachNeitherFile) {
    const std::string chat = RunChat(kNeverChat, AllOn());
    EXPECT_EQ(chat, "");
    const std::string log = Kept();
    for (const std::string& m : kNeverChat)
        EXPECT_FALSE(Has(log, m)) << m;
}

}  // namespace
}  // namespace krav::test
