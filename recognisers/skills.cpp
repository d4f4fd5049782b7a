// Skills and skill attempts.
#include "recognisers/skills.h"

#include <vector>

#include "engine/text.h"
#include "platform/profile.h"
#include "recognisers/character.h"

namespace krav {

namespace {

enum class Outcome { Success, Failure, FailureUnknownSuccess };

struct Attempt {
    Prefix prefix;
    std::string_view skill;
    Outcome outcome;
};

constexpr Attempt kAttempts[] = {
    {"You have fashioned the items together to create something new", "Trade Skills", Outcome::Success},
    {"You lacked the skills to fashion ", "Trade Skills", Outcome::Failure},
    {"You think you are heading ", "Sense Heading", Outcome::Success},
    {"You have no idea what direction ", "Sense Heading", Outcome::Failure},
    {"You caught", "Fishing", Outcome::Success},
    {"You didn't catch ", "Fishing", Outcome::Failure},
    {"You have hidden yourself ", "Hide", Outcome::Success},
    {"You failed to hide ", "Hide", Outcome::Failure},
    {"You have momentarily ducked away ", "Hide (Evade Combat)", Outcome::Success},
    {"Your attempts at ducking clear ", "Hide (Evade Combat)", Outcome::Failure},
    {"You are as quiet as a cat ", "Sneak", Outcome::Success},
    {"You are as quiet as a herd of ", "Sneak", Outcome::Failure},
    {"You have stolen ", "Pick Pockets", Outcome::Success},
    {"Your attempt at stealing ", "Pick Pockets", Outcome::Failure},
    {"You successfully disarmed the trap", "Disarm Traps", Outcome::Success},
    {"You have disarmed the trap", "Disarm Traps", Outcome::Success},
    {"You failed to disarm the trap", "Disarm Traps", Outcome::Failure},
    {"You fail to disarm the detected trap", "Disarm Traps", Outcome::Failure},
    {"You successfully picked the lock", "Pick Lock", Outcome::Success},
    {"You are not sufficiently skilled to pick this lock", "Pick Lock", Outcome::Failure},
    {"You successfully applied the poison", "Apply Poison", Outcome::Success},
    {"You failed to apply the poison", "Apply Poison", Outcome::Failure},
    {"You mend your wounds", "Mend Wounds", Outcome::Success},
    {"You have failed to mend your wounds", "Mend Wounds", Outcome::Failure},
    {"You have worsened your wounds", "Mend Wounds", Outcome::Failure},
    {"You have scrounged", "Foraging", Outcome::Success},
    {"You fail to locate", "Foraging", Outcome::Failure},
    {"You're not scaring anyone", "Intimidation", Outcome::FailureUnknownSuccess},
    {"You disarmed ", "Disarm", Outcome::Success},
    {"Your attempt to disarm failed", "Disarm", Outcome::Failure},
};

// The skill a guildmaster's tell names: from after `marker` up to the first ".", all without regard to case
// over the whole message.
std::string_view TrainedSkill(std::string_view message, std::string_view marker) {
    std::string_view skill = RestFrom(message, FindNoCase(marker, message) + marker.size());
    if (std::size_t dot = FindNoCase(".", skill); dot > 0) skill = skill.substr(0, dot - 1);
    return skill;
}

// Values of the reference data are read as the system's profile functions return them: at most 1023
// characters.
std::string ReadReference(const platform::ProfileData& ini, std::string_view section, std::string_view key) {
    std::string value = ini.ReadString(section, key, "");
    if (value.size() > 1023) value.resize(1023);
    return value;
}

}  // namespace

// The guildmasters' tells hold their form in quoted speech.
constexpr YouGate kSkillIncreasesGate{{"You have become better at"}, true};
constexpr YouGate kSkillAttemptsGate{
    PrefixFilter(kAttempts, [](const Attempt& a) -> const Prefix& { return a.prefix; })};

bool SkillIncreases(RunContext& run, const LogLine& line) {
    const std::string_view m = line.Message;
    StatTable& skills = run.session.Tables.gSkills;
    if (line.StartsWithYou && LineStartsWith("You have become better at", line)) {
        const std::size_t u = FindInLine("! (", line);
        const std::string_view skill = u > 27 ? Mid(m, 27, u - 27) : std::string_view();
        std::string_view value = RestFrom(m, u + 3);
        value = value.substr(0, value.find(')'));
        SetThree(skills, LanguageSkillName(run.session, skill), NumberOrUnknown(value), SkillRankName(value),
                 "?");
        return true;
    }
    // The guildmasters' tells hold an apostrophe; most lines have none at all.
    if (!line.HasApostrophe) return false;
    if (FindInLine("tells you, 'You have increased your skill in ", line) > 0) {
        const std::string key = LanguageSkillName(run.session, TrainedSkill(m, " skill in "));
        const int row = skills.FindRow(key);
        if (row == 0) {
            SetThree(skills, key, "?", "unknown", "?");
        } else if (NumberOrUnknown(skills.Cell(1, row)) != "?") {
            const std::string value = Increased(skills.Cell(1, row));
            skills.SetCell(1, row, value);
            skills.SetCell(2, row, SkillRankName(value));
        }
        return true;
    }
    if (FindInLine("tells you, 'You have learned the very basics of ", line) > 0) {
        SetThree(skills, LanguageSkillName(run.session, TrainedSkill(m, " basics of ")), "?", "unknown", "?");
        return true;
    }
    return false;
}

bool SkillAttempts(RunContext& run, const LogLine& line) {
    if (!line.StartsWithYou) return false;  // every form of this step starts with "You"; see its gate
    for (const Attempt& attempt : kAttempts) {
        if (!LineStartsWith(attempt.prefix, line)) continue;
        run.KeepLineCompatible(line);
        StatTable& attempts = run.session.Tables.gAttempts;
        switch (attempt.outcome) {
            case Outcome::Success:
                CountAttemptSuccess(attempts, attempt.skill);
                break;
            case Outcome::Failure:
                CountAttemptFailure(attempts, attempt.skill);
                break;
            case Outcome::FailureUnknownSuccess:
                CountAttemptFailureUnknownSuccess(attempts, attempt.skill);
                break;
        }
        return true;
    }
    return false;
}

namespace {

std::string ClassSectionName(const platform::ProfileData& ini, const std::string& classText) {
    if (classText == kUnknown) return classText;
    std::string section = ReadReference(ini, "Classes", classText);
    return section.empty() ? classText : section;
}

}  // namespace

std::string ClassSectionName(const std::string& referenceFile, const std::string& classText) {
    return ClassSectionName(platform::ProfileData(referenceFile), classText);
}

SkillMaximum SkillCap(std::string_view formula, std::int64_t level) {
    std::vector<std::string_view> fields;
    while (true) {
        std::size_t comma = formula.find(',');
        fields.push_back(formula.substr(0, comma));
        if (comma == std::string_view::npos) break;
        formula.remove_prefix(comma + 1);
    }
    // F1 to F4 must each be followed by a comma; F5 to F7 may be missing.
    if (fields.size() < 5) return {std::nullopt, "?"};
    std::int64_t f[8] = {};
    for (std::size_t i = 0; i < fields.size() && i < 7; ++i)
        f[i + 1] = ReadInteger(fields[i], 0);
    const std::int64_t cap = level <= 50 ? f[4] : f[5];
    std::int64_t m = SaturatingAdd(f[2], SaturatingMul(SaturatingSub(level, f[7]), f[3]));
    if (m == 0 || m > cap) m = cap;
    std::string text = std::to_string(m);
    if (f[6] != 0 && f[6] < m) text = std::to_string(f[6]) + " / " + text;
    return {m, text};
}

void CheckSkillMaximums(RunContext& run) {
    Session& session = run.session;
    const std::string& classText = session.Info.eClass;
    if (classText == kUnknown || session.Info.eLevel == kUnknown) return;
    const std::string referenceFile = run.inputs.ProgramFolder + kReferenceDataFile;
    const platform::ProfileData ini(referenceFile);  // read once for every skill
    const std::string section = "Class." + ClassSectionName(ini, classText);
    const std::int64_t level = ReadInteger(session.Info.eLevel, 0);
    StatTable& skills = session.Tables.gSkills;
    const bool hasMax = skills.ColCount() > 3;
    for (int row = 1; skills.HasRows && row < skills.RowCount(); ++row) {
        const std::string key = skills.Cell(0, row);
        std::string formula = ReadReference(ini, section, key);
        if (formula.empty()) formula = ReadReference(ini, "AllClasses", key);
        if (formula.empty()) {
            if (hasMax) skills.SetCell(3, row, "?");
            continue;
        }
        const SkillMaximum maximum = SkillCap(formula, level);
        if (hasMax) skills.SetCell(3, row, maximum.text);
        if (maximum.value && ReadInteger(skills.Cell(1, row), 0) > *maximum.value) {
            session.AddWarning("WARNING: " + key +
                               " skill exceeds maximum. Value defined in KRAV.ini may be incorrect.");
        }
    }
}

}  // namespace krav
