// Every golden scenario played by the replay tool must give the stored dumps
// byte for byte. A missing or different dump fails until someone has looked
// at why and stored the new one with scripts/update-golden.
#include "golden.h"

#include <gtest/gtest.h>

namespace {

class GoldenScenario : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenScenario, GivesTheStoredDumps) {
    const std::string name = GetParam();
    QTemporaryDir dir;
    golden::PrepareFolder(dir.path());
    QString errors;
    ASSERT_EQ(golden::Play(dir.path(), name, &errors), 0) << errors.toStdString();
    const std::vector<std::string> dumps = golden::DumpNames(golden::ScenarioText(name));
    ASSERT_FALSE(dumps.empty());
    std::string previous[5];
    for (const std::string& dump : dumps) {
        const std::string stored = golden::ExpectedDir + "/" + name + "/" + dump;
        ASSERT_TRUE(QDir(QString::fromStdString(stored)).exists())
            << "no stored dump " << stored
            << ": look at the new dump, then run scripts/update-golden";
        for (int f = 0; f < 5; ++f) {
            const std::string file = golden::DumpFiles[f];
            bool ok = false;
            std::string expected = golden::ReadMaybeGz(stored + "/" + file + ".gz", ok);
            if (ok)
                previous[f] = expected;
            else
                expected = previous[f];
            const std::string actual = golden::ReadMaybeGz(
                (dir.path() + "/" + QString::fromStdString(dump + "/" + file)).toStdString(), ok);
            ASSERT_TRUE(ok) << dump << "/" << file << " was not written";
            EXPECT_EQ(golden::Difference(file, expected, actual), "")
                << name << " " << dump << "/" << file;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Scenarios, GoldenScenario, ::testing::ValuesIn(golden::ScenarioNames()),
                         [](const auto& info) { return info.param; });

} // namespace
