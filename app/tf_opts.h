// The options dialog TfOpts: its controls are the options of a run. Created once at start, hidden between
// showings, each showing keeping the states of the last.
#pragma once

#include <QDialog>
#include <array>

#include "app/settings.h"

class QAbstractButton;
class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

namespace krav {

class TfOpts : public QDialog, public OptionControls {
    Q_OBJECT

public:
    explicit TfOpts(QWidget* parent = nullptr);

    bool Checked(OptionControl control) const override;
    void SetChecked(OptionControl control, bool checked) override;
    QAbstractButton* Control(OptionControl control) const { return controls_[static_cast<int>(control)]; }

    // The rule the main window's mode puts on top of the boxes' own handlers: backup and chat only in a
    // shrink mode, the channels only then and while chat is ticked.
    void ApplyModeRule(bool readOnly);

    // Takes the snapshot, shows the dialog modally and, unless it closed with OK, restores the controls
    // from the snapshot. True for OK.
    bool Execute();

    QPushButton* bOK = nullptr;
    QPushButton* bCan = nullptr;

private:
    void xChatClick();
    void xReportsClick();

    std::array<QAbstractButton*, kOptionControlCount> controls_{};
    QGroupBox* typeGroup_ = nullptr;
    bool readOnly_ = false;  // the mode rule's last word; off until the main window first applies it
};

}  // namespace krav
