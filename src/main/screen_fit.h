// Windows open wholly on a screen: a frame larger than the screen's free area
// shrinks to it, and one that reaches past an edge moves back inside.
#pragma once

#include <QByteArray>
#include <QRect>

class QWidget;

// `frame` moved (and shrunk where it is larger) so that it lies inside
// `available`; unchanged when it already does.
QRect FitInside(const QRect& frame, const QRect& available);

// Moves and, where needed, shrinks the shown top-level `window` so that its
// frame, title bar included, lies inside the free area of the screen it is
// on (the primary screen when it is on none).
void KeepOnScreen(QWidget& window);

// Restores a geometry saved with saveGeometry() when its frame still lies
// inside the free area of some screen; false (and nothing changed) otherwise.
bool RestoreGeometryOnScreen(QWidget& window, const QByteArray& saved);
