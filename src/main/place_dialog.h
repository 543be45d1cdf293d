// "Place on grid" (Ctrl+R): where the loaded picture lands on the 256 x 256
// grid. The dialog shows the whole picture scaled down with the frame of what
// lands (place_frame.h) and offers the three placements: the top-left corner
// unscaled, the part in the frame, or the whole picture shrunk to fit. It
// only chooses; the window sets the choice and loads the picture again.
#pragma once

#include "image/decoders.h"
#include "image/place_preview.h"
#include "image/placement.h"

#include <QDialog>
#include <QImage>
#include <QSize>

#include <string>

class QLabel;
class QRadioButton;
class TPlaceFrame;

class TPlaceDialog : public QDialog {
  public:
    // `shown` is how the picture of `size` pixels lies on the grid now
    // (resolved); the dialog starts with it chosen.
    TPlaceDialog(const TPlacePreview& preview, TPictureSize size, const TPlacement& shown,
                 QWidget* parent);

    // The placement chosen: TopLeft, Part with its corner, or Fit (its
    // factor is found when a picture is loaded).
    TPlacement Chosen() const;

  private:
    void Choose(TPlacement::TKind kind);
    void ShowChoice();

    TPictureSize Size_;
    int FitFactor_;
    TPlaceFrame* Frame_;
    QRadioButton* TopLeft_;
    QRadioButton* Part_;
    QRadioButton* Fit_;
    QLabel* Lands_; // what lands on the grid under the choice, in words
};
