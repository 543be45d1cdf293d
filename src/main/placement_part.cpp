// Where pictures land on the grid: Ctrl+R opens "Place on grid" for the
// loaded picture; OK sets the session's placement, which stays for the
// pictures loaded after it, and loads the picture again under it.
#include "placement_part.h"

#include "busy_cursor.h"
#include "place_dialog.h"
#include "session/session.h"

#include <QAction>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

TPlacementPart::TPlacementPart(QWidget* window, const TSession& session, THost host)
    : Window_(window), Session_(session), Host_(std::move(host)) {
    Action_ = new QAction("Place on grid...", window);
    Action_->setObjectName("PlaceAction");
    Action_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    window->addAction(Action_);
    QObject::connect(Action_, &QAction::triggered, window,
                     [this] { Host_.Guard([this] { PlaceOnGrid(); }); });
    PictureChanged(); // nothing to place before a load
}

void TPlacementPart::PictureChanged() {
    Action_->setEnabled(!Session_.Picture.Path.empty());
}

void TPlacementPart::PlaceOnGrid() {
    const TPictureInfo picture = Session_.Picture;
    if (picture.Path.empty()) return;
    // The preview takes at most about half of the screen.
    QSize bound(720, 540);
    if (const QScreen* screen =
            Window_->screen() ? Window_->screen() : QGuiApplication::primaryScreen())
        bound = bound.boundedTo(screen->availableSize() * 0.6);
    TPlacePreview preview;
    {
        TBusyCursor busy;
        preview = ReadPlacePreview(picture.Path, picture.Size, bound);
    }
    TPlaceDialog dialog(preview, picture.Size, picture.Placement, Window_);
    if (dialog.exec() != QDialog::Accepted) return;
    // A picture that cannot be read now changes nothing, the placement
    // asked included; a later step that fails leaves the picture and its
    // placement in place, as after any load.
    Host_.LoadAgain(dialog.Chosen());
}
