// Opening the user's own pictures and folders: the command-line argument,
// the open dialogs (Ctrl+O, Ctrl+Shift+O) and drops on the window. Every way
// checks the path and the folder first, so that a refusal changes nothing;
// the folder chosen in a dialog is remembered for the next start.
#include "ask_path.h"
#include "file_list.h"
#include "uMain.h"

#include <QAction>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QMimeData>
#include <QSettings>
#include <QShortcut>
#include <QUrl>

#include <filesystem>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

const char* const RememberedFolderKey = "folder";

QString Shown(const std::string& path) {
    return QDir::toNativeSeparators(QFile::decodeName(QByteArray::fromStdString(path)));
}

std::string Bytes(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

[[noreturn]] void FailFolder(const std::string& folder) {
    throw std::runtime_error(QString("Cannot open the folder \"%1\": it cannot be read.")
                                 .arg(Shown(folder))
                                 .toStdString());
}

} // namespace

bool TfrmMain::OpenPath(const std::string& path) {
    return Guard([&] { OpenGivenPath(path); });
}

void TfrmMain::OpenGivenPath(const std::string& given) {
    std::error_code ec;
    const fs::path path = fs::absolute(given, ec).lexically_normal();
    const fs::file_status status = fs::status(path, ec);
    if (given.empty() || ec || !fs::exists(status))
        throw std::runtime_error(
            QString("Cannot open \"%1\": there is no file or folder of that name.")
                .arg(Shown(given))
                .toStdString());
    std::vector<TPictureEntry> entries;
    if (fs::is_directory(status)) {
        if (!ListPictureFiles(QFile::decodeName(path.c_str()), entries)) FailFolder(path.string());
        ListFolder(path.string(), entries, "");
        return;
    }
    const std::string name = path.filename().string();
    if (!IsPictureName(name))
        throw std::runtime_error(
            QString("Cannot open \"%1\": it is not a picture file. Tessavorin "
                    "reads JPEG, PNG, BMP and TIFF pictures (%2).")
                .arg(Shown(given), QString::fromStdString(JoinedPictureExtensions("", ", ")))
                .toStdString());
    const std::string folder = path.parent_path().string();
    if (!ListPictureFiles(QFile::decodeName(folder.c_str()), entries)) FailFolder(folder);
    // The picture loads as a choice in the list would; the list moves to
    // its folder once it is on the grid (a refused picture changes nothing).
    try {
        FileListBox1Change(path.string());
    } catch (...) {
        if (LoadedFile_ != path.string()) throw;
        ListFolder(folder, entries, name); // loaded; a later step failed
        throw;
    }
    ListFolder(folder, entries, name);
}

void TfrmMain::ListFolder(const std::string& folder, const std::vector<TPictureEntry>& entries,
                          const std::string& selected) {
    FileListDirectory_ = QFile::decodeName(QByteArray::fromStdString(folder));
    FillFileList(entries);
    WatchFileList();
    int row = selected.empty() && !entries.empty() ? 0 : -1;
    for (size_t i = 0; i < entries.size() && !selected.empty(); ++i)
        if (entries[i].Name == selected) row = int(i);
    const QSignalBlocker block(FileListBox1);
    FileListBox1->setCurrentRow(row);
    // As at start-up: a listed folder highlights its first file unloaded.
    if (row >= 0) FileListBox1->scrollToItem(FileListBox1->item(row));
}

// Actions of the window, which a menu bar shows too (found by their names).
void TfrmMain::CreateOpenShortcuts() {
    const auto named = [this](const char* name, const QString& text, const QKeySequence& keys,
                              const QString& tip, void (TfrmMain::*handler)()) {
        auto* action = new QAction(text, this);
        action->setObjectName(name);
        action->setShortcut(keys);
        action->setStatusTip(tip);
        addAction(action);
        connect(action, &QAction::triggered, this,
                [this, handler] { Guard([this, handler] { (this->*handler)(); }); });
    };
    named("OpenPictureAction", "&Open picture...", QKeySequence::Open,
          "Choose a picture file to load and analyse", &TfrmMain::OpenPictureDialog);
    named("OpenFolderAction", "Open &folder...", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O),
          "Choose a folder to list its pictures", &TfrmMain::OpenFolderDialog);
}

void TfrmMain::OpenPictureDialog() {
    const QString file = AskForPath(this, TAsk::Picture, "Open a picture", FileListDirectory_);
    if (file.isEmpty()) return;
    OpenGivenPath(Bytes(file));
    RememberFolder();
}

void TfrmMain::OpenFolderDialog() {
    const QString folder =
        AskForPath(this, TAsk::Folder, "Open a folder of pictures", FileListDirectory_);
    if (folder.isEmpty()) return;
    OpenGivenPath(Bytes(folder));
    RememberFolder();
}

void TfrmMain::RememberFolder() {
    if (!Settings_) return;
    Settings_->setValue(RememberedFolderKey, FileListDirectory_);
    Settings_->sync(); // a home that cannot be written only loses the memory
}

QString TfrmMain::RememberedFolder() const {
    if (!Settings_) return {};
    const QString folder = Settings_->value(RememberedFolderKey).toString();
    const QFileInfo info(folder);
    return !folder.isEmpty() && info.isDir() && info.isReadable() ? folder : QString();
}

void TfrmMain::dragEnterEvent(QDragEnterEvent* event) {
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) return event->acceptProposedAction();
}

// The first picture or folder of the drop counts; a drop of neither is
// refused with the first path named. The drop is answered at once and
// opened afterwards, so that a message box never holds up the dragging
// program.
void TfrmMain::dropEvent(QDropEvent* event) {
    std::vector<std::string> paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) paths.push_back(Bytes(url.toLocalFile()));
    if (paths.empty()) return;
    event->acceptProposedAction();
    std::string chosen = paths.front();
    for (const std::string& p : paths) {
        std::error_code ec;
        if (IsPictureName(fs::path(p).filename().string()) || fs::is_directory(p, ec)) {
            chosen = p;
            break;
        }
    }
    QMetaObject::invokeMethod(
        this, [this, chosen] { OpenPath(chosen); }, Qt::QueuedConnection);
}
