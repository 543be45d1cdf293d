// The replay tool: parsing of scenario files and the exit status and dump of
// the real program.
#include "scenario.h"
#include "support/test_pictures.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

TEST(ScenarioParser, ReadsEveryActionAndSkipsBlanksAndComments) {
    const TScenario sc =
        ParseScenario("# a comment\n\n  load my picture.jpg  \r\nselect 19\ncounters\n"
                      "check byplane on\ncheck scan off\ncheck paintsteps on\n"
                      "scrollbar1 0\nscrollbar2 255\nscan\nmove 3 4\n"
                      "press middle 255 0\n   # indented comment\ndump /abs/out\n",
                      "s.txt", "/base");
    ASSERT_EQ(sc.error, "");
    ASSERT_EQ(sc.actions.size(), 12u);
    EXPECT_EQ(sc.actions[0].kind, TActionKind::Load);
    EXPECT_EQ(sc.actions[0].path, "/base/my picture.jpg")
        << "the rest of the line, blanks inside kept";
    EXPECT_EQ(sc.actions[0].line, 3);
    EXPECT_EQ(sc.actions[1].a, 19);
    EXPECT_EQ(sc.actions[2].kind, TActionKind::Counters);
    EXPECT_TRUE(sc.actions[3].on);
    EXPECT_EQ(sc.actions[3].word, "byplane");
    EXPECT_FALSE(sc.actions[4].on);
    EXPECT_EQ(sc.actions[6].kind, TActionKind::ScrollBar1);
    EXPECT_EQ(sc.actions[7].a, 255);
    EXPECT_EQ(sc.actions[8].kind, TActionKind::Scan);
    EXPECT_EQ(sc.actions[9].a, 3);
    EXPECT_EQ(sc.actions[9].b, 4);
    EXPECT_EQ(sc.actions[10].word, "middle");
    EXPECT_EQ(sc.actions[11].path, "/abs/out") << "absolute paths stay as they are";
}

TEST(ScenarioParser, ReadsThePlacements) {
    const TScenario sc = ParseScenario(
        "place part 1200 800\nplace  fit\nplace topleft\nplace part 0 1000000\n", "s.txt", "/base");
    ASSERT_EQ(sc.error, "");
    ASSERT_EQ(sc.actions.size(), 4u);
    for (const TAction& a : sc.actions) EXPECT_EQ(a.kind, TActionKind::Place);
    EXPECT_EQ(sc.actions[0].word, "part");
    EXPECT_EQ(sc.actions[0].a, 1200);
    EXPECT_EQ(sc.actions[0].b, 800);
    EXPECT_EQ(sc.actions[1].word, "fit");
    EXPECT_EQ(sc.actions[2].word, "topleft");
    EXPECT_EQ(sc.actions[3].b, 1000000) << "a corner beyond a picture is clamped on loading";
}

TEST(ScenarioParser, StopsAtTheFirstMalformedLineNamingFileLineAndReason) {
    const struct {
        const char* line;
        const char* reason;
    } bad[] = {
        {"jump 3", "unknown action \"jump\""},
        {"select 20", "20 is out of range 0..19"},
        {"select -1", "-1 is out of range 0..19"},
        {"select x", "\"x\" is not a whole number"},
        {"select 1.5", "\"1.5\" is not a whole number"},
        {"select", "\"select\" takes 1 value"},
        {"select 1 2", "\"select\" takes 1 value"},
        {"scrollbar1 256", "256 is out of range 0..255"},
        {"move 1", "\"move\" takes 2 values"},
        {"press left 1 256", "256 is out of range 0..255"},
        {"press double 1 2", "unknown mouse button \"double\""},
        {"check byplane maybe", "\"maybe\" is neither on nor off"},
        {"check colour on", "unknown check box \"colour\""},
        {"scan now", "\"scan\" takes 0 values"},
        {"load", "\"load\" needs a path"},
        {"place", "\"place\" needs topleft, part X Y or fit"},
        {"place centre", "unknown placement \"centre\""},
        {"place part 10", "\"place part\" takes 2 values"},
        {"place part 10 20 30", "\"place part\" takes 2 values"},
        {"place part -1 0", "-1 is out of range 0..1000000"},
        {"place part 0 1000001", "1000001 is out of range 0..1000000"},
        {"place part 1,2 3", "\"1,2\" is not a whole number"},
        {"place fit 3", "\"place fit\" takes no values"},
        {"place topleft 0 0", "\"place topleft\" takes no values"},
    };
    for (const auto& b : bad) {
        const TScenario sc = ParseScenario(std::string("counters\n\n") + b.line + "\ncounters\n",
                                           "dir/s.txt", "/base");
        EXPECT_EQ(sc.error, std::string("dir/s.txt:3: ") + b.reason) << b.line;
        EXPECT_EQ(sc.actions.size(), 1u) << "the lines before it still run";
    }
}

