// A view of one 24-bit bitmap at 1:1 pixels: paints the bitmap it was given
// (kept by its owner, who calls update() after drawing into it) and reports
// mouse presses and moves in bitmap coordinates. The picture, the plane view
// and the area view of the window are such views.
#pragma once

#include "image/bitmap.h"

#include <QWidget>

#include <functional>

class TBitmapView : public QWidget {
  public:
    TBitmapView(QWidget* parent, const TBitmap& bitmap, const char* name);

    void OnPress(std::function<void(Qt::MouseButton, int x, int y)> handler);
    void OnMove(std::function<void(int x, int y)> handler);
    // The tooltip at (x, y); without one the view's own tooltip shows.
    void OnTip(std::function<QString(int x, int y)> tip);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

  private:
    const TBitmap& Bitmap_;
    std::function<void(Qt::MouseButton, int, int)> Press_;
    std::function<void(int, int)> Move_;
    std::function<QString(int, int)> Tip_;
};
