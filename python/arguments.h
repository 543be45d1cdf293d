// Python's values turned into the steps' own: a placement, a threshold, a
// plane, a worker count, a path. A value of the wrong type raises TypeError
// and one out of range ValueError, each naming what was expected.
#pragma once

#include "image/placement.h"

#include <pybind11/pybind11.h>

#include <cstdint>
#include <string>

// "top-left", "fit" or ("part", x, y) with x, y >= 0.
TPlacement PlacementArgument(const pybind11::handle& value);
// How a resolved placement reads in Python: the same forms, with the part's
// corner after clamping and the fit as ("fit", k).
pybind11::object PlacementValue(const TPlacement& resolved);

// None (-1: the pass chooses it) or 0..255.
int32_t ThresholdArgument(const pybind11::handle& value);
// None (-1: the brightness/noise mix), 0..19 or a name of PLANE_NAMES.
int32_t PlaneArgument(const pybind11::handle& value);
// None (one per processor the process may use) or at least 1.
int WorkersArgument(const pybind11::handle& value);
// A str, bytes or os.PathLike as the file system's bytes.
std::string PathArgument(const pybind11::handle& value);

// `text` (bytes that may not be UTF-8, such as a file name) as a str that
// os.fsencode turns back into the same bytes.
pybind11::str FileSystemText(const std::string& text);
