// A Python Session: one TSession and what the module keeps beside it (where
// the threshold bar stands, the last scan's score, whether the picture on
// the grid has been analysed), and the steps as Python calls them.
//
// A step runs with the GIL released, so that sessions on several threads
// run side by side; a second thread that calls into a session while a step
// of it runs gets TBusy instead of sharing its state.
#pragma once

#include "session/session.h"

#include <pybind11/pybind11.h>

#include <atomic>
#include <memory>
#include <optional>
#include <stdexcept>

// A session called from a second thread while a step of it runs.
struct TBusy : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// What the module asks of a step before it runs: a picture on the grid, or
// an analysis of it.
struct TNotYet : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class TPySession {
  public:
    explicit TPySession(int workers);

    void Load(const std::string& path, const TPlacement& placement);
    void LoadArray(const pybind11::handle& rgb, const TPlacement& placement,
                   const std::string& name);
    pybind11::object FindAreas(int32_t threshold, int32_t plane);
    pybind11::object Scan(int32_t plane);
    pybind11::object Sweep();
    void Export(const std::string& folder, bool planes);
    pybind11::object Picture();

    // Zero-copy read-only views of the picture grid and the planes, which
    // keep `self` (this session's Python object) alive.
    static pybind11::object GridView(const pybind11::object& self);
    static pybind11::object PlanesView(const pybind11::object& self);

    int Workers() const { return S_->Workers.Count(); }

  private:
    friend class TStep;
    pybind11::object Analyse(int32_t threshold, bool scan, int32_t plane);

    std::unique_ptr<TSession> S_;
    std::atomic<bool> Busy_{false};
    int32_t Bar_;
    std::optional<double> BestScore_; // of the last step, when it was a scan
    bool Loaded_ = false;             // a picture is on the grid with its planes
    bool Analysed_ = false;           // and a step has analysed it
};
