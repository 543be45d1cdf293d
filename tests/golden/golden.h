// Golden scenarios: scenario files under tests/golden/scenarios/, played by
// the real replay tool in a scratch folder that holds a copy of the samples
// and the pictures the tests make, and compared with the dumps stored under
// tests/golden/expected/<scenario>/<dump>/.
//
// Stored files are gzip-compressed. A dump stores only the files that differ
// from the same file of the scenario's previous dump; a file it leaves out is
// compared with the one stored for the previous dump (state.json is stored for
// every dump, so that each has a folder). planes.bin is stored
// plane by plane (planes.bin.NN.gz), so that a pass that rewrites planes 3
// and 13 stores only those two.
#pragma once

#include "support/json.h"
#include "support/test_pictures.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <zlib.h>

#include <sstream>
#include <string>
#include <vector>

namespace golden {

inline const std::string SourceDir = TESSA_SOURCE_DIR;
inline const std::string ScenarioDir = SourceDir + "/tests/golden/scenarios";
inline const std::string ExpectedDir = SourceDir + "/tests/golden/expected";
inline const char* const DumpFiles[] = {"planes.bin", "image1.ppm", "paintbox1.ppm",
                                        "paintbox2.ppm", "state.json"};

// The parts a dump file is stored in: the 20 planes of planes.bin, or the
// whole file.
inline std::vector<std::string> StoredParts(const std::string& file) {
    if (file != "planes.bin") return {file};
    std::vector<std::string> parts;
    for (int p = 0; p < 20; ++p)
        parts.push_back(file + "." + (p < 10 ? "0" : "") + std::to_string(p));
    return parts;
}

inline std::string Part(const std::string& bytes, const std::string& file, size_t i) {
    return file == "planes.bin" ? bytes.substr(i * 65536, 65536) : bytes;
}

// Reads a file, plain or gzip-compressed; "" with ok = false when missing.
inline std::string ReadMaybeGz(const std::string& path, bool& ok) {
    ok = false;
    gzFile f = gzopen(path.c_str(), "rb");
    if (!f) return "";
    std::string out;
    char buf[65536];
    for (int n; (n = gzread(f, buf, sizeof buf)) > 0;) out.append(buf, size_t(n));
    gzclose(f);
    ok = true;
    return out;
}

inline void WriteGz(const std::string& path, const std::string& bytes) {
    gzFile f = gzopen(path.c_str(), "wb9");
    gzwrite(f, bytes.data(), unsigned(bytes.size()));
    gzclose(f);
}

// The pictures the scenarios use besides the samples.
inline void MakePictures(const std::string& dir) {
    // A comb: one-pixel white teeth in every other column, joined by one grey
    // row, with one black pixel so that the grey stays above 0 after the
    // contrast stretch. On the brightness plane one fill needs more runs
    // than the segment list holds.
    WriteBmp24(dir + "/comb.bmp", 256, 256, [](int x, int y) -> TRGB {
        if (x == 3 && y == 3) return {0, 0, 0};
        if (x % 2 == 1 && y != 128) return {255, 255, 255};
        return {10, 10, 10};
    });
    // Blocks of one grey on a lighter ground, and one black pixel: three
    // values on the brightness plane, so that many thresholds give the same
    // areas and the same score.
    WriteBmp24(dir + "/blocks.bmp", 256, 256, [](int x, int y) -> TRGB {
        if (x == 3 && y == 3) return {0, 0, 0};
        return x % 20 < 10 && y % 20 < 10 ? TRGB{90, 90, 90} : TRGB{220, 220, 220};
    });
    // A small picture of two colours, for loads over a larger picture.
    WriteBmp24(dir + "/small.bmp", 100, 100, [](int x, int y) -> TRGB {
        return (x / 10 + y / 10) % 2 ? TRGB{200, 40, 40} : TRGB{30, 30, 160};
    });
}

// Copies the samples and makes the pictures in `dir`, the folder in which the
// scenario runs: scenarios name pictures as samples/NAME or made/NAME.
inline void PrepareFolder(const QString& dir) {
    QDir(dir).mkpath("samples");
    QDir(dir).mkpath("made");
    QDirIterator it(QString::fromStdString(SourceDir + "/samples"), QDir::Files);
    while (it.hasNext()) {
        it.next();
        QFile::copy(it.filePath(), dir + "/samples/" + it.fileName());
    }
    MakePictures((dir + "/made").toStdString());
}

inline std::vector<std::string> ScenarioNames() {
    std::vector<std::string> names;
    QDirIterator it(QString::fromStdString(ScenarioDir), {"*.scenario"}, QDir::Files);
    while (it.hasNext())
        names.push_back(it.next().section('/', -1).section('.', 0, 0).toStdString());
    std::sort(names.begin(), names.end());
    return names;
}

// The dump folders of a scenario, in the order of its dump lines.
inline std::vector<std::string> DumpNames(const std::string& scenarioText) {
    std::vector<std::string> dumps;
    std::istringstream in(scenarioText);
    for (std::string line; std::getline(in, line);)
        if (line.rfind("dump ", 0) == 0) dumps.push_back(line.substr(5));
    return dumps;
}

inline std::string ScenarioText(const std::string& name) {
    bool ok = false;
    return ReadMaybeGz(ScenarioDir + "/" + name + ".scenario", ok);
}

// Plays the scenario in `dir` with the replay tool; returns its exit status.
inline int Play(const QString& dir, const std::string& name, QString* errors = nullptr) {
    QFile::copy(QString::fromStdString(ScenarioDir + "/" + name + ".scenario"),
                dir + "/s.scenario");
    QProcess p;
    p.start(TESSA_BINARY_DIR "/tessavorin-replay", {dir + "/s.scenario"});
    p.waitForFinished(600000);
    if (errors) *errors = QString::fromUtf8(p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

// Where two dump files first differ, in words; "" when they are equal.
inline std::string Difference(const std::string& file, const std::string& expected,
                              const std::string& actual) {
    if (expected == actual) return "";
    if (file == "state.json") {
        try {
            const std::string d =
                FirstDifference(TJsonReader::Parse(expected), TJsonReader::Parse(actual), "state");
            return d.empty() ? "state.json differs only in how numbers are written" : d;
        } catch (const std::exception& e) {
            return e.what();
        }
    }
    if (expected.size() != actual.size())
        return file + ": size " + std::to_string(expected.size()) + " vs " +
               std::to_string(actual.size());
    size_t i = 0;
    while (expected[i] == actual[i]) ++i;
    std::ostringstream o;
    if (file == "planes.bin")
        o << "plane " << i / 65536 << " row " << i % 65536 / 256 << " column " << i % 256;
    else
        o << file << " pixel (" << (i - 15) / 3 % 256 << ", " << (i - 15) / 3 / 256 << ")";
    o << ": " << int(uint8_t(expected[i])) << " vs " << int(uint8_t(actual[i]));
    return o.str();
}

} // namespace golden
