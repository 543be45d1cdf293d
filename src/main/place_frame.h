// The picture of the "Place on grid" dialog: the whole picture scaled down,
// and over it the 256 x 256 frame of what lands on the grid, at that scale.
// The user drags the frame with the mouse (a press beside it first centres
// it there) or moves it with the arrow keys; its corner is kept in picture
// pixels and always stays inside the picture.
#pragma once

#include "image/placement.h"

#include <QImage>
#include <QPoint>
#include <QWidget>

#include <functional>

class TPlaceFrame : public QWidget {
  public:
    // `preview` is the whole picture of `width` x `height` pixels at `scale`.
    TPlaceFrame(const QImage& preview, double scale, int width, int height, QWidget* parent);

    double Scale() const { return Scale_; }
    // The frame can move: the picture is larger than the grid on a side.
    bool Movable() const { return MaxCorner_ != QPoint(0, 0); }
    // The part's corner in picture pixels, clamped into the picture.
    QPoint Corner() const { return Corner_; }
    void SetCorner(QPoint corner);
    // What the frame shows: the corner part (TopLeft, which puts Corner() at
    // 0,0), the part at Corner() (Part) or the whole picture (Fit, which
    // keeps Corner() for a move that follows).
    void ShowKind(TPlacement::TKind kind);
    TPlacement::TKind Kind() const { return Kind_; }
    // The frame on the widget, in widget pixels.
    QRectF FrameRect() const;
    // Told after the user moved the frame; the frame then shows a part.
    void OnMoved(std::function<void()> moved) { Moved_ = std::move(moved); }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void MoveBy(QPoint corner);

    QImage Preview_;
    double Scale_;
    QPoint MaxCorner_; // the corner's largest column and row
    QPoint Corner_;
    TPlacement::TKind Kind_ = TPlacement::TopLeft;
    bool Dragging_ = false;
    QPointF PressAt_;      // where the drag started, in widget pixels
    QPoint CornerAtPress_; // the corner then
    std::function<void()> Moved_;
};
