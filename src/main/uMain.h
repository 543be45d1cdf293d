// TfrmMain: the one window of the program. Its handlers are the entry points
// of the user's actions: each runs one action to completion, calls the steps
// of its session (session/session.h) in a fixed order and draws the result.
// The window is thin: it maps controls to pass options, the pass's events to
// controls, and bitmaps to views; the analysis lives in the session.
#pragma once

#include "image/bitmap.h"
#include "image/placement.h"
#include "readout.h"
#include "session/analysis.h"

#include <QMessageBox>
#include <QPainterPath>
#include <QString>
#include <QWidget>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QFileSystemWatcher;
class QLabel;
class QListWidget;
class QMenu;
class QPainter;
class QPushButton;
class QScrollBar;
class TAreaTable;
class TBitmapView;
class TLegend;
class TMagnifier;
class TSweepView;
class TPaintStop;
class TPlacementPart;
class TResultsOut;
class QPushButton;
class QScrollBar;
class QSettings;
class QTimer;
class TBitmapView;
struct TPictureEntry;
struct TSession;

// What the window shows, for the replay tool's dump, tools and tests: a copy
// of the controls' state, and the bitmaps behind the three views.
struct TWindowSnapshot {
    int ScrollBar1 = 0;
    int ScrollBar2 = 0;
    int ListBox1 = -1; // selected plane entry, -1 none
    std::vector<QString> ListBox2;
    QString Label1;
    bool ByPriznak = false;
    bool PaintSteps = false;
    bool Scan = false;
    TRGB ButtonFace;
    int ShownPlane = -1; // the plane the plane view shows, -1 for none or the reductions
    const TBitmap* Image1 = nullptr;    // the session's picture grid
    const TBitmap* PaintBox1 = nullptr; // 257 x 257, as last drawn
    const TBitmap* PaintBox2 = nullptr; // 256 x 256, as last drawn
};

class TfrmMain : public QWidget, private TAnalysisObserver {
  public:
    // Every modal box goes through this hook; returns the button pressed.
    using TMessageBoxHook = std::function<QMessageBox::StandardButton(
        QMessageBox::Icon, const QString& caption, const QString& text,
        QMessageBox::StandardButtons)>;

    struct TOptions {
        QString SamplesDir;          // default: "samples" beside the executable
        TMessageBoxHook MessageBox;  // default: a real box; set, even start-up's boxes use it
        TSession* Session = nullptr; // default: a session of the window's own
        // Where the folder last chosen in an open dialog is kept for the next
        // start; none: nothing is remembered (tests, tools).
        QSettings* Settings = nullptr;
        // Also told every event of the passes the window runs, after the
        // window (tools and tests that watch the analysis); none: nobody.
        TPassObserver* PassWatcher = nullptr;
    };

    TfrmMain();
    explicit TfrmMain(TOptions options);
    ~TfrmMain() override;

    // Handlers, as the controls run them.
    void ListBox1Click();
    void ScrollBar1Change();
    void ScrollBar2Change();
    void ScanClick();
    void PaintBox2MouseMove(int x, int y);
    void Image1MouseDown(Qt::MouseButton button, int x, int y);
    // The file `path` is chosen: FileListBox1Change runs for it, also when it
    // is the file loaded last. Errors are shown as the file list shows them;
    // false when one was.
    bool ChooseFile(const std::string& path);
    // Opens what the user named on the command line or dropped: a folder is
    // listed; a picture file's folder is listed, the file selected and
    // loaded. Anything else shows an error and changes nothing; false then.
    bool OpenPath(const std::string& path);
    // The folder the file list shows.
    const QString& FileListFolder() const { return FileListDirectory_; }
    // The placement for the pictures loaded from now on, as OK in the "Place
    // on grid" dialog sets it, without loading anything.
    void SetPlacement(const TPlacement& placement);

    // Runs a handler; an error that ends it is shown in the standard error
    // box. False when that happened.
    bool Guard(const std::function<void()>& handler);

    // Read-only views of the window and of its session.
    TWindowSnapshot Snapshot() const;
    const TSession& Session() const { return *Session_; }
    TRGB ButtonFace() const;

    // Help shown at the pointer: what the picture and the plane view hold
    // at (x, y), and the state of the last analysis.
    QString PictureTip(int x, int y) const;
    QString PlaneViewTip(int x, int y) const;
    QString AnalysisTip() const;

    // The items that open and close the magnifier (Ctrl+M) and the table of
    // areas (Ctrl+T), for a context menu.
    void AddLookActions(QMenu& menu);
    // The item that opens and closes the threshold sweep view.
    QAction* SweepViewAction() const;
    // Told what just happened, in a line for a status bar: the analysis's
    // summary after each pass, what was saved or exported and where.
    void SetStatusSink(std::function<void(const QString&)> sink);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    // The pass's events, mapped to the controls.
    void ThresholdChosen(int32_t threshold) override;
    void HistogramDot(int x, int y, TRGB colour) override;
    void FillStepTaken(int x, int y, TRGB colour) override;
    void SegmentListNearlyFull() override;
    void AreasDrawn(const TBitmap& view) override;
    void PassFinished(const TPassResult& result) override;
    // An analysis (a pass or the scan) starts and ends: the closer look
    // hears of it as of one pass; the scan shows its result.
    void AnalysisStarts() override;
    void AnalysisDone(const TAnalysed& analysed) override;
    void AnalysisFailed() override;

