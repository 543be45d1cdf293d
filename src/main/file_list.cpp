// The file list: the picture files of one folder, sorted by name, kept up
// to date while files come and go, and the rule that only the user's own
// choices run a list's handler.
#include "file_list.h"
#include "uMain.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QListWidget>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <unistd.h>

namespace {

// True for the mouse and key events through which a user changes a list's
// selection.
bool IsUserInput(QEvent::Type type) {
    return type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
           type == QEvent::MouseButtonDblClick || type == QEvent::MouseMove ||
           type == QEvent::KeyPress;
}

} // namespace

bool ListPictureFiles(const QString& dir, std::vector<TPictureEntry>& entries) {
    // The folder is read with the names' own bytes: a name that is not valid
    // text is shown as well as it can be, and still opens.
    namespace fs = std::filesystem;
    entries.clear();
    std::error_code ec;
    fs::directory_iterator it(QFile::encodeName(dir).toStdString(), ec);
    if (ec) return false;
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code statusError;
        // A link to a picture is listed; a folder named like one is not.
        if (!IsPictureName(name) || !fs::is_regular_file(it->path(), statusError) ||
            access(it->path().c_str(), R_OK) != 0)
            continue;
        entries.push_back({QString::fromLocal8Bit(name.c_str()), name});
    }
    std::sort(entries.begin(), entries.end(), [](const TPictureEntry& a, const TPictureEntry& b) {
        const int order = QString::compare(a.Shown, b.Shown, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a.Name < b.Name;
    });
    return true;
}

bool TfrmMain::ReadFileList(const QString& dir) {
    std::vector<TPictureEntry> entries;
    if (!ListPictureFiles(dir, entries)) return false;
    FillFileList(entries);
    return true;
}

void TfrmMain::FillFileList(const std::vector<TPictureEntry>& entries) {
    const QSignalBlocker block(FileListBox1);
    FileListBox1->clear();
    for (const TPictureEntry& e : entries) {
        auto* item = new QListWidgetItem(e.Shown, FileListBox1);
        item->setSizeHint(QSize(0, 13));
        item->setData(Qt::UserRole, QByteArray::fromStdString(e.Name));
    }
    FileListBox1->setToolTip(
        QString("Pictures (%1) in the folder \"%2\". Choose "
                "one to load and analyse it. Ctrl+O opens another picture, "
                "Ctrl+Shift+O another folder; pictures and folders can also "
                "be dropped on the window. Ctrl+R places another part of the loaded picture on the "
                "grid, or the whole picture shrunk.")
            .arg(QString::fromStdString(JoinedPictureExtensions("", ", ")),
                 QDir::toNativeSeparators(FileListDirectory_)));
}

// The listed folder is watched: a change is followed by one re-listing a
// moment later, so that a burst of copies costs one.
void TfrmMain::WatchFileList() {
    if (!FolderWatcher_) {
        FolderWatcher_ = new QFileSystemWatcher(this);
        RefreshTimer_ = new QTimer(this);
        RefreshTimer_->setSingleShot(true);
        RefreshTimer_->setInterval(100);
        connect(RefreshTimer_, &QTimer::timeout, this, [this] { RefreshFileList(); });
        connect(FolderWatcher_, &QFileSystemWatcher::directoryChanged, this, [this] {
            if (!RefreshTimer_->isActive()) RefreshTimer_->start();
        });
    }
    const QStringList watched = FolderWatcher_->directories();
    if (watched == QStringList{FileListDirectory_}) return;
    if (!watched.isEmpty()) FolderWatcher_->removePaths(watched);
    if (QFileInfo(FileListDirectory_).isDir()) FolderWatcher_->addPath(FileListDirectory_);
}

// The list anew, with the highlighted file kept (none when it went) and the
// list scrolled as it was. Nothing is loaded: the picture shown stays, even
// when its file is gone.
void TfrmMain::RefreshFileList() {
    std::vector<TPictureEntry> entries;
    ListPictureFiles(FileListDirectory_, entries); // a folder that went lists nothing
    const QListWidgetItem* current = FileListBox1->currentItem();
    const QByteArray highlighted = current ? current->data(Qt::UserRole).toByteArray() : "";
    const int scrolled = FileListBox1->verticalScrollBar()->value();
    FillFileList(entries);
    const QSignalBlocker block(FileListBox1);
    FileListBox1->setCurrentRow(-1);
    for (int row = 0; row < FileListBox1->count() && !highlighted.isEmpty(); ++row)
        if (FileListBox1->item(row)->data(Qt::UserRole).toByteArray() == highlighted)
            FileListBox1->setCurrentRow(row);
    FileListBox1->verticalScrollBar()->setValue(scrolled);
    // A folder removed and made again is watched again.
    if (FolderWatcher_->directories().isEmpty() && QFileInfo(FileListDirectory_).isDir())
        FolderWatcher_->addPath(FileListDirectory_);
}

std::string TfrmMain::FileListPath(int row) const {
    return QFile::encodeName(FileListDirectory_).toStdString() + "/" +
           FileListBox1->item(row)->data(Qt::UserRole).toByteArray().toStdString();
}

void TfrmMain::ChooseHighlightedFile() {
    if (FileListBox1->currentRow() < 0) return;
    const std::string path = FileListPath(FileListBox1->currentRow());
    if (path == LoadedFile_) return; // choosing again the file loaded last does nothing
    FileListBox1Change(path);
}

void TfrmMain::ConnectUserChoice(QListWidget* list, const std::function<void()>& handler) {
    connect(list, &QListWidget::currentRowChanged, this, [this, handler](int row) {
        if (row >= 0 && InUserInput_) Guard(handler);
    });
    // A click that did not move the selection: the row was current at the press.
    connect(list, &QListWidget::clicked, this, [this, list, handler](const QModelIndex& index) {
        if (list == ListAtPress_ && index.row() == RowAtPress_) Guard(handler);
    });
}

// A list handles the user's input while InUserInput_ is set, so that the
// selection changes it makes, and only those, run the handler.
bool TfrmMain::FilterListInput(QObject* watched, QEvent* event) {
    auto* list = qobject_cast<QListWidget*>(watched);
    if (!list) list = qobject_cast<QListWidget*>(watched->parent());
    if (!list || InUserInput_ || !IsUserInput(event->type())) return false;
    if (event->type() == QEvent::MouseButtonPress) {
        ListAtPress_ = list;
        RowAtPress_ = list->currentRow();
    }
    InUserInput_ = true;
    struct TEnd {
        bool& flag;
        ~TEnd() { flag = false; }
    } end{InUserInput_};
    QCoreApplication::sendEvent(watched, event);
    return true;
}
