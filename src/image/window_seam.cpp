#include "window_seam.h"

TWindowSeam WindowSeam;
