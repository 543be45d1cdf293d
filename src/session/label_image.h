// labels.png: the label map of the last pass as a 16-bit grey picture, each
// pixel the label of the kept area it belongs to (a row of areas.csv), 0
// where no kept area lies (rejected and released fills included), so that
// image tools load it as labels that join the table.
#pragma once

#include "session.h"

#include <QImage>

// The same labels as 256 x 256 32-bit values into `out` (row after row), for
// callers that hand them on as an array.
void WriteKeptLabels(const TSession& s, int32_t* out);

// The 256 x 256 picture (QImage::Format_Grayscale16). Throws TExportError
// when a kept label is above 65535, which 16 bits cannot hold.
QImage LabelImage(const TSession& s);
