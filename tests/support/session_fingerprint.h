// Everything a session holds after an analysis, as bytes: the picture, the
// planes, the view, the area state (working plane, label map, level, label,
// sums, scores, counters, warnings, every record), the tree's labels and
// list lengths, and the random generator. Two sessions that should have
// gone the same road must give the same fingerprint.
#pragma once

#include "session/session.h"

#include <cstdint>
#include <vector>

inline std::vector<uint8_t> Fingerprint(const TSession& s) {
    std::vector<uint8_t> f;
    const auto add = [&](const void* p, size_t n) {
        const auto* b = static_cast<const uint8_t*>(p);
        f.insert(f.end(), b, b + n);
    };
    add(s.Grid.Pixels.data(), s.Grid.Pixels.size());
    add(s.Planes.P, sizeof s.Planes.P);
    add(s.View.Pixels.data(), s.View.Pixels.size());
    const TAreaState& a = s.Areas;
    add(a.WorkPlane, sizeof a.WorkPlane);
    add(a.LabelMap, sizeof a.LabelMap);
    add(a.LevelScores, sizeof a.LevelScores);
    add(a.OpCounters, sizeof a.OpCounters);
    for (const auto* v : {&a.AreaCount, &a.CurLabel, &a.RejectedLast, &a.AreaPixels}) add(v, 4);
    add(&a.OverflowWarnings, sizeof a.OverflowWarnings);
    add(&a.Level, sizeof a.Level);
    add(&a.SizeSum, sizeof a.SizeSum);
    add(&a.SizeMax, sizeof a.SizeMax);
    for (int32_t i = 0; i <= a.AreaCount; ++i) {
        const uint8_t present = a.Areas[i] != nullptr;
        add(&present, 1);
        if (!present) continue;
        const TArea& r = *a.Areas[i];
        for (const uint16_t* v : {&r.meanX, &r.meanY, &r.minX, &r.minXRow}) add(v, 2);
        add(&r.label, sizeof r.label);
        add(&r.contourHigh, sizeof r.contourHigh);
        add(r.shape, sizeof r.shape);
        add(&r.radiusSum, sizeof r.radiusSum);
        add(r.runs.data(), r.runs.size() * sizeof(TLineSeg));
        add(r.contour.data(), r.contour.size() * sizeof(TContourPt));
    }
    for (const TPartNode* n : s.Tree.Nodes) {
        add(&n->label, sizeof n->label);
        const int32_t len = PartListLength(*n);
        add(&len, sizeof len);
    }
    add(&s.Random.Seed, sizeof s.Random.Seed);
    return f;
}
