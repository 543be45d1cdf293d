// The closer look around the window: the readout and the colour legend in
// the empty column below Label1, the magnifier and the table of areas as
// tool windows, the actions that toggle them (Ctrl+M, Ctrl+T and the views'
// context menu), and the link between the table and the area view. All of it
// reads the session and the views' bitmaps; none of it changes them.
#include "area_table.h"
#include "bitmap_view.h"
#include "legend.h"
#include "magnifier.h"
#include "screen_fit.h"
#include "session/area_columns.h"
#include "session/footprint.h"
#include "session/session.h"
#include "sweep_view.h"
#include "uMain.h"

#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPen>
#include <QRegion>

#include <algorithm>

namespace {

// The frame of the picture's footprint: a colour the palette does not hold.
const QColor FootprintFrameColour(255, 0, 255);

// The empty column below Label1, under the plane view, as the layout leaves it.
constexpr int ColumnLeft = 448; // the plane view's left edge
constexpr int ColumnTop = 400;
constexpr int ColumnWidth = 705 - ColumnLeft;
constexpr int ColumnBottom = 548;
constexpr int PointerLineCount = 2;
constexpr int ReadoutLines = PointerLineCount + 4; // then the analysis

QAction* MakeToggle(QWidget* owner, const char* name, const QString& text, const char* keys) {
    auto* action = new QAction(text, owner);
    action->setObjectName(name);
    action->setCheckable(true);
    action->setShortcut(QKeySequence(keys));
    // Works from the tool windows as well as from the main window.
    action->setShortcutContext(Qt::ApplicationShortcut);
    owner->addAction(action);
    return action;
}

} // namespace

void TfrmMain::CreateLookTools() {
    Readout = new QLabel(this);
    Readout->setObjectName("Readout");
    Readout->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Readout->setTextFormat(Qt::PlainText);
    Readout->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    const int readoutHeight = ReadoutLines * Readout->fontMetrics().lineSpacing();
    Readout->setGeometry(ColumnLeft, ColumnTop, ColumnWidth, readoutHeight);
    Legend = new TLegend(this);
    Legend->setGeometry(ColumnLeft, ColumnTop + readoutHeight + 4, ColumnWidth,
                        ColumnBottom - (ColumnTop + readoutHeight + 4));
    // iRainbow carries the area map's colours, as the layout has it.
    iRainbow->setPixmap(QPixmap::fromImage(AreaMapStrip().scaled(256, 4)));

    Magnifier_ = new TMagnifier(this);
    AreaTable_ = new TAreaTable(*Session_, this);
    Magnifier_->move(x() + 717 + 8, y());
    AreaTable_->move(x(), y() + 575 + 8);
    for (QWidget* tool : {static_cast<QWidget*>(Magnifier_), static_cast<QWidget*>(AreaTable_)})
        tool->installEventFilter(this);
    MagnifierAction_ = MakeToggle(this, "MagnifierAction", "Magnifier", "Ctrl+M");
    AreaTableAction_ = MakeToggle(this, "AreaTableAction", "Table of areas", "Ctrl+T");
    connect(MagnifierAction_, &QAction::toggled, this, [this](bool on) {
        if (on) OpenBeside(*Magnifier_, false);
        Magnifier_->setVisible(on);
        if (on) ShowSpot();
    });
    connect(AreaTableAction_, &QAction::toggled, this, [this](bool on) {
        if (on) {
            AreaTable_->resize(AreaTable_->SizeForRows());
            OpenBeside(*AreaTable_, true);
        }
        AreaTable_->setVisible(on);
        PaintBox2->update(); // the chosen area's outline shows only with the table
    });
    AreaTable_->OnSelect([this](int32_t label, bool byUser) { AreaChosen(label, byUser); });

    Image1->OnHover([this](int x, int y) { Hover(TViewKind::Picture, x, y); });
    PaintBox1->OnHover([this](int x, int y) { Hover(TViewKind::PlaneView, x, y); });
    PaintBox2->OnHover([this](int x, int y) { Hover(TViewKind::AreaView, x, y); });
    PaintBox2->SetOverlay([this](QPainter& painter) {
        // A picture that leaves part of the grid: a thin frame just outside
        // its footprint, on the widget only (the view's bitmap is the
        // analysis's drawing).
        const TFootprint f = FootprintOf(Session_->Picture);
        if (f.Width > 0 && f.Height > 0 && (f.Width < 256 || f.Height < 256)) {
            painter.setPen(QPen(FootprintFrameColour, 0));
            if (f.Width < 256) painter.drawLine(f.Width, 0, f.Width, std::min(f.Height, 255));
            if (f.Height < 256) painter.drawLine(0, f.Height, std::min(f.Width, 255), f.Height);
        }
        DrawChosenArea(painter);
    });
}

// The tool windows read the session: they go before it does, quietly.
void TfrmMain::DestroyLookTools() {
    for (QWidget* tool : {static_cast<QWidget*>(AreaTable_), static_cast<QWidget*>(Magnifier_)}) {
        tool->removeEventFilter(this);
        delete tool;
    }
    AreaTable_ = nullptr;
    Magnifier_ = nullptr;
}

void TfrmMain::AddLookActions(QMenu& menu) {
    menu.addAction(MagnifierAction_);
    menu.addAction(AreaTableAction_);
}

