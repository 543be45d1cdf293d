// The two reference scenarios, whose dumps were computed independently from
// the same rules, must come out the same: planes byte for byte, state field by
// field (numbers as numbers), pictures pixel for pixel.
#include "golden.h"

#include <gtest/gtest.h>

namespace {

const std::string ReferenceDir = golden::SourceDir + "/tests/reference";

class ReferenceScenario : public ::testing::TestWithParam<std::string> {};

TEST_P(ReferenceScenario, ReproducesTheReferenceDumps) {
    const std::string name = GetParam();
    QTemporaryDir dir;
    for (const char* file : {"ref-shapes.bmp", "ref-small.bmp", "ref-texture.jpg"})
        QFile::copy(QString::fromStdString(ReferenceDir + "/" + file), dir.path() + "/" + file);
    const QString scenario = dir.path() + "/" + QString::fromStdString(name) + ".scenario";
    QFile::copy(QString::fromStdString(ReferenceDir + "/" + name + ".scenario"), scenario);
    QProcess p;
    p.start(TESSA_BINARY_DIR "/tessavorin-replay", {scenario});
    ASSERT_TRUE(p.waitForFinished(600000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();

    bool ok = false;
    const std::string text = golden::ReadMaybeGz(scenario.toStdString(), ok);
    for (const std::string& dump : golden::DumpNames(text)) {
        for (const char* file : golden::DumpFiles) {
            const std::string suffix = std::string(file) == "state.json" ? "" : ".gz";
            const std::string expected =
                golden::ReadMaybeGz(ReferenceDir + "/" + dump + "/" + file + suffix, ok);
            ASSERT_TRUE(ok) << dump << "/" << file;
            std::string actual =
                golden::ReadMaybeGz(dir.path().toStdString() + "/" + dump + "/" + file, ok);
            ASSERT_TRUE(ok) << dump << "/" << file;
            EXPECT_EQ(golden::Difference(file, expected, actual), "") << dump << "/" << file;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Reference, ReferenceScenario, ::testing::Values("one", "two"));

} // namespace
