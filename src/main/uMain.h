// TfrmMain: the one window of the program. Its handlers are the only entry
// points of the system; each runs one user action to completion and calls the
// intake, the plane computation, the area analysis and the drawing in a fixed
// order.
#pragma once

#include "../image/bitmap.h"

#include <QMessageBox>
#include <QString>
#include <QWidget>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QScrollBar;

class TfrmMain : public QWidget {
  public:
    // `samplesDir` overrides the folder "samples" beside the executable.
    explicit TfrmMain(const QString& samplesDir = QString());
    ~TfrmMain() override;

    // Controls, named as in the layout.
    QWidget* Image1;
    QWidget* PaintBox1;
    QLabel* iRainbow;
    QWidget* PaintBox2;
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

    // What the picture and the paint boxes show; each keeps its own bitmap so
    // that what was drawn last survives being covered.
    TBitmap Image1Picture;   // 256 x 256, starts white
    TBitmap PaintBox1Bitmap; // 257 x 257, starts in the button-face colour
    TBitmap PaintBox2Bitmap; // 256 x 256, starts in the button-face colour

    // The folder the file list shows and the full path of its selection, as
    // the file list reports it ("" when nothing is selected).
    QString FileListBox1Directory;
    std::string FileListBox1FileName; // the bytes of the path, as the file system names it

    // The area pass the handlers run: FindAreas; tests put a recorder here.
    std::function<void(int32_t)> RunAreaPass;

    // State of the window's own.
    bool ScanRunning = false;
    int OverflowWarnings = 0; // segment-list warnings shown since start-up

    // Every modal box goes through this hook; the default shows a real box.
    // Returns the button pressed.
    using TMessageBoxHook = std::function<QMessageBox::StandardButton(
        QMessageBox::Icon, const QString& caption, const QString& text,
        QMessageBox::StandardButtons)>;
    TMessageBoxHook MessageBoxHook;
    // When set, windows created afterwards start with this hook, so that even
    // the boxes of start-up can be answered without a person (replay, tests).
    static TMessageBoxHook InitialMessageBoxHook;

    // Handlers.
    void FormCreate();
    void FileListBox1Change();
    void ListBox1Click();
    void ScrollBar1Change();
    void ScrollBar2Change();
    void ScanClick();
    void PaintBox2MouseMove(int x, int y);
    void Image1MouseDown(Qt::MouseButton button, int x, int y);

    // Runs a handler; an error that ends it is shown in the standard error
    // box. False when that happened.
    bool Guard(const std::function<void()>& handler);

    // Plane view: draws plane `index` into PaintBox1 and lists the counters.
    void ShowPlane(uint8_t index);

    // Lists the picture files of `dir` in FileListBox1; false when the folder
    // cannot be entered.
    bool ReadFileList(const QString& dir);
    // Full path of entry `row` of the file list.
    std::string FileListPath(int row) const;

    TRGB ButtonFace() const;

    // Help shown at the pointer: what the picture and the plane view hold
    // at (x, y), and the state of the last analysis.
    QString PictureTip(int x, int y) const;
    QString PlaneViewTip(int x, int y) const;
    QString AnalysisTip() const;
    int ShownPlane = -1; // the plane PaintBox1 shows, -1 for none or the reductions

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void ConnectSeam();
    void SetToolTips();
    void ConnectUserChoice(QListWidget* list, const std::function<void()>& handler);
    void ChooseHighlightedFile();
    void PaintBitmap(QWidget* box, const TBitmap& bmp);
    void ShowError(const QString& text);

    bool OuterSizeFitted_ = false;
    bool InUserInput_ = false; // a list is handling a mouse or key event of the user
    std::string LoadedFile_;   // the file loaded last, for "choosing it again does nothing"
    int PaintedSteps_ = 0;     // fill steps painted since the last repaint
    std::chrono::steady_clock::time_point LastPaintedBatch_;
};
