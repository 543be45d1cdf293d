// The Python module tessavorin: a Session per analysis, numpy arrays in and
// out. See help(tessavorin).
#include "arguments.h"
#include "batch_steps.h"
#include "py_session.h"
#include "results.h"

#include "image/picture_error.h"
#include "image/plane_store.h"
#include "session/export.h"

#include <pybind11/pybind11.h>

namespace py = pybind11;

namespace {

const char* const ModuleDoc = R"(Feature planes and areas of pictures, as numpy arrays.

A Session analyses one picture at a time on a 256 x 256 grid, as the
program's window and tessavorin-batch do, with the same results:

    import tessavorin
    s = tessavorin.Session()
    s.load("coffee.jpg")                 # or s.load_array(rgb) for an (h, w, 3) uint8 array
    r = s.find_areas()                   # or find_areas(threshold=68), scan(), plane="aV"
    r.labels                             # (256, 256) label image, 0 where no area lies
    r.areas["pixels"]                    # columns of areas.csv: pandas.DataFrame(r.areas)
    s.planes[12]                         # the twenty planes, names in PLANE_NAMES
    s.export("coffee.jpg-results")       # the files tessavorin-batch writes

Steps release the GIL: sessions on several threads run side by side. A
Session serves one thread at a time; a call from a second thread while a
step runs raises BusyError.
)";

const char* const SessionDoc =
    R"(One analysis: the picture grid, its planes and the areas last found.

Session(workers=None): workers is the number of threads a step may use
(None: one per processor this process may run on; 1 starts no thread). The
results are the same for every count.

A Session is what one window is: a picture smaller than the grid lands on
what the previous picture left (white at first), and the threshold a scan
starts from is the one of the last step. A fresh Session per picture gives
what tessavorin-batch gives for it.)";

const char* const LoadDoc =
    R"(Reads a JPEG, BMP or PNG picture file onto the grid and computes its planes.
placement is where the picture lands: "top-left" (its top-left 256 x 256
pixels, unscaled), ("part", x, y) (the 256 x 256 part whose top-left corner
is column x, row y, moved inside the picture) or "fit" (the whole picture
shrunk by the smallest whole factor that fits it).

Raises PictureError (a ValueError) with the window's message when the file
cannot be read; the session is then unchanged.)";

const char* const LoadArrayDoc =
    R"(Puts a picture from memory onto the grid and computes its planes: rgb is a
numpy array of shape (h, w, 3) and dtype uint8, red, green, blue, of any
size; placement as for load(). name stands for the picture's path in
export()'s analysis.json. The same pixels give the same results as load().)";

const char* const FindAreasDoc =
    R"(Grows the areas of the picture on the grid. threshold: None lets the pass
choose it from the histogram, 0 to 255 sets it. plane: None works on the
brightness/noise mix, a plane number 0 to 19 or a name of PLANE_NAMES on
that plane. The pass rewrites planes 3 (aArH, the area map) and 13 (aGr,
the working plane).)";

const char* const ScanDoc =
    R"(The threshold scan: tries the thresholds 8, 16, ..., 248 and then every one
within 8 of the best, and keeps the areas of the best. The Result's score
is the best score, level_scores the scores of every threshold.)";

const char* const ExportDoc =
    R"(Writes what tessavorin-batch writes for the picture into folder: areas.csv,
analysis.json, area-map.png, area-view.png and, with planes=True, the
twenty planes under planes/. The folder appears whole or not at all. An
older result folder there is replaced; anything else there raises
FileExistsError and is left as it is. A file that cannot be written raises
ExportError (an OSError).)";

const char* const SweepDoc =
    R"(The threshold sweep: what find_areas would give at every threshold 0..255
of the last analysis's plane, each as if the threshold were moved there
from now. A dict of 256-long numpy columns named as those of the batch's
sweep.csv (threshold, areas, raised_level, rejected_last, score,
area_pixels): pandas.DataFrame(session.sweep()) is that table. The session
is left as it was. Needs find_areas() or scan() first.)";

const char* const ResultDoc = R"(What find_areas() or scan() found, as it was then.

threshold, raised_level, rejected_last, area_records, plane, plane_name and
level_scores are those of analysis.json; score is the scan's best score
(None after find_areas). labels is a (256, 256) int32 label image holding
each kept area's label on its pixels and 0 elsewhere; areas is a dict of
equal-length numpy columns named as those of areas.csv, one row per kept
area in label order: pandas.DataFrame(result.areas) is the table.)";

// An exception of `type` whose message may hold a file name's bytes that
// are not UTF-8.
void Raise(PyObject* type, const char* message) {
    py::str text = FileSystemText(message);
    PyErr_SetObject(type, text.ptr());
}

} // namespace

