// Two sessions in one process are independent: two pictures analysed on two
// threads at once give exactly what each gives alone.
#include "image/intake.h"
#include "session/click_probe.h"
#include "session/scan.h"
#include "session/session.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

// Everything a session holds after a picture's whole road, as bytes.
std::vector<uint8_t> Fingerprint(const TSession& s) {
    std::vector<uint8_t> f;
    const auto add = [&](const void* p, size_t n) {
        const auto* b = static_cast<const uint8_t*>(p);
        f.insert(f.end(), b, b + n);
    };
    add(s.Grid.Pixels.data(), s.Grid.Pixels.size());
    add(s.Planes.P, sizeof s.Planes.P);
    add(s.View.Pixels.data(), s.View.Pixels.size());
    const TAreaState& a = s.Areas;
    add(a.LabelMap, sizeof a.LabelMap);
    add(a.LevelScores, sizeof a.LevelScores);
    add(&a.Level, sizeof a.Level);
    add(&a.AreaCount, sizeof a.AreaCount);
    for (int32_t i = 0; i <= a.AreaCount; ++i) {
        if (!a.Areas[i]) continue;
        const TArea& r = *a.Areas[i];
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

// One picture's road: intake, planes, automatic pass, a scan, the plane
// view of the area map, the probe and a press of each button.
std::vector<uint8_t> Analyse(const std::string& picture) {
    const auto s = NewSession();
    TPassObserver quiet;
    LoadPicture(picture, s->Grid);
    ComputePlanes(*s);
    FindAreas(*s, {}, quiet);
    const TScanOutcome scan = ScanThresholds(s->Areas.LevelScores, 100, [&](int32_t t) {
        TPassOptions o;
        o.Threshold = t;
        FindAreas(*s, o, quiet);
    });
    TPassOptions final;
    final.Threshold = scan.Result;
    FindAreas(*s, final, quiet);
    DrawPlane(*s, aArH);
    ProbeArea(*s, 120, 90);
    for (TProbeButton b : {TProbeButton::Left, TProbeButton::Middle, TProbeButton::Right})
        PressProbe(*s, b, 60, 200, 100);
    return Fingerprint(*s);
}

TEST(TwoSessions, OnTwoThreadsGiveWhatEachGivesAlone) {
    const std::string samples = std::string(TESSA_SOURCE_DIR) + "/samples/";
    const std::string a = samples + "coffee.jpg", b = samples + "astronaut.bmp";
    const std::vector<uint8_t> aloneA = Analyse(a), aloneB = Analyse(b);
    ASSERT_NE(aloneA, aloneB);
    for (int round = 0; round < 3; ++round) {
        std::vector<uint8_t> onA, onB;
        std::thread ta([&] { onA = Analyse(a); });
        std::thread tb([&] { onB = Analyse(b); });
        ta.join();
        tb.join();
        EXPECT_EQ(onA, aloneA) << "round " << round;
        EXPECT_EQ(onB, aloneB) << "round " << round;
    }
}

} // namespace
