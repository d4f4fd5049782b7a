// The main window: its controls, laid out with Qt layouts at the designed size scaled with the font, and its
// run control. The processing run itself, the folder search and the log list are the lower layers' own.
#include "app/tf_main.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QFormLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QUrl>
#include <QVBoxLayout>
#include <exception>
#include <filesystem>
#include <system_error>
#include <utility>

#include "app/browse_folder.h"
#include "app/qt_text.h"
#include "app/stat_table_model.h"
#include "app/tf_auto.h"
#include "app/tf_opts.h"
#include "app/window_position.h"
#include "app/window_texts.h"
#include "engine/status_texts.h"
#include "engine/text.h"
#include "install/log_names.h"
#include "install/registry_keys.h"
#include "install/server_names.h"
#include "output/standard_run.h"
#include "platform/registry.h"
#include "recognisers/character.h"

namespace krav {

namespace {

// The designed metrics: a client area of 632 by 453 pixels at 96 dots per inch with an 8-point font whose
// lines are 13 pixels high. Everything scales with the desktop's font by the ratio of its line height.
constexpr int kDesignedWidth = 632;
constexpr int kDesignedHeight = 453;
constexpr double kDesignedLineHeight = 13.0;
constexpr int kDesignedRowHeight = 18;
constexpr int kDesignedGridWidth = 560;
// Pending events are handled at most this often during a run, and the grids of the page on screen refreshed
// at most every kGridRefreshMs.
constexpr qint64 kEventsEveryMs = 16;
constexpr qint64 kGridRefreshMs = 250;

// The designed column widths of each grid without the adjustment a, which the first column takes.
struct GridColumns {
    std::vector<int> widths;
};

const std::array<GridColumns, 16>& DesignedColumns() {
    static const std::array<GridColumns, 16> columns = {{
        {{182, 118, 118, 118}},        // gSkills
        {{181, 178, 178}},             // gAttempts
        {{272, 188, 77}},              // gZones
        {{167, 60, 60, 35, 213}},      // gFactions
        {{167, 156, 213}},             // gCons
        {{167, 78, 78, 213}},          // gMobs
        {{167, 78, 78, 213}},          // gVendors
        {{167, 39, 39, 28, 48, 213}},  // gLoot
        {{460, 77}},                   // gFocus
        {{182, 118, 118, 118}},        // gYAttacks
        {{182, 118, 118, 118}},        // gMAttacks
        {{181, 178, 178}},             // gSpells
        {{272, 266}},                  // gResults
        {{272, 266}},                  // gActions
        {{272, 266}},                  // gEvents
        {{146, 43, 106, 86, 154}},     // gGuild
    }};
    return columns;
}
// gSkills without the reference data: three columns.
const std::vector<int> kSkillsWithoutMaximums = {272, 77, 188};

bool FileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::path(path), ec);
}

QWidget* PageOf(QWidget* top, QWidget* bottom, QLabel* detail) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(top, 1);
    if (bottom != nullptr) layout->addWidget(bottom, 1);
    if (detail != nullptr) layout->addWidget(detail);
    return page;
}

}  // namespace

TfMain::TfMain(CommandLine commandLine, std::string programFolder, std::string programFile, QWidget* parent)
    : QWidget(parent),
      commandLine_(std::move(commandLine)),
      programFile_(std::move(programFile)),
      programFolder_(std::move(programFolder)) {
    AskYesNo = [this](const QString& text) {
        return QMessageBox::question(this, ToQt(kAppTitle), text, QMessageBox::Yes | QMessageBox::No) ==
               QMessageBox::Yes;
    };
    OpenReport = [](const std::string& path) {
        // The shell's answer is not reported, as the system's own "open" is not.
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromLocal8Bit(path.c_str())));
    };

    caption_ = kAppTitle;
    setWindowTitle(ToQt(caption_));
    BuildControls();
    firstActivation_ = true;
    RestoreWindowPosition(*this);
    WriteIdentityRecords();
    fAuto = new TfAuto(this);
    fOpts = new TfOpts(this);
    Picker = std::make_unique<QtBrowseForFolderDialog>(this);
    SetUpGameFolderPicker(*Picker);
}

TfMain::~TfMain() {
    // The grids read the session's tables: they go first.
    qDeleteAll(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly));
}

// ---------------------------------------------------------------------------------------------------------
// Controls

