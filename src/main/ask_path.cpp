#include "ask_path.h"

#include "image/picture_names.h"

#include <QFileDialog>

QString AskForPath(QWidget* parent, TAsk kind, const QString& caption, const QString& start) {
    QFileDialog dialog(parent, caption);
    if (kind == TAsk::PngFile) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setNameFilter("PNG pictures (*.png)");
        dialog.setDefaultSuffix("png");
        dialog.selectFile(start);
    } else if (kind == TAsk::Folder) {
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        dialog.setDirectory(start);
    } else {
        dialog.setFileMode(QFileDialog::ExistingFile);
        // Qt's dialog matches the patterns in any letter case (IMG_0001.JPG).
        dialog.setNameFilters(
            {QString::fromStdString("Pictures (" + JoinedPictureExtensions("*", " ") + ")"),
             "All files (*)"});
        dialog.setDirectory(start);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}
