#include "uMain.h"

#include "../areas/area_pass.h"
#include "../areas/area_tables.h"
#include "../areas/probe.h"
#include "../image/compute_planes.h"
#include "../image/intake.h"
#include "../image/plane_store.h"
#include "../image/window_seam.h"
#include "busy_cursor.h"
#include "palette.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QHelpEvent>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QToolTip>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <new>
#include <thread>
#include <unistd.h>

namespace {

const char* const PlaneNames[20] = {"aNo1,",          "aNo2,", "aNo3,",
                                    "aArH,",          "aArV,", "aArL,",
                                    "aArR,",          "aR,",   "aG,",
                                    "aB,           ", "aH,",   "aT,",
                                    "aV,           ", "aGr,",  "aGrD,           ",
                                    "aGV,",           "aGVV,", "aGH,",
                                    "aGHH,",          "aZ"};

// Appends a line of the list's fixed item height of 13 pixels.
void AddLine(QListWidget* list, const QString& text) {
    auto* item = new QListWidgetItem(text, list);
    item->setSizeHint(QSize(0, 13));
}

QListWidget* MakeList(QWidget* parent, int x, int y, int w, int h) {
    auto* list = new QListWidget(parent);
    list->setGeometry(x, y, w, h);
    list->setUniformItemSizes(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setTextElideMode(Qt::ElideNone); // long entries are cut, not shortened with dots
    return list;
}

QScrollBar* MakeScrollBar(QWidget* parent, int x, int y, int w, int h, int pageStep) {
    auto* bar = new QScrollBar(Qt::Horizontal, parent);
    bar->setGeometry(x, y, w, h);
    bar->setRange(0, 255);
    bar->setSingleStep(1);
    bar->setPageStep(pageStep);
    bar->setValue(100);
    bar->setFocusPolicy(Qt::StrongFocus);
    bar->setInvertedControls(false); // the Right key and the wheel move it right, to higher values
    return bar;
}

QCheckBox* MakeCheckBox(QWidget* parent, const char* caption, int x, int y) {
    auto* box = new QCheckBox(caption, parent);
    box->setGeometry(x, y, 97, 17);
    return box;
}

QWidget* MakePaintBox(QWidget* parent, int x, int y, int w, int h) {
    auto* box = new QWidget(parent);
    box->setGeometry(x, y, w, h);
    box->setAttribute(Qt::WA_OpaquePaintEvent);
    return box;
}

// Sets a list's selection from code: no handler runs.
void SelectSilently(QListWidget* list, int row) {
    const QSignalBlocker block(list);
    list->setCurrentRow(row);
}

} // namespace

TfrmMain::TMessageBoxHook TfrmMain::InitialMessageBoxHook;

TfrmMain::TfrmMain(const QString& samplesDir) {
    setWindowTitle("Tessavorin");
    // Outer size 717 x 575 at (33, 5). Until the frame is known the client
    // area is that of a 4-pixel frame and a 23-pixel caption; showEvent then
    // fits the client area to the real frame.
    resize(709, 548);
    move(33, 5);
    QFont font("MS Sans Serif");
    font.setPixelSize(11);
    if (!QFontInfo(font).exactMatch()) {
        font = QApplication::font();
        font.setPixelSize(11);
    }
    setFont(font);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Button));
    setPalette(pal);
    setAutoFillBackground(true);

    CreateBitmap(Image1Picture, 256, 256, {255, 255, 255});
    CreateBitmap(PaintBox1Bitmap, 257, 257, ButtonFace());
    CreateBitmap(PaintBox2Bitmap, 256, 256, ButtonFace());

    // Controls in the keyboard focus order.
    FileListBox1 = MakeList(this, 0, 0, 97, 521);
    ListBox1 = MakeList(this, 98, 0, 89, 257);
    for (const char* name : PlaneNames) AddLine(ListBox1, name);
    ScrollBar1 = MakeScrollBar(this, 448, 264, 257, 16, 1);
    ScrollBar2 = MakeScrollBar(this, 188, 264, 257, 16, 8);
    Scan = new QPushButton("Scan", this);
    Scan->setGeometry(456, 304, 75, 25);
    cbByPriznak = MakeCheckBox(this, "ByPriznak", 456, 336);
    cbPaintSteps = MakeCheckBox(this, "PaintSteps", 456, 360);
    ListBox2 = MakeList(this, 98, 264, 89, 257);
    cbScan = MakeCheckBox(this, "Scan", 536, 304);
    setTabOrder(FileListBox1, ListBox1);
    setTabOrder(ListBox1, ScrollBar1);
    setTabOrder(ScrollBar1, ScrollBar2);
    setTabOrder(ScrollBar2, Scan);
    setTabOrder(Scan, cbByPriznak);
    setTabOrder(cbByPriznak, cbPaintSteps);
    setTabOrder(cbPaintSteps, ListBox2);
    setTabOrder(ListBox2, cbScan);

    Image1 = MakePaintBox(this, 188, 0, 256, 256);
    PaintBox1 = MakePaintBox(this, 448, 0, 257, 257);
    PaintBox2 = MakePaintBox(this, 188, 288, 256, 256);
    PaintBox2->setMouseTracking(true);
    Label1 = new QLabel("Label1", this);
    Label1->move(456, 384);
    Label1->adjustSize();
    iRainbow = new QLabel(this);
    iRainbow->setGeometry(448, 288, 256, 4);
    iRainbow->hide();

    for (QWidget* w : {Image1, PaintBox1, PaintBox2, static_cast<QWidget*>(Label1)})
        w->installEventFilter(this);
    for (QListWidget* list : {FileListBox1, ListBox1, ListBox2}) {
        list->installEventFilter(this);
        list->viewport()->installEventFilter(this);
    }

    MessageBoxHook = InitialMessageBoxHook;
    if (!MessageBoxHook)
        MessageBoxHook = [this](QMessageBox::Icon icon, const QString& caption, const QString& text,
                                QMessageBox::StandardButtons buttons) {
            QMessageBox box(icon, caption, text, buttons, this);
            return QMessageBox::StandardButton(box.exec());
        };

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

    RunAreaPass = FindAreas;
    SetToolTips();
    ConnectSeam();
    FileListBox1Directory = samplesDir.isEmpty()
                                ? QDir(QCoreApplication::applicationDirPath()).filePath("samples")
                                : samplesDir;
    FormCreate();
}