QTableView* TfMain::NewGrid(StatTable& table) {
    auto* grid = new QTableView;
    auto* model = new StatTableModel(table, grid);
    grid->setModel(model);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    grid->setWordWrap(false);
    grid->setTabKeyNavigation(false);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    grid->setObjectName(ToQt(table.Name()));
    return grid;
}

QWidget* TfMain::BuildInfoPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto field = [](bool editable) {
        auto* edit = new QLineEdit(ToQt(kUnknown));
        edit->setReadOnly(!editable);
        return edit;
    };
    eName = field(false);
    eClass = field(false);
    eLevel = field(false);
    eRace = field(false);
    eGuild = field(false);
    eBound = field(false);
    eZone = field(false);
    eFrom = field(true);
    eTo = field(true);
    ePlayed = field(false);
    eAsOf = field(true);

    auto* fields = new QGridLayout;
    int row = 0;
    auto add = [&](const char* label, QLineEdit* edit, int column, int span = 1) {
        auto* caption = new QLabel(ToQt(label));
        caption->setBuddy(edit);
        fields->addWidget(caption, row, column);
        fields->addWidget(edit, row, column + 1, 1, span);
    };
    add(texts::kLabelName, eName, 0, 3);
    ++row;
    add(texts::kLabelClass, eClass, 0);
    add(texts::kLabelLevel, eLevel, 2);
    ++row;
    add(texts::kLabelRace, eRace, 0);
    add(texts::kLabelGuild, eGuild, 2);
    ++row;
    add(texts::kLabelBound, eBound, 0);
    add(texts::kLabelZone, eZone, 2);
    ++row;
    add(texts::kLabelFrom, eFrom, 0);
    add(texts::kLabelTo, eTo, 2);
    ++row;
    add(texts::kLabelPlayed, ePlayed, 0);
    add(texts::kLabelAsOf, eAsOf, 2);
    fields->setColumnStretch(1, 1);
    fields->setColumnStretch(3, 1);
    layout->addLayout(fields);

    cStatus = new QListWidget;
    cStatus->setObjectName(QStringLiteral("cStatus"));
    cStatus->setUniformItemSizes(true);
    layout->addWidget(cStatus, 1);
    cLangs = new QListWidget(page);
    cLangs->hide();
    return page;
}

