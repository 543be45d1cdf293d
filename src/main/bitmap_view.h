// A view of one 24-bit bitmap at 1:1 pixels, or zoomed by a whole factor
// (each pixel a square of screen pixels, crisp): paints the bitmap it was
// given (kept by its owner, who calls update() after drawing into it) and
// reports mouse presses and moves in bitmap coordinates at every zoom. The picture, the plane view
// and the area view of the window are such views. An overlay may be painted
// over the bitmap on the screen only: the bitmap itself stays as drawn.
#pragma once

#include "image/bitmap.h"

#include <QWidget>

#include <functional>

class QPainter;

class TBitmapView : public QWidget {
  public:
    TBitmapView(QWidget* parent, const TBitmap& bitmap, const char* name);

    void OnPress(std::function<void(Qt::MouseButton, int x, int y)> handler);
    void OnMove(std::function<void(int x, int y)> handler);
    // Told of every move of the pointer over the view, after OnMove's handler.
    void OnHover(std::function<void(int x, int y)> handler);
    // Painted over the bitmap, in bitmap coordinates; none when empty.
    void SetOverlay(std::function<void(QPainter&)> overlay);
    // The tooltip at (x, y); without one the view's own tooltip shows.
    void OnTip(std::function<QString(int x, int y)> tip);

    // Screen pixels per bitmap pixel, 1 to 4; the owner sizes the view.
    void SetZoom(int zoom);
    int Zoom() const { return Zoom_; }
    // Ctrl+wheel over the view: told +1 for a step up (zoom in), -1 down.
    void OnZoomWheel(std::function<void(int steps)> handler);
    // The bitmap pixel under the view's point `p`.
    QPoint ToBitmap(QPoint p) const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool event(QEvent* event) override;

  private:
    const TBitmap& Bitmap_;
    int Zoom_ = 1;
    std::function<void(Qt::MouseButton, int, int)> Press_;
    std::function<void(int, int)> Move_;
    std::function<void(int, int)> Hover_;
    std::function<void(QPainter&)> Overlay_;
    std::function<QString(int, int)> Tip_;
    std::function<void(int)> ZoomWheel_;
};
