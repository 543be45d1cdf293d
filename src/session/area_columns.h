// The figures of one kept area, as the table of areas shows them and
// areas.csv writes them: one definition of the columns for both.
#pragma once

#include "areas/area_tables.h"
#include "footprint.h"

#include <cstdint>
#include <string>
#include <vector>

struct TAreaFigures {
    int32_t Label = 0;
    int32_t Pixels = 0;                               // the sum of the run lengths
    int32_t CentreX = 0, CentreY = 0;                 // the record's mean column and row
    int32_t Left = 0, Top = 0, Right = 0, Bottom = 0; // the box of its runs, inclusive
    int32_t OutlinePoints = 0;                        // points of the recorded outline
    float RadiusSum = 0;                              // summed whole distances of the outline
    uint8_t Profile[8] = {};                          // the eight-sector shape profile
    // Measured against the picture's footprint, after the pass:
    double Inside = 0;                             // share of the pixels inside it, 3 decimals
    double PictureCentreX = 0, PictureCentreY = 0; // the centre in the picture's pixels
    double PictureLeft = 0, PictureTop = 0, PictureRight = 0, PictureBottom = 0;
    int64_t PicturePixels = 0; // picture pixels the area's grid pixels stand for
};

// The figures of a record; those against the footprint are 0 for no
// picture, the grid's own for the coordinates.
TAreaFigures Figures(const TArea& area, const TFootprint& footprint);

constexpr int AreaColumnCount = 26;

struct TAreaColumn {
    const char* Name;    // as in the header of areas.csv
    const char* Meaning; // in words, for tooltips and the README
};
extern const TAreaColumn AreaColumns[AreaColumnCount];

// Column `c` of an area as a number (exact: every figure fits a double) and
// as text (whole numbers in decimal, the radius sum so that it reads back as
// the same 32-bit float, `inside` with three decimals, the picture's
// coordinates whole or with a half).
double AreaColumnValue(const TAreaFigures& f, int c);
// True when column `c` holds whole numbers only (every column but the radius
// sum): its text is plain decimal digits.
bool AreaColumnIsWhole(int c);
std::string AreaColumnText(const TAreaFigures& f, int c);

// The kept records of the last pass, in label order.
std::vector<const TArea*> KeptAreas(const TAreaState& s);

// The index of the kept record whose label is `label`, -1 when none is (the
// label map also holds the labels of fills that were rejected or released).
int32_t RecordOfLabel(const TAreaState& s, int32_t label);

// The values of every column for the kept areas, column after column, each
// a row per kept area in label order: the table as numbers.
std::vector<std::vector<double>> AreaColumnValues(const TAreaState& s,
                                                  const TFootprint& footprint);

// The column of `inside`, whose 0 marks an area wholly off the picture.
constexpr int InsideColumn = 18;

// areas.csv: the header line and one line per kept area, in label order
// (RFC 4180: comma-separated, CRLF line ends; no field needs quoting).
std::string AreasCsv(const TAreaState& s, const TFootprint& footprint);