void TfMain::BuildControls() {
    StatTables& t = session_.Tables;
    gSkills = NewGrid(t.gSkills);
    gAttempts = NewGrid(t.gAttempts);
    gZones = NewGrid(t.gZones);
    gFactions = NewGrid(t.gFactions);
    gCons = NewGrid(t.gCons);
    gMobs = NewGrid(t.gMobs);
    gVendors = NewGrid(t.gVendors);
    gLoot = NewGrid(t.gLoot);
    gFocus = NewGrid(t.gFocus);
    gYAttacks = NewGrid(t.gYAttacks);
    gMAttacks = NewGrid(t.gMAttacks);
    gSpells = NewGrid(t.gSpells);
    gResults = NewGrid(t.gResults);
    gActions = NewGrid(t.gActions);
    gEvents = NewGrid(t.gEvents);
    gGuild = NewGrid(t.gGuild);
    const auto grids = Grids();
    for (std::size_t i = 0; i < grids.size(); ++i)
        models_[i] = static_cast<StatTableModel*>(grids[i]->model());

    auto detail = [this] {
        auto* label = new QLabel;
        label->setTextFormat(Qt::PlainText);
        // The line keeps its room while empty, so the grid above does not jump when a row is chosen.
        label->setMinimumHeight(fontMetrics().height());
        // A long zone list is cut at the window's edge; the hint shows all of it.
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        return label;
    };
    lFactionsDetail = detail();
    lMobsDetail = detail();
    lVendorsDetail = detail();
    lItemsDetail = detail();

    pages = new QTabWidget;
    pages->addTab(BuildInfoPage(), ToQt(texts::kPageInfo));
    pages->addTab(PageOf(gSkills, gAttempts, nullptr), ToQt(texts::kPageSkills));
    pages->addTab(PageOf(gZones, nullptr, nullptr), ToQt(texts::kPageZones));
    pages->addTab(PageOf(gFactions, gCons, lFactionsDetail), ToQt(texts::kPageFactions));
    pages->addTab(PageOf(gMobs, nullptr, lMobsDetail), ToQt(texts::kPageMobs));
    pages->addTab(PageOf(gVendors, nullptr, lVendorsDetail), ToQt(texts::kPageVendors));
    pages->addTab(PageOf(gLoot, gFocus, lItemsDetail), ToQt(texts::kPageItems));
    pages->addTab(PageOf(gYAttacks, gMAttacks, nullptr), ToQt(texts::kPageCombat));
    pages->addTab(PageOf(gSpells, gResults, nullptr), ToQt(texts::kPageSpells));
    pages->addTab(PageOf(gActions, gEvents, nullptr), ToQt(texts::kPageMisc));
    pages->addTab(PageOf(gGuild, nullptr, nullptr), ToQt(texts::kPageGuild));
    connect(pages, &QTabWidget::currentChanged, this, [this] { RefreshGrids(false); });

    ConnectDetailLine(gMobs, 3, lMobsDetail);
    ConnectDetailLine(gFactions, 4, lFactionsDetail);
    ConnectDetailLine(gLoot, 5, lItemsDetail);
    ConnectDetailLine(gVendors, 3, lVendorsDetail);

    // Mode buttons.
    xReadOnly = new QRadioButton(ToQt(texts::kReadOnlyCaption));
    xReadOnly->setToolTip(ToQt(texts::kReadOnlyHint));
    xCompatible = new QRadioButton(ToQt(texts::kCompatibleCaption));
    xCompatible->setToolTip(ToQt(texts::kCompatibleHint));
    xSmallest = new QRadioButton(ToQt(texts::kSmallestCaption));
    xSmallest->setToolTip(ToQt(texts::kSmallestHint));
    xReadOnly->setChecked(true);
    // Every run of the window is a read-only run: nothing enables the two shrink modes.
    xCompatible->setEnabled(false);
    xSmallest->setEnabled(false);
    for (QRadioButton* mode : {xReadOnly, xCompatible, xSmallest}) {
        connect(mode, &QRadioButton::toggled, this, [this](bool on) {
            if (on) ModeHandler();
        });
    }

    // The log list.
    cLogs = new QComboBox;
    cLogs->setEditable(false);
    cLogs->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cLogs->setMinimumContentsLength(16);
    lLogs = new QLabel(ToQt(texts::kLogFileLabel));
    lLogs->setBuddy(cLogs);
    lLogs->setToolTip(ToQt(texts::kLogFileHint));
    connect(cLogs, &QComboBox::activated, this, &TfMain::LogChosen);

    // Sort buttons: a group of two toggles, one of them always down.
    bText = new QPushButton(ToQt(texts::kSortTextCaption));
    bText->setToolTip(ToQt(texts::kSortTextHint));
    bValue = new QPushButton(ToQt(texts::kSortValueCaption));
    bValue->setToolTip(ToQt(texts::kSortValueHint));
    sortGroup_ = new QButtonGroup(this);
    for (QPushButton* b : {bText, bValue}) {
        b->setCheckable(true);
        b->setAutoDefault(false);
        sortGroup_->addButton(b);
    }
    sortGroup_->setExclusive(true);
    bText->setChecked(true);
    connect(bText, &QPushButton::clicked, this, [this] { SortAll(false); });
    connect(bValue, &QPushButton::clicked, this, [this] { SortAll(true); });

    // Command buttons.
    bOpts = new QPushButton(ToQt(texts::kOptionsCaption));
    bOpts->setToolTip(ToQt(texts::kOptionsHint));
    bProc = new QPushButton(ToQt(texts::kProcessCaption));
    bStop = new QPushButton(ToQt(texts::kStopCaption));
    bStop->setToolTip(ToQt(texts::kStopHint));
    bStop->setShortcut(QKeySequence(Qt::Key_Escape));
    bStop->setEnabled(false);
    bStop->hide();
    bReport = new QPushButton(ToQt(texts::kReportCaption));
    bReport->setToolTip(ToQt(texts::kReportHint));
    bReport->setEnabled(false);
    bExit = new QPushButton(ToQt(texts::kExitCaption));
    bExit->setToolTip(ToQt(texts::kExitHint));
    for (QPushButton* b : {bOpts, bProc, bStop, bExit})
        b->setAutoDefault(false);
    // Enter presses Report unless another button has the focus.
    bReport->setDefault(true);
    connect(bOpts, &QPushButton::clicked, this, &TfMain::Options);
    connect(bProc, &QPushButton::clicked, this, &TfMain::Process);
    connect(bStop, &QPushButton::clicked, this, &TfMain::Stop);
    connect(bReport, &QPushButton::clicked, this, &TfMain::Report);
    connect(bExit, &QPushButton::clicked, this, &TfMain::Exit);

    gGraph = new QProgressBar;
    gGraph->setRange(0, 100);
    gGraph->setValue(0);
    gGraph->setTextVisible(false);
    gGraph->hide();
    gStatus = new QStatusBar;
    gStatus->setSizeGripEnabled(true);
    gStatus->showMessage(ToQt(texts::kStatusBarNotice));

    // Below the notebook: the modes on the left, the log list over the sort buttons in the middle, the
    // command buttons in two rows on the right.
    auto* modes = new QVBoxLayout;
    modes->addWidget(xReadOnly);
    modes->addWidget(xCompatible);
    modes->addWidget(xSmallest);

    auto* middle = new QGridLayout;
    middle->addWidget(lLogs, 0, 0);
    middle->addWidget(cLogs, 0, 1, 1, 2);
    middle->addWidget(bText, 1, 1);
    middle->addWidget(bValue, 1, 2);
    middle->setColumnStretch(1, 1);
    middle->setColumnStretch(2, 1);

    auto* commands = new QGridLayout;
    commands->addWidget(bOpts, 0, 0);
    commands->addWidget(bProc, 0, 1);
    commands->addWidget(bStop, 0, 1);  // Stop stands where Process stands, one of them shown at a time
    commands->addWidget(bReport, 1, 0);
    commands->addWidget(bExit, 1, 1);

    auto* controls = new QHBoxLayout;
    controls->addLayout(modes);
    controls->addSpacing(8);
    controls->addLayout(middle, 1);
    controls->addSpacing(8);
    controls->addLayout(commands);

    auto* top = new QVBoxLayout(this);
    top->setContentsMargins(4, 4, 4, 0);
    top->addWidget(pages, 1);
    top->addLayout(controls);
    top->addWidget(gGraph);
    top->addWidget(gStatus);

    const double scale = std::max(1.0, fontMetrics().height() / kDesignedLineHeight);
    for (QTableView* grid : grids) {
        grid->verticalHeader()->setDefaultSectionSize(
            std::max(static_cast<int>(kDesignedRowHeight * scale), fontMetrics().height() + 4));
    }
    LayOutColumns();
    resize(static_cast<int>(kDesignedWidth * scale), static_cast<int>(kDesignedHeight * scale));
}

