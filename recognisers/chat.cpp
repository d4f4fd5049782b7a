// Chat capture.
#include "recognisers/chat.h"

#include "engine/text.h"

namespace krav {

namespace {

enum class Channel { Tell, Say, Group, Guild, Shout, OOC, Auction, Other };

struct ChatForm {
    Prefix text;
    Channel channel;
};

constexpr ChatForm kOwn[] = {
    {"You told ", Channel::Tell},
    {"You say,", Channel::Say},
    {"You tell your party,", Channel::Group},
    {"You say to your guild,", Channel::Guild},
    {"You shout,", Channel::Shout},
    {"You say out of character,", Channel::OOC},
    {"You auction,", Channel::Auction},
    {"You tell ", Channel::Other},
};

struct OthersForm {
    Needle text;
    Channel channel;
};

constexpr OthersForm kOthers[] = {
    {" tells you,", Channel::Tell},        {" says,", Channel::Say},
    {" tells the group,", Channel::Group}, {" tells the guild,", Channel::Guild},
    {" shouts,", Channel::Shout},          {" says out of character,", Channel::OOC},
    {" auctions,", Channel::Auction},      {" tells ", Channel::Other},
};

bool Selected(const RunInputs& in, Channel channel) {
    const ChatChannels& c = in.Channels;
    switch (channel) {
        case Channel::Tell:
            return c.Tell;
        case Channel::Say:
            return c.Say;
        case Channel::Group:
            return c.Group;
        case Channel::Guild:
            return c.Guild;
        case Channel::Shout:
            return c.Shout;
        case Channel::OOC:
            return c.OOC;
        case Channel::Auction:
            return c.Auction;
        case Channel::Other:
            return true;  // other channels follow the chat option alone
    }
    return false;
}

}  // namespace

bool OwnChat(RunContext& run, const LogLine& line) {
    static constexpr PrefixFilter kFilter(kOwn,
                                          [](const ChatForm& form) -> const Prefix& { return form.text; });
    if (!kFilter.Admits(line)) return false;
    for (const ChatForm& form : kOwn) {
        if (!LineStartsWith(form.text, line)) continue;
        run.AppendChatLine(Selected(run.inputs, form.channel), line);
        return true;
    }
    return false;
}

bool OthersChat(RunContext& run, const LogLine& line) {
    const std::string_view m = line.Message;
    for (const OthersForm& form : kOthers) {
        if (FindInLine(form.text, line) == 0) continue;
        run.AppendChatLine(Selected(run.inputs, form.channel), line);
        return true;
    }
    const std::size_t arrow = FindInLine(" -> ", line);
    if (arrow == 0) return false;
    // "Sender -> Receiver: text": a tell when the player sent or received it; otherwise it is dropped.
    const std::string& name = run.session.Character.CharacterName;
    const std::string_view sender = m.substr(0, arrow - 1);
    std::string_view receiver = m.substr(arrow + 3);
    receiver = receiver.substr(0, receiver.find_first_of(": "));
    if (sender == name || receiver == name) run.AppendChatLine(run.inputs.Channels.Tell, line);
    return true;
}

}  // namespace krav
