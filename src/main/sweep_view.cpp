#include "sweep_view.h"

#include "screen_fit.h"

#include "session/sweep_plot.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

TSweepPlot::TSweepPlot(QWidget* parent) : QWidget(parent) {
    setObjectName("SweepPlot");
    setMouseTracking(true);
    setMinimumSize(480, 300);
    setCursor(Qt::CrossCursor);
}

void TSweepPlot::Show(const TSweep* sweep) {
    Sweep_ = sweep;
    update();
}

int TSweepPlot::ColumnOf(int32_t t) const {
    const QRectF a = SweepPlotArea(QRectF(rect()));
    return int(a.left() + (t + 0.5) * a.width() / 256.0);
}

void TSweepPlot::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!Sweep_) {
        p.fillRect(rect(), Qt::white);
        p.drawText(rect(), Qt::AlignCenter, "No sweep yet.");
        return;
    }
    PaintSweep(p, QRectF(rect()), *Sweep_, Hover_);
}

void TSweepPlot::Choose(double x) {
    const int32_t t = SweepThresholdAt(QRectF(rect()), x);
    if (OnChoose && Sweep_ && t != Sweep_->Bar) OnChoose(t);
}

void TSweepPlot::mouseMoveEvent(QMouseEvent* e) {
    Hover_ = SweepThresholdAt(QRectF(rect()), e->position().x());
    if (e->buttons() & Qt::LeftButton) Choose(e->position().x());
    update();
}

void TSweepPlot::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) Choose(e->position().x());
}

void TSweepPlot::leaveEvent(QEvent*) {
    Hover_.reset();
    update();
}

TSweepView::TSweepView(QWidget* owner, TSweeper sweep, std::function<void(int32_t)> moveBar)
    : Sweeper_(std::move(sweep)), Window_(new QWidget(owner, Qt::Tool)),
      Plot_(new TSweepPlot(Window_)), Action_(new QAction("Threshold sweep", owner)) {
    Window_->setObjectName("SweepView");
    Window_->setWindowTitle("Threshold sweep");
    auto* layout = new QVBoxLayout(Window_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Plot_);
    Window_->resize(900, 520);
    Plot_->OnChoose = std::move(moveBar);
    Action_->setObjectName("SweepViewAction");
    Action_->setCheckable(true);
    QObject::connect(Action_, &QAction::toggled, Window_, [this](bool on) {
        if (on == Window_->isVisible()) return;
        Window_->setVisible(on);
        if (on) KeepOnScreen(*Window_);
        Follow();
    });
    // Closed by its title bar, the view unticks its action.
    struct TCloseWatch : QObject {
        QAction* action;
        TCloseWatch(QObject* parent, QAction* a) : QObject(parent), action(a) {}
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Hide && !e->spontaneous()) action->setChecked(false);
            return false;
        }
    };
    Window_->installEventFilter(new TCloseWatch(Window_, Action_));
}

// The view's window goes with the view, before the window that holds both:
// closing it then tells no one who is already gone.
TSweepView::~TSweepView() {
    QObject::disconnect(Action_, nullptr, Window_, nullptr);
    Plot_->Show(nullptr);
    delete Window_; // with the plot and its close watch
}

void TSweepView::OfferOn(QPushButton* button) {
    button->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(button, &QWidget::customContextMenuRequested, button,
                     [this, button](const QPoint& at) {
                         QMenu menu(button);
                         menu.addAction(Action_);
                         menu.exec(button->mapToGlobal(at));
                     });
}

void TSweepView::Follow() {
    if (Window_->isVisible()) Current();
}

const TSweep& TSweepView::Current() {
    Sweep_ = Sweeper_(Sweep_ ? &*Sweep_ : nullptr);
    Plot_->Show(&*Sweep_);
    return *Sweep_;
}
