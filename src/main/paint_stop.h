// Stopping the slow painting of PaintSteps: while an analysis paints its
// steps, Escape (or Analysis > Stop) ends the painting and the rest of the
// analysis runs at full speed. What the analysis finds is the same either
// way, so stopping never leaves half an analysis behind.
//
// The painting pass looks at the events waiting for the window between its
// batches of steps; every other key press, mouse event and drop is ignored
// while it paints (but for those of the menus, whose other actions are then
// disabled), so that no other handler starts in the middle of it. A
// request to close the window stops the painting too (and is ignored: the
// window closes at the next request).
#pragma once

#include <QObject>

class QAction;

#include <functional>

class TPaintStop : public QObject {
  public:
    explicit TPaintStop(QObject* parent);

    // An analysis that paints its steps starts or ends.
    void Begin();
    void End();
    bool Running() const { return Running_; }

    // Between batches of painted steps: handles waiting events (drawing, and
    // Escape); true once the painting was asked to stop.
    bool Poll();
    bool Stopped() const { return Stopped_; }
    // Analysis > Stop, as Escape does.
    void Stop();
    // The action that stops, whose key (Escape) stays live while painting.
    void StopsWith(QAction* action) { StopAction_ = action; }
    // Told true when painting starts, false when it ends.
    void OnRunning(std::function<void(bool)> told) { Told_ = std::move(told); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool Running_ = false;
    bool Stopped_ = false;
    std::function<void(bool)> Told_;
    QAction* StopAction_ = nullptr;
};