struct TRun {
    int status;
    QString errors;
};

TRun Replay(const QTemporaryDir& dir, const std::string& scenario) {
    WriteTextFile(PathIn(dir, "s.txt"), scenario);
    QProcess p;
    p.start(TESSA_BINARY_DIR "/tessavorin-replay", {QString::fromStdString(PathIn(dir, "s.txt"))});
    EXPECT_TRUE(p.waitForFinished(120000));
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
}

TEST(ReplayTool, ExitsTwoOnAMalformedScenarioAfterRunningTheLinesBeforeIt) {
    QTemporaryDir dir;
    const TRun run = Replay(dir, "dump first\nselect 99\ndump second\n");
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.errors.contains("s.txt:2: 99 is out of range 0..19"))
        << run.errors.toStdString();
    EXPECT_TRUE(QFile::exists(QString::fromStdString(PathIn(dir, "first/state.json"))));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(PathIn(dir, "second"))));
}

TEST(ReplayTool, ExitsOneWhenAnActionFailsAndGoesOnWithTheNextLine) {
    QTemporaryDir dir;
    WriteTextFile(PathIn(dir, "broken.jpg"), "not a picture");
    const TRun run = Replay(dir, "load broken.jpg\ndump after\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.errors.contains("broken.jpg")) << run.errors.toStdString();
    EXPECT_TRUE(QFile::exists(QString::fromStdString(PathIn(dir, "after/state.json"))));
}

TEST(ReplayTool, ADumpBeforeAnyActionHoldsTheStartUpState) {
    QTemporaryDir dir;
    ASSERT_EQ(Replay(dir, "dump d\n").status, 0);
    std::ifstream in(PathIn(dir, "d/state.json"));
    std::stringstream json;
    json << in.rdbuf();
    const std::string s = json.str();
    for (const char* field :
         {"\"scrollBar1\": 100", "\"scrollBar2\": 100", "\"listBox1\": 3", "\"label1\": \"Label1\"",
          "\"level\": 0", "\"rejectedLast\": -1", "\"areaCount\": -1", "\"areas\": []",
          "\"sizeSum\": 0", "\"sizeMax\": 0", "\"overflowWarnings\": 0", "\"randSeed\": 0",
          "\"listBox2\": [\"0 : 0\", \"1 : 0\", \"2 : 0\""})
        EXPECT_NE(s.find(field), std::string::npos) << field;
    EXPECT_EQ(QFile(QString::fromStdString(PathIn(dir, "d/planes.bin"))).size(), 20 * 65536);
    QFile ppm(QString::fromStdString(PathIn(dir, "d/image1.ppm")));
    ASSERT_TRUE(ppm.open(QIODevice::ReadOnly));
    const QByteArray bytes = ppm.readAll();
    EXPECT_TRUE(bytes.startsWith("P6\n256 256\n255\n"));
    EXPECT_EQ(bytes.size(), 15 + 3 * 65536);
    EXPECT_EQ(uint8_t(bytes[15]), 255) << "the picture starts white";
}

} // namespace