TfrmMain::~TfrmMain() {
    WindowSeam = TWindowSeam();
}

TRGB TfrmMain::ButtonFace() const {
    const QColor c = palette().color(QPalette::Button);
    return {uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue())};
}

void TfrmMain::ConnectSeam() {
    TWindowSeam& s = WindowSeam;
    s.ByPriznakChecked = [this] { return cbByPriznak->isChecked(); };
    s.SelectedPlane = [this] { return ListBox1->currentRow(); };
    s.PaintStepsChecked = [this] { return cbPaintSteps->isChecked(); };
    s.DrawOnPaintBox1 = [this](const TBitmap& bmp) {
        ShownPlane = -1;
        DrawBitmap(PaintBox1Bitmap, 0, 0, bmp);
        PaintBox1->update();
    };
    s.PlotDot = [this](int x, int y, TRGB c) {
        SetPixel(PaintBox2Bitmap, x, y, c);
        PaintBox2->update();
    };
    s.PaintFillStep = [this](int x, int y, TRGB c) {
        SetPixel(PaintBox2Bitmap, x, y, c);
        // The order of filling is shown in batches of 64 pixels, each on the
        // screen for at least 3 ms: a whole 254 x 254 picture takes about 3 s.
        if (++PaintedSteps_ < 64) return;
        PaintedSteps_ = 0;
        PaintBox2->repaint();
        const auto due = LastPaintedBatch_ + std::chrono::milliseconds(3);
        std::this_thread::sleep_until(due);
        LastPaintedBatch_ = std::chrono::steady_clock::now();
    };
    s.CopyViewToPaintBox2 = [this] {
        DrawBitmap(PaintBox2Bitmap, 0, 0, ViewBitmap);
        PaintBox2->update();
    };
    s.SetScrollBar2Detached = [this](int position) {
        const QSignalBlocker block(ScrollBar2);
        ScrollBar2->setValue(position);
    };
    s.SetLabel1Caption = [this](const std::string& caption) {
        Label1->setText(QString::fromStdString(caption));
        Label1->adjustSize();
    };
    s.ShowLinesWarning = [this] {
        ++OverflowWarnings;
        MessageBoxHook(QMessageBox::Warning, "tesva", "Lines.s > StackSize - 2",
                       QMessageBox::Ok | QMessageBox::Cancel);
    };
    s.ButtonFace = [this] { return ButtonFace(); };
}

