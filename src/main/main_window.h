// The program's main window around TfrmMain: a menu bar with every action of
// the window (File, View, Analysis, Help), a status bar that says what is
// happening and what just happened, and the layout as its central area,
// zoomable and scrolled when the screen is too small for it. The layout keeps
// its geometry inside that area. Positions, sizes and the zoom are remembered.
#pragma once

#include "uMain.h"
#include "zoom_layout.h"

#include <QMainWindow>

class QAction;
class QScrollArea;
class QSettings;
class THelpWindow;
class TPaintStop;

class TMainWindow : public QMainWindow {
  public:
    // `settings` keeps the geometry and the zoom; none: nothing is kept.
    TMainWindow(TfrmMain::TOptions options, QSettings* settings);
    ~TMainWindow() override;

    TfrmMain& Form() { return *Form_; }
    // The action of the menus named `name` ("ZoomInAction", "OpenPictureAction"...).
    QAction* Action(const char* name) const;
    QString StatusText() const;
    THelpWindow* Help() const { return Help_; }

    void SetZoom(int zoom);
    int Zoom() const { return Zoom_.Zoom(); }

    // Enables what can act now: saving, exporting, placing and scanning
    // need a picture or an analysis; while the fill steps are painted only
    // Stop can act.
    void UpdateActions();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void CreateMenus();
    QAction* Own(const char* name, const QString& text, const QKeySequence& keys,
                 const QString& tip);
    QAction* FormAction(const char* name) const;
    TPaintStop& PaintStop() const;
    void ShowHelp();
    void ShowShortcuts();
    void ShowAbout();
    void RestoreOrPlace();
    void FitToContents();

    QSettings* Settings_;
    TfrmMain* Form_;
    QScrollArea* Scroll_;
    TZoomLayout Zoom_;
    THelpWindow* Help_ = nullptr;
    bool Placed_ = false;
};
