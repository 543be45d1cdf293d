// The picture of a threshold sweep, painted the same way into the window's
// sweep view and into sweep.png: the working plane's histogram in grey, the
// kept areas (left axis) and the score (right axis, in the power of ten the
// axis names) against the threshold, the bar's threshold as a line, the
// automatic threshold and the scan's choice as marks above the plot.
//
// Everything is drawn in the painter's logical coordinates with vector
// strokes and text, so that it stays sharp at any device pixel ratio.
#pragma once

#include "sweep.h"

#include <QImage>
#include <QRectF>

#include <cstdint>
#include <optional>

class QPainter;

// Where the curves lie inside a frame of the given size: the margins hold
// the axes' numbers and words.
QRectF SweepPlotArea(const QRectF& frame);

// The threshold under the column x of the frame, clamped to 0..255.
int32_t SweepThresholdAt(const QRectF& frame, double x);

// Paints `sweep` filling `frame`, with the values at the bar's threshold,
// or with a thin line and the values at `hover`.
void PaintSweep(QPainter& painter, const QRectF& frame, const TSweep& sweep,
                std::optional<int32_t> hover = std::nullopt);

// The sweep painted on a white picture of width x height pixels.
QImage SweepImage(const TSweep& sweep, int width = 960, int height = 540);
