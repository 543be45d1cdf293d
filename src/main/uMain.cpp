#include "uMain.h"

#include "bitmap_view.h"
#include "busy_cursor.h"
#include "paint_stop.h"
#include "placement_part.h"
#include "results_out.h"
#include "session/analysis.h"
#include "session/click_probe.h"
#include "session/footprint.h"
#include "session/session.h"
#include "sweep_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QHelpEvent>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QToolTip>

#include <filesystem>
#include <new>
#include <thread>

TfrmMain::TfrmMain() : TfrmMain(TOptions{}) {}

TfrmMain::TfrmMain(TOptions options)
    : OwnSession_(options.Session ? nullptr : NewSession()),
      Session_(options.Session ? options.Session : OwnSession_.get()),
      MessageBoxHook_(std::move(options.MessageBox)), Settings_(options.Settings),
      PassWatcher_(options.PassWatcher) {
    CreateControls();
    CreateAnalysisActions();
    CreateLookTools();
    setWindowIcon(QIcon(":/tessavorin.png"));
    if (!MessageBoxHook_)
        MessageBoxHook_ = [this](QMessageBox::Icon icon, const QString& caption,
                                 const QString& text, QMessageBox::StandardButtons buttons) {
            QMessageBox box(icon, caption, text, buttons, this);
            return QMessageBox::StandardButton(box.exec());
        };

    for (QListWidget* list : {FileListBox1, ListBox1, ListBox2}) {
        list->installEventFilter(this);
        list->viewport()->installEventFilter(this);
    }
    Label1->installEventFilter(this);
    Image1->OnPress([this](Qt::MouseButton button, int x, int y) {
        Guard([&] { Image1MouseDown(button, x, y); });
    });
    PaintBox2->OnMove([this](int x, int y) { Guard([&] { PaintBox2MouseMove(x, y); }); });
    Image1->OnTip([this](int x, int y) { return PictureTip(x, y); });
    PaintBox1->OnTip([this](int x, int y) { return PlaneViewTip(x, y); });

    // The lists run their handler when the user moves the selection (mouse,
    // keys or type-ahead) and when the user clicks the entry that is already
    // selected; a selection set from code runs none.
    ConnectUserChoice(FileListBox1, [this] { ChooseHighlightedFile(); });
    // Enter on the highlighted file chooses it too (right after start-up the
    // first file is highlighted but not loaded).
    connect(FileListBox1, &QListWidget::activated, this, [this] {
        if (InUserInput_) Guard([this] { ChooseHighlightedFile(); });
    });
    ConnectUserChoice(ListBox1, [this] { ListBox1Click(); });
    ConnectUserChoice(ListBox2, [this] { ListBox1Click(); });
    connect(ScrollBar1, &QScrollBar::valueChanged, this,
            [this] { Guard([this] { ScrollBar1Change(); }); });
    connect(ScrollBar2, &QScrollBar::valueChanged, this,
            [this] { Guard([this] { ScrollBar2Change(); }); });
    connect(Scan, &QPushButton::clicked, this, [this] { Guard([this] { ScanClick(); }); });

    SetToolTips();
    // The folder chosen last in an open dialog, while it can be read; else
    // "samples" beside the program.
    FileListDirectory_ = RememberedFolder();
    if (FileListDirectory_.isEmpty())
        FileListDirectory_ = options.SamplesDir.isEmpty()
                                 ? QDir(QCoreApplication::applicationDirPath()).filePath("samples")
                                 : options.SamplesDir;
    FormCreate();
    WatchFileList();
    CreateParts();
    setAcceptDrops(true);
    SweepView_ = std::make_unique<TSweepView>(
        this,
        [this](const TSweep* last) {
            const int32_t bar = ScrollBar2->value();
            return last ? SweepAgain(*Session_, PassOptions(bar), bar, *last)
                        : SweepThresholds(*Session_, PassOptions(bar), bar);
        },
        [this](int32_t t) { ScrollBar2->setValue(t); });
    SweepView_->OfferOn(Scan);
}

QAction* TfrmMain::SweepViewAction() const {
    return SweepView_->Action();
}

