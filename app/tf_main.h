// TfMain, the program's only working window: the notebook of info fields, status list and statistics grids,
// the mode buttons, the log list, the sort and command buttons, and the run control around the processing
// run. It owns the Session and is the run's host; everything it shows comes from the session and the lower
// layers, through the same seams krav-cli uses.
#pragma once

#include <QElapsedTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "engine/run_host.h"
#include "engine/run_inputs.h"
#include "engine/session.h"
#include "install/catalogue.h"

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTabWidget;
class QTableView;

namespace krav {

class StatTableModel;

class TfMain : public QWidget, public RunHost, public CatalogueHost {
    Q_OBJECT
public:
    TfMain(CommandLine commandLine, std::string programFolder, std::string programFile = {},
           QWidget* parent = nullptr);
    ~TfMain() override;

    // Questions the window asks in a Yes/No box; tests answer them instead of a user.
    std::function<bool(const QString& text)> AskYesNo;
    // Opens the report page in the desktop's browser; tests look at the path instead.
    std::function<void(const std::string& path)> OpenReport;

    Session& session() { return session_; }
    const RunInputs& LastRunInputs() const { return lastInputs_; }
    bool FirstActivation() const { return firstActivation_; }

    // The controls, by their names, for the tests and the screenshots.
    QTabWidget* pages = nullptr;
    QLineEdit *eName = nullptr, *eClass = nullptr, *eLevel = nullptr, *eRace = nullptr, *eGuild = nullptr,
              *eBound = nullptr, *eZone = nullptr, *eFrom = nullptr, *eTo = nullptr, *ePlayed = nullptr,
              *eAsOf = nullptr;
    QListWidget* cStatus = nullptr;
    QListWidget* cLangs = nullptr;
    QTableView *gSkills = nullptr, *gAttempts = nullptr, *gZones = nullptr, *gFactions = nullptr,
               *gCons = nullptr, *gMobs = nullptr, *gVendors = nullptr, *gLoot = nullptr, *gFocus = nullptr,
               *gYAttacks = nullptr, *gMAttacks = nullptr, *gSpells = nullptr, *gResults = nullptr,
               *gActions = nullptr, *gEvents = nullptr, *gGuild = nullptr;
    QLabel *lFactionsDetail = nullptr, *lMobsDetail = nullptr, *lVendorsDetail = nullptr,
           *lItemsDetail = nullptr;
    QRadioButton *xReadOnly = nullptr, *xCompatible = nullptr, *xSmallest = nullptr;
    QLabel* lLogs = nullptr;
    QComboBox* cLogs = nullptr;
    QPushButton *bText = nullptr, *bValue = nullptr, *bOpts = nullptr, *bProc = nullptr, *bStop = nullptr,
                *bReport = nullptr, *bExit = nullptr;
    QProgressBar* gGraph = nullptr;
    QStatusBar* gStatus = nullptr;

    // The sixteen grids in the order every operation over all of them visits them.
    std::array<QTableView*, 16> Grids() const;
    StatTableModel* ModelOf(const QTableView* grid) const;

    // RunHost.
    void ProcessPendingMessages() override;
    void RepaintStatus() override;
    void ScrollStatusToEnd() override;
    void RunStarted() override;
    void RunEnded(bool reportAvailable) override;
    void ShowProgressBar(bool shown) override;
    void SetProgressMaximum(std::int64_t maximum) override;
    void SetProgressPosition(std::int64_t position) override;
    void SetTitle(const std::string& title) override;
    void ShowInfo() override;
    void SaveMainSettings() override;
    void CloseWindow() override;

    // CatalogueHost.
    void DisableProcess() override;
    bool AskRunMergeUtility(const std::string& question) override;
    void CloseMainWindow() override;

public slots:
    void Process();
    void Stop();
    void Report();
    void Exit();
    void Options();
    void SortAll(bool byValue);

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildControls();
    QWidget* BuildInfoPage();
    QTableView* NewGrid(StatTable& table);
    void ConnectDetailLine(QTableView* grid, int column, QLabel* label);
    void LayOutColumns();
    void RefreshGrids(bool all);

    void Activated();
    void FirstActivationSteps();
    // The log list into cLogs, and the entry it shows into the Process button's hint.
    void ListLogFiles(const std::string& entryToPreselect, bool firstActivation);
    void ShowLogList();
    void LogChosen(int index);
    // The persisted settings with the auto-log check; returns the stored log choice to preselect.
    std::string LoadSettings();
    void SaveWindowPosition();
    void ClearStatus();
    void ModeHandler();
    void ShowModeMessages();

    // The one place where a run's inputs are taken from the controls.
    RunInputs TakeRunInputs() const;
    // The options of the options dialog into the inputs; the designed defaults until it is wired in.
    void TakeOptions(RunInputs& inputs) const;
    void RestoreIdleAfterFailure();

    Session session_;
    CommandLine commandLine_;
    std::string programFile_;
    std::string programFolder_;
    std::string gameFolder_;
    std::string logsFolder_;
    std::string parseExtension_;
    std::string caption_;
    LogList logList_;
    RunInputs lastInputs_;
    bool firstActivation_ = true;
    bool activating_ = false;  // the first activation is under way (its message boxes re-activate)
    bool reportAvailable_ = false;

    std::array<StatTableModel*, 16> models_{};
    std::vector<std::function<void()>> detailLines_;
    QButtonGroup* sortGroup_ = nullptr;
    std::size_t statusShown_ = 0;
    std::int64_t progressPosition_ = 0;
    std::int64_t progressMaximum_ = 0;
    unsigned pendingCalls_ = 0;
    QElapsedTimer sinceEvents_;
    QElapsedTimer sinceGrids_;
};

}  // namespace krav
