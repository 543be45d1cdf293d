// Running tessavorin-batch as a user does, with no display, and reading
// what it left: a folder's files, and a folder of the samples with one
// broken picture among them.
#pragma once

#include <QProcess>
#include <QStringList>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

struct TToolRun {
    int Status = -1;
    std::string Out, Err;
};

inline QString BatchTool() {
    return TESSA_BINARY_DIR "/tessavorin-batch";
}

// A started tool with no display and no platform chosen.
inline void StartBatchTool(QProcess& p, const QStringList& args) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* v : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(v);
    p.setProcessEnvironment(env);
    p.start(BatchTool(), args);
}

inline TToolRun RunBatchTool(const QStringList& args) {
    QProcess p;
    StartBatchTool(p, args);
    const bool finished = p.waitForFinished(300000);
    EXPECT_TRUE(finished) << args.join(' ').toStdString();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            p.readAllStandardOutput().toStdString(), p.readAllStandardError().toStdString()};
}

inline std::string ReadFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Every file under `dir` by its path inside it, with its bytes.
inline std::map<std::string, std::string> FilesUnder(const std::string& dir) {
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir))
        if (e.is_regular_file())
            files[std::filesystem::relative(e.path(), dir).string()] = ReadFile(e.path());
    return files;
}

// The files of a result folder but for the mark that it is ours, which an
// export into a folder of the user's choice does not write.
inline std::map<std::string, std::string> ExportedFilesUnder(const std::string& dir) {
    auto files = FilesUnder(dir);
    files.erase(".tessavorin-result");
    return files;
}

// The sample pictures copied into `dir`, with broken.jpg beside them: a file
// that is no picture at all. Returns the number of good pictures.
inline int SamplesWithABrokenOne(const std::string& dir) {
    namespace fs = std::filesystem;
    fs::create_directories(dir);
    int good = 0;
    for (const auto& e : fs::directory_iterator(TESSA_SOURCE_DIR "/samples"))
        if (e.path().extension() != ".md") {
            fs::copy_file(e.path(), dir + "/" + e.path().filename().string());
            ++good;
        }
    std::ofstream(dir + "/broken.jpg") << "not a picture";
    return good;
}
