// Where pictures land on the grid: Ctrl+R opens "Place on grid" for the
// loaded picture; OK sets the session's placement, which stays for the
// pictures loaded after it, and loads the picture again under it.
#include "busy_cursor.h"
#include "place_dialog.h"
#include "session/session.h"
#include "uMain.h"

#include <QAction>
#include <QGuiApplication>
#include <QScreen>

void TfrmMain::CreatePlaceAction() {
    PlaceAction_ = new QAction("Place on grid...", this);
    PlaceAction_->setObjectName("PlaceAction");
    PlaceAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    PlaceAction_->setEnabled(!Session_->Picture.Path.empty()); // nothing to place before a load
    addAction(PlaceAction_);
    connect(PlaceAction_, &QAction::triggered, this, [this] { Guard([this] { PlaceOnGrid(); }); });
}

void TfrmMain::SetPlacement(const TPlacement& placement) {
    Session_->Placement = placement;
}

void TfrmMain::PlaceOnGrid() {
    const TPictureInfo picture = Session_->Picture;
    if (picture.Path.empty()) return;
    // The preview takes at most about half of the screen.
    QSize bound(720, 540);
    if (const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen())
        bound = bound.boundedTo(screen->availableSize() * 0.6);
    TPlacePreview preview;
    {
        TBusyCursor busy;
        preview = ReadPlacePreview(picture.Path, picture.Size, bound);
    }
    TPlaceDialog dialog(preview, picture.Size, picture.Placement, this);
    if (dialog.exec() != QDialog::Accepted) return;
    PlaceAndLoad(dialog.Chosen());
}

// Loads the picture shown again under `placement`, as a choice in the file
// list does. A picture that cannot be read now changes nothing, the
// placement asked included; a later step that fails leaves the picture and
// its placement in place, as after any load.
void TfrmMain::PlaceAndLoad(const TPlacement& placement) {
    FileListBox1Change(Session_->Picture.Path, placement);
}
