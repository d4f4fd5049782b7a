// TfAuto: the prompt that offers to turn the game client's auto-logging on. Created once at start, shown at
// most once a start by the auto-log check.
#pragma once

#include <QDialog>

#include "install/game_folder.h"

class QCheckBox;
class QPushButton;

namespace krav {

class TfAuto : public QDialog, public AutoLogPrompt {
    Q_OBJECT

public:
    explicit TfAuto(QWidget* parent = nullptr);

    // Yes gives true; No and the close box give false.
    bool ShowModal() override;
    bool DontAskAgain() const override;

    QCheckBox* CheckBox1 = nullptr;
    QPushButton* bYes = nullptr;
    QPushButton* bNo = nullptr;
};

}  // namespace krav
