#include "arguments.h"

#include "image/plane_store.h"
#include "image/workers.h"

#include <climits>

namespace py = pybind11;

namespace {

std::string TypeName(const py::handle& value) {
    return py::str(py::type::handle_of(value).attr("__name__"));
}

// A Python int, not a bool (True would otherwise read as 1).
bool IsInt(const py::handle& value) {
    return py::isinstance<py::int_>(value) && !py::isinstance<py::bool_>(value);
}

// A whole number in [low, high]; `what` names the argument and its range.
long long WholeArgument(const py::handle& value, long long low, long long high,
                        const std::string& what) {
    if (!IsInt(value)) throw py::type_error(what + ", not " + TypeName(value));
    // A number too large for a C long is out of range as well.
    const py::int_ n = py::reinterpret_borrow<py::int_>(value);
    if (n < py::int_(low) || n > py::int_(high))
        throw py::value_error(what + ", not " + std::string(py::str(value)));
    return n.cast<long long>();
}

const char* const PlacementForms = "placement must be \"top-left\", \"fit\" or (\"part\", x, y)";

} // namespace

TPlacement PlacementArgument(const py::handle& value) {
    TPlacement p;
    if (py::isinstance<py::str>(value)) {
        const std::string kind = py::str(value);
        if (kind == "top-left") return p;
        if (kind == "fit") {
            p.Kind = TPlacement::Fit;
            return p;
        }
        throw py::value_error(std::string(PlacementForms) + ", not \"" + kind + "\"");
    }
    if (!py::isinstance<py::tuple>(value) && !py::isinstance<py::list>(value))
        throw py::type_error(std::string(PlacementForms) + ", not " + TypeName(value));
    const py::sequence form = py::reinterpret_borrow<py::sequence>(value);
    if (form.size() != 3 || !py::isinstance<py::str>(form[0]) ||
        std::string(py::str(form[0])) != "part")
        throw py::value_error(std::string(PlacementForms) + ", not " +
                              std::string(py::repr(value)));
    p.Kind = TPlacement::Part;
    p.X = int(WholeArgument(form[1], 0, INT_MAX, "the part's x must be a whole number >= 0"));
    p.Y = int(WholeArgument(form[2], 0, INT_MAX, "the part's y must be a whole number >= 0"));
    return p;
}

py::object PlacementValue(const TPlacement& p) {
    switch (p.Kind) {
    case TPlacement::Part:
        return py::make_tuple("part", p.X, p.Y);
    case TPlacement::Fit:
        return py::make_tuple("fit", p.K);
    default:
        return py::str("top-left");
    }
}

int32_t ThresholdArgument(const py::handle& value) {
    if (value.is_none()) return -1;
    return int32_t(
        WholeArgument(value, 0, 255, "threshold must be None or a whole number 0 to 255"));
}

int32_t PlaneArgument(const py::handle& value) {
    if (value.is_none()) return -1;
    const char* expected = "plane must be None, a plane number 0 to 19 or a name of PLANE_NAMES";
    if (py::isinstance<py::str>(value)) {
        const std::string name = py::str(value);
        for (int p = 0; p < PlaneCount; ++p)
            if (name == PlaneIds[p]) return p;
        throw py::value_error(std::string(expected) + ", not \"" + name + "\"");
    }
    return int32_t(WholeArgument(value, 0, PlaneCount - 1, expected));
}

int WorkersArgument(const py::handle& value) {
    if (value.is_none()) return DefaultWorkerCount();
    return int(WholeArgument(value, 1, 1024, "workers must be None or a whole number 1 to 1024"));
}

std::string PathArgument(const py::handle& value) {
    const py::module_ os = py::module_::import("os");
    if (!py::isinstance<py::str>(value) && !py::isinstance<py::bytes>(value) &&
        !py::hasattr(value, "__fspath__"))
        throw py::type_error("path must be a str, bytes or os.PathLike, not " + TypeName(value));
    return os.attr("fsencode")(value).cast<std::string>();
}

py::str FileSystemText(const std::string& text) {
    PyObject* s = PyUnicode_DecodeFSDefaultAndSize(text.data(), Py_ssize_t(text.size()));
    if (!s) throw py::error_already_set();
    return py::reinterpret_steal<py::str>(s);
}