void TfrmMain::CreateParts() {
    const auto guard = [this](const std::function<void()>& handler) { return Guard(handler); };
    ResultsOut_ = std::make_unique<TResultsOut>(
        this, *Session_,
        TResultsOut::TViews{Image1, PaintBox1, PaintBox2, &PaintBox1Bitmap_, &PaintBox2Bitmap_},
        TResultsOut::THost{
            guard, [this] { return FileListDirectory_; }, [this] { return ViewState(); },
            [this] { return ScanBest_; }, [this] { return &SweepView_->Current(); },
            [this] { return LastViewClicked_; }, [this](const QString& text) { Tell(text); },
            [this](const QString& question) {
                return MessageBoxHook_(QMessageBox::Question, "Tessavorin", question,
                                       QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
            },
            [this](const QString& text) { ShowNote(text); }});
    CreateOpenShortcuts();
    // Save and copy away from the views take the view clicked last.
    for (TBitmapView* view : {Image1, PaintBox1, PaintBox2}) view->installEventFilter(this);
    // The picture keeps its right button for the click probe; the other two
    // views offer a menu there.
    for (TBitmapView* view : {PaintBox1, PaintBox2}) {
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view, &QWidget::customContextMenuRequested, this,
                [this, view](const QPoint& at) { ViewContextMenu(view, at); });
    }
    Placement_ = std::make_unique<TPlacementPart>(
        this, *Session_, TPlacementPart::THost{guard, [this](const TPlacement& placement) {
                                                   FileListBox1Change(Session_->Picture.Path,
                                                                      placement);
                                               }});
}

void TfrmMain::SetPlacement(const TPlacement& placement) {
    Session_->Placement = placement;
}

TfrmMain::~TfrmMain() {
    DestroyLookTools();
}

TRGB TfrmMain::ButtonFace() const {
    const QColor c = palette().color(QPalette::Button);
    return {uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue())};
}

void TfrmMain::SetStatusSink(std::function<void(const QString&)> sink) {
    StatusSink_ = std::move(sink);
}

void TfrmMain::Tell(const QString& text) const {
    if (StatusSink_) StatusSink_(text);
}

// Says where the files went: in the readout until the pointer moves on, and
// on the status line.
void TfrmMain::ShowNote(const QString& text) {
    ShowReadout(QStringList{text});
    Readout->setToolTip(text);
    Tell(text);
}

TWindowSnapshot TfrmMain::Snapshot() const {
    TWindowSnapshot s;
    s.ScrollBar1 = ScrollBar1->value();
    s.ScrollBar2 = ScrollBar2->value();
    s.ListBox1 = ListBox1->currentRow();
    for (int i = 0; i < ListBox2->count(); ++i) s.ListBox2.push_back(ListBox2->item(i)->text());
    s.Label1 = Label1->text();
    s.ByPriznak = cbByPriznak->isChecked();
    s.PaintSteps = cbPaintSteps->isChecked();
    s.Scan = cbScan->isChecked();
    s.ButtonFace = ButtonFace();
    s.ShownPlane = ShownPlane_;
    s.Image1 = &Session_->Grid;
    s.PaintBox1 = &PaintBox1Bitmap_;
    s.PaintBox2 = &PaintBox2Bitmap_;
    return s;
}

// ---------------------------------------------------------------------------
// The pass's events.

void TfrmMain::ThresholdChosen(int32_t threshold) {
    // The bar follows the pass without running its handler again.
    const QSignalBlocker block(ScrollBar2);
    ScrollBar2->setValue(threshold);
    if (PassWatcher_) PassWatcher_->ThresholdChosen(threshold);
}

void TfrmMain::HistogramDot(int x, int y, TRGB colour) {
    SetPixel(PaintBox2Bitmap_, x, y, colour);
    PaintBox2->update();
    if (PassWatcher_) PassWatcher_->HistogramDot(x, y, colour);
}

void TfrmMain::FillStepTaken(int x, int y, TRGB colour) {
    // Once the painting is stopped the rest of the analysis runs at full
    // speed; its end draws the whole area view over the steps anyway.
    if (PaintStop_->Stopped()) return;
    SetPixel(PaintBox2Bitmap_, x, y, colour);
    if (PassWatcher_) PassWatcher_->FillStepTaken(x, y, colour);
    // The order of filling is shown in batches of 64 pixels, each on the
    // screen for at least 3 ms: a whole 254 x 254 picture takes about 3 s.
    if (++PaintedSteps_ < 64) return;
    PaintedSteps_ = 0;
    PaintBox2->repaint();
    if (PaintStop_->Poll()) {
        Tell("Painting stopped: the rest of the analysis ran without painting its steps.");
        return;
    }
    const auto due = LastPaintedBatch_ + std::chrono::milliseconds(3);
    std::this_thread::sleep_until(due);
    LastPaintedBatch_ = std::chrono::steady_clock::now();
}

