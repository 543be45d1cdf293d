// Every golden scenario played by the replay tool must give the stored dumps
// byte for byte. A missing or different dump fails until someone has looked
// at why and stored the new one with scripts/update-golden.
#include "golden.h"

#include <gtest/gtest.h>

#include <map>

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
    std::map<std::string, std::string> previous; // stored part -> bytes
    for (const std::string& dump : dumps) {
        const std::string stored = golden::ExpectedDir + "/" + name + "/" + dump;
        ASSERT_TRUE(QDir(QString::fromStdString(stored)).exists())
            << "no stored dump " << stored
            << ": look at the new dump, then run scripts/update-golden";
        for (const std::string file : golden::DumpFiles) {
            std::string expected;
            for (const std::string& part : golden::StoredParts(file)) {
                bool ok = false;
                const std::string bytes = golden::ReadMaybeGz(stored + "/" + part + ".gz", ok);
                if (ok) previous[part] = bytes;
                expected += previous[part];
            }
            bool ok = false;
            const std::string actual =
                golden::ReadMaybeGz(dir.path().toStdString() + "/" + dump + "/" + file, ok);
            ASSERT_TRUE(ok) << dump << "/" << file << " was not written";
            EXPECT_EQ(golden::Difference(file, expected, actual), "")
                << name << " " << dump << "/" << file;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Scenarios, GoldenScenario, ::testing::ValuesIn(golden::ScenarioNames()),
                         [](const auto& info) { return info.param; });

} // namespace
