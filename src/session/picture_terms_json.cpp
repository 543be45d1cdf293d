#include "picture_terms_json.h"

#include "area_columns.h"
#include "export.h"
#include "footprint.h"

#include <sstream>

std::string PictureTermsJson(const TSession& s) {
    const TFootprint footprint = FootprintOf(s.Picture);
    std::ostringstream o;
    o << ",\n  \"footprint\": {\"width\": " << footprint.Width
      << ", \"height\": " << footprint.Height << "}";
    o << ",\n  \"partial_message\": "
      << (OnlyPartAnalysed(s.Picture) ? JsonQuoted(PartialAnalysisMessage(s.Picture))
                                      : std::string("null"));
    const std::vector<const TArea*> kept = KeptAreas(s.Areas);
    int inPicture = 0;
    std::string list;
    for (const TArea* a : kept) {
        const TAreaFigures f = Figures(*a, footprint);
        if (f.Inside > 0) ++inPicture;
        list += list.empty() ? "\n    {" : ",\n    {";
        list += "\"label\": " + AreaColumnText(f, 0);
        for (int c = InsideColumn; c < AreaColumnCount; ++c)
            list += std::string(", \"") + AreaColumns[c].Name + "\": " + AreaColumnText(f, c);
        list += "}";
    }
    o << ",\n  \"areas_in_picture\": " << inPicture;
    o << ",\n  \"area_list\": [" << list << (list.empty() ? "]" : "\n  ]");
    return o.str();
}
