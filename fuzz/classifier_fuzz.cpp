// libFuzzer target for the line classifier and the whole processing run.
//
// Input layout:
//   byte 0   bit 0: 0 = single lines straight into ClassifyLine, 1 = a short log through RunProcessing;
//            bits 1-2: the character the log belongs to (Bob, unknown, Soandso, Bob)
//   byte 1   value % 3: shrink mode (ReadOnly, Compatible, Smallest); bit 2: no backup; bit 3: no chat file;
//            bit 4: no reference data beside the program; bit 5: no report
//   rest     the log text
// The seeds in fuzz/corpus start with two printable bytes: 'a' is a log of Bob's, 'c' one of "unknown", 'b'
// and 'd' are single lines; '0', '1' and '2' are the three shrink modes with every option on.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "engine/log_line.h"
#include "engine/run_context.h"
#include "engine/session.h"
#include "install/log_names.h"
#include "output/standard_run.h"
#include "recognisers/character.h"
#include "recognisers/classifier.h"

namespace {

namespace fs = std::filesystem;
using namespace krav;

// Large enough for a few hundred lines, small enough that every input stays quick.
constexpr std::size_t kMaxInput = 64 * 1024;

constexpr const char* kServer = "tunare";
constexpr const char* kCharacters[] = {"Bob", kUnknown, "Soandso", "Bob"};

// A little reference data, so that language names, class sections and skill maximums take part.
constexpr std::string_view kReferenceData =
    "[Languages]\r\nCommon Tongue=1\r\nElvish=1\r\nDwarvish=1\r\nThieves Cant=1\r\n"
    "[Classes]\r\nWarrior=Warrior\r\nChampion=Warrior\r\nCleric=Cleric\r\nTemplar=Cleric\r\n"
    "[AllClasses]\r\nFishing=0,0,5,200,200,0,-1\r\nSense Heading=0,0,5,200,200,0,-1\r\n"
    "Baking=0,0,0,300,300,0,0\r\n"
    "[Class.Warrior]\r\nOffense=0,0,5,210,252,0,-1\r\nDefense=0,0,5,210,252,0,-1\r\n"
    "Bind Wound=0,0,5,200,210,100,-1\r\n"
    "[Class.Cleric]\r\nOffense=0,0,5,200,200,0,0\r\nAbjuration=0,0,5,235,235,0,-1\r\n";

// Everything the run asks of a front end is ignored.
class SilentHost final : public RunHost {};

// One game folder per process, created on first use and removed when the process ends.
class GameFolder {
public:
    GameFolder() {
        std::string pattern = (fs::temp_directory_path() / "krav-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        root_ = pattern;
        std::ofstream(root_ / kReferenceDataFile, std::ios::binary) << kReferenceData;
        LoadLanguages(languages_, text());
    }
    ~GameFolder() {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    GameFolder(const GameFolder&) = delete;
    GameFolder& operator=(const GameFolder&) = delete;

    std::string text() const { return root_.string() + "/"; }
    const std::vector<std::string>& Languages() const { return languages_.Languages; }

    // Back to the reference file alone: work files, the friends file and anything else a run left behind.
    void Clear() const {
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(root_, ec)) {
            if (entry.path().filename() == kReferenceDataFile) continue;
            std::error_code ignored;
            fs::remove_all(entry.path(), ignored);
        }
    }

private:
    fs::path root_;
    Session languages_;  // only its language list is used
};

GameFolder& Folder() {
    static GameFolder folder;
    return folder;
}

struct Options {
    bool wholeLog = false;
    RunInputs inputs;
    bool haveReference = true;
};

Options ReadOptions(std::uint8_t first, std::uint8_t second) {
    Options o;
    o.wholeLog = (first & 1) != 0;
    const std::string character = kCharacters[(first >> 1) & 3];
    const std::string entry = std::string(kServer) + "_" + character;
    const std::string game = Folder().text();

    RunInputs& in = o.inputs;
    in.GameFolder = game;
    in.LogsFolder = game + "logs/";
    o.haveReference = (second & 16) == 0;
    in.ProgramFolder = o.haveReference ? game : game + "noref/";
    in.EntryServer = kServer;
    in.EntryCharacter = character;
    in.LogFileName = LogFileName(entry, in.ParseExtension);
    in.BaseFileName = BaseFileName(entry);
    constexpr ShrinkMode kModes[] = {ShrinkMode::ReadOnly, ShrinkMode::Compatible, ShrinkMode::Smallest};
    in.Mode = kModes[second % 3];
    in.Backup = (second & 4) == 0;
    in.Chat = (second & 8) == 0;
    in.Report = (second & 32) == 0;
    return o;
}

// The session as the run's start steps leave it, for feeding lines without a run.
void PrepareSession(Session& session, const Options& o) {
    session.Languages = Folder().Languages();
    session.Busy = true;
    session.Tables.ResetTables(o.haveReference);
    session.Character = CharacterState{};
    session.Character.CharacterName = o.inputs.EntryCharacter;
    session.Info = InfoFields{};
    for (std::string* field :
         {&session.Info.eClass, &session.Info.eLevel, &session.Info.eRace, &session.Info.eGuild,
          &session.Info.eBound, &session.Info.eZone, &session.Info.ePlayed, &session.Info.eAsOf,
          &session.Info.eFrom, &session.Info.eTo}) {
        *field = kUnknown;
    }
    session.Info.eName = session.Character.CharacterName;
}

// Every line straight into the classifier, split and timestamped as the read loop does it. The run context
// has no log and no work files open here: who lists end at their header, and writes report their error into
// the session.
void ClassifyLines(const Options& o, std::string_view text) {
    Session session;
    PrepareSession(session, o);
    SilentHost host;
    RunContext run(session, o.inputs, host);
    WhoEntry who;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view raw = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);

        if (std::string_view part = TimestampPart(raw); !part.empty()) run.Timestamp.assign(part);
        if (run.FirstTimestamp.empty()) run.FirstTimestamp = run.Timestamp;
        LogLine line = MessageLine(MessagePart(raw));
        line.Raw = raw;
        line.Timestamp = run.Timestamp;
        ClassifyLine(run, line);
        // Who entries are only reached inside a who list, which needs a log to read from; try the parser
        // on every line instead.
        ParseWhoEntry(line.Message, who);
    }
}

void ProcessLog(const Options& o, std::string_view text) {
    const GameFolder& folder = Folder();
    std::error_code ec;
    fs::create_directories(o.inputs.LogsFolder, ec);
    {
        std::ofstream log(o.inputs.LogPath(), std::ios::binary | std::ios::trunc);
        log.write(text.data(), static_cast<std::streamsize>(text.size()));
    }
    Session session;
    session.Languages = folder.Languages();
    SilentHost host;
    RunProcessing(session, o.inputs, host);
    folder.Clear();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    if (size > kMaxInput) size = kMaxInput;
    const Options o = ReadOptions(data[0], data[1]);
    const std::string_view text(reinterpret_cast<const char*>(data) + 2, size - 2);
    if (o.wholeLog) {
        ProcessLog(o, text);
    } else {
        ClassifyLines(o, text);
        // The friends file is the one thing a line on its own can write.
        Folder().Clear();
    }
    return 0;
}
