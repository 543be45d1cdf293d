// A pass traces its areas on every worker of the session and draws and
// enters them in record order: on 2 and 3 workers it leaves the session as
// on one, records, view and tree lists alike, pass after pass, with areas
// kept and released, on photos, on a plane, and with the steps painted.
#include "image/intake.h"
#include "session/session.h"

#include "support/session_fingerprint.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

// The records each node lists, as record indices in list order.
std::vector<int32_t> ListedRecords(const TSession& s) {
    std::map<const TArea*, int32_t> index;
    for (int32_t i = 0; i <= s.Areas.AreaCount; ++i)
        if (s.Areas.Areas[i]) index[s.Areas.Areas[i].get()] = i;
    std::vector<int32_t> listed;
    for (const TPartNode* n : s.Tree.Nodes) {
        int32_t left = PartListLength(*n);
        for (const TPartBucket* b = &n->firstBucket; left > 0; b = b->next)
            for (int k = 0; k < 31 && left > 0; ++k, --left) {
                const auto found = index.find(b->items[k]);
                listed.push_back(found == index.end() ? -1 : found->second);
            }
        listed.push_back(-2); // end of the node's list
    }
    return listed;
}

struct TRoad {
    std::vector<uint8_t> fingerprint;
    std::vector<int32_t> listed;
    int32_t released = 0;
    uint64_t steps = 0;
};

struct TStepSum : TPassObserver {
    uint64_t sum = 0;
    void FillStepTaken(int x, int y, TRGB) override { sum = sum * 31 + uint64_t(y * 256 + x); }
};

// The sample's planes and a series of passes in one session.
TRoad Passes(const std::string& sample, int workers, const std::vector<TPassOptions>& passes) {
    const auto s = NewSession(workers);
    LoadPicture(std::string(TESSA_SOURCE_DIR) + "/samples/" + sample, s->Grid);
    ComputePlanes(*s);
    TRoad road;
    TStepSum observer;
    for (const TPassOptions& o : passes) {
        FindAreas(*s, o, observer);
        for (int32_t i = 0; i <= s->Areas.AreaCount; ++i) road.released += !s->Areas.Areas[i];
    }
    road.fingerprint = Fingerprint(*s);
    road.listed = ListedRecords(*s);
    road.steps = observer.sum;
    return road;
}

TPassOptions At(int32_t t) {
    TPassOptions o;
    o.Threshold = t;
    return o;
}

TEST(PassOnWorkers, LeavesTheSessionAsOnOneWorker) {
    TPassOptions brightness = At(90), painted = At(70);
    brightness.ByPlane = true;
    brightness.Plane = aV;
    painted.PaintSteps = true;
    const std::vector<std::pair<std::string, std::vector<TPassOptions>>> cases = {
        {"coffee.jpg", {At(-1), At(68), At(200), At(30), At(68)}},
        {"astronaut.bmp", {At(120), brightness, At(-1)}},
        {"cell.jpg", {At(40), At(160), painted}},
    };
    int32_t released = 0;
    for (const auto& [sample, passes] : cases) {
        SCOPED_TRACE(sample);
        const TRoad one = Passes(sample, 1, passes);
        released += one.released;
        EXPECT_GT(one.listed.size(), 5461u) << "the last pass lists areas";
        for (const int workers : {2, 3}) {
            SCOPED_TRACE(std::to_string(workers) + " workers");
            const TRoad many = Passes(sample, workers, passes);
            EXPECT_TRUE(many.fingerprint == one.fingerprint) << "the sessions differ";
            EXPECT_EQ(many.listed, one.listed);
            EXPECT_EQ(many.released, one.released);
            EXPECT_EQ(many.steps, one.steps);
        }
    }
    EXPECT_GT(released, 0) << "some traced areas are released";
}

} // namespace
