// Taking away what the window shows: any view saved as a PNG picture or
// copied to the clipboard at 1:1 pixels (the views' context menus, Ctrl+S
// and Ctrl+C on the view under the pointer), and the export of the last
// analysis (Ctrl+E). None of it changes the session or a view; a file that
// cannot be written is reported and no file is left half-written.
#include "results_out.h"

#include "ask_path.h"
#include "bitmap_view.h"
#include "session/export.h"
#include "session/result_folder.h"
#include "session/session.h"

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

#include <algorithm>
#include <filesystem>
#include <stdexcept>

// Save, copy and export are actions of the window: they work from the
// keyboard on the window alone, and a menu bar shows the same actions (found
// by their names), so that one key never means two things.
TResultsOut::TResultsOut(QWidget* window, const TSession& session, TViews views, THost host)
    : Window_(window), Session_(session), Views_(views), Host_(std::move(host)) {
    const auto named = [this](const char* name, const QString& text, const QKeySequence& keys,
                              const QString& tip, std::function<void()> handler) {
        auto* action = new QAction(text, Window_);
        action->setObjectName(name);
        action->setShortcut(keys);
        action->setStatusTip(tip);
        Window_->addAction(action);
        QObject::connect(action, &QAction::triggered, Window_,
                         [this, handler] { Host_.Guard(handler); });
    };
    named("SaveViewAction", "&Save view as...", QKeySequence::Save,
          "Save the view under the pointer (else the last one clicked, else the area view) as PNG",
          [this] { SaveView(ViewToTake()); });
    named("CopyViewAction", "&Copy view", QKeySequence::Copy,
          "Copy the view under the pointer (else the last one clicked, else the area view)",
          [this] { CopyView(ViewToTake()); });
    named("ExportAction", "&Export analysis...", QKeySequence(Qt::CTRL | Qt::Key_E),
          "Write the analysis's table, planes and pictures into a folder",
          [this] { ExportWithDialog(); });
}

TBitmapView* TResultsOut::ViewToTake() const {
    if (TBitmapView* view = ViewUnderPointer()) return view;
    TBitmapView* clicked = Host_.LastViewClicked();
    return clicked ? clicked : Views_.AreaView;
}

QString TResultsOut::ViewName(const TBitmapView* view) const {
    return view == Views_.Picture     ? "the picture"
           : view == Views_.PlaneView ? "the plane view"
                                      : "the area view";
}

void TResultsOut::AreasDrawn(const TBitmap& view) {
    if (AreasDrawing_.Pixels.empty()) CreateBitmap(AreasDrawing_, 256, 256);
    DrawBitmap(AreasDrawing_, 0, 0, view);
}

void TResultsOut::AddSaveActions(QMenu& menu, TBitmapView* view) {
    const auto add = [&](const QString& text, const QKeySequence& keys,
                         std::function<void()> handler) {
        QAction* action = menu.addAction(text, Window_, [this, handler] { Host_.Guard(handler); });
        action->setShortcut(keys);
        action->setShortcutVisibleInContextMenu(true);
        return action;
    };
    const QString what = view == Views_.PlaneView ? "plane view" : "area view";
    add("Save the " + what + " as PNG...", QKeySequence::Save, [this, view] { SaveView(view); });
    add("Copy the " + what, QKeySequence::Copy, [this, view] { CopyView(view); });
    if (view == Views_.AreaView) {
        menu.addSeparator();
        add("Save the picture as PNG...", {}, [this] { SaveView(Views_.Picture); });
        add("Copy the picture", {}, [this] { CopyView(Views_.Picture); });
    }
    menu.addSeparator();
    add("Export the analysis...", QKeySequence(Qt::CTRL | Qt::Key_E), [this] {
        ExportWithDialog();
    })->setEnabled(Session_.LastPass.has_value());
}

TBitmapView* TResultsOut::ViewUnderPointer() const {
    for (TBitmapView* view : {Views_.Picture, Views_.PlaneView, Views_.AreaView})
        if (view->isVisible() && view->rect().contains(view->mapFromGlobal(QCursor::pos())))
            return view;
    return nullptr;
}

const TBitmap& TResultsOut::ViewBitmap(const TBitmapView* view) const {
    return view == Views_.Picture     ? Session_.Grid
           : view == Views_.PlaneView ? *Views_.PlaneBitmap
                                      : *Views_.AreaBitmap;
}

