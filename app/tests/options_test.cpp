// The settings kept between starts, the options dialog, the auto-log prompt and the folder picker, driven as
// a user would drive them, with the registry store in a temporary folder.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

#include "app/browse_folder.h"
#include "app/command_line.h"
#include "app/settings.h"
#include "app/tf_auto.h"
#include "app/tf_main.h"
#include "app/tf_opts.h"
#include "app/window_position.h"
#include "install/registry_keys.h"
#include "platform/registry.h"

using namespace krav;
using platform::Registry;
using platform::RootKey;

namespace {

// The main window's side as the mode handler leaves it: a change of mode stores the mode pair.
struct FakeMode : ModeControls {
    ShrinkMode mode = ShrinkMode::ReadOnly;
    std::string log;
    int handlerRuns = 0;
    ShrinkMode Mode() const override { return mode; }
    void SelectMode(ShrinkMode m) override {
        if (m == mode) return;
        mode = m;
        ++handlerRuns;
        SaveMainSettings(*this);
    }
    std::string LogListText() const override { return log; }
};

std::map<std::string, std::string> SettingsValues() {
    std::map<std::string, std::string> values;
    Registry key(RootKey::CurrentUser);
    if (!key.OpenKey(keys::kSettings, false)) return values;
    for (const char* name :
         {"LogFile",        "ReadOnly",    "CompatibleFile", "AutoLog",       "SaveChat",
          "SaveTell",       "SaveSay",     "SaveGroupsay",   "SaveGuildsay",  "SaveShout",
          "SaveOOC",        "SaveAuction", "GenerateReport", "ReportSkills",  "ReportZones",
          "ReportFactions", "ReportMobs",  "ReportLoot",     "ReportVendors", "ReportCombat",
          "ReportSpells",   "ReportMisc",  "ReportGuild",    "CreateBackup",  "ParseFileType"}) {
        if (key.ValueExists(name)) values[name] = key.ReadString(name);
    }
    return values;
}

void Store(const char* keyPath, RootKey root, const std::map<std::string, std::string>& values) {
    Registry key(root);
    QVERIFY(key.OpenKey(keyPath, true));
    for (const auto& [name, value] : values)
        QVERIFY(key.WriteString(name, value));
}

void StoreSettings(const std::map<std::string, std::string>& values) {
    Store(keys::kSettings, RootKey::CurrentUser, values);
}

// A click on a box's indicator: a box may be wider than its caption, and a click beside the caption misses.
void Tick(QAbstractButton* box) {
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

// Runs `action` on the modal dialog once it is showing; the dialog's own event loop calls it.
void WhenModal(std::function<void(QWidget*)> action) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            action(modal);
        }
    });
    timer->start(10);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

QStringList StatusLines(const TfMain& window) {
    QStringList lines;
    for (int i = 0; i < window.cStatus->count(); ++i)
        lines << window.cStatus->item(i)->text();
    return lines;
}

QStringList LogEntries(const TfMain& window) {
    QStringList entries;
    for (int i = 0; i < window.cLogs->count(); ++i)
        entries << window.cLogs->itemText(i);
    return entries;
}

// The main window on a game folder, shown and through its first activation.
std::unique_ptr<TfMain> StartWindow(const std::string& gameFolder) {
    const std::string programFolder = KRAV_PROGRAM_FOLDER "/";
    auto window =
        std::make_unique<TfMain>(ParseCommandLine({"-p", gameFolder}), programFolder, programFolder + "krav");
    window->AskYesNo = [](const QString&) { return false; };
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get())) qFatal("window not activated");
    if (!QTest::qWaitFor([&] { return !window->FirstActivation(); })) qFatal("no first activation");
    return window;
}

// Presses Options and lets `inDialog` work the dialog before it closes it.
void UseOptions(TfMain& window, std::function<void(TfOpts&)> inDialog) {
    WhenModal([&window, inDialog](QWidget*) { inDialog(*window.fOpts); });
    QTest::mouseClick(window.bOpts, Qt::LeftButton);
}

}  // namespace

class OptionsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    std::string game_;

    // A copy of the sample game folder with a second character's log, and a log of the alternate type.
    void MakeGameFolder() {
        namespace fs = std::filesystem;
        game_ = dir_->path().toStdString() + "/EverQuest";
        fs::copy(KRAV_SOURCE_DIR "/examples/EverQuest", game_, fs::copy_options::recursive);
        fs::copy_file(game_ + "/logs/eqlog_Soandso_tunare.txt", game_ + "/logs/eqlog_Other_tunare.txt");
        fs::copy_file(game_ + "/logs/eqlog_Soandso_tunare.txt", game_ + "/logs/eqlog_Third_tunare.log");
    }

