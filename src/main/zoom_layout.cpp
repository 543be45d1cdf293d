#include "zoom_layout.h"

#include "bitmap_view.h"

#include <QListWidget>
#include <QScrollBar>
#include <QWidget>

#include <algorithm>

namespace {

// The views start at this column; what lies left of it (the lists) stays.
constexpr int ViewsLeft = 188;

int MapX(int x, int zoom) {
    return x <= ViewsLeft ? x : ViewsLeft + (x - ViewsLeft) * zoom;
}

} // namespace

TZoomLayout::TZoomLayout(QWidget& area) : Area_(area) {}

TZoomLayout::TKind TZoomLayout::KindOf(const QWidget& w) {
    if (qobject_cast<const QScrollBar*>(&w)) return TKind::Bar;
    if (qobject_cast<const QListWidget*>(&w)) return TKind::List;
    if (dynamic_cast<const TBitmapView*>(&w)) return TKind::View;
    return TKind::Fixed;
}

QRect TZoomLayout::Map(const QRect& base, TKind kind, int zoom) {
    const QPoint at(MapX(base.left(), zoom), base.top() * zoom);
    switch (kind) {
    case TKind::View:
        return {at, base.size() * zoom};
    case TKind::Bar:
        return {at, QSize(base.width() * zoom, base.height())};
    case TKind::List:
        return {at, QSize(base.width(), base.height() * zoom)};
    case TKind::Fixed:
        break;
    }
    return {at, base.size()};
}

void TZoomLayout::RecordLayout() {
    if (Zoom_ != 1) return; // the layout is read at zoom 1 only
    BaseSize_ = Area_.size();
    for (QObject* child : Area_.children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (w && !w->isWindow()) Base_.insert(w, w->geometry());
    }
}

void TZoomLayout::Apply(int zoom) {
    zoom = std::clamp(zoom, MinZoom, MaxZoom);
    RecordLayout();
    Zoom_ = zoom;
    for (auto it = Base_.cbegin(); it != Base_.cend(); ++it) {
        QWidget* w = it.key();
        if (!Area_.children().contains(w)) continue; // gone since
        const TKind kind = KindOf(*w);
        const QRect place = Map(it.value(), kind, zoom);
        if (kind == TKind::Fixed)
            w->move(place.topLeft()); // sized by its own text
        else
            w->setGeometry(place);
        if (auto* view = dynamic_cast<TBitmapView*>(w)) view->SetZoom(zoom);
    }
    Area_.setFixedSize(MapX(BaseSize_.width(), zoom), BaseSize_.height() * zoom);
}
