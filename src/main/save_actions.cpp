// Taking away what the window shows: any view saved as a PNG picture or
// copied to the clipboard at 1:1 pixels (the views' context menus, Ctrl+S
// and Ctrl+C on the view under the pointer), and the export of the last
// analysis (Ctrl+E) into a folder of its own. None of it changes the session
// or a view; a file that cannot be written is reported and no file is left
// half-written.
#include "bitmap_view.h"
#include "session/export.h"
#include "session/result_folder.h"
#include "session/session.h"
#include "uMain.h"

#include <QClipboard>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QShortcut>
#include <QStandardPaths>

#include <filesystem>
#include <stdexcept>

void TfrmMain::CreateSaveShortcuts() {
    const auto onShortcut = [this](const QKeySequence& keys, std::function<void()> handler) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this,
                [this, handler] { Guard(handler); });
    };
    onShortcut(QKeySequence::Open, [this] { OpenPictureDialog(); });
    onShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O), [this] { OpenFolderDialog(); });
    onShortcut(QKeySequence::Save, [this] {
        if (TBitmapView* view = ViewUnderPointer()) SaveView(view);
    });
    onShortcut(QKeySequence::Copy, [this] {
        if (TBitmapView* view = ViewUnderPointer()) CopyView(view);
    });
    onShortcut(QKeySequence(Qt::CTRL | Qt::Key_E), [this] { ExportWithDialog(); });
    // The picture keeps its right button for the click probe; the other two
    // views offer a menu there.
    for (TBitmapView* view : {PaintBox1, PaintBox2}) {
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view, &QWidget::customContextMenuRequested, this,
                [this, view](const QPoint& at) { ViewContextMenu(view, at); });
    }
}

void TfrmMain::AddSaveActions(QMenu& menu, TBitmapView* view) {
    const auto add = [&](const QString& text, const QKeySequence& keys,
                         std::function<void()> handler) {
        QAction* action = menu.addAction(text, this, [this, handler] { Guard(handler); });
        action->setShortcut(keys);
        action->setShortcutVisibleInContextMenu(true);
        return action;
    };
    const QString what = view == PaintBox1 ? "plane view" : "area view";
    add("Save the " + what + " as PNG...", QKeySequence::Save, [this, view] { SaveView(view); });
    add("Copy the " + what, QKeySequence::Copy, [this, view] { CopyView(view); });
    if (view == PaintBox2) {
        menu.addSeparator();
        add("Save the picture as PNG...", {}, [this] { SaveView(Image1); });
        add("Copy the picture", {}, [this] { CopyView(Image1); });
    }
    menu.addSeparator();
    add("Export the analysis...", QKeySequence(Qt::CTRL | Qt::Key_E), [this] {
        ExportWithDialog();
    })->setEnabled(Session_->LastPass.has_value());
}

TBitmapView* TfrmMain::ViewUnderPointer() const {
    for (TBitmapView* view : {Image1, PaintBox1, PaintBox2})
        if (view->isVisible() && view->rect().contains(view->mapFromGlobal(QCursor::pos())))
            return view;
    return nullptr;
}

const TBitmap& TfrmMain::ViewBitmap(const TBitmapView* view) const {
    return view == Image1      ? Session_->Grid
           : view == PaintBox1 ? PaintBox1Bitmap_
                               : PaintBox2Bitmap_;
}

// Says what the file holds: coffee-picture.png, coffee-plane12-aV.png,
// coffee-areas-t146.png (the threshold of the pass drawn), coffee-likeness-
// t146.png (the area probe's colouring).
QString TfrmMain::DefaultViewName(const TBitmapView* view) const {
    const std::string& path = Session_->Picture.Path;
    const QString stem =
        path.empty()
            ? "tessavorin"
            : QFileInfo(QFile::decodeName(QByteArray::fromStdString(path))).completeBaseName();
    if (view == Image1) return stem + "-picture.png";
    if (view == PaintBox1) {
        if (ShownPlane_ >= 0)
            return QString("%1-plane%2-%3.png")
                .arg(stem)
                .arg(ShownPlane_)
                .arg(PlaneIds[ShownPlane_]);
        return stem + (path.empty() ? "-plane-view.png" : "-reductions.png");
    }
    if (!Session_->LastPass) return stem + "-area-view.png";
    return QString("%1-%2-t%3.png")
        .arg(stem, AreaViewShowsProbe_ ? "likeness" : "areas")
        .arg(Session_->LastPass->Threshold);
}

