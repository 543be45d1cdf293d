#include "bitmap_view.h"

#include <QHelpEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

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

void TBitmapView::paintEvent(QPaintEvent*) {
    // The bitmap's memory is shown as it is, without a copy.
    QPainter painter(this);
    const QImage image(Bitmap_.Pixels.data(), Bitmap_.Width, Bitmap_.Height, Bitmap_.Stride,
                       QImage::Format_BGR888);
    painter.drawImage(0, 0, image);
    if (Overlay_) Overlay_(painter);
}

void TBitmapView::mousePressEvent(QMouseEvent* event) {
    if (!Press_) return QWidget::mousePressEvent(event);
    const QPoint p = event->position().toPoint();
    Press_(event->button(), p.x(), p.y());
}

void TBitmapView::mouseMoveEvent(QMouseEvent* event) {
    if (!Move_ && !Hover_) return QWidget::mouseMoveEvent(event);
    const QPoint p = event->position().toPoint();
    if (Move_) Move_(p.x(), p.y());
    if (Hover_) Hover_(p.x(), p.y());
}

bool TBitmapView::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip && Tip_) {
        const auto* help = static_cast<QHelpEvent*>(event);
        QToolTip::showText(help->globalPos(), Tip_(help->pos().x(), help->pos().y()), this);
        return true;
    }
    return QWidget::event(event);
}
