// Two sessions in one process are independent: two pictures analysed on two
// threads at once give exactly what each gives alone.
#include "image/intake.h"
#include "session/click_probe.h"
#include "session/scan.h"
#include "session/session.h"

#include "support/session_fingerprint.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

// One picture's road: intake, planes, automatic pass, a scan (each session
// on two workers of its own), the plane view of the area map, the probe and
// a press of each button.
std::vector<uint8_t> Analyse(const std::string& picture) {
    const auto s = NewSession(2);
    TPassObserver quiet;
    LoadPicture(picture, s->Grid);
    ComputePlanes(*s);
    FindAreas(*s, {}, quiet);
    const TScanOutcome scan = ScanSession(*s, {}, 100, quiet);
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