std::array<QTableView*, 16> TfMain::Grids() const {
    return {gSkills, gAttempts, gZones,    gFactions, gCons,    gMobs,    gVendors, gLoot,
            gFocus,  gYAttacks, gMAttacks, gSpells,   gResults, gActions, gEvents,  gGuild};
}

StatTableModel* TfMain::ModelOf(const QTableView* grid) const {
    const auto grids = Grids();
    for (std::size_t i = 0; i < grids.size(); ++i) {
        if (grids[i] == grid) return models_[i];
    }
    return nullptr;
}

void TfMain::LayOutColumns() {
    // The adjustment a: what the designed skill grid leaves over after its columns, its scroll bar and its
    // border; the first column of every grid takes it, and then whatever room the window gives beyond the
    // designed size.
    const bool threeSkillColumns = session_.Tables.gSkills.ColCount() == 3;
    const int a = threeSkillColumns ? kDesignedGridWidth - 3 * 178 - 26 : kDesignedGridWidth - 4 * 133 - 26;
    const double scale = std::max(1.0, fontMetrics().height() / kDesignedLineHeight);
    const auto grids = Grids();
    for (std::size_t i = 0; i < grids.size(); ++i) {
        const std::vector<int>& widths =
            i == 0 && threeSkillColumns ? kSkillsWithoutMaximums : DesignedColumns()[i].widths;
        QHeaderView* header = grids[i]->horizontalHeader();
        const int columns = std::min(static_cast<int>(widths.size()), header->count());
        int total = 0;
        const QFontMetrics metrics(header->font());
        for (int c = 0; c < columns; ++c) {
            // Never narrower than the column's title: the designed widths were made for a smaller font.
            const int title =
                metrics.horizontalAdvance(header->model()->headerData(c, Qt::Horizontal).toString()) +
                metrics.averageCharWidth() * 2;
            const int width = std::max(title, static_cast<int>((c == 0 ? a + widths[0] : widths[c]) * scale));
            header->setSectionResizeMode(c, c == 0 ? QHeaderView::Stretch : QHeaderView::Interactive);
            header->resizeSection(c, width);
            total += width;
        }
        header->setMinimumSectionSize(static_cast<int>(24 * scale));
        grids[i]->setMinimumWidth(total + grids[i]->verticalScrollBar()->sizeHint().width() + 4);
    }
}

