#include "results.h"

#include "session/footprint.h"

#include "session/area_columns.h"
#include "session/label_image.h"

#include <cmath>
#include <stdexcept>
#include <string>

namespace py = pybind11;

py::array_t<int32_t> NewLabelImage() {
    return py::array_t<int32_t>({256, 256});
}

TGathered Gather(const TSession& s, int32_t* labels, const std::optional<double>& score) {
    TGathered g;
    g.Pass = *s.LastPass;
    g.Score = score;
    WriteKeptLabels(s, labels);
    g.Columns = AreaColumnValues(s.Areas, FootprintOf(s.Picture));
    g.LevelScores.assign(std::begin(s.Areas.LevelScores), std::end(s.Areas.LevelScores));
    return g;
}

namespace {

// A column of whole numbers as int64: a fraction there would be a column
// that says it is whole and is not, which must not be cut off unseen.
py::array WholeColumn(const std::vector<double>& values, const char* name) {
    py::array_t<int64_t> out(py::ssize_t(values.size()));
    int64_t* o = out.mutable_data();
    for (size_t i = 0; i < values.size(); ++i) {
        if (values[i] != std::trunc(values[i]))
            throw std::logic_error(std::string("the column ") + name + " holds a fraction");
        o[i] = int64_t(values[i]);
    }
    return out;
}

py::array FractionColumn(const std::vector<double>& values) {
    py::array_t<double> out(py::ssize_t(values.size()));
    std::copy(values.begin(), values.end(), out.mutable_data());
    return out;
}

} // namespace

py::object MakeResult(TGathered&& g, py::array_t<int32_t> labels) {
    py::dict areas;
    for (int c = 0; c < AreaColumnCount; ++c) {
        const std::vector<double>& v = g.Columns[size_t(c)];
        areas[AreaColumns[c].Name] =
            AreaColumnIsWhole(c) ? WholeColumn(v, AreaColumns[c].Name) : FractionColumn(v);
    }
    TPyResult r;
    r.Threshold = g.Pass.Threshold;
    r.RaisedLevel = g.Pass.RaisedLevel;
    r.RejectedLast = g.Pass.RejectedLast;
    r.AreaRecords = g.Pass.AreaCount + 1;
    r.Plane = g.Pass.Plane < 0 ? py::none() : py::object(py::int_(g.Pass.Plane));
    r.PlaneName = py::str(g.Pass.Plane < 0 ? "mix" : PlaneIds[g.Pass.Plane]);
    r.Score = g.Score ? py::object(py::float_(*g.Score)) : py::none();
    r.LevelScores = FractionColumn(g.LevelScores);
    r.Labels = std::move(labels);
    r.Areas = std::move(areas);
    return py::cast(std::move(r));
}