void TfrmMain::ChooseHighlightedFile() {
    if (FileListBox1->currentRow() < 0) return;
    const std::string path = FileListPath(FileListBox1->currentRow());
    if (path == LoadedFile_) return; // choosing again the file loaded last does nothing
    FileListBox1FileName = path;
    FileListBox1Change();
}

void TfrmMain::ConnectUserChoice(QListWidget* list, const std::function<void()>& handler) {
    connect(list, &QListWidget::currentRowChanged, this, [this, handler](int row) {
        if (row >= 0 && InUserInput_) Guard(handler);
    });
    // A click that did not move the selection: the row was current at the press.
    connect(list, &QListWidget::clicked, this, [this, list, handler](const QModelIndex& index) {
        if (index.row() == list->property("rowAtPress").toInt()) Guard(handler);
    });
}

namespace {

bool IsPictureName(const std::string& name) {
    if (name.size() < 5 || name[0] == '.') return false; // hidden files are not listed
    std::string ext = name.substr(name.size() - 4);
    for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".jpg" || ext == ".bmp";
}

} // namespace

bool TfrmMain::ReadFileList(const QString& dir) {
    // The folder is read with the names' own bytes: a name that is not valid
    // text is shown as well as it can be, and still opens.
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::directory_iterator it(QFile::encodeName(dir).toStdString(), ec);
    if (ec) return false;
    struct TEntry {
        QString shown;
        std::string name;
    };
    std::vector<TEntry> entries;
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code statusError;
        // A link to a picture is listed; a folder named like one is not.
        if (!IsPictureName(name) || !fs::is_regular_file(it->path(), statusError) ||
            access(it->path().c_str(), R_OK) != 0)
            continue;
        entries.push_back({QString::fromLocal8Bit(name.c_str()), name});
    }
    std::sort(entries.begin(), entries.end(), [](const TEntry& a, const TEntry& b) {
        const int order = QString::compare(a.shown, b.shown, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a.name < b.name;
    });
    const QSignalBlocker block(FileListBox1);
    FileListBox1->clear();
    for (const TEntry& e : entries) {
        AddLine(FileListBox1, e.shown);
        FileListBox1->item(FileListBox1->count() - 1)
            ->setData(Qt::UserRole, QByteArray::fromStdString(e.name));
    }
    return true;
}

std::string TfrmMain::FileListPath(int row) const {
    return QFile::encodeName(FileListBox1Directory).toStdString() + "/" +
           FileListBox1->item(row)->data(Qt::UserRole).toByteArray().toStdString();
}

