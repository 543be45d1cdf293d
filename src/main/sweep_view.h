// The sweep view: a tool window with the plot of the threshold sweep
// (session/sweep_plot.h) for the window's present picture, plane and
// options. Hovering shows the values at the threshold under the pointer;
// a click or a drag with the left button moves the threshold bar there,
// which runs the pass as moving the bar does. It follows every pass, plane
// choice and picture while it is open; closed, it sweeps only when the
// export asks for the sweep.
#pragma once

#include "session/sweep.h"

#include <QWidget>

#include <functional>
#include <optional>

class QAction;
class QPushButton;

// The plot itself, painted at whatever size and scale factor it has.
class TSweepPlot : public QWidget {
  public:
    explicit TSweepPlot(QWidget* parent);
    void Show(const TSweep* sweep);        // null: nothing swept yet
    std::function<void(int32_t)> OnChoose; // a threshold clicked or dragged to
    // Where threshold t lies across the plot, for the pointer.
    int ColumnOf(int32_t t) const;
    std::optional<int32_t> Hovered() const { return Hover_; }
    const TSweep* Shown() const { return Sweep_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    void Choose(double x);
    const TSweep* Sweep_ = nullptr;
    std::optional<int32_t> Hover_;
};

class TSweepView {
  public:
    // `sweep` makes the sweep of the window's present state, reusing the
    // last one it made (null before the first); `moveBar` moves the bar.
    using TSweeper = std::function<TSweep(const TSweep* last)>;
    TSweepView(QWidget* owner, TSweeper sweep, std::function<void(int32_t)> moveBar);
    ~TSweepView();
    TSweepView(const TSweepView&) = delete;
    TSweepView& operator=(const TSweepView&) = delete;

    // "Threshold sweep": opens and closes the view, for a menu.
    QAction* Action() const { return Action_; }
    // The scan button's context menu offers the action.
    void OfferOn(QPushButton* button);
    // Sweeps anew for the window's present state when the view is open.
    void Follow();
    // The sweep of the present state, open or not (for the export).
    const TSweep& Current();
    // The last sweep made; none while the view has not been opened.
    const std::optional<TSweep>& Sweep() const { return Sweep_; }
    QWidget* Window() const { return Window_; }
    TSweepPlot* Plot() const { return Plot_; }

  private:
    TSweeper Sweeper_;
    QWidget* Window_;
    TSweepPlot* Plot_;
    QAction* Action_;
    std::optional<TSweep> Sweep_;
};
