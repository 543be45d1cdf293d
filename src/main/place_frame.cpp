#include "place_frame.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

TPlaceFrame::TPlaceFrame(const QImage& preview, double scale, int width, int height,
                         QWidget* parent)
    : QWidget(parent), Preview_(preview), Scale_(scale),
      MaxCorner_(std::max(0, width - 256), std::max(0, height - 256)) {
    setObjectName("PlaceFrame");
    // The canvas is the picture, or the grid where the picture is smaller:
    // a frame larger than the picture shows how much of the grid it covers.
    setFixedSize(int(std::ceil(std::max(width, 256) * scale)),
                 int(std::ceil(std::max(height, 256) * scale)));
    setFocusPolicy(Movable() ? Qt::StrongFocus : Qt::NoFocus);
    if (Movable()) setCursor(Qt::OpenHandCursor);
}

void TPlaceFrame::SetCorner(QPoint corner) {
    Corner_ = {std::clamp(corner.x(), 0, MaxCorner_.x()),
               std::clamp(corner.y(), 0, MaxCorner_.y())};
    update();
}

void TPlaceFrame::ShowKind(TPlacement::TKind kind) {
    Kind_ = kind;
    if (kind == TPlacement::TopLeft) Corner_ = {0, 0}; // the corner part is the part at 0,0
    update();
}

QRectF TPlaceFrame::FrameRect() const {
    if (Kind_ == TPlacement::Fit)
        return {0.0, 0.0, Preview_.width() * 1.0, Preview_.height() * 1.0};
    return {Corner_.x() * Scale_, Corner_.y() * Scale_, 256 * Scale_, 256 * Scale_};
}

// The user moved the frame: it shows the part at `corner` from now on.
void TPlaceFrame::MoveBy(QPoint corner) {
    SetCorner(corner);
    Kind_ = TPlacement::Part;
    if (Moved_) Moved_();
}

void TPlaceFrame::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Dark));
    // Transparent pixels land on the grid over white, and are shown so.
    p.fillRect(Preview_.rect(), Qt::white);
    p.drawImage(0, 0, Preview_);
    const QRectF frame = FrameRect();
    // What does not land is dimmed; the frame is drawn black and white, to
    // stand out on any picture.
    QPainterPath outside;
    outside.addRect(QRectF(rect()));
    QPainterPath inside;
    inside.addRect(frame);
    p.fillPath(outside.subtracted(inside), QColor(0, 0, 0, 110));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 3));
    p.drawRect(frame.adjusted(1, 1, -1, -1));
    p.setPen(QPen(Qt::white, 1));
    p.drawRect(frame.adjusted(1, 1, -2, -2));
}

void TPlaceFrame::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !Movable()) return QWidget::mousePressEvent(event);
    const QPointF at = event->position();
    QPoint corner = Corner_;
    // A press beside the frame (or on the whole picture, when it shows the
    // shrink) first centres the frame there.
    if (Kind_ == TPlacement::Fit || !FrameRect().contains(at))
        corner = QPoint(int(std::lround(at.x() / Scale_)) - 128,
                        int(std::lround(at.y() / Scale_)) - 128);
    MoveBy(corner);
    Dragging_ = true;
    PressAt_ = at;
    CornerAtPress_ = Corner_;
    setCursor(Qt::ClosedHandCursor);
}

void TPlaceFrame::mouseMoveEvent(QMouseEvent* event) {
    if (!Dragging_) return QWidget::mouseMoveEvent(event);
    const QPointF moved = (event->position() - PressAt_) / Scale_;
    MoveBy(CornerAtPress_ + QPoint(int(std::lround(moved.x())), int(std::lround(moved.y()))));
}

void TPlaceFrame::mouseReleaseEvent(QMouseEvent* event) {
    if (!Dragging_ || event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
    Dragging_ = false;
    setCursor(Qt::OpenHandCursor);
}

// An arrow key moves the frame by one pixel of the screen, as many picture
// pixels as that covers (at least one); with Shift by ten.
void TPlaceFrame::keyPressEvent(QKeyEvent* event) {
    const int step = std::max(1, int(std::lround(1.0 / Scale_))) *
                     (event->modifiers() & Qt::ShiftModifier ? 10 : 1);
    QPoint by;
    switch (event->key()) {
    case Qt::Key_Left:
        by = {-step, 0};
        break;
    case Qt::Key_Right:
        by = {step, 0};
        break;
    case Qt::Key_Up:
        by = {0, -step};
        break;
    case Qt::Key_Down:
        by = {0, step};
        break;
    default:
        return QWidget::keyPressEvent(event);
    }
    if (!Movable()) return;
    MoveBy(Corner_ + by);
}
