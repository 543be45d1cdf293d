#include "uMain.h"

#include "bitmap_view.h"
#include "busy_cursor.h"
#include "session/click_probe.h"
#include "session/footprint.h"
#include "session/session.h"

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
      MessageBoxHook_(std::move(options.MessageBox)), Settings_(options.Settings) {
    CreateControls();
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
    CreateSaveShortcuts();
    CreatePlaceAction();
    setAcceptDrops(true);
}

TfrmMain::~TfrmMain() {
    DestroyLookTools();
}

TRGB TfrmMain::ButtonFace() const {
    const QColor c = palette().color(QPalette::Button);
    return {uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue())};
}

void TfrmMain::UseAreaPass(TAreaPass pass) {
    AreaPass_ = std::move(pass);
}

void TfrmMain::SetMessageBoxHook(TMessageBoxHook hook) {
    MessageBoxHook_ = std::move(hook);
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
}

void TfrmMain::HistogramDot(int x, int y, TRGB colour) {
    SetPixel(PaintBox2Bitmap_, x, y, colour);
    PaintBox2->update();
}

void TfrmMain::FillStepTaken(int x, int y, TRGB colour) {
    SetPixel(PaintBox2Bitmap_, x, y, colour);
    // The order of filling is shown in batches of 64 pixels, each on the
    // screen for at least 3 ms: a whole 254 x 254 picture takes about 3 s.
    if (++PaintedSteps_ < 64) return;
    PaintedSteps_ = 0;
    PaintBox2->repaint();
    const auto due = LastPaintedBatch_ + std::chrono::milliseconds(3);
    std::this_thread::sleep_until(due);
    LastPaintedBatch_ = std::chrono::steady_clock::now();
}

void TfrmMain::SegmentListNearlyFull() {
    MessageBoxHook_(QMessageBox::Warning, "tesva", "Lines.s > StackSize - 2",
                    QMessageBox::Ok | QMessageBox::Cancel);
}

void TfrmMain::AreasDrawn(const TBitmap& view) {
    AreaViewShowsProbe_ = false;
    if (AreasDrawing_.Pixels.empty()) CreateBitmap(AreasDrawing_, 256, 256);
    DrawBitmap(AreasDrawing_, 0, 0, view);
    DrawBitmap(PaintBox2Bitmap_, 0, 0, view);
    PaintBox2->update();
}

void TfrmMain::PassFinished(const TPassResult& result) {
    Label1->setText(QString::number(result.RejectedLast));
    Label1->adjustSize();
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
        ShowError("There is not enough memory to finish this step.");
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

TPassResult TfrmMain::RunPass(int32_t threshold) {
    const TPassOptions o = PassOptions(threshold);
    PassAboutToRun();
    TPassResult result;
    try {
        result = AreaPass_ ? AreaPass_(*Session_, o, *this) : FindAreas(*Session_, o, *this);
    } catch (...) {
        PassFailed();
        throw;
    }
    PassDone();
    return result;
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
        ChosenFile_ = FileListPath(0);
    }
    const QSignalBlocker block(ListBox1);
    ListBox1->setCurrentRow(3);
}

bool TfrmMain::ChooseFile(const std::string& path) {
    ChosenFile_ = path;
    return Guard([this] { FileListBox1Change(); });
}

void TfrmMain::FileListBox1Change() {
    const std::string path = ChosenFile_;
    if (path.empty()) return;
    TBusyCursor busy;
    LoadPicture(*Session_, path);
    LoadedFile_ = path;
    ShowPictureInTitle();
    Image1->repaint();
    for (double& score : Session_->Areas.LevelScores) score = 0.0;
    ComputePlanes(*Session_);
    ShowReductions();
    if (cbScan->isChecked())
        ScanClick();
    else
        RunPass(-1);
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
    if (PlaceAction_) PlaceAction_->setEnabled(!p.Path.empty());
}

void TfrmMain::ListBox1Click() {
    if (cbByPriznak->isChecked()) {
        TBusyCursor busy;
        if (cbScan->isChecked())
            ScanClick();
        else
            RunPass(-1);
        ShowPlane(3);
    } else {
        ShowPlane(uint8_t(ListBox1->currentRow()));
    }
}

void TfrmMain::ScrollBar1Change() {
    SetToneOffset(Session_->ToneTab, ScrollBar1->value());
    ShowPlane(uint8_t(ListBox1->currentRow()));
}

void TfrmMain::ScrollBar2Change() {
    RunPass(ScrollBar2->value());
    if (!ScanRunning_) ShowPlane(3);
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
    AddSaveActions(menu, view);
    menu.addSeparator();
    AddLookActions(menu);
    menu.exec(view->mapToGlobal(at));
}

void TfrmMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (OuterSizeFitted_) return;
    OuterSizeFitted_ = true;
    const QSize frame = frameGeometry().size() - geometry().size();
    resize(717 - frame.width(), 575 - frame.height());
    move(33, 5);
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    if (FilterListInput(watched, event)) return true;
    if (LookWindowEvent(watched, event)) return false;
    if (watched == Label1 && event->type() == QEvent::ToolTip) {
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), AnalysisTip(), Label1);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
