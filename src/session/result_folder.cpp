#include "result_folder.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

const std::string MarkTitle = "tessavorin result folder";

// The mark's text: three lines, each name kept as its bytes (a name holds no
// line break that matters here: it is written as JSON text).
std::string MarkText(const TResultMark& m) {
    return MarkTitle + "\noptions: " + m.Options + "\npicture: " + JsonQuoted(m.Picture) + "\n";
}

bool IsFolder(const fs::path& p) {
    struct stat st {};
    return ::lstat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Exists(const fs::path& p) {
    struct stat st {};
    return ::lstat(p.c_str(), &st) == 0;
}

bool IsEmptyFolder(const fs::path& p) {
    std::error_code ec;
    return IsFolder(p) && fs::is_empty(p, ec) && !ec;
}

// Moves `from` to `to` only when nothing stands at `to`; false when the file
// system cannot do that in one step.
int RenameNoReplace(const fs::path& from, const fs::path& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    return errno;
}

int Exchange(const fs::path& a, const fs::path& b) {
    if (::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE) == 0) return 0;
    return errno;
}

// Removes `dir` when it is ours: marked, or a temporary of ours that a kill
// left before its mark was written (empty).
void RemoveOurs(const fs::path& dir, bool temporary) {
    std::error_code ec;
    if (IsResultFolder(dir.string()) || (temporary && IsEmptyFolder(dir))) fs::remove_all(dir, ec);
}

// The temporary's name beside `final`, and where an older folder steps aside
// on a file system that cannot exchange two names.
fs::path Temporary(const fs::path& final) {
    return final.parent_path() / TemporaryName(final.filename().string(), ".part");
}
fs::path SetAside(const fs::path& final) {
    return final.parent_path() / TemporaryName(final.filename().string(), ".old");
}

void Fail(const fs::path& path, int error) {
    FailWrite(path.string(), error);
}

// Gives the written temporary the final name; `replace`: a folder of ours
// stands there.
void Publish(const fs::path& temporary, const fs::path& final, bool replace) {
    if (!replace) {
        int error = RenameNoReplace(temporary, final);
        if (error == EINVAL || error == ENOSYS) // no such rename here: check, then rename
            error =
                Exists(final) ? EEXIST : (::rename(temporary.c_str(), final.c_str()) ? errno : 0);
        if (error == EEXIST) throw TNotOursError(NotOursMessage(final.string()));
        if (error) Fail(final, error);
        return;
    }
    int error = Exchange(temporary, final);
    if (error == EINVAL || error == ENOSYS) {
        const fs::path aside = SetAside(final);
        RemoveOurs(aside, true);
        if (::rename(final.c_str(), aside.c_str()) != 0) Fail(final, errno);
        if (::rename(temporary.c_str(), final.c_str()) != 0) {
            error = errno;
            ::rename(aside.c_str(), final.c_str()); // the earlier result goes back
            Fail(final, error);
        }
        RemoveOurs(aside, true);
        return;
    }
    if (error) Fail(final, error);
    RemoveOurs(temporary, true); // now the earlier result
}

} // namespace

std::string NotOursMessage(const std::string& path) {
    return "\"" + path +
           "\" already exists and is not a result folder of this program; nothing was written "
           "for this picture";
}

std::optional<TResultMark> ReadResultMark(const std::string& dir) {
    if (!IsFolder(dir)) return std::nullopt;
    std::ifstream in(fs::path(dir) / ResultMarkFile, std::ios::binary);
    std::string title, options, picture;
    if (!std::getline(in, title) || title != MarkTitle || !std::getline(in, options) ||
        !options.starts_with("options: ") || !std::getline(in, picture) ||
        !picture.starts_with("picture: "))
        return std::nullopt;
    const std::optional<std::string> path = JsonUnquoted(picture.substr(9));
    if (!path) return std::nullopt;
    return TResultMark{options.substr(9), *path};
}

bool IsResultFolder(const std::string& dir) {
    return ReadResultMark(dir).has_value();
}

void WriteResultFolder(const TSession& s, const std::string& parent, const std::string& name,
                       const TExportOptions& options, const TResultMark& mark) {
    if (name.empty()) throw TExportError("A picture needs a folder name of its own.");
    const fs::path final = fs::path(parent) / name;
    const bool replace = Exists(final);
    if (replace && !IsResultFolder(final.string()))
        throw TNotOursError(NotOursMessage(final.string()));
    const fs::path temporary = Temporary(final);
    RemoveOurs(temporary, true); // what a killed write left
    std::error_code ec;
    fs::create_directories(final.parent_path(), ec);
    if (::mkdir(temporary.c_str(), 0777) != 0) Fail(Exists(temporary) ? temporary : final, errno);
    try {
        // The mark first, so that a killed write leaves a folder known as ours.
        WriteNewFile((temporary / ResultMarkFile).string(), MarkText(mark));
        TExportOptions inPlace = options;
        inPlace.InPlace = true;
        ExportAnalysis(s, temporary.string(), inPlace);
        if (options.Planes) SyncFolder((temporary / "planes").string());
        SyncFolder(temporary.string());
        Publish(temporary, final, replace);
        SyncFolder(final.parent_path().string());
    } catch (const TNotOursError&) {
        fs::remove_all(temporary, ec);
        throw;
    } catch (const TExportError& e) {
        // The file that failed, named as it would have stood in the result.
        fs::remove_all(temporary, ec);
        std::string message = e.what();
        const std::string hidden = temporary.string();
        if (const size_t at = message.find(hidden); at != std::string::npos)
            message.replace(at, hidden.size(), final.string());
        throw TExportError(message);
    } catch (...) {
        fs::remove_all(temporary, ec);
        throw;
    }
}

void RemoveResultFolder(const std::string& parent, const std::string& name) {
    if (name.empty()) return; // never the output folder itself
    const fs::path final = fs::path(parent) / name;
    RemoveOurs(final, false);
    for (const fs::path& p : {Temporary(final), SetAside(final)}) RemoveOurs(p, true);
}

bool IsCompleteResultFolder(const std::string& parent, const std::string& name, bool planes) {
    const fs::path dir = fs::path(parent) / name;
    if (!IsResultFolder(dir.string())) return false;
    std::error_code ec;
    for (const TExportFile& f : ExportFiles(planes))
        if (!fs::is_regular_file(dir / f.Name, ec)) return false;
    return true;
}

std::vector<std::string> ResultFoldersUnder(const std::string& dir) {
    std::vector<std::string> found;
    std::error_code ec;
    fs::recursive_directory_iterator it(dir, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        const std::string leaf = it->path().filename().string();
        if (!IsFolder(it->path()) || leaf[0] == '.') {
            if (IsFolder(it->path())) it.disable_recursion_pending();
            continue;
        }
        if (IsResultFolder(it->path().string())) {
            found.push_back(fs::relative(it->path(), dir, ec).string());
            it.disable_recursion_pending();
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}
