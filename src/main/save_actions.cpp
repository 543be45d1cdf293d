// Taking away what the window shows: any view saved as a PNG picture or
// copied to the clipboard at 1:1 pixels (the views' context menus, Ctrl+S
// and Ctrl+C on the view under the pointer), and the export of the last
// analysis (Ctrl+E). None of it changes the session or a view; a file that
// cannot be written is reported and no file is left half-written.
#include "bitmap_view.h"
#include "session/export.h"
#include "session/session.h"
#include "sweep_view.h"
#include "uMain.h"

#include <QAction>
#include <QClipboard>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>
#include <QStandardPaths>

#include <stdexcept>

// The window's own actions for opening, saving, copying and exporting: they
// work from the keyboard on the window alone, and a menu bar shows the same
// actions (found by their names), so that one key never means two things.
void TfrmMain::CreateSaveShortcuts() {
    const auto named = [this](const char* name, const QString& text, const QKeySequence& keys,
                              const QString& tip, std::function<void()> handler) {
        auto* action = new QAction(text, this);
        action->setObjectName(name);
        action->setShortcut(keys);
        action->setStatusTip(tip);
        addAction(action);
        connect(action, &QAction::triggered, this, [this, handler] { Guard(handler); });
        return action;
    };
    named("OpenPictureAction", "&Open picture...", QKeySequence::Open,
          "Choose a picture file to load and analyse", [this] { OpenPictureDialog(); });
    named("OpenFolderAction", "Open &folder...", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O),
          "Choose a folder to list its pictures", [this] { OpenFolderDialog(); });
    named("SaveViewAction", "&Save view as...", QKeySequence::Save,
          "Save the view under the pointer (else the last one clicked, else the area view) as PNG",
          [this] { SaveView(ViewToTake()); });
    named("CopyViewAction", "&Copy view", QKeySequence::Copy,
          "Copy the view under the pointer (else the last one clicked, else the area view)",
          [this] { CopyView(ViewToTake()); });
    named("ExportAction", "&Export analysis...", QKeySequence(Qt::CTRL | Qt::Key_E),
          "Write the analysis's table, planes and pictures into a folder",
          [this] { ExportWithDialog(); });
    // The picture keeps its right button for the click probe; the other two
    // views offer a menu there.
    for (TBitmapView* view : {PaintBox1, PaintBox2}) {
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view, &QWidget::customContextMenuRequested, this,
                [this, view](const QPoint& at) { ViewContextMenu(view, at); });
    }
    for (TBitmapView* view : {Image1, PaintBox1, PaintBox2}) view->installEventFilter(this);
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

TBitmapView* TfrmMain::ViewToTake() const {
    if (TBitmapView* view = ViewUnderPointer()) return view;
    return LastViewClicked_ ? LastViewClicked_ : PaintBox2;
}

QString TfrmMain::ViewName(const TBitmapView* view) const {
    return view == Image1 ? "the picture" : view == PaintBox1 ? "the plane view" : "the area view";
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
    Tell(QString("Saved %1 to %2").arg(ViewName(view), QDir::toNativeSeparators(file)));
}

void TfrmMain::CopyView(TBitmapView* view) {
    const TBitmap& b = ViewBitmap(view);
    const QImage shown(b.Pixels.data(), b.Width, b.Height, b.Stride, QImage::Format_BGR888);
    QGuiApplication::clipboard()->setImage(shown.copy(0, 0, 256, 256));
    Tell(QString("Copied %1 to the clipboard").arg(ViewName(view)));
}

void TfrmMain::ExportWithDialog() {
    if (!Session_->LastPass)
        throw std::runtime_error("There is no analysis to export yet: choose a picture first.");
    const QString folder =
        AskForPath(TAsk::Folder, "Choose a folder for the export of the analysis", SaveFolder());
    if (folder.isEmpty()) return;
    TExportOptions options;
    // The outlines and stars, also when the pointer has since turned the
    // area view into the probe's colouring.
    options.AreaView = AreasDrawing_.Pixels.empty() ? &PaintBox2Bitmap_ : &AreasDrawing_;
    options.ScanBestScore = ScanBest_;
    options.Sweep = &SweepView_->Current();
    ExportAnalysis(*Session_, QFile::encodeName(folder).toStdString(), options);
    SaveFolder_ = folder;
    Tell("Exported to " + QDir::toNativeSeparators(folder));
}