void TfrmMain::SegmentListNearlyFull() {
    MessageBoxHook_(QMessageBox::Warning, "tesva", "Lines.s > StackSize - 2",
                    QMessageBox::Ok | QMessageBox::Cancel);
    if (PassWatcher_) PassWatcher_->SegmentListNearlyFull();
}

void TfrmMain::AreasDrawn(const TBitmap& view) {
    AreaViewShowsProbe_ = false;
    if (ResultsOut_) ResultsOut_->AreasDrawn(view);
    DrawBitmap(PaintBox2Bitmap_, 0, 0, view);
    PaintBox2->update();
    if (PassWatcher_) PassWatcher_->AreasDrawn(view);
}

void TfrmMain::PassFinished(const TPassResult& result) {
    Label1->setText(QString::number(result.RejectedLast));
    Label1->adjustSize();
    if (PassWatcher_) PassWatcher_->PassFinished(result);
}

// ---------------------------------------------------------------------------
// Handlers.

void TfrmMain::ShowError(const QString& text) {
    MessageBoxHook_(QMessageBox::Critical, "Tessavorin", text, QMessageBox::Ok);
}

bool TfrmMain::Guard(const std::function<void()>& handler) {
    try {
        handler();
        return true;
    } catch (const std::bad_alloc&) {
        ShowError(StepOutOfMemoryMessage);
    } catch (const std::exception& e) {
        ShowError(QString::fromStdString(e.what()));
    }
    return false;
}

TPassOptions TfrmMain::PassOptions(int32_t threshold) const {
    TPassOptions o;
    o.Threshold = threshold;
    o.ByPlane = cbByPriznak->isChecked();
    o.Plane = ListBox1->currentRow();
    o.PaintSteps = cbPaintSteps->isChecked();
    o.Ground = ButtonFace();
    return o;
}

TAnalysisRequest TfrmMain::AnalysisRequest() const {
    return {PassOptions(-1), cbScan->isChecked()};
}

void TfrmMain::AnalysisStarts() {
    ScanBest_.reset();
    PassAboutToRun();
}

void TfrmMain::AnalysisFailed() {
    PassFailed();
}

void TfrmMain::AnalysisDone(const TAnalysed& analysed) {
    PassDone();
    if (!analysed.Scan) return Tell(PassSummary());
    // The bar moved to the scan's result draws the area map when that ran
    // a pass; the scan then shows it with its best score.
    if (analysed.PassAtResult) ShowPlane(3);
    ScanBest_ = analysed.Scan->BestScore;
    ShowPlane(3);
    Tell(QString("Scan: best score %1 at threshold %2. %3")
             .arg(analysed.Scan->BestScore, 0, 'f', 1)
             .arg(analysed.Scan->Result)
             .arg(PassSummary()));
}

void TfrmMain::FormCreate() {
    // Step 1: the Palette is a constant table (session/palette.cpp).
    if (!ReadFileList(FileListDirectory_))
        ShowError(QString("Cannot open the folder \"%1\": it does not exist or cannot be read. "
                          "Put your pictures in a folder named \"samples\" beside the program.")
                      .arg(QDir::toNativeSeparators(FileListDirectory_)));
    ScrollBar1Change();
    ScrollBar2->setPageStep(64);
    if (FileListBox1->count() > 0) {
        const QSignalBlocker block(FileListBox1);
        FileListBox1->setCurrentRow(0);
    }
    const QSignalBlocker block(ListBox1);
    ListBox1->setCurrentRow(3);
}

bool TfrmMain::ChooseFile(const std::string& path) {
    return Guard([&] { FileListBox1Change(path); });
}

void TfrmMain::FileListBox1Change(const std::string& path) {
    FileListBox1Change(path, Session_->Placement);
}

void TfrmMain::FileListBox1Change(const std::string& path, const TPlacement& placement) {
    if (path.empty()) return;
    TBusyCursor busy;
    ChoosePicture(*Session_, path, placement);
    LoadedFile_ = path;
    ShowPictureInTitle();
    Image1->repaint();
    ShowReductions();
    AnalyseChosen(*Session_, AnalysisRequest(), *this);
    ShowPlane(cbByPriznak->isChecked() ? 3 : uint8_t(ListBox1->currentRow()));
}

