#include "main_window.h"

#include "bitmap_view.h"
#include "help_window.h"
#include "paint_stop.h"
#include "screen_fit.h"
#include "session/session.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTimer>
#include <jpeglib.h>

namespace {

constexpr const char* FirstHint = "Choose a picture in the list on the left, drop one here, or "
                                  "press Ctrl+O";

} // namespace

TMainWindow::TMainWindow(TfrmMain::TOptions options, QSettings* settings)
    : Settings_(settings), Form_(new TfrmMain(std::move(options))), Scroll_(new QScrollArea(this)),
      Zoom_(*Form_) {
    setWindowTitle(Form_->windowTitle());
    setWindowIcon(Form_->windowIcon());
    Scroll_->setWidget(Form_);
    Scroll_->setWidgetResizable(false);
    Scroll_->setFrameShape(QFrame::NoFrame);
    Scroll_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setCentralWidget(Scroll_);
    // The form gives the window its title (the picture's name).
    connect(Form_, &QWidget::windowTitleChanged, this, &QWidget::setWindowTitle);
    Form_->SetStatusSink([this](const QString& text) {
        statusBar()->showMessage(text);
        UpdateActions();
    });
    CreateMenus();
    // (The views carry no meta-object of their own: found as widgets.)
    for (QWidget* w : Form_->findChildren<QWidget*>())
        if (auto* view = dynamic_cast<TBitmapView*>(w))
            view->OnZoomWheel([this](int steps) { SetZoom(Zoom() + steps); });
    statusBar()->showMessage(FirstHint);
    Zoom_.Apply(1);
    if (Settings_) SetZoom(Settings_->value("window/zoom", 1).toInt());
    UpdateActions();
    // The painting of the fill steps holds every other action back while it runs.
    PaintStop().OnRunning([this](bool) { UpdateActions(); });
}

TMainWindow::~TMainWindow() = default;

TPaintStop& TMainWindow::PaintStop() const {
    auto* stop = dynamic_cast<TPaintStop*>(Form_->findChild<QObject*>("PaintStop"));
    if (!stop) throw std::logic_error("the window has no painting stopper");
    return *stop;
}

QAction* TMainWindow::FormAction(const char* name) const {
    auto* action = Form_->findChild<QAction*>(name);
    if (!action) throw std::logic_error(std::string("the window has no action ") + name);
    return action;
}

QAction* TMainWindow::Action(const char* name) const {
    if (auto* own = findChild<QAction*>(name)) return own;
    return FormAction(name);
}

QAction* TMainWindow::Own(const char* name, const QString& text, const QKeySequence& keys,
                          const QString& tip) {
    auto* action = new QAction(text, this);
    action->setObjectName(name);
    action->setShortcut(keys);
    action->setStatusTip(tip);
    addAction(action);
    return action;
}

void TMainWindow::CreateMenus() {
    QMenu* file = menuBar()->addMenu("&File");
    file->addAction(FormAction("OpenPictureAction"));
    file->addAction(FormAction("OpenFolderAction"));
    file->addSeparator();
    file->addAction(FormAction("SaveViewAction"));
    file->addAction(FormAction("CopyViewAction"));
    file->addAction(FormAction("ExportAction"));
    file->addSeparator();
    QAction* quit = Own("QuitAction", "&Quit", QKeySequence::Quit, "Close Tessavorin");
    connect(quit, &QAction::triggered, this, &QWidget::close);
    file->addAction(quit);

    QMenu* view = menuBar()->addMenu("&View");
    FormAction("MagnifierAction")->setStatusTip("The 15 x 15 pixels around the pointer, magnified");
    FormAction("AreaTableAction")->setStatusTip("One row per area the analysis kept");
    view->addAction(FormAction("MagnifierAction"));
    view->addAction(FormAction("AreaTableAction"));
    FormAction("SweepViewAction")->setStatusTip(
        "The analysis at every threshold: kept areas and score over the histogram");
    view->addAction(FormAction("SweepViewAction"));
    view->addSeparator();
    QAction* in = Own("ZoomInAction", "Zoom &in", QKeySequence::ZoomIn,
                      "Show the three views larger (up to 4x)");
    QAction* out = Own("ZoomOutAction", "Zoom &out", QKeySequence::ZoomOut,
                       "Show the three views smaller (down to 1x)");
    QAction* actual = Own("ActualSizeAction", "&Actual size", QKeySequence(Qt::CTRL | Qt::Key_0),
                          "Show the views at 1x, one screen pixel per grid pixel");
    connect(in, &QAction::triggered, this, [this] { SetZoom(Zoom() + 1); });
    connect(out, &QAction::triggered, this, [this] { SetZoom(Zoom() - 1); });
    connect(actual, &QAction::triggered, this, [this] { SetZoom(1); });
    view->addActions({in, out, actual});
    view->addSeparator();
    QAction* showHelp = Own("ShowHelpAction", "Show &help", {}, "Open the help window");
    connect(showHelp, &QAction::triggered, this, &TMainWindow::ShowHelp);
    view->addAction(showHelp);

    QMenu* analysis = menuBar()->addMenu("&Analysis");
    FormAction("PlaceAction")->setStatusTip("Choose which part of the picture lands on the grid");
    analysis->addAction(FormAction("PlaceAction"));
    analysis->addAction(FormAction("ScanAction"));
    analysis->addAction(FormAction("StopAction"));

    QMenu* help = menuBar()->addMenu("&Help");
    QAction* contents = Own("HelpAction", "&Help", QKeySequence::HelpContents,
                            "What every control, view and number of the window means");
    connect(contents, &QAction::triggered, this, &TMainWindow::ShowHelp);
    QAction* keys = Own("ShortcutsAction", "&Keyboard shortcuts", {}, "Every key of the window");
    connect(keys, &QAction::triggered, this, &TMainWindow::ShowShortcuts);
    QAction* about = Own("AboutAction", "&About Tessavorin", {}, "Version and libraries");
    connect(about, &QAction::triggered, this, &TMainWindow::ShowAbout);
    help->addActions({contents, keys, about});
}