private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        qputenv("KRAV_REGISTRY_DIR", (dir_->path() + "/registry").toLocal8Bit());
        qputenv("HOME", dir_->path().toLocal8Bit());
    }

    void firstStartWritesEveryValueWithItsDefault() {
        TfOpts opts;
        FakeMode mode;
        std::string extension;
        std::int64_t seen = 99;
        LoadedSettings loaded = LoadSettings(opts, mode, extension, [&](Registry& key, std::int64_t autoLog) {
            seen = autoLog;
            return key.IsOpen() ? std::int64_t{5} : std::int64_t{6};
        });
        QVERIFY(loaded.loaded);
        QCOMPARE(loaded.logFile, std::string());
        QCOMPARE(seen, std::int64_t{0});
        QCOMPARE(loaded.autoLog, std::int64_t{5});  // the step ran while the key was open
        QCOMPARE(extension, std::string(".txt"));
        QCOMPARE(mode.handlerRuns, 0);
        const std::map<std::string, std::string> expected = {
            {"LogFile", ""},          {"ReadOnly", "1"},     {"CompatibleFile", "N/A"},
            {"AutoLog", "0"},         {"SaveChat", "1"},     {"SaveTell", "1"},
            {"SaveSay", "1"},         {"SaveGroupsay", "1"}, {"SaveGuildsay", "1"},
            {"SaveShout", "0"},       {"SaveOOC", "0"},      {"SaveAuction", "0"},
            {"GenerateReport", "1"},  {"ReportSkills", "1"}, {"ReportZones", "1"},
            {"ReportFactions", "1"},  {"ReportMobs", "1"},   {"ReportLoot", "1"},
            {"ReportVendors", "1"},   {"ReportCombat", "1"}, {"ReportSpells", "1"},
            {"ReportMisc", "1"},      {"ReportGuild", "1"},  {"CreateBackup", "1"},
            {"ParseFileType", ".txt"}};
        QCOMPARE(SettingsValues(), expected);
        // The designed states stand.
        const OptionSnapshot designed = TakeSnapshot(TfOpts());
        QVERIFY(TakeSnapshot(opts) == designed);
    }

    void editedValuesAreNormalised() {
        StoreSettings({{"SaveChat", "yes"},
                       {"SaveTell", "0"},
                       {"SaveSay", "whatever"},
                       {"SaveShout", "N/A"},
                       {"SaveOOC", "1"},
                       {"GenerateReport", "0"},
                       {"ReportMobs", "0"},
                       {"ReportZones", "N/A"},
                       {"CreateBackup", ""},
                       {"ParseFileType", ".LOG"},
                       {"AutoLog", "abc"},
                       {"ReadOnly", ""}});
        TfOpts opts;
        FakeMode mode;
        std::string extension;
        LoadedSettings loaded = LoadSettings(opts, mode, extension, nullptr);
        QCOMPARE(loaded.autoLog, std::int64_t{0});
        std::map<std::string, std::string> values = SettingsValues();
        QCOMPARE(values["SaveChat"], std::string("1"));
        QVERIFY(opts.Checked(OptionControl::xChat));
        QVERIFY(!opts.Checked(OptionControl::xTell));
        QCOMPARE(values["SaveTell"], std::string("0"));  // a "0" under a ticked master stays
        QVERIFY(opts.Checked(OptionControl::xSay));
        QCOMPARE(values["SaveSay"], std::string("1"));
        QVERIFY(!opts.Checked(OptionControl::xShout));
        QCOMPARE(values["SaveShout"], std::string("0"));
        QVERIFY(opts.Checked(OptionControl::xOOC));
        QVERIFY(!opts.Checked(OptionControl::xReports));
        QVERIFY(!opts.Control(OptionControl::xMobs)->isEnabled());
        QCOMPARE(values["ReportMobs"], std::string("N/A"));
        QCOMPARE(values["ReportZones"], std::string("N/A"));
        QCOMPARE(values["ReportSkills"], std::string("N/A"));
        QVERIFY(opts.Checked(OptionControl::xBackup));
        QCOMPARE(values["CreateBackup"], std::string("1"));
        QVERIFY(opts.Checked(OptionControl::xLog));
        QCOMPARE(extension, std::string(".log"));
        QCOMPARE(values["ParseFileType"], std::string(".LOG"));  // selected, but not rewritten
        QCOMPARE(values["AutoLog"], std::string("abc"));         // present: read as 0, left as stored
        QCOMPARE(values["ReadOnly"], std::string("1"));
        QCOMPARE(mode.mode, ShrinkMode::ReadOnly);
    }

    void chatOffMakesChannelsNotApplicable() {
        StoreSettings({{"SaveChat", "0"},
                       {"SaveTell", "1"},
                       {"SaveSay", "0"},
                       {"SaveShout", "1"},
                       {"ParseFileType", "odd"}});
        TfOpts opts;
        FakeMode mode;
        std::string extension = "?";
        LoadSettings(opts, mode, extension, nullptr);
        std::map<std::string, std::string> values = SettingsValues();
        QVERIFY(!opts.Checked(OptionControl::xChat));
        QVERIFY(!opts.Checked(OptionControl::xTell));
        QVERIFY(!opts.Control(OptionControl::xTell)->isEnabled());
        QCOMPARE(values["SaveTell"], std::string("N/A"));
        QCOMPARE(values["SaveSay"], std::string("0"));
        QCOMPARE(values["SaveShout"], std::string("N/A"));
        QVERIFY(opts.Checked(OptionControl::xTxt));
        QCOMPARE(extension, std::string(".txt"));
        QCOMPARE(values["ParseFileType"], std::string("odd"));
    }

    void valuesOfOtherTypesCountAsMissing() {
        const std::string file = platform::RegistryFile(RootKey::CurrentUser);
        std::filesystem::create_directories(std::filesystem::path(file).parent_path());
        std::ofstream(file) << "Windows Registry Editor Version 5.00\n\n"
                               "[HKEY_CURRENT_USER\\Software\\Halcyra\\Vantrix\\KRAV\\Settings]\n"
                               "\"SaveChat\"=dword:00000000\n\"AutoLog\"=dword:00000001\n";
        TfOpts opts;
        FakeMode mode;
        std::string extension;
        LoadedSettings loaded = LoadSettings(opts, mode, extension, nullptr);
        QCOMPARE(loaded.autoLog, std::int64_t{0});
        QVERIFY(opts.Checked(OptionControl::xChat));
        std::map<std::string, std::string> values = SettingsValues();
        QCOMPARE(values["SaveChat"], std::string("1"));
        QCOMPARE(values["AutoLog"], std::string("0"));
    }

    void storedShrinkModeFiresTheHandlerAndStartUpGoesBackToReadOnly() {
        StoreSettings({{"ReadOnly", "0"}, {"CompatibleFile", "1"}, {"LogFile", "tunare_Soandso"}});
        TfOpts opts;
        FakeMode mode;
        mode.log = "tunare_Soandso";
        std::string extension;
        LoadedSettings loaded = LoadSettings(opts, mode, extension, nullptr);
        QCOMPARE(loaded.logFile, std::string("tunare_Soandso"));
        QCOMPARE(mode.mode, ShrinkMode::Compatible);
        mode.SelectMode(ShrinkMode::ReadOnly);  // what start-up does after the settings
        QCOMPARE(mode.handlerRuns, 2);
        std::map<std::string, std::string> values = SettingsValues();
        QCOMPARE(values["ReadOnly"], std::string("1"));
        QCOMPARE(values["CompatibleFile"], std::string("N/A"));

        StoreSettings({{"ReadOnly", "0"}, {"CompatibleFile", "0"}});
        FakeMode smallest;
        LoadSettings(opts, smallest, extension, nullptr);
        QCOMPARE(smallest.mode, ShrinkMode::Smallest);
        StoreSettings({{"ReadOnly", "0"}, {"CompatibleFile", ""}});
        FakeMode missing;
        LoadSettings(opts, missing, extension, nullptr);
        QCOMPARE(missing.mode, ShrinkMode::Compatible);
    }

    void unusableStoreIsANoOp() {
        // The store's file is a folder: nothing can be read or written, and nothing is lost.
        const std::string file = platform::RegistryFile(RootKey::CurrentUser);
        std::filesystem::create_directories(file);
        QVERIFY(!Registry(RootKey::CurrentUser).OpenKey(keys::kSettings, true));
        TfOpts opts;
        const OptionSnapshot designed = TakeSnapshot(opts);
        FakeMode mode;
        std::string extension = ".txt";
        bool stepRan = false;
        LoadedSettings loaded = LoadSettings(opts, mode, extension, [&](Registry&, std::int64_t n) {
            stepRan = true;
            return n;
        });
        QVERIFY(!loaded.loaded);
        QVERIFY(!stepRan);
        QVERIFY(TakeSnapshot(opts) == designed);
        QCOMPARE(extension, std::string(".txt"));
        SaveOptionSettings(opts);
        SaveMainSettings(mode);
        SaveWindowPosition(10, 10);
        QVERIFY(ReadWindowPosition().centred);
        QVERIFY(std::filesystem::is_directory(file));
    }

    void optionsSurviveASaveAndALoad() {
        TfOpts first;
        first.SetChecked(OptionControl::xLog, true);
        first.SetChecked(OptionControl::xShout, true);
        first.SetChecked(OptionControl::xMobs, false);
        first.SetChecked(OptionControl::xBackup, false);
        SaveOptionSettings(first);
        QCOMPARE(SettingsValues()["ReportMobs"], std::string("0"));
        TfOpts second;
        FakeMode mode;
        std::string extension;
        LoadSettings(second, mode, extension, nullptr);
        QVERIFY(TakeSnapshot(second) == TakeSnapshot(first));
        QCOMPARE(extension, std::string(".log"));

        first.SetChecked(OptionControl::xChat, false);
        SaveOptionSettings(first);
        std::map<std::string, std::string> values = SettingsValues();
        QCOMPARE(values["SaveChat"], std::string("0"));
        QCOMPARE(values["SaveShout"], std::string("N/A"));
        QCOMPARE(values["SaveTell"], std::string("N/A"));

        RunInputs inputs;
        TakeRunOptions(first, inputs);
        QVERIFY(!inputs.Chat && !inputs.Backup && inputs.Report && !inputs.Sections.Mobs &&
                inputs.Sections.Loot);
    }

    void windowPositionIsClampedAndCentred() {
        SaveWindowPosition(-20, 0);
        Registry key(RootKey::CurrentUser);
        QVERIFY(key.OpenKey(settings::kProgramUserKey, false));
        QCOMPARE(key.ReadString("Left"), std::string("1"));
        QCOMPARE(key.ReadString("Top"), std::string("1"));

        SaveWindowPosition(120, 80);
        WindowPosition placed = ReadWindowPosition();
        QVERIFY(!placed.centred);
        QCOMPARE(placed.left, 120);
        QCOMPARE(placed.top, 80);

        for (auto [left, top] : {std::pair{"abc", "80"}, {"120", "0"}, {"-5", "80"}, {"120", ""}}) {
            Store(settings::kProgramUserKey, RootKey::CurrentUser, {{"Left", left}, {"Top", top}});
            QVERIFY2(ReadWindowPosition().centred, left);
        }

        // A place on no screen (a monitor since removed) centres the window too.
        QWidget window;
        window.resize(200, 100);
        Store(settings::kProgramUserKey, RootKey::CurrentUser, {{"Left", "120"}, {"Top", "80"}});
        RestoreWindowPosition(window);
        QCOMPARE(window.pos(), QPoint(120, 80));
        Store(settings::kProgramUserKey, RootKey::CurrentUser, {{"Left", "50000"}, {"Top", "80"}});
        RestoreWindowPosition(window);
        QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().contains(window.geometry().center()));
    }

    // A first start leaves the store behind; the second start shows what the first one left.
    void secondStartShowsWhatTheFirstLeft() {
        MakeGameFolder();
        {
            std::unique_ptr<TfMain> first = StartWindow(game_);
            QCOMPARE(SettingsValues().size(), std::size_t(25));
            QCOMPARE(LogEntries(*first), (QStringList{"tunare_Other", "tunare_Soandso"}));
            first->cLogs->setCurrentIndex(1);
            emit first->cLogs->activated(1);  // as a user's choice
            UseOptions(*first, [](TfOpts& opts) {
                Tick(opts.Control(OptionControl::xMobs));
                QTest::mouseClick(opts.bOK, Qt::LeftButton);
            });
            first->move(130, 90);
            first->close();
        }
        QCOMPARE(SettingsValues()["LogFile"], std::string("tunare_Soandso"));
        QCOMPARE(SettingsValues()["ReportMobs"], std::string("0"));
        Registry machine(RootKey::LocalMachine);
        QVERIFY(machine.OpenKey(settings::kProgramMachineKey, false));
        QCOMPARE(machine.ReadString(""), std::string("Quillmark"));
        QCOMPARE(machine.ReadString("Version"), std::string("1.3"));
        QCOMPARE(machine.ReadString("Build"), std::string("1.3.1.2"));
        // A shrink mode stored meanwhile does not survive the start.
        StoreSettings({{"ReadOnly", "0"}, {"CompatibleFile", "1"}});

        std::unique_ptr<TfMain> second = StartWindow(game_);
        QCOMPARE(second->cLogs->currentText(), QString("tunare_Soandso"));
        QVERIFY(!second->fOpts->Checked(OptionControl::xMobs));
        QVERIFY(second->fOpts->Checked(OptionControl::xLoot));
        QCOMPARE(second->pos(), QPoint(130, 90));
        QVERIFY(second->xReadOnly->isChecked());
        QVERIFY(!second->fOpts->Control(OptionControl::xBackup)->isEnabled());
        QVERIFY(!second->fOpts->Control(OptionControl::xTell)->isEnabled());
        QCOMPARE(StatusLines(*second).first(), QString("No changes will be written to log file."));
        std::map<std::string, std::string> values = SettingsValues();
        QCOMPARE(values["ReadOnly"], std::string("1"));
        QCOMPARE(values["CompatibleFile"], std::string("N/A"));
        QTest::mouseClick(second->bProc, Qt::LeftButton);
        QVERIFY(!second->LastRunInputs().Sections.Mobs && second->LastRunInputs().Sections.Loot);
    }

    void alternateTypeWithOkAndWithCancel() {
        MakeGameFolder();
        std::unique_ptr<TfMain> window = StartWindow(game_);
        const QStringList standard = LogEntries(*window);
        UseOptions(*window, [](TfOpts& opts) {
            Tick(opts.Control(OptionControl::xLog));
            QTest::mouseClick(opts.bCan, Qt::LeftButton);
        });
        QVERIFY(window->fOpts->Checked(OptionControl::xTxt));
        QCOMPARE(LogEntries(*window), standard);
        QCOMPARE(SettingsValues()["ParseFileType"], std::string(".txt"));

        UseOptions(*window, [](TfOpts& opts) {
            Tick(opts.Control(OptionControl::xLog));
            QTest::mouseClick(opts.bOK, Qt::LeftButton);
        });
        const QStringList lines = StatusLines(*window);
        QCOMPARE(lines.mid(0, 2), (QStringList{"No changes will be written to log file.",
                                               "Alternate (.log) files will be parsed."}));
        QCOMPARE(SettingsValues()["ParseFileType"], std::string(".log"));
        QCOMPARE(LogEntries(*window), QStringList{"tunare_Third"});
    }

    void okWithoutChangeRewritesEverything() {
        MakeGameFolder();
        std::unique_ptr<TfMain> window = StartWindow(game_);
        window->cStatus->clear();
        window->session().Status.clear();
        StoreSettings({{"ReportMobs", "junk"}, {"SaveShout", "N/A"}});
        UseOptions(*window, [](TfOpts& opts) { QTest::mouseClick(opts.bOK, Qt::LeftButton); });
        QCOMPARE(StatusLines(*window), QStringList{"No changes will be written to log file."});
        std::map<std::string, std::string> values = SettingsValues();
        QCOMPARE(values["ReportMobs"], std::string("1"));
        QCOMPARE(values["SaveShout"], std::string("0"));
    }

    void cancelRestoresAndReenables() {
        TfOpts opts;
        WhenModal([&](QWidget* modal) {
            QCOMPARE(modal, static_cast<QWidget*>(&opts));
            Tick(opts.Control(OptionControl::xReports));
            Tick(opts.Control(OptionControl::xLog));
            QVERIFY(!opts.Control(OptionControl::xSkills)->isEnabled());
            QTest::mouseClick(opts.bCan, Qt::LeftButton);
        });
        QVERIFY(!opts.Execute());
        QVERIFY(opts.Checked(OptionControl::xReports));
        QVERIFY(opts.Control(OptionControl::xSkills)->isEnabled());
        QVERIFY(opts.Checked(OptionControl::xTxt));
        QVERIFY(!opts.Checked(OptionControl::xLog));

        // Esc closes like Cancel; OK keeps the change.
        WhenModal([&](QWidget*) {
            Tick(opts.Control(OptionControl::xMobs));
            QVERIFY(!opts.Checked(OptionControl::xMobs));
            QTest::keyClick(&opts, Qt::Key_Escape);
        });
        QVERIFY(!opts.Execute());
        QVERIFY(opts.Checked(OptionControl::xMobs));
        WhenModal([&](QWidget*) {
            Tick(opts.Control(OptionControl::xLog));
            QTest::keyClick(&opts, Qt::Key_Return);
        });
        QVERIFY(opts.Execute());
        QVERIFY(opts.Checked(OptionControl::xLog));
        QCOMPARE(ParseExtensionOf(opts), std::string(".log"));
    }

    void readOnlyModeDisablesBackupAndChat() {
        TfOpts opts;
        opts.ApplyModeRule(true);
        for (OptionControl c :
             {OptionControl::xBackup, OptionControl::xChat, OptionControl::xTell, OptionControl::xAuction})
            QVERIFY(!opts.Control(c)->isEnabled());
        opts.SetChecked(OptionControl::xChat, false);
        opts.SetChecked(OptionControl::xChat, true);
        QVERIFY(!opts.Control(OptionControl::xTell)->isEnabled());
        QVERIFY(opts.Control(OptionControl::xReports)->isEnabled());
        opts.ApplyModeRule(false);
        QVERIFY(opts.Control(OptionControl::xTell)->isEnabled());
        opts.SetChecked(OptionControl::xChat, false);
        QVERIFY(!opts.Control(OptionControl::xTell)->isEnabled());
    }

    // The prompt at the first activation, while the settings key is open.
    void autoLogPromptAtStartUp() {
        MakeGameFolder();
        std::ofstream(game_ + "/eqclient.ini") << "[Defaults]\nLog=FALSE\n";
        const QString off =
            "WARNING: EQ's Auto Logging is OFF! To use KRAV, /LOG each EQ session or turn EQ's "
            "Auto Logging on.";

        // Closed by its close box with the box ticked: the answer is No, and remembered.
        WhenModal([](QWidget* modal) {
            auto* prompt = qobject_cast<TfAuto*>(modal);
            QVERIFY(prompt != nullptr);
            QCOMPARE(prompt->windowTitle(), QString("Auto Log?"));
            Tick(prompt->CheckBox1);
            prompt->close();
        });
        std::unique_ptr<TfMain> first = StartWindow(game_);
        QVERIFY(StatusLines(*first).contains(off));
        QCOMPARE(SettingsValues()["AutoLog"], std::string("-1"));
        first.reset();

        // Yes without the box: logging is turned on, and the next start asks again.
        StoreSettings({{"AutoLog", "0"}});
        WhenModal(
            [](QWidget* modal) { QTest::mouseClick(qobject_cast<TfAuto*>(modal)->bYes, Qt::LeftButton); });
        std::unique_ptr<TfMain> second = StartWindow(game_);
        QVERIFY(!StatusLines(*second).contains(off));
        QCOMPARE(SettingsValues()["AutoLog"], std::string("0"));
        QVERIFY(ReadFile(game_ + "/eqclient.ini").find("Log=TRUE") != std::string::npos);
    }

    void folderPickerReturnsTheChosenFolder() {
        QTemporaryDir chosen;
        QtBrowseForFolderDialog picker(nullptr);
        SetUpGameFolderPicker(picker);
        WhenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            QVERIFY(dialog != nullptr);
            QCOMPARE(dialog->windowTitle(),
                     QString("Please Select the Folder where EverQuest is Installed:"));
            dialog->setDirectory(chosen.path());
            // Typed as a player would: selectFile leaves the name box alone while it has the focus, which
            // depends on when the window was activated.
            auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
            QVERIFY(name != nullptr);
            name->setText(chosen.path());
            static_cast<QDialog*>(dialog)->accept();
        });
        picker.Execute();
        QCOMPARE(picker.SelectedPath, chosen.path().toStdString());
        QCOMPARE(picker.DisplayName, QFileInfo(chosen.path()).fileName().toStdString());

        WhenModal([](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); });
        picker.Execute();
        QVERIFY(picker.SelectedPath.empty());
    }
};

int main(int argc, char** argv) {
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication app(argc, argv);
    OptionsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "options_test.moc"
