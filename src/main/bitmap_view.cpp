#include "bitmap_view.h"

#include <QHelpEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>

TBitmapView::TBitmapView(QWidget* parent, const TBitmap& bitmap, const char* name)
    : QWidget(parent), Bitmap_(bitmap) {
    setObjectName(name);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TBitmapView::OnPress(std::function<void(Qt::MouseButton, int, int)> handler) {
    Press_ = std::move(handler);
}

void TBitmapView::OnMove(std::function<void(int, int)> handler) {
    Move_ = std::move(handler);
    setMouseTracking(Move_ || Hover_);
}

void TBitmapView::OnHover(std::function<void(int, int)> handler) {
    Hover_ = std::move(handler);
    setMouseTracking(Move_ || Hover_);
}

void TBitmapView::SetOverlay(std::function<void(QPainter&)> overlay) {
    Overlay_ = std::move(overlay);
    update();
}

void TBitmapView::OnTip(std::function<QString(int, int)> tip) {
    Tip_ = std::move(tip);
}

void TBitmapView::SetZoom(int zoom) {
    Zoom_ = std::clamp(zoom, 1, 4);
    update();
}

void TBitmapView::OnZoomWheel(std::function<void(int)> handler) {
    ZoomWheel_ = std::move(handler);
}

void TBitmapView::wheelEvent(QWheelEvent* event) {
    const int dy = event->angleDelta().y();
    if (!ZoomWheel_ || !(event->modifiers() & Qt::ControlModifier) || dy == 0)
        return QWidget::wheelEvent(event);
    ZoomWheel_(dy > 0 ? 1 : -1);
    event->accept();
}

QPoint TBitmapView::ToBitmap(QPoint p) const {
    // Floor division, so that a point left of or above the view stays outside.
    const auto down = [z = Zoom_](int v) { return v >= 0 ? v / z : -((-v + z - 1) / z); };
    return {down(p.x()), down(p.y())};
}

void TBitmapView::paintEvent(QPaintEvent*) {
    // The bitmap's memory is shown as it is, without a copy.
    QPainter painter(this);
    const QImage image(Bitmap_.Pixels.data(), Bitmap_.Width, Bitmap_.Height, Bitmap_.Stride,
                       QImage::Format_BGR888);
    if (Zoom_ == 1) {
        painter.drawImage(0, 0, image);
    } else {
        // Nearest neighbour: every pixel a crisp square.
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(QRect(0, 0, Bitmap_.Width * Zoom_, Bitmap_.Height * Zoom_), image);
        painter.scale(Zoom_, Zoom_); // overlays draw in bitmap coordinates
    }
    if (Overlay_) Overlay_(painter);
}

void TBitmapView::mousePressEvent(QMouseEvent* event) {
    if (!Press_) return QWidget::mousePressEvent(event);
    const QPoint p = ToBitmap(event->position().toPoint());
    Press_(event->button(), p.x(), p.y());
}

void TBitmapView::mouseMoveEvent(QMouseEvent* event) {
    if (!Move_ && !Hover_) return QWidget::mouseMoveEvent(event);
    const QPoint p = ToBitmap(event->position().toPoint());
    if (Move_) Move_(p.x(), p.y());
    if (Hover_) Hover_(p.x(), p.y());
}

bool TBitmapView::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip && Tip_) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QPoint p = ToBitmap(help->pos());
        QToolTip::showText(help->globalPos(), Tip_(p.x(), p.y()), this);
        return true;
    }
    return QWidget::event(event);
}