void TMainWindow::UpdateActions() {
    const TSession& s = Form_->Session();
    const bool picture = !s.Picture.Path.empty();
    const bool analysis = s.LastPass.has_value();
    const bool painting = PaintStop().Running();
    for (QAction* a : findChildren<QAction*>()) a->setEnabled(!painting);
    for (QAction* a : Form_->findChildren<QAction*>()) a->setEnabled(!painting);
    FormAction("StopAction")->setEnabled(painting);
    if (painting) return;
    for (const char* name : {"SaveViewAction", "CopyViewAction", "PlaceAction", "ScanAction"})
        FormAction(name)->setEnabled(picture);
    FormAction("ExportAction")->setEnabled(analysis);
    Action("ZoomInAction")->setEnabled(Zoom() < TZoomLayout::MaxZoom);
    Action("ZoomOutAction")->setEnabled(Zoom() > TZoomLayout::MinZoom);
    Action("ActualSizeAction")->setEnabled(Zoom() != 1);
}

QString TMainWindow::StatusText() const {
    return statusBar()->currentMessage();
}

void TMainWindow::SetZoom(int zoom) {
    const bool changed = zoom != Zoom();
    Zoom_.Apply(zoom);
    if (changed && isVisible() && !isMaximized() && !isFullScreen()) {
        FitToContents();
        KeepOnScreen(*this);
    }
    if (Settings_) Settings_->setValue("window/zoom", Zoom());
    UpdateActions();
}

void TMainWindow::ShowHelp() {
    if (!Help_) Help_ = new THelpWindow(this);
    Help_->show();
    KeepOnScreen(*Help_);
    Help_->raise();
    Help_->activateWindow();
}

void TMainWindow::ShowShortcuts() {
    ShowHelp();
    Help_->ShowHeading("Keyboard shortcuts");
}

void TMainWindow::ShowAbout() {
    QMessageBox::about(
        this, "About Tessavorin",
        QString("<b>Tessavorin %1</b><p>Shows how a picture breaks down into feature planes and "
                "areas.</p><p>Qt %2 (built with %3), libjpeg-turbo (JPEG library version %4), "
                "Qt's image readers for PNG, BMP and TIFF.</p>")
            .arg(QApplication::applicationVersion().isEmpty() ? "(development)"
                                                              : QApplication::applicationVersion())
            .arg(qVersion())
            .arg(QT_VERSION_STR)
            .arg(JPEG_LIB_VERSION));
}

// As large as the layout at its zoom, as far as the screen's free area allows.
void TMainWindow::FitToContents() {
    const QSize bars(0, menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
    QSize want = Form_->size() + bars;
    if (const QScreen* on = screen()) {
        const QSize frame = frameGeometry().size() - geometry().size();
        want = want.boundedTo(on->availableGeometry().size() - frame);
    }
    resize(want);
}

void TMainWindow::RestoreOrPlace() {
    const QByteArray saved =
        Settings_ ? Settings_->value("window/geometry").toByteArray() : QByteArray();
    if (!RestoreGeometryOnScreen(*this, saved)) {
        FitToContents();
        move(33, 5);
    }
    KeepOnScreen(*this);
    // A window manager frames the window after it is shown: then its title bar
    // is known, and the window moves down if that lies above the screen.
    QTimer::singleShot(300, this, [this] {
        if (!isMaximized() && !isFullScreen()) FitToContents();
        KeepOnScreen(*this);
    });
}

void TMainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (Placed_) return;
    Placed_ = true;
    RestoreOrPlace();
}

void TMainWindow::closeEvent(QCloseEvent* event) {
    if (Settings_) Settings_->setValue("window/geometry", saveGeometry());
    QMainWindow::closeEvent(event);
}