void TfrmMain::ShowError(const QString& text) {
    MessageBoxHook(QMessageBox::Critical, "Tessavorin", text, QMessageBox::Ok);
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

void TfrmMain::FormCreate() {
    // Step 1: the Palette is a constant table (palette.cpp).
    if (!ReadFileList(FileListBox1Directory))
        ShowError(QString("Cannot open the folder \"%1\": it does not exist or cannot be read. "
                          "Put your pictures in a folder named \"samples\" beside the program.")
                      .arg(QDir::toNativeSeparators(FileListBox1Directory)));
    ScrollBar1Change();
    ScrollBar2->setPageStep(64);
    if (FileListBox1->count() > 0) {
        SelectSilently(FileListBox1, 0);
        FileListBox1FileName = FileListPath(0);
    }
    SelectSilently(ListBox1, 3);
}

void TfrmMain::FileListBox1Change() {
    const std::string path = FileListBox1FileName;
    if (path.empty()) return;
    TBusyCursor busy;
    LoadPicture(path, Image1Picture);
    LoadedFile_ = path;
    Image1->repaint();
    for (double& score : LevelScores) score = 0.0;
    ComputePlanes(Image1Picture);
    if (cbScan->isChecked())
        ScanClick();
    else
        RunAreaPass(-1);
    ShowPlane(cbByPriznak->isChecked() ? 3 : uint8_t(ListBox1->currentRow()));
}

void TfrmMain::ListBox1Click() {
    if (cbByPriznak->isChecked()) {
        TBusyCursor busy;
        if (cbScan->isChecked())
            ScanClick();
        else
            RunAreaPass(-1);
        ShowPlane(3);
    } else {
        ShowPlane(uint8_t(ListBox1->currentRow()));
    }
}

void TfrmMain::ScrollBar1Change() {
    const int offset = ScrollBar1->value();
    for (int k = -1024; k <= 1024; ++k) ToneTab[k] = ClampTab[k + offset];
    ShowPlane(uint8_t(ListBox1->currentRow()));
}

void TfrmMain::ScrollBar2Change() {
    RunAreaPass(ScrollBar2->value());
    if (!ScanRunning) ShowPlane(3);
}

void TfrmMain::PaintBox2MouseMove(int x, int y) {
    ProbeArea(x, y);
}

void TfrmMain::PaintBitmap(QWidget* box, const TBitmap& bmp) {
    QPainter painter(box);
    const QImage image(bmp.Pixels.data(), bmp.Width, bmp.Height, bmp.Stride, QImage::Format_BGR888);
    painter.drawImage(0, 0, image);
}

void TfrmMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (OuterSizeFitted_) return;
    OuterSizeFitted_ = true;
    const QSize frame = frameGeometry().size() - geometry().size();
    resize(717 - frame.width(), 575 - frame.height());
    move(33, 5);
}

// True for the mouse and key events through which a user changes a list's
// selection.
static bool IsUserInput(QEvent::Type type) {
    return type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
           type == QEvent::MouseButtonDblClick || type == QEvent::MouseMove ||
           type == QEvent::KeyPress;
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    // A list handles the user's input while InUserInput_ is set, so that the
    // selection changes it makes, and only those, run the handler.
    QObject* owner = watched->parent();
    auto* list = qobject_cast<QListWidget*>(watched);
    if (!list) list = qobject_cast<QListWidget*>(owner);
    if (list && !InUserInput_ && IsUserInput(event->type())) {
        if (event->type() == QEvent::MouseButtonPress)
            list->setProperty("rowAtPress", list->currentRow());
        InUserInput_ = true;
        struct TEnd {
            bool& flag;
            ~TEnd() { flag = false; }
        } end{InUserInput_};
        QCoreApplication::sendEvent(watched, event);
        return true;
    }
    switch (event->type()) {
    case QEvent::Paint:
        if (watched == Image1)
            PaintBitmap(Image1, Image1Picture);
        else if (watched == PaintBox1)
            PaintBitmap(PaintBox1, PaintBox1Bitmap);
        else if (watched == PaintBox2)
            PaintBitmap(PaintBox2, PaintBox2Bitmap);
        else
            break;
        return true;
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (watched == Image1) {
            const QPoint p = mouse->position().toPoint();
            Guard([&] { Image1MouseDown(mouse->button(), p.x(), p.y()); });
            return true;
        }
        break;
    }
    case QEvent::MouseMove:
        if (watched == PaintBox2) {
            const QPoint p = static_cast<QMouseEvent*>(event)->position().toPoint();
            Guard([&] { PaintBox2MouseMove(p.x(), p.y()); });
            return true;
        }
        break;
    case QEvent::ToolTip: {
        const auto* help = static_cast<QHelpEvent*>(event);
        QString text;
        if (watched == Image1)
            text = PictureTip(help->pos().x(), help->pos().y());
        else if (watched == PaintBox1)
            text = PlaneViewTip(help->pos().x(), help->pos().y());
        else if (watched == Label1)
            text = AnalysisTip();
        else
            break;
        QToolTip::showText(help->globalPos(), text, static_cast<QWidget*>(watched));
        return true;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
