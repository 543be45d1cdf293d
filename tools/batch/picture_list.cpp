#include "picture_list.h"

#include "image/picture_names.h"
#include "session/result_folder.h"

#include <QString>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

// The name of a picture's own folder: its file name, never one that leads
// out of the output folder or is the output folder itself.
std::string FileName(const std::string& path) {
    const std::string name = fs::path(path).filename().string();
    return name.empty() || name == "." || name == ".." ? "picture" : name;
}

bool SameFolder(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec);
}

// Adds the pictures of `dir` (shown as `shown`) with folder names under
// `prefix`; unreadable folders become jobs with an error.
void Walk(const fs::path& dir, const std::string& shown, const std::string& prefix, bool recursive,
          const fs::path& outDir, std::vector<TPictureJob>& jobs) {
    std::error_code ec;
    fs::directory_iterator it(dir, ec);
    if (ec) {
        jobs.push_back(
            {shown, "", "Cannot open the folder \"" + shown + "\": " + ec.message() + "."});
        return;
    }
    std::vector<fs::path> subfolders;
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code typeError;
        if (recursive && name[0] != '.' && it->is_directory(typeError) &&
            !it->is_symlink(typeError) && !SameFolder(it->path(), outDir) &&
            !IsResultFolder(
                it->path().string())) // results of an earlier run: no pictures of the user's
            subfolders.push_back(it->path());
        else if (IsPictureName(name) && it->is_regular_file(typeError))
            jobs.push_back({(fs::path(shown) / name).string(), prefix + name, ""});
    }
    if (ec)
        jobs.push_back(
            {shown, "", "Cannot read the folder \"" + shown + "\": " + ec.message() + "."});
    for (const fs::path& sub : subfolders) {
        const std::string name = sub.filename().string();
        Walk(sub, (fs::path(shown) / name).string(), prefix + name + "/", recursive, outDir, jobs);
    }
}

// Gives pictures that would share a folder name their own: the first in
// path order keeps it, the others get "~2", "~3", ... The folders that hold
// others' folders (with -r) and the run's own files are taken from the start.
void NameFoldersApart(std::vector<TPictureJob>& jobs) {
    std::map<std::string, int> taken{{"summary.csv", 1}, {"batch-options.txt", 1}};
    for (const TPictureJob& j : jobs)
        for (size_t slash = j.OutName.find('/'); slash != std::string::npos;
             slash = j.OutName.find('/', slash + 1))
            taken[j.OutName.substr(0, slash)] = 1;
    for (TPictureJob& j : jobs) {
        if (j.OutName.empty()) continue;
        const std::string base = j.OutName;
        for (int n = ++taken[base]; n > 1; n = ++taken[j.OutName])
            j.OutName = base + "~" + std::to_string(n);
    }
}

} // namespace

bool PathBefore(const std::string& a, const std::string& b) {
    const int order =
        QString::compare(QString::fromLocal8Bit(a), QString::fromLocal8Bit(b), Qt::CaseInsensitive);
    return order != 0 ? order < 0 : a < b;
}

std::vector<TPictureJob> FindPictures(const std::vector<std::string>& inputs, bool recursive,
                                      const std::string& outDir) {
    std::vector<TPictureJob> jobs;
    for (const std::string& input : inputs) {
        std::error_code ec;
        if (fs::is_directory(input, ec))
            Walk(input, input, "", recursive, outDir, jobs);
        else
            jobs.push_back({input, FileName(input), ""});
    }
    std::sort(jobs.begin(), jobs.end(), [](const TPictureJob& a, const TPictureJob& b) {
        return PathBefore(a.Path, b.Path);
    });
    jobs.erase(
        std::unique(jobs.begin(), jobs.end(),
                    [](const TPictureJob& a, const TPictureJob& b) { return a.Path == b.Path; }),
        jobs.end());
    NameFoldersApart(jobs);
    return jobs;
}

std::vector<std::string> ReadListFile(const std::string& file) {
    std::ifstream in;
    if (file != "-") {
        in.open(file, std::ios::binary);
        if (!in) throw std::runtime_error("Cannot read the list \"" + file + "\".");
    }
    std::istream& text = file == "-" ? std::cin : in;
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        // Blank lines and comments: a line whose first non-blank is '#'.
        const size_t first = line.find_first_not_of(" \t");
        if (first != std::string::npos && line[first] != '#') lines.push_back(line);
    }
    if (text.bad()) throw std::runtime_error("Cannot read the list \"" + file + "\".");
    return lines;
}

std::pair<size_t, size_t> ShareRange(size_t count, int k, int n) {
    return {count * size_t(k - 1) / size_t(n), count * size_t(k) / size_t(n)};
}
