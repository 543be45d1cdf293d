// The analysis's own actions, for the keyboard and a menu bar: the scan, and
// stopping the slow painting of the fill steps (Escape). While an analysis
// paints its steps, the window hears of it here, and the status line says
// what each pass found.
#include "paint_stop.h"
#include "session/session.h"
#include "uMain.h"

#include <QAction>
#include <QCheckBox>
#include <QScrollBar>

void TfrmMain::CreateAnalysisActions() {
    PaintStop_ = new TPaintStop(this);
    PaintStop_->setObjectName("PaintStop");
    auto* scan = new QAction("&Scan thresholds", this);
    scan->setObjectName("ScanAction");
    scan->setStatusTip(
        "Try many thresholds and keep the one with the best score (the Scan button)");
    addAction(scan);
    connect(scan, &QAction::triggered, this, [this] { Guard([this] { ScanClick(); }); });
    auto* stop = new QAction("S&top painting", this);
    stop->setObjectName("StopAction");
    stop->setShortcut(QKeySequence(Qt::Key_Escape));
    stop->setStatusTip("Stop painting the fill steps (PaintSteps): the analysis finishes at once");
    addAction(stop);
    connect(stop, &QAction::triggered, PaintStop_, &TPaintStop::Stop);
    PaintStop_->StopsWith(stop);
}

void TfrmMain::PaintingMayStart() {
    if (!cbPaintSteps->isChecked() || PaintStop_->Running()) return;
    PaintStop_->Begin();
    Tell("Painting the fill steps: press Escape to stop painting.");
}

void TfrmMain::PaintingEnds() {
    PaintStop_->End();
}

QString TfrmMain::PassSummary() const {
    if (!Session_->LastPass) return {};
    const TPassResult& r = *Session_->LastPass;
    return QString("Threshold %1: %2 areas kept (raised to %3 while taking seeds); last rejected "
                   "fill %4")
        .arg(ScrollBar2->value())
        .arg(r.KeptAreas)
        .arg(r.RaisedLevel)
        .arg(r.RejectedLast);
}