void TfMain::RefreshGrids(bool all) {
    bool columnsChanged = false;
    const auto grids = Grids();
    for (std::size_t i = 0; i < grids.size(); ++i) {
        if (!all && !grids[i]->isVisible()) continue;
        const int before = models_[i]->columnCount();
        models_[i]->Refresh();
        columnsChanged = columnsChanged || before != models_[i]->columnCount();
    }
    if (columnsChanged) LayOutColumns();
    for (const auto& update : detailLines_)
        update();
}

void TfMain::ConnectDetailLine(QTableView* grid, int column, QLabel* label) {
    const StatTableModel* model = ModelOf(grid);
    auto show = [model, column, label](const QModelIndex& current) {
        const StatTable& table = model->Table();
        const int row = current.row() + 1;
        QString caption;
        if (current.isValid() && row < table.RowCount() && column < table.ColCount() &&
            !table.Cell(column, row).empty()) {
            caption = ToQt("(" + table.Cell(column, row) + ")");
        }
        label->setText(caption);
        label->setToolTip(caption);
    };
    connect(grid->selectionModel(), &QItemSelectionModel::currentChanged, this, show);
    // A sort or a run changes what the chosen row holds: the line follows.
    detailLines_.push_back([grid, show] { show(grid->currentIndex()); });
}

// ---------------------------------------------------------------------------------------------------------
// Start-up

void TfMain::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        // After the activation has been handled: the first activation may show message boxes.
        QMetaObject::invokeMethod(this, &TfMain::Activated, Qt::QueuedConnection);
    }
}

void TfMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Without a window manager (a bare X server, a kiosk) the window may never become active: the first
    // showing starts the first activation too, so the window is never left half set up.
    if (firstActivation_) QMetaObject::invokeMethod(this, &TfMain::Activated, Qt::QueuedConnection);
}

void TfMain::Activated() {
    if (activating_) return;
    if (firstActivation_) {
        activating_ = true;
        try {
            FirstActivationSteps();
        } catch (const std::exception& e) {
            session_.CountError(texts::kUnexpectedFailure + std::string(e.what()) + ")!");
            RepaintStatus();
            firstActivation_ = false;
        }
        activating_ = false;
        // A question at start-up (the game folder, Auto Log, the merge of old logs) took the activation
        // with it; where no window manager hands it back, the main window asks for it itself.
        if (!isActiveWindow()) activateWindow();
    }
    cLogs->update();
    cLogs->setFocus();
}

void TfMain::FirstActivationSteps() {
    caption_ = std::string(kAppTitle) + " " + settings::kVersion;
    setWindowTitle(ToQt(caption_));
    parseExtension_ = ".txt";
    ClearStatus();
    if (commandLine_.CommandMode == 1) session_.AddStatus(kUsageLine);
    if (commandLine_.CommandMode == 255) session_.AddStatus(kUnknownParameter + commandLine_.CommandText);
    RepaintStatus();

    const FolderCommand folderCommand = commandLine_.Folder();
    const GameFolderChoice choice = SelectGameFolder(session_, folderCommand, Picker.get());
    gameFolder_ = choice.gameFolder;
    logsFolder_ = LogsFolderOf(gameFolder_);
    if (!choice.statusBarText.empty()) gStatus->showMessage(ToQt(choice.statusBarText));
    if (const std::string line = FolderLine(folderCommand, gameFolder_); !line.empty())
        session_.AddStatus(line);

    // The program's own path under the system's application paths; skipped when the store refuses it.
    platform::Registry appPath(platform::RootKey::LocalMachine);
    if (appPath.OpenKey(keys::kOwnAppPath, true)) {
        appPath.WriteString("", programFile_);
        appPath.WriteString(keys::kPath, programFolder_);
        appPath.CloseKey();
    }

    const std::string storedLogFile = LoadSettings();

    xReadOnly->setChecked(true);
    session_.AddStatus(texts::kReadOnlyMessage);
    if (parseExtension_ == ".log") session_.AddStatus(texts::kAlternateFilesMessage);
    fOpts->ApplyModeRule(xReadOnly->isChecked());

    ImportServerNames(programFolder_);
    LoadLanguages(session_, programFolder_);
    cLangs->clear();
    for (const std::string& language : session_.Languages)
        cLangs->addItem(ToQt(language));
    RepaintStatus();

    ListLogFiles(storedLogFile, true);

    session_.Tables.ResetTables(FileExists(programFolder_ + kReferenceDataFile));
    RefreshGrids(true);
    LayOutColumns();

    firstActivation_ = false;
    session_.StopRequested = false;
    session_.CloseRequested = false;
    session_.Busy = false;
    session_.Character = CharacterState{};
    session_.Character.CharacterName = kUnknown;
    RepaintStatus();
}

