// TSession: everything one analysis of one picture reads and changes, and
// the steps of that analysis over it. Start here.
//
// The road of a picture, one way:
//   LoadPicture(s, path)          file -> 256 x 256 picture grid
//   ComputePlanes(s)              grid -> pyramid -> twenty feature planes
//   FindAreas(s, options, obs)    planes -> working plane -> areas, tree, view
//   DrawPlane(s, index)           one plane (or area map, composite) -> view
//   ExportAnalysis(s, dir, ...)   what the last pass found -> files (export.h)
//   ProbeArea(s, x, y)            areas -> likeness colouring -> view
//   PressProbe(s, button, x, y)   grid, planes -> click-probe labels in plane 13
//
// A session owns its state outright: two sessions in one process, on two
// threads, never touch each other. The window owns one; the replay tool, the
// batch tool, tests and benchmarks make their own. Sessions are large
// (several MiB): make them with NewSession.
//
// A session's steps may spread their work over its workers (by default one
// per processor the process may run on); with 1 worker the session starts
// no thread at all, as a batch that runs one session per core wants. The
// results are the same whatever the count.
#pragma once

#include "areas/area_pass.h"
#include "areas/area_tables.h"
#include "image/bitmap.h"
#include "image/decoders.h"
#include "image/lookup_tables.h"
#include "image/pixel_intake.h"
#include "image/plane_store.h"
#include "image/workers.h"
#include "random.h"
#include "tree/partition_tree.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

// The picture that landed on the grid last.
struct TPictureInfo {
    std::string Path;     // as given to LoadPicture; "" before the first picture
    TPictureSize Size;    // its whole size
    TPlacement Placement; // how it landed: the placement asked, resolved for its size
};

// Where a fresh session's threshold bar stands, as a fresh window shows it.
constexpr int32_t InitialThresholdBar = 100;

struct TSession {
    TBitmap Grid; // the picture grid, 256 x 256, white until a picture lands
    TPictureInfo Picture;
    // The placement asked for the pictures loaded next: it stays from picture
    // to picture until changed, and each picture resolves it for its size.
    TPlacement Placement;
    TPlanes Planes;      // the planes and the pyramid
    TAreaState Areas;    // working plane, label map, records, scores, counters
    TPartitionTree Tree; // labels persist from pass to pass
    TBitmap View;        // 256 x 256: what the plane view, the pass and the probe draw
    TToneTab ToneTab = InitialToneTab(); // the plane view's brightness offset
    TRandom Random;                      // the click probe's generator
    // Where the threshold bar stands: at the threshold of the last pass
    // run through the user's actions (session/analysis.h).
    int32_t ThresholdBar = InitialThresholdBar;
    std::optional<TPassResult> LastPass; // none before the first pass
    TWorkers Workers;                    // the threads its steps may use
    // Scratch of the threshold scan: one scoring context per worker, made by
    // the first scan.
    std::vector<std::unique_ptr<TAreaState>> ScanContexts;

    explicit TSession(int workers = DefaultWorkerCount());
    TSession(const TSession&) = delete;
    TSession& operator=(const TSession&) = delete;
};

std::unique_ptr<TSession> NewSession(int workers = DefaultWorkerCount());

// The steps over one session.
// Decodes the picture at `path` onto the grid under s.Placement and records
// it in s.Picture (throws TPictureError and changes nothing when it cannot).
void LoadPicture(TSession& s, const std::string& path);
// The same for pixels the caller holds (image/pixel_intake.h); `name` stands
// in s.Picture where a file's path would.
void LoadPixels(TSession& s, const TRgbPixels& pixels, const std::string& name);
void ComputePlanes(TSession& s);
TPassResult FindAreas(TSession& s, const TPassOptions& options, TPassObserver& observer);
// Draws plane `index` into s.View: the area map (3) through the Palette, the
// composite (19) of planes 10, 0 and 1, any other plane in grey through the
// tone table; an index above 19 draws nothing.
void DrawPlane(TSession& s, uint8_t index);
// The same drawing into `out` (256 x 256 or larger), the session unchanged.
void DrawPlane(const TSession& s, uint8_t index, TBitmap& out);
bool ProbeArea(TSession& s, int32_t x, int32_t y);
