// The results-out part of the window: any view saved as a PNG picture or
// copied to the clipboard at 1:1 pixels (the views' context menus, Ctrl+S
// and Ctrl+C on the view under the pointer), and the export of the last
// analysis (Ctrl+E). It owns its shortcuts, the folder the last result went
// to, and the last pass's drawing of the area view; it reads the session and
// the views and changes neither.
#pragma once

#include "image/bitmap.h"
#include "readout.h"

#include <QString>

#include <functional>
#include <optional>

class QMenu;
class QWidget;
class TBitmapView;
struct TSession;
struct TSweep;

class TResultsOut {
  public:
    // The three views and the bitmaps the plane view and the area view show.
    struct TViews {
        TBitmapView* Picture;
        TBitmapView* PlaneView;
        TBitmapView* AreaView;
        const TBitmap* PlaneBitmap;
        const TBitmap* AreaBitmap;
    };
    // What the part asks of the window: run a handler as the window runs its
    // own (errors shown), the folder the file list shows, what the views
    // show, the scan's best score when the last analysis was a scan, the
    // threshold sweep for the export, the view clicked last (none yet), and
    // where to say what was written.
    struct THost {
        std::function<bool(const std::function<void()>&)> Guard;
        std::function<QString()> ListedFolder;
        std::function<TViewState()> ViewState;
        std::function<std::optional<double>()> ScanBest;
        std::function<const TSweep*()> Sweep;
        std::function<TBitmapView*()> LastViewClicked;
        std::function<void(const QString&)> Tell;
        // A question with OK and Cancel: true for OK.
        std::function<bool(const QString&)> Ask;
        // A word on what was done that stays in the window a while.
        std::function<void(const QString&)> Note;
    };

    TResultsOut(QWidget* window, const TSession& session, TViews views, THost host);

    // The save and copy items for `view` (the plane view or the area view),
    // and the export, for its context menu.
    void AddSaveActions(QMenu& menu, TBitmapView* view);
    // The last pass drew its outlines and stars: kept for the export, also
    // when the pointer has since turned the area view into the probe's
    // colouring.
    void AreasDrawn(const TBitmap& view);

  private:
    TBitmapView* ViewUnderPointer() const;
    // Save and copy take the view under the pointer, else the last one
    // clicked, else the area view.
    TBitmapView* ViewToTake() const;
    QString ViewName(const TBitmapView* view) const;
    const TBitmap& ViewBitmap(const TBitmapView* view) const;
    QString DefaultViewName(const TBitmapView* view) const;
    QString SaveFolder() const;
    void SaveView(TBitmapView* view);
    void CopyView(TBitmapView* view);
    void ExportWithDialog();
    QString ExportFolder() const;

    QWidget* Window_;
    const TSession& Session_;
    TViews Views_;
    THost Host_;
    TBitmap AreasDrawing_; // the last pass's outlines and stars
    QString SaveFolder_;   // where the last view went, "" before
    QString ExportFolder_; // the folder the last export went into, "" before
};