PYBIND11_MODULE(tessavorin, m) {
    m.doc() = ModuleDoc;

    static py::exception<TPictureError> pictureError(m, "PictureError", PyExc_ValueError);
    pictureError.doc() = "A picture that cannot be read; the message names the file and why.";
    static py::exception<TExportError> exportError(m, "ExportError", PyExc_OSError);
    exportError.doc() = "A file of an export that cannot be written; the message says which.";
    static py::exception<TBusy> busyError(m, "BusyError", PyExc_RuntimeError);
    busyError.doc() = "A Session called from a second thread while a step of it runs.";
    py::register_exception_translator([](std::exception_ptr p) {
        try {
            if (p) std::rethrow_exception(p);
        } catch (const TPictureError& e) {
            Raise(pictureError.ptr(), e.what());
        } catch (const TExportError& e) {
            Raise(exportError.ptr(), e.what());
        } catch (const TFolderTaken& e) {
            Raise(PyExc_FileExistsError, e.what());
        } catch (const TBusy& e) {
            Raise(busyError.ptr(), e.what());
        } catch (const TNotYet& e) {
            Raise(PyExc_RuntimeError, e.what());
        }
    });

    py::tuple names(PlaneCount);
    for (int p = 0; p < PlaneCount; ++p) names[size_t(p)] = PlaneIds[p];
    m.attr("PLANE_NAMES") = names;

    py::class_<TPyResult>(m, "Result", ResultDoc)
        .def_readonly("threshold", &TPyResult::Threshold, "The threshold the areas were grown at.")
        .def_readonly("raised_level", &TPyResult::RaisedLevel,
                      "The fill threshold as the pass left it after raising it.")
        .def_readonly("rejected_last", &TPyResult::RejectedLast,
                      "The last fill rejected as too small or too large, -1 when none.")
        .def_readonly("area_records", &TPyResult::AreaRecords,
                      "Records the pass made, released ones included.")
        .def_readonly("plane", &TPyResult::Plane, "The plane analysed, None for the mix.")
        .def_readonly("plane_name", &TPyResult::PlaneName, "Its name, or \"mix\".")
        .def_readonly("score", &TPyResult::Score, "The scan's best score; None after find_areas.")
        .def_readonly("level_scores", &TPyResult::LevelScores,
                      "The 256 scores of the thresholds (float64).")
        .def_readonly("labels", &TPyResult::Labels,
                      "(256, 256) int32: each kept area's label on its pixels, 0 elsewhere.")
        .def_readonly("areas", &TPyResult::Areas,
                      "dict of numpy columns named as those of areas.csv.")
        .def("__repr__", [](const TPyResult& r) {
            return "<tessavorin.Result threshold=" + std::to_string(r.Threshold) +
                   " areas=" + std::to_string(py::len(r.Areas["label"])) +
                   " plane=" + std::string(py::str(r.PlaneName)) + ">";
        });

    py::class_<TPySession>(m, "Session", SessionDoc)
        .def(py::init([](const py::object& workers) {
                 return std::make_unique<TPySession>(WorkersArgument(workers));
             }),
             py::arg("workers") = py::none())
        .def(
            "load",
            [](TPySession& s, const py::object& path, const py::object& placement) {
                s.Load(PathArgument(path), PlacementArgument(placement));
            },
            py::arg("path"), py::arg("placement") = "top-left", LoadDoc)
        .def(
            "load_array",
            [](TPySession& s, const py::object& rgb, const py::object& placement,
               const py::object& name) {
                s.LoadArray(rgb, PlacementArgument(placement), PathArgument(name));
            },
            py::arg("rgb"), py::arg("placement") = "top-left", py::arg("name") = "", LoadArrayDoc)
        .def(
            "find_areas",
            [](TPySession& s, const py::object& threshold, const py::object& plane) {
                return s.FindAreas(ThresholdArgument(threshold), PlaneArgument(plane));
            },
            py::arg("threshold") = py::none(), py::arg("plane") = py::none(), FindAreasDoc)
        .def(
            "scan",
            [](TPySession& s, const py::object& plane) { return s.Scan(PlaneArgument(plane)); },
            py::arg("plane") = py::none(), ScanDoc)
        .def("sweep", &TPySession::Sweep, SweepDoc)
        .def(
            "export",
            [](TPySession& s, const py::object& folder, bool planes) {
                s.Export(PathArgument(folder), planes);
            },
            py::arg("folder"), py::arg("planes") = false, ExportDoc)
        .def_property_readonly("grid", &TPySession::GridView,
                               "(256, 256, 3) uint8, read-only: the picture grid, red, green, "
                               "blue, as it stands now (a view, not a copy).")
        .def_property_readonly("planes", &TPySession::PlanesView,
                               "(20, 256, 256) uint8, read-only: the twenty planes as they "
                               "stand now (a view, not a copy); names in PLANE_NAMES.")
        .def_property_readonly("picture", &TPySession::Picture,
                               "The picture on the grid: dict of path, width, height (its "
                               "whole size) and placement as it landed; None before the first.")
        .def_property_readonly("workers", &TPySession::Workers,
                               "The number of threads a step may use.");
}