// Where a save or an export starts: where the last one went, else the listed
// folder when it can be written (the samples of an installed program cannot),
// else the user's pictures folder, else the home folder.
QString TfrmMain::SaveFolder() const {
    if (!SaveFolder_.isEmpty()) return SaveFolder_;
    if (QFileInfo(FileListDirectory_).isWritable()) return FileListDirectory_;
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!pictures.isEmpty() && QFileInfo(pictures).isDir()) return pictures;
    return QDir::homePath();
}

void TfrmMain::SaveView(TBitmapView* view) {
    const QString file = AskForPath(TAsk::PngFile, "Save as PNG",
                                    QDir(SaveFolder()).filePath(DefaultViewName(view)));
    if (file.isEmpty()) return;
    WritePng(ViewBitmap(view), QFile::encodeName(file).toStdString());
    SaveFolder_ = QFileInfo(file).absolutePath();
}

void TfrmMain::CopyView(TBitmapView* view) {
    const TBitmap& b = ViewBitmap(view);
    const QImage shown(b.Pixels.data(), b.Width, b.Height, b.Stride, QImage::Format_BGR888);
    QGuiApplication::clipboard()->setImage(shown.copy(0, 0, 256, 256));
}

// Where an export starts: where the last one went, else the home folder;
// never at first the pictures' folder, whose list the export would join.
QString TfrmMain::ExportFolder() const {
    return ExportFolder_.isEmpty() ? QDir::homePath() : ExportFolder_;
}

// The export's own folder inside the one chosen: coffee.jpg-analysis.
static std::string ExportFolderName(const std::string& picture) {
    const std::string name = std::filesystem::path(picture).filename().string();
    return (name.empty() ? std::string("tessavorin") : name) + "-analysis";
}

// Says where the files went, in the readout until the pointer moves on.
void TfrmMain::ShowNote(const QString& text) {
    ShowReadout(QStringList{text});
    Readout->setToolTip(text);
}

void TfrmMain::ExportWithDialog() {
    if (!Session_->LastPass)
        throw std::runtime_error("There is no analysis to export yet: choose a picture first.");
    const QString folder =
        AskForPath(TAsk::Folder, "Choose a folder for the export of the analysis", ExportFolder());
    if (folder.isEmpty()) return;
    const std::string parent = QFile::encodeName(folder).toStdString();
    const std::string name = ExportFolderName(Session_->Picture.Path);
    const std::string target = (std::filesystem::path(parent) / name).string();
    const QString shown = QFile::decodeName(QByteArray::fromStdString(target));
    if (std::filesystem::exists(std::filesystem::symlink_status(target))) {
        if (!IsResultFolder(target))
            throw std::runtime_error("\"" + shown.toStdString() +
                                     "\" already exists and is not an export of this program: "
                                     "nothing was written. Choose another folder.");
        const auto answer =
            MessageBoxHook_(QMessageBox::Question, "Tessavorin",
                            "\"" + shown + "\" already holds an export. Replace it with this one?",
                            QMessageBox::Ok | QMessageBox::Cancel);
        if (answer != QMessageBox::Ok) return;
    }
    TExportOptions options;
    // The outlines and stars, also when the pointer has since turned the
    // area view into the probe's colouring.
    options.AreaView = AreasDrawing_.Pixels.empty() ? &PaintBox2Bitmap_ : &AreasDrawing_;
    options.ScanBestScore = ScanBest_;
    WriteResultFolder(*Session_, parent, name, options, {"window", Session_->Picture.Path});
    ExportFolder_ = folder;
    ShowNote("Exported into " + QFile::decodeName(QByteArray::fromStdString(name)) + ", in \"" +
             folder + "\".");
}
