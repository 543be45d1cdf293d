// The window's layout at a zoom of 1 to 4: the picture, the plane view and
// the area view show every pixel as a z x z square, the scroll bars under
// them grow as long, the lists as tall; every other control keeps its size
// and moves with the views it sits beside. Zoom 1 is the layout itself.
#pragma once

#include <QHash>
#include <QPointer>
#include <QRect>
#include <QSize>

class QWidget;

class TZoomLayout {
  public:
    enum class TKind { View, Bar, List, Fixed };
    static constexpr int MinZoom = 1;
    static constexpr int MaxZoom = 4;

    // Lays out the children of `area` (not its tool windows).
    explicit TZoomLayout(QWidget& area);

    // Places every child for `zoom` (held to 1..4) and sizes the area.
    void Apply(int zoom);
    int Zoom() const { return Zoom_; }

    // Where a control placed at `base` in the layout stands at `zoom`.
    static QRect Map(const QRect& base, TKind kind, int zoom);
    static TKind KindOf(const QWidget& w);

  private:
    void RecordLayout();

    QWidget& Area_;
    QSize BaseSize_;
    QHash<QWidget*, QRect> Base_; // each child's place at zoom 1
    int Zoom_ = 1;
};
