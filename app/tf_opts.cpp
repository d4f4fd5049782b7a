// TfOpts: the parse type, backup and chat with its channels on the left, the report with its sections on the
// right, Cancel and OK below.
#include "app/tf_opts.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/qt_text.h"
#include "app/window_position.h"

namespace krav {

namespace {

// The dialog's texts, byte for byte.
constexpr const char* kCaption = "Define Options";
constexpr const char* kTypeGroup = " Parse File Type ";

struct ControlText {
    const char* caption;
    const char* hint;
    bool ticked;  // the designed state
};

// Indexed by OptionControl.
constexpr ControlText kTexts[kOptionControlCount] = {
    {"Create &Backup Log File", "Create a Backup of Log File (OLDLOG_eqlog_*.txt)", true},
    {"Standard (.t&xt)", "Parse .txt file (recommended)", true},
    {"Alter&nate (.log)", "Parse .log file (required for compatibility with some real-time parsers)", false},
    {"Save &Chat Information", "Save Chat Information File (CHAT_eqlog_*.txt)", true},
    {"Save /&tell Text", "Include /tell Text in Chat File", true},
    {"Save /&say Text", "Include /say Text in Chat File", true},
    {"Save /&groupsay Text", "Include /groupsay Text in Chat File", true},
    {"Save /g&uildsay Text", "Include /guildsay Text in Chat File", true},
    {"Save /s&hout Text", "Include /shout Text in Chat File", false},
    {"Save /&ooc Text", "Include /ooc Text in Chat File", false},
    {"Save /&auction Text", "Include /auction Text in Chat File", false},
    {"Generate &Report (.html)", "Generate Report (eqlog_*.html)", true},
    {"S&kills", "Include Skills in Report", true},
    {"&Zones", "Include Zones in Report", true},
    {"&Factions", "Include Factions in Report", true},
    {"&Mobs", "Include Mobs in Report", true},
    {"It&ems", "Include Loot in Report", true},
    {"&Vendors", "Include Vendors in Report", true},
    {"&Combat", "Include Combat in Report", true},
    {"S&pells", "Include Spells in Report", true},
    {"M&isc", "Include Misc info in Report", true},
    {"Guil&d", "Include Guild in Report", true},
};
constexpr const char* kCancel = "Cancel";
constexpr const char* kCancelHint = "Cancel Changes";
constexpr const char* kOK = "OK";
constexpr const char* kOKHint = "Accept Changes";

constexpr OptionControl kChannels[] = {OptionControl::xTell,   OptionControl::xSay,   OptionControl::xGroup,
                                       OptionControl::xGuild,  OptionControl::xShout, OptionControl::xOOC,
                                       OptionControl::xAuction};
// In the order the dialog shows them, which is not the order in which they are stored.
constexpr OptionControl kSections[] = {
    OptionControl::xSkills,  OptionControl::xZones, OptionControl::xFactions, OptionControl::xMobs,
    OptionControl::xVendors, OptionControl::xLoot,  OptionControl::xCombat,   OptionControl::xSpells,
    OptionControl::xMisc,    OptionControl::xGuild2};

// The designed client area at 96 dots an inch.
constexpr int kDesignedWidth = 348;
constexpr int kDesignedHeight = 320;
constexpr int kIndent = 16;

QVBoxLayout* Indented(QVBoxLayout* parent) {
    auto* row = new QHBoxLayout;
    row->addSpacing(kIndent);
    auto* column = new QVBoxLayout;
    column->setSpacing(parent->spacing());
    row->addLayout(column);
    parent->addLayout(row);
    return column;
}

}  // namespace

TfOpts::TfOpts(QWidget* parent) : QDialog(parent) {
    setObjectName("TfOpts");
    setWindowTitle(ToQt(kCaption));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    for (int i = 0; i < kOptionControlCount; ++i) {
        const auto control = static_cast<OptionControl>(i);
        QAbstractButton* button = nullptr;
        if (control == OptionControl::xTxt || control == OptionControl::xLog)
            button = new QRadioButton(ToQt(kTexts[i].caption), this);
        else
            button = new QCheckBox(ToQt(kTexts[i].caption), this);
        button->setToolTip(ToQt(kTexts[i].hint));
        button->setChecked(kTexts[i].ticked);
        controls_[i] = button;
    }
    static constexpr const char* kNames[kOptionControlCount] = {
        "xBackup", "xTxt",     "xLog",     "xChat",    "xTell",   "xSay",   "xGroup",    "xGuild",
        "xShout",  "xOOC",     "xAuction", "xReports", "xSkills", "xZones", "xFactions", "xMobs",
        "xLoot",   "xVendors", "xCombat",  "xSpells",  "xMisc",   "xGuild2"};
    for (int i = 0; i < kOptionControlCount; ++i)
        controls_[i]->setObjectName(kNames[i]);

    typeGroup_ = new QGroupBox(ToQt(kTypeGroup), this);
    auto* typeLayout = new QVBoxLayout(typeGroup_);
    typeLayout->addWidget(Control(OptionControl::xTxt));
    typeLayout->addWidget(Control(OptionControl::xLog));

    auto* left = new QVBoxLayout;
    left->addWidget(typeGroup_);
    left->addWidget(Control(OptionControl::xBackup));
    left->addWidget(Control(OptionControl::xChat));
    QVBoxLayout* channels = Indented(left);
    for (OptionControl channel : kChannels)
        channels->addWidget(Control(channel));
    left->addStretch();

    auto* right = new QVBoxLayout;
    right->addWidget(Control(OptionControl::xReports));
    QVBoxLayout* sections = Indented(right);
    for (OptionControl section : kSections)
        sections->addWidget(Control(section));
    right->addStretch();

    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addSpacing(kIndent);
    columns->addLayout(right);

    bCan = new QPushButton(ToQt(kCancel), this);
    bCan->setObjectName("bCan");
    bCan->setToolTip(ToQt(kCancelHint));
    bCan->setAutoDefault(false);
    bOK = new QPushButton(ToQt(kOK), this);
    bOK->setObjectName("bOK");
    bOK->setToolTip(ToQt(kOKHint));
    bOK->setDefault(true);
    connect(bCan, &QPushButton::clicked, this, &QDialog::reject);
    connect(bOK, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(bCan);
    buttons->addWidget(bOK);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addLayout(buttons);

    connect(Control(OptionControl::xChat), &QAbstractButton::toggled, this, &TfOpts::xChatClick);
    connect(Control(OptionControl::xReports), &QAbstractButton::toggled, this, &TfOpts::xReportsClick);

    // The designed size, scaled with the font's resolution, and never smaller than the texts need.
    const double scale = logicalDpiX() / 96.0;
    const QSize hint = sizeHint();
    resize(std::max(hint.width(), static_cast<int>(kDesignedWidth * scale)),
           std::max(hint.height(), static_cast<int>(kDesignedHeight * scale)));
    // Centred on the screen once, at creation; later showings stay where the user left the dialog.
    CentreOnScreen(*this);
}

bool TfOpts::Checked(OptionControl control) const {
    return Control(control)->isChecked();
}

void TfOpts::SetChecked(OptionControl control, bool checked) {
    // Qt's toggled signal fires the handler only when the state changes, as a click would.
    Control(control)->setChecked(checked);
}

void TfOpts::xChatClick() {
    const bool enabled = Control(OptionControl::xChat)->isChecked() && !readOnly_;
    for (OptionControl channel : kChannels)
        Control(channel)->setEnabled(enabled);
}

void TfOpts::xReportsClick() {
    const bool enabled = Control(OptionControl::xReports)->isChecked();
    for (OptionControl section : kSections)
        Control(section)->setEnabled(enabled);
}

void TfOpts::ApplyModeRule(bool readOnly) {
    readOnly_ = readOnly;
    Control(OptionControl::xBackup)->setEnabled(!readOnly);
    Control(OptionControl::xChat)->setEnabled(!readOnly);
    xChatClick();
}

bool TfOpts::Execute() {
    const OptionSnapshot snapshot = TakeSnapshot(*this);
    if (exec() == QDialog::Accepted) return true;
    RestoreSnapshot(*this, snapshot);
    return false;
}

}  // namespace krav