std::string TfMain::LoadSettings() {
    // The auto-log check runs inside, while the settings key is open: it may store the user's answer.
    const LoadedSettings loaded =
        krav::LoadSettings(*fOpts, *this, parseExtension_, [this](platform::Registry& key, std::int64_t autoLog) {
            return AutoLogCheck(session_, gameFolder_, autoLog, *fAuto, key);
        });
    return loaded.logFile;
}

void TfMain::ListLogFiles(const std::string& entryToPreselect, bool firstActivation) {
    const FolderCommand folderCommand = commandLine_.Folder();
    ListRequest request;
    request.logsFolder = logsFolder_;
    request.parseExtension = parseExtension_;
    request.folderDescription = FolderDescription(folderCommand);
    request.entryToPreselect = entryToPreselect;
    request.mergeArguments = MergeArguments(folderCommand);
    request.programFolder = programFolder_;
    request.gameFolder = gameFolder_;
    request.firstActivation = firstActivation;
    bProc->setEnabled(true);
    ListLogs(session_, logList_, request, *this);
    ShowLogList();
    RepaintStatus();
}

void TfMain::ShowLogList() {
    cLogs->clear();
    for (const std::string& entry : logList_.Items())
        cLogs->addItem(ToQt(entry));
    cLogs->setCurrentIndex(logList_.ItemIndex);
    cLogs->setToolTip(ToQt(logList_.Hint));
    if (logList_.Empty()) {
        bProc->setEnabled(false);
        bProc->setToolTip(QString());
    } else {
        bProc->setToolTip(ToQt(ProcessHint(logList_.Text())));
    }
}

void TfMain::LogChosen(int index) {
    logList_.ItemIndex = index;
    SaveMainSettings();
    bProc->setToolTip(ToQt(ProcessHint(logList_.Text())));
}

void TfMain::ModeHandler() {
    fOpts->ApplyModeRule(xReadOnly->isChecked());
    ShowModeMessages();
    SaveMainSettings();
}

void TfMain::ShowModeMessages() {
    ClearStatus();
    if (xSmallest->isChecked()) {
        session_.AddStatus(texts::kSmallestMessage);
        session_.AddStatus(texts::kNotCompatible);
    } else {
        session_.AddStatus(xCompatible->isChecked() ? texts::kCompatibleMessage : texts::kReadOnlyMessage);
    }
    if (!xReadOnly->isChecked()) {
        const RunInputs inputs = TakeRunInputs();
        if (!inputs.Backup) session_.AddStatus(texts::kNoBackup);
        if (!inputs.Chat) session_.AddStatus(texts::kNoChat);
    }
    // The dialog's choice, which the options sequence shows before it takes it as ParseExtension.
    if (fOpts->Checked(OptionControl::xLog)) session_.AddStatus(texts::kAlternateFilesMessage);
    RepaintStatus();
}

void TfMain::SaveMainSettings() {
    krav::SaveMainSettings(*this);
}

ShrinkMode TfMain::Mode() const {
    return xSmallest->isChecked() ? ShrinkMode::Smallest
           : xCompatible->isChecked() ? ShrinkMode::Compatible
                                      : ShrinkMode::ReadOnly;
}

void TfMain::SelectMode(ShrinkMode mode) {
    // The mode handler fires through the button's toggled signal, also for a disabled button.
    (mode == ShrinkMode::Smallest ? xSmallest : mode == ShrinkMode::Compatible ? xCompatible : xReadOnly)
        ->setChecked(true);
}

std::string TfMain::LogListText() const {
    return logList_.Text();
}

// ---------------------------------------------------------------------------------------------------------
// Run control