// Says what the file holds: coffee-picture.png, coffee-plane12-aV.png,
// coffee-areas-t146.png (the threshold of the pass drawn), coffee-likeness-
// t146.png (the area probe's colouring).
QString TResultsOut::DefaultViewName(const TBitmapView* view) const {
    const std::string& path = Session_.Picture.Path;
    const TViewState shown = Host_.ViewState();
    const QString stem =
        path.empty()
            ? "tessavorin"
            : QFileInfo(QFile::decodeName(QByteArray::fromStdString(path))).completeBaseName();
    if (view == Views_.Picture) return stem + "-picture.png";
    if (view == Views_.PlaneView) {
        // A grey plane seen through a brightness offset is not its values:
        // the name says it is the display (planes/ of the export holds them).
        bool shifted = false;
        for (int k = 0; k < 256; ++k) shifted |= Session_.ToneTab[k] != k;
        const bool grey = shown.ShownPlane != aArH && shown.ShownPlane != aZ;
        if (shown.ShownPlane >= 0)
            return QString("%1-plane%2-%3%4.png")
                .arg(stem)
                .arg(shown.ShownPlane)
                .arg(PlaneIds[shown.ShownPlane])
                .arg(shifted && grey ? "-display" : "");
        return stem + (path.empty() ? "-plane-view.png" : "-reductions.png");
    }
    if (!Session_.LastPass) return stem + "-area-view.png";
    return QString("%1-%2-t%3.png")
        .arg(stem, shown.AreaViewShowsProbe ? "likeness" : "areas")
        .arg(Session_.LastPass->Threshold);
}

// Where a save or an export starts: where the last one went, else the listed
// folder when it can be written (the samples of an installed program cannot),
// else the user's pictures folder, else the home folder.
QString TResultsOut::SaveFolder() const {
    if (!SaveFolder_.isEmpty()) return SaveFolder_;
    const QString listed = Host_.ListedFolder();
    if (QFileInfo(listed).isWritable()) return listed;
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!pictures.isEmpty() && QFileInfo(pictures).isDir()) return pictures;
    return QDir::homePath();
}

void TResultsOut::SaveView(TBitmapView* view) {
    const QString file = AskForPath(Window_, TAsk::PngFile, "Save as PNG",
                                    QDir(SaveFolder()).filePath(DefaultViewName(view)));
    if (file.isEmpty()) return;
    WritePng(ViewBitmap(view), QFile::encodeName(file).toStdString());
    SaveFolder_ = QFileInfo(file).absolutePath();
    Host_.Tell(QString("Saved %1 to %2").arg(ViewName(view), QDir::toNativeSeparators(file)));
}

void TResultsOut::CopyView(TBitmapView* view) {
    const TBitmap& b = ViewBitmap(view);
    const QImage shown(b.Pixels.data(), b.Width, b.Height, b.Stride, QImage::Format_BGR888);
    QGuiApplication::clipboard()->setImage(shown.copy(0, 0, 256, 256));
    Host_.Tell(QString("Copied %1 to the clipboard").arg(ViewName(view)));
}

// Where an export starts: where the last one went, else the home folder;
// never at first the pictures' folder, whose list the export would join.
QString TResultsOut::ExportFolder() const {
    return ExportFolder_.isEmpty() ? QDir::homePath() : ExportFolder_;
}

namespace {

// The export's own folder inside the one chosen: coffee.jpg-analysis. A
// picture's name near the file system's limit of 255 bytes is cut, at the
// start of a character, so that the folder's name stays within it.
std::string ExportFolderName(const std::string& picture) {
    const std::string suffix = "-analysis";
    std::string name = std::filesystem::path(picture).filename().string();
    if (name.empty()) name = "tessavorin";
    size_t keep = std::min(name.size(), 255 - suffix.size());
    while (keep > 0 && keep < name.size() &&
           (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80)
        --keep;
    return name.substr(0, keep) + suffix;
}

} // namespace

void TResultsOut::ExportWithDialog() {
    if (!Session_.LastPass)
        throw std::runtime_error("There is no analysis to export yet: choose a picture first.");
    const QString folder = AskForPath(
        Window_, TAsk::Folder, "Choose a folder for the export of the analysis", ExportFolder());
    if (folder.isEmpty()) return;
    const std::string parent = QFile::encodeName(folder).toStdString();
    const std::string name = ExportFolderName(Session_.Picture.Path);
    const std::string target = (std::filesystem::path(parent) / name).string();
    const QString shown = QFile::decodeName(QByteArray::fromStdString(target));
    if (std::filesystem::exists(std::filesystem::symlink_status(target))) {
        if (!IsResultFolder(target))
            throw std::runtime_error("\"" + shown.toStdString() +
                                     "\" already exists and is not an export of this program: "
                                     "nothing was written. Choose another folder.");
        if (!Host_.Ask("\"" + shown + "\" already holds an export. Replace it with this one?"))
            return;
    }
    TExportOptions options;
    // The outlines and stars, also when the pointer has since turned the
    // area view into the probe's colouring.
    options.AreaView = AreasDrawing_.Pixels.empty() ? Views_.AreaBitmap : &AreasDrawing_;
    options.ScanBestScore = Host_.ScanBest();
    options.Sweep = Host_.Sweep();
    WriteResultFolder(Session_, parent, name, options, {"window", Session_.Picture.Path});
    ExportFolder_ = folder;
    Host_.Note("Exported into " + QFile::decodeName(QByteArray::fromStdString(name)) + ", in \"" +
               folder + "\".");
}
