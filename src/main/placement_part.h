// The placement part of the window: Ctrl+R opens "Place on grid" for the
// loaded picture (place_dialog.h); OK hands the placement chosen to the
// window, which loads the picture again under it. The part owns its action
// and the dialog; it reads the session and changes nothing itself.
#pragma once

#include "image/placement.h"

#include <functional>

class QAction;
class QWidget;
struct TSession;

class TPlacementPart {
  public:
    // What the part asks of the window: run a handler as the window runs
    // its own (errors shown), and load the loaded picture again under a
    // placement.
    struct THost {
        std::function<bool(const std::function<void()>&)> Guard;
        std::function<void(const TPlacement&)> LoadAgain;
    };

    TPlacementPart(QWidget* window, const TSession& session, THost host);

    // The loaded picture changed: the action works while there is one.
    void PictureChanged();

  private:
    void PlaceOnGrid();

    QWidget* Window_;
    const TSession& Session_;
    THost Host_;
    QAction* Action_;
};