RunInputs TfMain::TakeRunInputs() const {
    RunInputs in;
    in.GameFolder = gameFolder_;
    in.LogsFolder = logsFolder_;
    in.ProgramFolder = programFolder_;
    const std::string entry = logList_.Text();
    in.EntryServer = EntryServer(entry);
    in.EntryCharacter = EntryCharacter(entry);
    in.LogFileName = logList_.SelectedFileName();  // as spelled on disk
    if (in.LogFileName.empty()) in.LogFileName = LogFileName(entry, parseExtension_);
    in.BaseFileName = BaseFileName(entry);
    in.ParseExtension = parseExtension_.empty() ? ".txt" : parseExtension_;
    in.Mode = xSmallest->isChecked()     ? ShrinkMode::Smallest
              : xCompatible->isChecked() ? ShrinkMode::Compatible
                                         : ShrinkMode::ReadOnly;
    TakeOptions(in);
    return in;
}

void TfMain::TakeOptions(RunInputs& inputs) const {
    TakeRunOptions(*fOpts, inputs);
}

void TfMain::Process() {
    if (session_.Busy || !bProc->isEnabled()) return;
    lastInputs_ = TakeRunInputs();
    try {
        RunProcessing(session_, lastInputs_, *this);
    } catch (const std::exception& e) {
        // The run catches what its steps throw; this is the last guard before Qt's event loop.
        session_.AddError(texts::kUnexpectedFailure + std::string(e.what()) + ")!");
        RestoreIdleAfterFailure();
    } catch (...) {
        session_.AddError(texts::kUnexpectedFailure + std::string("unknown failure") + ")!");
        RestoreIdleAfterFailure();
    }
    const std::string entry = logList_.Text();
    bReport->setToolTip(ToQt(texts::kReportHintFor + std::string(EntryCharacter(entry)) +
                             texts::kReportHintOn + ServerDisplayName(entry) + texts::kReportHintSuffix));
}

void TfMain::RestoreIdleAfterFailure() {
    if (!session_.Busy) return;
    session_.Busy = false;
    RepaintStatus();
    RunEnded(false);
    if (session_.CloseRequested) CloseWindow();
}

void TfMain::Stop() {
    session_.Stop();
    RepaintStatus();
}

void TfMain::Report() {
    if (!bReport->isEnabled()) return;
    OpenReport(lastInputs_.LogsFolder + RemoveExtension(lastInputs_.LogFileName) + ".html");
}

void TfMain::Exit() {
    session_.CloseRequested = true;
    close();
}

void TfMain::Options() {
    // OK keeps the dialog's states and stores them; any other close has restored the states it opened with.
    if (fOpts->Execute()) {
        ShowModeMessages();
        krav::SaveOptionSettings(*fOpts);
    }
    parseExtension_ = ParseExtensionOf(*fOpts);
    ListLogFiles(logList_.Text(), false);
}