// A tool window closed by its own title bar unticks its action.
bool TfrmMain::LookWindowEvent(QObject* watched, QEvent* event) {
    // A spontaneous hide is the desktop's (the main window minimised), not the user's choice.
    if (event->type() != QEvent::Hide && event->type() != QEvent::Show) return false;
    if (event->spontaneous()) return false;
    const bool shown = event->type() == QEvent::Show;
    if (watched == Magnifier_)
        MagnifierAction_->setChecked(shown);
    else if (watched == AreaTable_)
        AreaTableAction_->setChecked(shown);
    else
        return false;
    return true;
}

TViewState TfrmMain::ViewState() const {
    return {ShownPlane_, AreaViewShowsProbe_};
}

const TBitmap& TfrmMain::ViewBitmap(TViewKind view) const {
    switch (view) {
    case TViewKind::Picture:
        return Session_->Grid;
    case TViewKind::PlaneView:
        return PaintBox1Bitmap_;
    case TViewKind::AreaView:
        break;
    }
    return PaintBox2Bitmap_;
}

void TfrmMain::Hover(TViewKind view, int x, int y) {
    Spot_ = {view, x, y};
    Hovered_ = true;
    if (view == TViewKind::AreaView) ShowLegend(); // the probe may just have drawn
    ShowSpot();
    if (view == TViewKind::AreaView && AreaTable_->isVisible() && x >= 0 && y >= 0 && x < 256 &&
        y < 256 && !Session_->Areas.PassRunning)
        AreaTable_->SelectLabel(Session_->Areas.LabelMap[y][x]);
}

void TfrmMain::ShowSpot() {
    const TViewState state = ViewState();
    const QStringList pointer = PointerLines(*Session_, state, Spot_);
    ShowReadout(Hovered_ ? pointer : QStringList{"Move the pointer over a view."});
    if (!Magnifier_->isVisible()) return;
    const TViewKind view = Spot_.View;
    Magnifier_->Show(
        ViewBitmap(view), Spot_.X, Spot_.Y,
        [&](int x, int y) {
            return PixelNumber(*Session_, state, {view, x, y});
        },
        pointer.join('\n'));
}

void TfrmMain::ShowReadout(const QStringList& pointer) {
    QStringList lines = pointer;
    while (lines.size() < PointerLineCount) lines << QString();
    lines << AnalysisLines(*Session_, ScanBest_);
    // Eliding shapes the text: skip it when nothing changed, as when a plane
    // is shown with the pointer away from the views.
    if (lines == ReadoutShown_) return;
    ReadoutShown_ = lines;
    // Never wider than the column: a line too long loses its end.
    const QFontMetrics metrics = Readout->fontMetrics();
    for (QString& line : lines) line = metrics.elidedText(line, Qt::ElideRight, Readout->width());
    while (lines.size() > ReadoutLines) lines.removeLast();
    Readout->setText(lines.join('\n'));
}

void TfrmMain::ShowLegend() {
    const TPlaneLegend plane = ShownPlane_ == aArH ? TPlaneLegend::AreaMap
                               : ShownPlane_ == aZ ? TPlaneLegend::Composite
                                                   : TPlaneLegend::None;
    Legend->Show(plane, AreaViewShowsProbe_);
}

void TfrmMain::ViewsChanged() {
    ShowLegend();
    ShowSpot();
    if (SweepView_) SweepView_->Follow();
}

// A tool window opens right of the main window (the magnifier) or below it
// (the table), then moves wholly onto the screen; once the user has placed
// it, it keeps its place.
void TfrmMain::OpenBeside(QWidget& tool, bool below) {
    if (!tool.property("placed").toBool()) {
        const QRect main = window()->frameGeometry();
        tool.move(below ? QPoint(main.left(), main.bottom() + 8)
                        : QPoint(main.right() + 8, main.top()));
        tool.setProperty("placed", true);
    }
    tool.show();
    KeepOnScreen(tool);
}

void TfrmMain::PassAboutToRun() {
    PaintingMayStart();
    AreaTable_->Clear("Analysing...");
    AreaChosen(0, false);
    AreaViewShowsProbe_ = false;
}

void TfrmMain::PassDone() {
    AreaTable_->Refresh();
    ViewsChanged();
    PaintingEnds();
}

// The records a failed pass leaves are not an analysis: the table stays empty.
void TfrmMain::PassFailed() {
    AreaTable_->Clear("The last analysis did not finish.");
    ViewsChanged();
    PaintingEnds();
}

void TfrmMain::AreaChosen(int32_t label, bool byUser) {
    ChosenOutline_ = QPainterPath();
    const int32_t i = label ? RecordOfLabel(Session_->Areas, label) : -1;
    if (i >= 0) {
        const TArea& area = *Session_->Areas.Areas[i];
        QRegion region;
        for (const TLineSeg& run : area.runs)
            if (run.len) region += QRect(run.x, run.y, run.len, 1);
        ChosenOutline_.addRegion(region);
        ChosenOutline_ = ChosenOutline_.simplified();
        if (byUser) {
            // The magnifier goes to the area's centre on the area view.
            Spot_ = {TViewKind::AreaView, area.meanX, area.meanY};
            Hovered_ = true;
            ShowSpot();
        }
    }
    PaintBox2->update();
}

void TfrmMain::DrawChosenArea(QPainter& painter) const {
    if (ChosenOutline_.isEmpty() || !AreaTable_ || !AreaTable_->isVisible()) return;
    // Black around white: seen on the ground, the outlines and the probe's black.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 3));
    painter.drawPath(ChosenOutline_);
    painter.setPen(QPen(Qt::white, 1));
    painter.drawPath(ChosenOutline_);
}
