// The user's choices kept between starts in the registry store: the options, the mode, the chosen log, the
// auto-log answer and the window's position, with their defaults and the normalisation of values edited by
// hand; and the records that tell other tools of the family who and where the program is.
//
// The options have no copy here: the settings are read into and written from the controls themselves,
// reached through the two interfaces below, so that the window and the tests can supply them.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "engine/run_inputs.h"
#include "platform/registry.h"

namespace krav {

// The options dialog's 22 option controls, in the order in which a cancelled dialog restores them.
enum class OptionControl {
    xBackup,
    xTxt,
    xLog,
    xChat,
    xTell,
    xSay,
    xGroup,
    xGuild,
    xShout,
    xOOC,
    xAuction,
    xReports,
    xSkills,
    xZones,
    xFactions,
    xMobs,
    xLoot,
    xVendors,
    xCombat,
    xSpells,
    xMisc,
    xGuild2,
};
inline constexpr int kOptionControlCount = 22;

// The options dialog's controls as the settings see them.
class OptionControls {
public:
    virtual ~OptionControls() = default;
    // Ticked, or for xTxt and xLog selected.
    virtual bool Checked(OptionControl control) const = 0;
    // Ticks or unticks a box, or selects a radio button; the control's click handler fires when its state
    // changes, as on a user's click. Unselecting the selected radio button leaves it selected.
    virtual void SetChecked(OptionControl control, bool checked) = 0;
};

// The main window's side: the mode buttons and the log list.
class ModeControls {
public:
    virtual ~ModeControls() = default;
    virtual ShrinkMode Mode() const = 0;
    // Selects a mode button, also a disabled one; the mode handler fires when the selection changes.
    virtual void SelectMode(ShrinkMode mode) = 0;
    // The entry shown in the log list, or empty text.
    virtual std::string LogListText() const = 0;
};

// The state of the 22 option controls, indexed by OptionControl.
using OptionSnapshot = std::array<bool, kOptionControlCount>;
OptionSnapshot TakeSnapshot(const OptionControls& controls);
// Restores the controls in OptionControl order, so that a parent box's handler sets its children's enabled
// states before the children are restored.
void RestoreSnapshot(OptionControls& controls, const OptionSnapshot& snapshot);

// ".log" when xLog is selected, else ".txt".
std::string ParseExtensionOf(const OptionControls& controls);

// Copies the backup, chat, channel, report and section options into what a run takes when it starts.
void TakeRunOptions(const OptionControls& options, RunInputs& inputs);

// The auto-log step: called with the open settings key and the stored AutoLog number, returns the number
// as it leaves it.
using AutoLogStep = std::function<std::int64_t(platform::Registry& settingsKey, std::int64_t autoLog)>;

struct LoadedSettings {
    bool loaded = false;  // false when the settings key could not be opened: nothing was applied
    std::string logFile;  // the entry to preselect in the log list
    std::int64_t autoLog = 0;
};

// Reads every setting into its control in the fixed start-up order, writing defaults for missing values and
// normalising edited ones, sets `parseExtension`, then runs the auto-log step while the key is open. A
// settings key that cannot be opened leaves every control, `parseExtension` and the auto-log step alone.
LoadedSettings LoadSettings(OptionControls& options, ModeControls& mode, std::string& parseExtension,
                            const AutoLogStep& autoLogStep);

// The chosen log and the mode pair; an empty log list leaves "LogFile" as it was.
void SaveMainSettings(const ModeControls& mode);
// Every option value from the dialog's controls.
void SaveOptionSettings(const OptionControls& options);

// Where the main window goes when it is created.
struct WindowPosition {
    bool centred = true;
    int left = 0;
    int top = 0;
};
WindowPosition ReadWindowPosition();
// Stores the window's position at close, each coordinate raised to 1 when it is 0 or below.
void SaveWindowPosition(int left, int top);

// The program's name, version and build under the machine's program key, written at every start.
void WriteIdentityRecords();

namespace settings {
// Under HKEY_CURRENT_USER.
inline constexpr const char* kProgramUserKey = "Software\\Halcyra\\Vantrix\\KRAV";
inline constexpr const char* kLeft = "Left";
inline constexpr const char* kTop = "Top";
// Under HKEY_LOCAL_MACHINE.
inline constexpr const char* kProgramMachineKey = "Software\\Halcyra\\Vantrix\\KRAV";
inline constexpr const char* kVersion = "1.3";
inline constexpr const char* kBuild = "1.3.1.2";
}  // namespace settings

}  // namespace krav