// "coffee.jpg (640 x 480) - Tessavorin": the grid holds the top-left 256 x 256
// pixels of that picture; "photo.jpg (4000 x 3000), part at 1200,800 -
// Tessavorin" or "..., shrunk 1/16 - Tessavorin" when it was placed otherwise.
// A picture that fits the grid whole lands the same under every placement,
// and says none. A larger one placed top-left says so, and how to see more:
// "photo.jpg (4000 x 3000), only the top-left 256 x 256 was analysed: Place
// on grid (Ctrl+R) - Tessavorin".
void TfrmMain::ShowPictureInTitle() {
    const TPictureInfo& p = Session_->Picture;
    const std::string name = std::filesystem::path(p.Path).filename().string();
    const bool placed =
        p.Placement.Kind != TPlacement::TopLeft && (p.Size.Width > 256 || p.Size.Height > 256);
    QString partial;
    if (OnlyPartAnalysed(p)) {
        const std::string words = PartialAnalysisMessage(p);
        partial = ", " + QString::fromStdString(words.substr(0, words.find(" of "))) +
                  " was analysed: Place on grid (Ctrl+R)";
    }
    setWindowTitle(
        QString("%1 (%2 x %3)%4 - Tessavorin")
            .arg(QFile::decodeName(QByteArray::fromStdString(name)))
            .arg(p.Size.Width)
            .arg(p.Size.Height)
            .arg(placed ? ", " + QString::fromStdString(DescribePlacement(p.Placement)) : partial));
    if (Placement_) Placement_->PictureChanged();
}

void TfrmMain::ListBox1Click() {
    std::optional<TBusyCursor> busy;
    if (cbByPriznak->isChecked()) busy.emplace();
    ShowPlane(PickPlane(*Session_, uint8_t(ListBox1->currentRow()), AnalysisRequest(), *this).Show);
}

void TfrmMain::ScrollBar1Change() {
    SetToneOffset(Session_->ToneTab, ScrollBar1->value());
    ShowPlane(uint8_t(ListBox1->currentRow()));
}

void TfrmMain::ScrollBar2Change() {
    MoveThreshold(*Session_, ScrollBar2->value(), PassOptions(-1), *this);
    ShowPlane(3);
}

void TfrmMain::PaintBox2MouseMove(int x, int y) {
    if (!ProbeArea(*Session_, x, y)) return;
    DrawBitmap(PaintBox2Bitmap_, 0, 0, Session_->View);
    PaintBox2->update();
    AreaViewShowsProbe_ = true; // the pointer's hover then tells what lies there
}

void TfrmMain::Image1MouseDown(Qt::MouseButton button, int x, int y) {
    const TProbeButton probe = button == Qt::LeftButton     ? TProbeButton::Left
                               : button == Qt::MiddleButton ? TProbeButton::Middle
                               : button == Qt::RightButton  ? TProbeButton::Right
                                                            : TProbeButton(-1);
    if (probe == TProbeButton(-1)) return;
    TBusyCursor busy;
    PressProbe(*Session_, probe, x, y, ScrollBar1->value());
    {
        const QSignalBlocker block(ListBox1);
        ListBox1->setCurrentRow(13);
    }
    ShowPlane(13);
}

// The right button on the plane view or the area view: what can be done with
// the view, then the tools for a closer look.
void TfrmMain::ViewContextMenu(TBitmapView* view, const QPoint& at) {
    QMenu menu(this);
    ResultsOut_->AddSaveActions(menu, view);
    menu.addSeparator();
    AddLookActions(menu);
    menu.exec(view->mapToGlobal(at));
}

void TfrmMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (OuterSizeFitted_ || !isWindow()) return; // inside a main window it is the central area
    OuterSizeFitted_ = true;
    const QSize frame = frameGeometry().size() - geometry().size();
    resize(717 - frame.width(), 575 - frame.height());
    move(33, 5);
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress)
        for (TBitmapView* view : {Image1, PaintBox1, PaintBox2})
            if (watched == view) LastViewClicked_ = view;
    if (FilterListInput(watched, event)) return true;
    if (LookWindowEvent(watched, event)) return false;
    if (watched == Label1 && event->type() == QEvent::ToolTip) {
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), AnalysisTip(), Label1);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
