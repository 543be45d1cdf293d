// The one path from the analysis to the window.
//
// The plane computation and the area analysis read three controls and draw on
// the window while they run. They do so only through WindowSeam, which the
// main window fills at creation and tests fill with recorders. Every member has
// a harmless default, so code below the window runs without one.
#pragma once

#include "bitmap.h"

#include <functional>
#include <string>

struct TWindowSeam {
    // Read the controls.
    std::function<bool()> ByPriznakChecked = [] { return false; };
    std::function<int()> SelectedPlane = [] { return 3; }; // ListBox1's index, -1 none
    std::function<bool()> PaintStepsChecked = [] { return false; };

    // Draw on the window.
    std::function<void(const TBitmap&)> DrawOnPaintBox1 = [](const TBitmap&) {};
    std::function<void(int, int, TRGB)> PlotDot = [](int, int, TRGB) {};       // on PaintBox2
    std::function<void(int, int, TRGB)> PaintFillStep = [](int, int, TRGB) {}; // with a pause
    std::function<void()> CopyViewToPaintBox2 = [] {};

    // Set controls.
    std::function<void(int)> SetScrollBar2Detached = [](int) {};
    std::function<void(const std::string&)> SetLabel1Caption = [](const std::string&) {};

    // Ask: the segment-list warning of the region fill.
    std::function<void()> ShowLinesWarning = [] {};

    // The window system's button-face colour, the ground of the area drawing.
    std::function<TRGB()> ButtonFace = [] { return TRGB{239, 239, 239}; };
};

extern TWindowSeam WindowSeam;
