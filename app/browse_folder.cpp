// The folder picker: a modal folder dialog over the owner window, folders only.
#include "app/browse_folder.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

#include "app/qt_text.h"

namespace krav {

void QtBrowseForFolderDialog::Browse() {
    QFileDialog dialog(owner_, ToQt(Title));
    dialog.setObjectName("TBrowseForFolderDialog");
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    dialog.setDirectory(QDir::homePath());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString path = QDir::cleanPath(dialog.selectedFiles().constFirst());
    if (path.isEmpty()) return;
    // The path in the file system's own encoding, as the program's other file names are.
    SelectedPath = QFile::encodeName(QDir::toNativeSeparators(path)).toStdString();
    const QString name = QFileInfo(path).fileName();
    DisplayName = (name.isEmpty() ? QDir::toNativeSeparators(path) : name).toLocal8Bit().toStdString();
}

}  // namespace krav