void TfMain::keyPressEvent(QKeyEvent* event) {
    // Enter presses Report, the default button, unless another button has the focus (which takes it
    // itself); the notebook and the lists pass it on to here.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        event->modifiers() == Qt::NoModifier) {
        if (bReport->isEnabled() && bReport->isVisible()) bReport->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TfMain::closeEvent(QCloseEvent* event) {
    if (session_.CloseRequested || !session_.Busy) {
        SaveWindowPosition();
        event->accept();
        return;
    }
    event->ignore();
    if (AskYesNo(ToQt(texts::kStopAndExitQuestion))) {
        // The run stops at its next check and closes the window once it has restored the controls.
        session_.StopRequested = true;
        session_.CloseRequested = true;
    }
}

void TfMain::SaveWindowPosition() {
    StoreWindowPosition(*this);
}

void TfMain::SortAll(bool byValue) {
    QApplication::setOverrideCursor(Qt::BusyCursor);
    (byValue ? bValue : bText)->setChecked(true);
    session_.Tables.SortTables(byValue);
    RefreshGrids(true);
    QApplication::restoreOverrideCursor();
}

// ---------------------------------------------------------------------------------------------------------
// RunHost

void TfMain::ProcessPendingMessages() {
    // Called once or twice a line: the clock is read only every 256th call, and events are handled only
    // when kEventsEveryMs have passed, so a run costs the same with the window as without it.
    if ((++pendingCalls_ & 0xFF) != 0) return;
    if (sinceEvents_.isValid() && sinceEvents_.elapsed() < kEventsEveryMs) return;
    gGraph->setValue(
        static_cast<int>(progressMaximum_ > 0 ? progressPosition_ * 1000 / progressMaximum_ : 0));
    if (!sinceGrids_.isValid() || sinceGrids_.elapsed() >= kGridRefreshMs) {
        RefreshGrids(false);
        sinceGrids_.restart();
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    sinceEvents_.restart();
}

void TfMain::ClearStatus() {
    // The list follows the session's lines by count; a list cleared and refilled before the next repaint
    // would otherwise keep its old lines.
    session_.Status.clear();
    cStatus->clear();
    statusShown_ = 0;
}

void TfMain::RepaintStatus() {
    if (statusShown_ > session_.Status.size() || cStatus->count() != static_cast<int>(statusShown_)) {
        cStatus->clear();
        statusShown_ = 0;
    }
    for (; statusShown_ < session_.Status.size(); ++statusShown_) {
        cStatus->addItem(ToQt(session_.Status[statusShown_]));
    }
    cStatus->scrollToBottom();
}

void TfMain::ScrollStatusToEnd() {
    RepaintStatus();
    cStatus->scrollToBottom();
    cStatus->clearSelection();
    cStatus->setCurrentRow(-1);
}

void TfMain::RunStarted() {
    QApplication::setOverrideCursor(Qt::BusyCursor);
    for (QWidget* w : std::initializer_list<QWidget*>{cLogs, bProc, bOpts, bReport, bExit, xReadOnly,
                                                      xCompatible, xSmallest, bText, bValue}) {
        w->setEnabled(false);
    }
    bProc->hide();
    bStop->setEnabled(true);
    bStop->show();
    bText->setChecked(true);
    pages->setCurrentIndex(0);
    pendingCalls_ = 0;
    sinceEvents_.start();
    sinceGrids_.start();
    reportAvailable_ = false;
    RefreshGrids(true);
    QCoreApplication::processEvents();
}

void TfMain::RunEnded(bool reportAvailable) {
    reportAvailable_ = reportAvailable;
    for (QWidget* w : std::initializer_list<QWidget*>{bValue, bText, xReadOnly, bOpts, bExit, cLogs}) {
        w->setEnabled(true);
    }
    bStop->setEnabled(false);
    bStop->hide();
    bProc->setEnabled(!logList_.Empty());
    bProc->show();
    bReport->setEnabled(reportAvailable);
    ShowInfo();
    RefreshGrids(true);
    RepaintStatus();
    progressPosition_ = 0;
    gGraph->setValue(0);
    gGraph->hide();
    gStatus->show();
    QApplication::restoreOverrideCursor();
}

void TfMain::ShowProgressBar(bool shown) {
    gStatus->setVisible(!shown);
    gGraph->setVisible(shown);
}

void TfMain::SetProgressMaximum(std::int64_t maximum) {
    // The bar counts in tenths of a per cent, whatever the log's size: QProgressBar holds an int.
    progressMaximum_ = maximum;
    gGraph->setRange(0, 1000);
}

void TfMain::SetProgressPosition(std::int64_t position) {
    progressPosition_ = position;
    if (position == 0 || position >= progressMaximum_) {
        gGraph->setValue(progressMaximum_ > 0 && position > 0 ? 1000 : 0);
    }
}

void TfMain::SetTitle(const std::string& title) {
    // The application's title: the caption while idle, the progress while a run reads.
    setWindowTitle(ToQt(title == kAppTitle ? caption_ : title));
}

void TfMain::ShowInfo() {
    const InfoFields& i = session_.Info;
    const std::pair<QLineEdit*, const std::string*> fields[] = {
        {eName, &i.eName},   {eClass, &i.eClass},   {eLevel, &i.eLevel}, {eRace, &i.eRace},
        {eGuild, &i.eGuild}, {eBound, &i.eBound},   {eZone, &i.eZone},   {eFrom, &i.eFrom},
        {eTo, &i.eTo},       {ePlayed, &i.ePlayed}, {eAsOf, &i.eAsOf}};
    for (const auto& [edit, text] : fields) {
        const QString shown = ToQt(*text);
        if (edit->text() != shown) edit->setText(shown);
    }
}

void TfMain::CloseWindow() {
    close();
}

// ---------------------------------------------------------------------------------------------------------
// CatalogueHost

void TfMain::DisableProcess() {
    bProc->setEnabled(false);
}

bool TfMain::AskRunMergeUtility(const std::string& question) {
    return AskYesNo(ToQt(question));
}

void TfMain::CloseMainWindow() {
    session_.CloseRequested = true;
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

}  // namespace krav