    void CreateControls();
    void SetToolTips();
    void FormCreate();
    // Loads the picture at `path` (under `placement`) and analyses it.
    void FileListBox1Change(const std::string& path);
    void FileListBox1Change(const std::string& path, const TPlacement& placement);
    // The pass options the controls give, for `threshold`.
    TPassOptions PassOptions(int32_t threshold) const;
    // How the controls ask a chosen picture to be analysed.
    TAnalysisRequest AnalysisRequest() const;
    // Plane view: draws plane `index` into PaintBox1 and lists the counters.
    void ShowPlane(uint8_t index);
    void ShowReductions();

    // The file list (file_list.cpp).
    bool ReadFileList(const QString& dir);
    void FillFileList(const std::vector<TPictureEntry>& entries);
    void WatchFileList();
    void RefreshFileList();
    std::string FileListPath(int row) const;
    void ConnectUserChoice(QListWidget* list, const std::function<void()>& handler);
    void ChooseHighlightedFile();
    bool FilterListInput(QObject* watched, QEvent* event);
    void ShowError(const QString& text);
    void ShowPictureInTitle();

    // Opening pictures and folders (open_path.cpp). Errors are thrown, for
    // Guard to show.
    void OpenGivenPath(const std::string& path);
    void ListFolder(const std::string& folder, const std::vector<TPictureEntry>& entries,
                    const std::string& selected);
    void OpenPictureDialog();
    void OpenFolderDialog();
    void RememberFolder();
    QString RememberedFolder() const;
    void CreateOpenShortcuts(); // Ctrl+O, Ctrl+Shift+O

    // The parts around the layout: results out (results_out.h) and
    // placement (placement_part.h), and the views' context menu that
    // offers the results and the closer look.
    void CreateParts();
    void ViewContextMenu(TBitmapView* view, const QPoint& at);
    // Says what just happened, on the status line when there is one.
    void Tell(const QString& text) const;
    // The scan and Stop as actions; the painting of the fill steps watched
    // for Escape while it runs (analysis_actions.cpp).
    void CreateAnalysisActions();
    void PaintingMayStart();
    void PaintingEnds();
    QString PassSummary() const;
    void ShowNote(const QString& text); // a short word on what was done

    // The closer look (look.cpp): the readout and the legend in the empty
    // column, the magnifier and the table of areas. They read the session
    // and the views and change neither.
    void CreateLookTools();
    void OpenBeside(QWidget& tool, bool below);
    void DestroyLookTools();
    void Hover(TViewKind view, int x, int y);
    void PassAboutToRun();
    void PassDone();
    void PassFailed();
    void ShowLegend();
    void ViewsChanged();
    void ShowSpot();
    void ShowReadout(const QStringList& pointer);
    TViewState ViewState() const;
    const TBitmap& ViewBitmap(TViewKind view) const;
    void AreaChosen(int32_t label, bool byUser);
    void DrawChosenArea(QPainter& painter) const;
    bool LookWindowEvent(QObject* watched, QEvent* event);

    std::unique_ptr<TSession> OwnSession_;
    TSession* Session_;
    TMessageBoxHook MessageBoxHook_;
    QSettings* Settings_;
    TPassObserver* PassWatcher_;

    // Controls, named as in the layout.
    TBitmapView* Image1;
    TBitmapView* PaintBox1;
    QLabel* iRainbow;
    TBitmapView* PaintBox2;
    QLabel* Label1;
    QListWidget* FileListBox1;
    QListWidget* ListBox1;
    QScrollBar* ScrollBar1;
    QScrollBar* ScrollBar2;
    QPushButton* Scan;
    QCheckBox* cbByPriznak;
    QCheckBox* cbPaintSteps;
    QListWidget* ListBox2;
    QCheckBox* cbScan;
    // Added around the layout, in its empty column below Label1.
    QLabel* Readout = nullptr;
    TLegend* Legend = nullptr;
    // Tool windows and the actions that toggle them.
    TMagnifier* Magnifier_ = nullptr;
    TAreaTable* AreaTable_ = nullptr;
    QAction* MagnifierAction_ = nullptr;
    QAction* AreaTableAction_ = nullptr;
    std::unique_ptr<TSweepView> SweepView_;
    std::unique_ptr<TResultsOut> ResultsOut_;
    std::unique_ptr<TPlacementPart> Placement_;

    // What the paint boxes show; each keeps its own bitmap so that what was
    // drawn last survives being covered.
    TBitmap PaintBox1Bitmap_; // 257 x 257, starts in the button-face colour
    TBitmap PaintBox2Bitmap_; // 256 x 256, starts in the button-face colour

    QString FileListDirectory_; // the folder the file list shows
    std::string LoadedFile_;    // the file loaded last, for "choosing it again does nothing"
    int ShownPlane_ = -1;
    bool OuterSizeFitted_ = false;
    bool InUserInput_ = false;           // a list is handling a mouse or key event of the user
    QListWidget* ListAtPress_ = nullptr; // the list last pressed, and its selected row then
    int RowAtPress_ = -1;
    int PaintedSteps_ = 0; // fill steps painted since the last repaint
    TPaintStop* PaintStop_ = nullptr;
    TBitmapView* LastViewClicked_ = nullptr;
    std::function<void(const QString&)> StatusSink_;
    std::chrono::steady_clock::time_point LastPaintedBatch_;

    TSpot Spot_{TViewKind::Picture, 128, 128}; // what the readout and the magnifier show
    bool Hovered_ = false;                     // the pointer has been over a view
    bool AreaViewShowsProbe_ = false;
    std::optional<double> ScanBest_; // when the last analysis was a scan's
    QStringList ReadoutShown_;       // the readout's lines before eliding
    QPainterPath ChosenOutline_;     // the area chosen in the table, outlined on the area view
    QFileSystemWatcher* FolderWatcher_ = nullptr; // the listed folder, for files coming and going
    QTimer* RefreshTimer_ = nullptr;              // one re-listing for a burst of changes
};
