// The keys of analysis.json that give the results in the picture's own
// terms: its footprint on the grid, whether only part of it was analysed,
// and for each kept area its share inside the footprint and its place in
// the picture's pixels (the columns areas.csv appends after profile_7).
#pragma once

#include "session.h"

#include <string>

// ",\n  \"footprint\": ..." up to the last key, to follow the keys before it.
std::string PictureTermsJson(const TSession& s);
