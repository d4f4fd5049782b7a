// The folder picker behind TBrowseForFolderDialog, shown with Qt's folder dialog.
#pragma once

#include "install/game_folder.h"

class QWidget;

namespace krav {

// Of the picker's options only bfoDriveOnly has a meaning here, and Qt's folder dialog always returns a
// folder of the file system. The others restrict the shell's browser to network places, computers or
// printers, or ask for a status line the browser fills through a callback; none of them exists on this
// platform, and the main window's picker asks for none of them.
class QtBrowseForFolderDialog : public TBrowseForFolderDialog {
public:
    explicit QtBrowseForFolderDialog(QWidget* owner) : owner_(owner) {}

protected:
    void Browse() override;

private:
    QWidget* owner_;
};

}  // namespace krav
