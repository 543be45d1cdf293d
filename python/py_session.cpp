#include "py_session.h"

#include "arguments.h"
#include "batch_steps.h"
#include "results.h"

#include <pybind11/numpy.h>

#include <climits>

namespace py = pybind11;

// Holds a session for one step: taken with the GIL held, so two threads
// cannot both take it; the second raises at once instead of waiting on a
// step that may take seconds.
class TStep {
  public:
    explicit TStep(TPySession& s) : S_(s) {
        if (S_.Busy_.exchange(true))
            throw TBusy("this Session is running a step on another thread: give each thread "
                        "a Session of its own");
    }
    ~TStep() { S_.Busy_.store(false); }
    TStep(const TStep&) = delete;
    TStep& operator=(const TStep&) = delete;

  private:
    TPySession& S_;
};

TPySession::TPySession(int workers) : S_(NewSession(workers)), Bar_(FirstBar()) {}

void TPySession::Load(const std::string& path, const TPlacement& placement) {
    TStep step(*this);
    py::gil_scoped_release free;
    const TPlacement before = S_->Placement;
    S_->Placement = placement;
    try {
        LoadPicture(*S_, path);
    } catch (...) {
        S_->Placement = before; // a picture that fails changes nothing
        throw;
    }
    AfterIntake(*S_);
    Loaded_ = true;
    Analysed_ = false;
    BestScore_.reset();
}

void TPySession::LoadArray(const py::handle& value, const TPlacement& placement,
                           const std::string& name) {
    const char* expected = "rgb must be a numpy array of shape (h, w, 3) and dtype uint8";
    if (!py::isinstance<py::array>(value))
        throw py::type_error(std::string(expected) + ", not " +
                             std::string(py::str(py::type::handle_of(value).attr("__name__"))));
    py::array rgb = py::reinterpret_borrow<py::array>(value);
    if (!rgb.dtype().is(py::dtype::of<uint8_t>()))
        throw py::type_error(std::string(expected) + ", not dtype " +
                             std::string(py::str(rgb.dtype())));
    if (rgb.ndim() != 3 || rgb.shape(2) != 3 || rgb.shape(0) < 1 || rgb.shape(1) < 1 ||
        rgb.shape(0) > INT_MAX || rgb.shape(1) > INT_MAX)
        throw py::value_error(std::string(expected) + " with h, w >= 1, not shape " +
                              std::string(py::str(rgb.attr("shape"))));
    // Rows may lie anywhere (a slice of a larger picture); the pixels of a
    // row must follow each other, else they are gathered into a copy first.
    if (rgb.strides(2) != 1 || rgb.strides(1) != 3)
        rgb = py::array_t<uint8_t, py::array::c_style>::ensure(rgb);
    const TRgbPixels pixels{static_cast<const uint8_t*>(rgb.data()), int(rgb.shape(1)),
                            int(rgb.shape(0)), rgb.strides(0)};

    TStep step(*this);
    // The array is read with the GIL held, so that no Python thread changes
    // it meanwhile; only the planes run without it.
    S_->Placement = placement;
    LoadPixels(*S_, pixels, name);
    py::gil_scoped_release free;
    AfterIntake(*S_);
    Loaded_ = true;
    Analysed_ = false;
    BestScore_.reset();
}

py::object TPySession::Analyse(int32_t threshold, bool scan, int32_t plane) {
    TStep step(*this);
    if (!Loaded_) throw TNotYet("there is no picture to analyse yet: call load() or load_array()");
    py::array_t<int32_t> labels = NewLabelImage();
    int32_t* labelData = labels.mutable_data();
    TGathered gathered;
    {
        py::gil_scoped_release free;
        const std::optional<double> score = RunStep(*S_, {threshold, scan, plane}, Bar_);
        BestScore_ = score;
        Analysed_ = true;
        gathered = Gather(*S_, labelData, score);
    }
    return MakeResult(std::move(gathered), std::move(labels));
}

py::object TPySession::FindAreas(int32_t threshold, int32_t plane) {
    return Analyse(threshold, false, plane);
}

py::object TPySession::Scan(int32_t plane) {
    return Analyse(-1, true, plane);
}

py::object TPySession::Sweep() {
    TStep step(*this);
    if (!Analysed_)
        throw TNotYet("there is no analysis of this picture to sweep yet: call find_areas() or "
                      "scan()");
    TSweep sweep;
    {
        py::gil_scoped_release free;
        sweep = SweepStep(*S_, Bar_);
    }
    const auto column = [&](auto value) {
        py::array_t<int64_t> out(256);
        for (size_t t = 0; t < 256; ++t) out.mutable_data()[t] = int64_t(value(sweep.Rows[t]));
        return out;
    };
    py::array_t<double> score(256);
    for (size_t t = 0; t < 256; ++t) score.mutable_data()[t] = sweep.Rows[t].Score;
    py::dict d;
    d["threshold"] = column([](const TSweepRow& r) { return r.Threshold; });
    d["areas"] = column([](const TSweepRow& r) { return r.Areas; });
    d["raised_level"] = column([](const TSweepRow& r) { return r.RaisedLevel; });
    d["rejected_last"] = column([](const TSweepRow& r) { return r.RejectedLast; });
    d["score"] = score;
    d["area_pixels"] = column([](const TSweepRow& r) { return r.AreaPixels; });
    return d;
}

void TPySession::Export(const std::string& folder, bool planes) {
    TStep step(*this);
    if (!Analysed_)
        throw TNotYet("there is no analysis of this picture to export yet: call find_areas() "
                      "or scan()");
    py::gil_scoped_release free;
    WriteResult(*S_, folder, planes, BestScore_);
}

py::object TPySession::Picture() {
    TStep step(*this);
    if (!Loaded_) return py::none();
    const TPictureInfo& p = S_->Picture;
    py::dict d;
    d["path"] = FileSystemText(p.Path);
    d["width"] = p.Size.Width;
    d["height"] = p.Size.Height;
    d["placement"] = PlacementValue(p.Placement);
    return d;
}

namespace {

// A view into memory `owner` holds: never written through, and `owner`
// lives as long as the view does.
py::array ReadOnlyView(py::array view) {
    py::detail::array_proxy(view.ptr())->flags &= ~py::detail::npy_api::NPY_ARRAY_WRITEABLE_;
    return view;
}

} // namespace

py::object TPySession::GridView(const py::object& self) {
    TPySession& s = self.cast<TPySession&>();
    const TBitmap& grid = s.S_->Grid;
    // The grid's bytes are blue, green, red: the channel axis runs backwards
    // from each pixel's red byte.
    return ReadOnlyView(py::array(py::dtype::of<uint8_t>(), {256, 256, 3},
                                  {py::ssize_t(grid.Stride), py::ssize_t(3), py::ssize_t(-1)},
                                  grid.Rows[0] + 2, self));
}

py::object TPySession::PlanesView(const py::object& self) {
    TPySession& s = self.cast<TPySession&>();
    return ReadOnlyView(py::array(py::dtype::of<uint8_t>(), {PlaneCount, 256, 256},
                                  {py::ssize_t(sizeof(TPlane)), py::ssize_t(256), py::ssize_t(1)},
                                  &s.S_->Planes.P[0][0][0], self));
}
