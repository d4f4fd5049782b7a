// Moving the settings between the registry store and the controls. Every operation opens its key, reads and
// writes, and closes it again; a key that cannot be opened makes the whole operation a quiet no-op.
#include "app/settings.h"

#include <algorithm>
#include <climits>

#include "engine/session.h"
#include "engine/text.h"
#include "install/registry_keys.h"

namespace krav {

namespace {

using platform::Registry;
using platform::RootKey;

constexpr const char* kOn = "1";
constexpr const char* kOff = "0";
constexpr const char* kNotApplicable = "N/A";

constexpr const char* kLogFile = "LogFile";
constexpr const char* kReadOnly = "ReadOnly";
constexpr const char* kCompatibleFile = "CompatibleFile";
constexpr const char* kSaveChat = "SaveChat";
constexpr const char* kGenerateReport = "GenerateReport";
constexpr const char* kCreateBackup = "CreateBackup";
constexpr const char* kParseFileType = "ParseFileType";
constexpr const char* kTxt = ".txt";
constexpr const char* kLog = ".log";

struct Child {
    OptionControl control;
    const char* value;
};

// The four main channels, on unless stored "0".
constexpr Child kMainChannels[] = {
    {OptionControl::xTell, "SaveTell"},
    {OptionControl::xSay, "SaveSay"},
    {OptionControl::xGroup, "SaveGroupsay"},
    {OptionControl::xGuild, "SaveGuildsay"},
};
// Shout, ooc and auction, off unless stored "1".
constexpr Child kOtherChannels[] = {
    {OptionControl::xShout, "SaveShout"},
    {OptionControl::xOOC, "SaveOOC"},
    {OptionControl::xAuction, "SaveAuction"},
};
// The report's sections, in the order they are read and written.
constexpr Child kSections[] = {
    {OptionControl::xSkills, "ReportSkills"},     {OptionControl::xZones, "ReportZones"},
    {OptionControl::xFactions, "ReportFactions"}, {OptionControl::xMobs, "ReportMobs"},
    {OptionControl::xLoot, "ReportLoot"},         {OptionControl::xVendors, "ReportVendors"},
    {OptionControl::xCombat, "ReportCombat"},     {OptionControl::xSpells, "ReportSpells"},
    {OptionControl::xMisc, "ReportMisc"},         {OptionControl::xGuild2, "ReportGuild"},
};

// Writes `value` unless the stored text is that already.
void Normalise(Registry& key, const char* name, const std::string& stored, const char* value) {
    if (stored != value) key.WriteString(name, value);
}

// A master switch: on unless stored "0"; any other text than "1" is rewritten "1".
void LoadMaster(Registry& key, OptionControls& options, OptionControl control, const char* name) {
    const std::string stored = key.ReadString(name);
    if (stored == kOff) {
        options.SetChecked(control, false);
    } else {
        options.SetChecked(control, true);
        Normalise(key, name, stored, kOn);
    }
}

std::string Flag(bool on) {
    return on ? kOn : kOff;
}

// Text that is not a decimal number reads as 0.
std::int64_t Number(const std::string& text) {
    return ReadInteger(text, 0);
}

int Coordinate(const std::string& text) {
    return static_cast<int>(std::clamp<std::int64_t>(Number(text), INT_MIN, INT_MAX));
}

std::string LowerCase(std::string text) {
    for (char& c : text)
        c = FoldCase(c);
    return text;
}

}  // namespace

OptionSnapshot TakeSnapshot(const OptionControls& controls) {
    OptionSnapshot snapshot{};
    for (int i = 0; i < kOptionControlCount; ++i)
        snapshot[i] = controls.Checked(static_cast<OptionControl>(i));
    return snapshot;
}

void RestoreSnapshot(OptionControls& controls, const OptionSnapshot& snapshot) {
    for (int i = 0; i < kOptionControlCount; ++i)
        controls.SetChecked(static_cast<OptionControl>(i), snapshot[i]);
}

std::string ParseExtensionOf(const OptionControls& controls) {
    return controls.Checked(OptionControl::xLog) ? kLog : kTxt;
}

void TakeRunOptions(const OptionControls& options, RunInputs& inputs) {
    auto on = [&](OptionControl control) { return options.Checked(control); };
    inputs.Backup = on(OptionControl::xBackup);
    inputs.Chat = on(OptionControl::xChat);
    inputs.Channels = {on(OptionControl::xTell),   on(OptionControl::xSay),   on(OptionControl::xGroup),
                       on(OptionControl::xGuild),  on(OptionControl::xShout), on(OptionControl::xOOC),
                       on(OptionControl::xAuction)};
    inputs.Report = on(OptionControl::xReports);
    ReportSections& s = inputs.Sections;
    s.Skills = on(OptionControl::xSkills);
    s.Zones = on(OptionControl::xZones);
    s.Factions = on(OptionControl::xFactions);
    s.Mobs = on(OptionControl::xMobs);
    s.Vendors = on(OptionControl::xVendors);
    s.Loot = on(OptionControl::xLoot);
    s.Combat = on(OptionControl::xCombat);
    s.Spells = on(OptionControl::xSpells);
    s.Misc = on(OptionControl::xMisc);
    s.Guild = on(OptionControl::xGuild2);
}

LoadedSettings LoadSettings(OptionControls& options, ModeControls& mode, std::string& parseExtension,
                            const AutoLogStep& autoLogStep) {
    LoadedSettings result;
    Registry key(RootKey::CurrentUser);
    if (!key.OpenKey(keys::kSettings, true)) return result;
    result.loaded = true;

    // Each step sees the control states that the earlier ones set: the children follow their master.
    result.logFile = key.ReadString(kLogFile);
    if (result.logFile.empty()) key.WriteString(kLogFile, "");

    const std::string readOnly = key.ReadString(kReadOnly);
    const std::string compatible = key.ReadString(kCompatibleFile);
    if (compatible.empty()) key.WriteString(kCompatibleFile, kNotApplicable);
    if (!readOnly.empty()) {
        if (readOnly != kOff)
            mode.SelectMode(ShrinkMode::ReadOnly);
        else if (compatible != kOff)
            mode.SelectMode(ShrinkMode::Compatible);
        else
            mode.SelectMode(ShrinkMode::Smallest);
    } else {
        key.WriteString(kReadOnly, kOn);
    }

    if (key.ValueExists(keys::kAutoLog)) {
        result.autoLog = Number(key.ReadString(keys::kAutoLog));
    } else {
        key.WriteString(keys::kAutoLog, kOff);
    }

    LoadMaster(key, options, OptionControl::xChat, kSaveChat);
    const bool chat = options.Checked(OptionControl::xChat);
    for (const Child& child : kMainChannels) {
        const std::string stored = key.ReadString(child.value);
        if (stored == kOff) {
            options.SetChecked(child.control, false);
        } else if (chat) {
            options.SetChecked(child.control, true);
            Normalise(key, child.value, stored, kOn);
        } else {
            options.SetChecked(child.control, false);
            Normalise(key, child.value, stored, kNotApplicable);
        }
    }
    for (const Child& child : kOtherChannels) {
        const std::string stored = key.ReadString(child.value);
        if (chat) {
            if (stored == kOn) {
                options.SetChecked(child.control, true);
            } else {
                options.SetChecked(child.control, false);
                Normalise(key, child.value, stored, kOff);
            }
        } else {
            options.SetChecked(child.control, false);
            Normalise(key, child.value, stored, kNotApplicable);
        }
    }

    LoadMaster(key, options, OptionControl::xReports, kGenerateReport);
    const bool reports = options.Checked(OptionControl::xReports);
    for (const Child& child : kSections) {
        const std::string stored = key.ReadString(child.value);
        if (reports) {
            // Unlike the channels, a section of a report that is off keeps no "0": it becomes "N/A".
            const bool on = stored != kOff;
            options.SetChecked(child.control, on);
            if (on) Normalise(key, child.value, stored, kOn);
        } else {
            options.SetChecked(child.control, false);
            Normalise(key, child.value, stored, kNotApplicable);
        }
    }

    LoadMaster(key, options, OptionControl::xBackup, kCreateBackup);

    const std::string fileType = key.ReadString(kParseFileType);
    if (LowerCase(fileType) == kLog) {
        options.SetChecked(OptionControl::xLog, true);
        parseExtension = kLog;
    } else {
        // Other text selects the standard type and stays as stored.
        if (fileType.empty())
            key.WriteString(kParseFileType, kTxt);
        else
            options.SetChecked(OptionControl::xTxt, true);
        parseExtension = kTxt;
    }

    if (autoLogStep) result.autoLog = autoLogStep(key, result.autoLog);
    key.CloseKey();
    return result;
}

void SaveMainSettings(const ModeControls& mode) {
    Registry key(RootKey::CurrentUser);
    if (!key.OpenKey(keys::kSettings, true)) return;
    const std::string logFile = mode.LogListText();
    if (!logFile.empty()) key.WriteString(kLogFile, logFile);
    switch (mode.Mode()) {
        case ShrinkMode::Compatible:
            key.WriteString(kReadOnly, kOff);
            key.WriteString(kCompatibleFile, kOn);
            break;
        case ShrinkMode::Smallest:
            key.WriteString(kReadOnly, kOff);
            key.WriteString(kCompatibleFile, kOff);
            break;
        case ShrinkMode::ReadOnly:
            key.WriteString(kReadOnly, kOn);
            key.WriteString(kCompatibleFile, kNotApplicable);
            break;
    }
    key.CloseKey();
}

void SaveOptionSettings(const OptionControls& options) {
    Registry key(RootKey::CurrentUser);
    if (!key.OpenKey(keys::kSettings, true)) return;
    key.WriteString(kCreateBackup, Flag(options.Checked(OptionControl::xBackup)));

    const bool chat = options.Checked(OptionControl::xChat);
    key.WriteString(kSaveChat, Flag(chat));
    auto writeChildren = [&](const Child* first, const Child* last, bool master) {
        for (const Child* child = first; child != last; ++child)
            key.WriteString(child->value, master ? Flag(options.Checked(child->control)) : kNotApplicable);
    };
    writeChildren(std::begin(kMainChannels), std::end(kMainChannels), chat);
    writeChildren(std::begin(kOtherChannels), std::end(kOtherChannels), chat);

    const bool reports = options.Checked(OptionControl::xReports);
    key.WriteString(kGenerateReport, Flag(reports));
    writeChildren(std::begin(kSections), std::end(kSections), reports);

    key.WriteString(kParseFileType, ParseExtensionOf(options));
    key.CloseKey();
}

WindowPosition ReadWindowPosition() {
    WindowPosition position;
    Registry key(RootKey::CurrentUser);
    if (!key.OpenKey(settings::kProgramUserKey, false)) return position;
    position.left = Coordinate(key.ReadString(settings::kLeft));
    if (position.left > 0) {
        position.top = Coordinate(key.ReadString(settings::kTop));
        position.centred = position.top <= 0;
    }
    key.CloseKey();
    return position;
}

void SaveWindowPosition(int left, int top) {
    Registry key(RootKey::CurrentUser);
    if (!key.OpenKey(settings::kProgramUserKey, true)) return;
    key.WriteString(settings::kLeft, std::to_string(std::max(left, 1)));
    key.WriteString(settings::kTop, std::to_string(std::max(top, 1)));
    key.CloseKey();
}

void WriteIdentityRecords() {
    Registry key(RootKey::LocalMachine);
    if (!key.OpenKey(settings::kProgramMachineKey, true)) return;
    key.WriteString("", kAppTitle);
    key.WriteString("Version", settings::kVersion);
    key.WriteString("Build", settings::kBuild);
    key.CloseKey();
}

}  // namespace krav
