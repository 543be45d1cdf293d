// Help in the window: a tooltip on every control and plane list entry, the
// state of the last analysis on Label1, and what lies under the pointer in the
// picture and in the plane view. Nothing here changes what a handler does.
#include "bitmap_view.h"
#include "session/session.h"
#include "uMain.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>

namespace {

const char* const PlaneWords[PlaneCount] = {
    "small noise: how restless the brightness is around each pixel",
    "standing-out spots: brightness departing from its wider surroundings",
    "borders: colour difference to the left and upper neighbour, smoothed",
    "area map: the areas of the last analysis in false colour",
    "reserved: always 0",
    "reserved: always 0",
    "reserved: always 0",
    "red opponent: red against green and blue",
    "green opponent: green against red and blue",
    "blue opponent: blue against red and green",
    "hue",
    "saturation",
    "brightness",
    "work plane of the last analysis, or the labels of the click probe",
    "reserved: always 0",
    "vertical gradient: brightness change from the row above (128 flat)",
    "vertical second difference (128 steady)",
    "horizontal gradient: brightness change from the column to the left (128 flat)",
    "horizontal second difference (128 steady)",
    "composite: red hue + small noise, green 2 x small noise, blue spots + small noise"};

} // namespace

void TfrmMain::SetToolTips() {
    Image1->setToolTip("The picture, 256 x 256. Press a mouse button to grow regions of similar "
                       "colour: left one seed, middle ten near the pointer, right ten anywhere.");
    FileListBox1->setToolTip("Pictures in the folder \"samples\" beside the program. Choose one "
                             "to load and analyse it.");
    ListBox1->setToolTip("Feature planes: choose one to see it in the plane view.");
    for (int p = 0; p < PlaneCount; ++p)
        ListBox1->item(p)->setToolTip(QString("Plane %1: %2").arg(p).arg(PlaneWords[p]));
    ListBox2->setToolTip("Counters of the last steps; counter 1 is the number of pixels the "
                         "analysis sorted by value. A click redraws the chosen plane.");
    ScrollBar1->setToolTip("Brightness offset of the plane view; also the cost limit of the "
                           "click probe (higher: larger regions).");
    ScrollBar2->setToolTip("Threshold of the area analysis: moving it analyses again at that "
                           "threshold.");
    Scan->setToolTip("Try many thresholds and keep the one with the best score.");
    cbScan->setToolTip("Loading a picture (or an analysing list click) runs the threshold scan "
                       "instead of one analysis.");
    cbByPriznak->setToolTip("Analyse the plane chosen in the plane list instead of the "
                            "brightness/noise mix; a list click then analyses again.");
    cbPaintSteps->setToolTip("Paint every pixel as the analysis takes it, to watch the order of "
                             "filling (slow).");
    PaintBox1->setToolTip(" "); // filled in at the pointer (PlaneViewTip)
    PaintBox2->setToolTip("Outlines and profile stars of the areas. Move the mouse over it: the "
                          "nearest area turns light green, the others show how alike their "
                          "shapes are (blue as they stand, red mirrored; brighter is more alike).");
    Label1->setToolTip(" "); // filled in at the pointer (AnalysisTip)
}

QString TfrmMain::AnalysisTip() const {
    if (!Session_->LastPass) return "No analysis has run yet.";
    return QString("Last analysis: threshold %1 (raised to %2 while taking seeds), %3 areas kept. "
                   "This number is the last fill rejected as too small or too large, -1 when "
                   "none.")
        .arg(ScrollBar2->value())
        .arg(Session_->LastPass->RaisedLevel)
        .arg(Session_->LastPass->KeptAreas);
}

QString TfrmMain::PictureTip(int x, int y) const {
    if (x < 0 || y < 0 || x > 255 || y > 255) return QString();
    return QString("column %1, row %2: ").arg(x).arg(y) + PictureColourWords(*Session_, x, y);
}

QString TfrmMain::PlaneViewTip(int x, int y) const {
    if (x < 0 || y < 0 || x > 255 || y > 255) return QString();
    const QString at = QString("column %1, row %2: ").arg(x).arg(y);
    const TPlanes& planes = Session_->Planes;
    if (ShownPlane_ < 0) return at + "the reductions of the picture; choose a plane to see it";
    if (ShownPlane_ == aZ) return at + CompositeWords(*Session_, x, y);
    return at + QString("plane %1 value %2").arg(ShownPlane_).arg(planes[ShownPlane_][y][x]);
}
