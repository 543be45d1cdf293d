// The colour legend: for each view that shows false colours, a small strip
// of those colours and a line or two on what they mean. The plane view's
// area map and composite and the area view's probe colouring have one each;
// grey planes, the picture and the outlines need none.
#pragma once

#include <QImage>
#include <QWidget>

class QLabel;

// The strips, one column per step from the left (value 0, or least alike)
// to the right (value 255, or most alike).
QImage AreaMapStrip();   // 256 x 1: the Palette, as iRainbow carries it
QImage CompositeStrip(); // 256 x 3: the red, green and blue parts rising
QImage ProbeStrip();     // 256 x 2: blue rising (alike as it stands), red rising (mirrored)

enum class TPlaneLegend { None, AreaMap, Composite };

class TLegend : public QWidget {
  public:
    explicit TLegend(QWidget* parent);
    // Shows the entries for what the two views show now.
    void Show(TPlaneLegend plane, bool probe);

    // What is shown, for tests: the strip of an entry as drawn, or null.
    const QLabel* PlaneStrip() const;
    const QLabel* ProbeStripLabel() const;

  private:
    QLabel* PlaneStrip_;
    QLabel* PlaneWords_;
    QLabel* ProbeStrip_;
    QLabel* ProbeWords_;
    TPlaneLegend Plane_ = TPlaneLegend::None;
    bool Probe_ = false;
};
