#include "scenario.h"

#include <filesystem>
#include <sstream>

namespace {

constexpr int MaxPlaceCorner = 1000000;

std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

// The rest of the line after its first word, without surrounding blanks.
std::string RestOfLine(const std::string& line) {
    const size_t start = line.find_first_not_of(" \t");
    size_t p = line.find_first_of(" \t", start);
    if (p == std::string::npos) return "";
    p = line.find_first_not_of(" \t", p);
    if (p == std::string::npos) return "";
    const size_t end = line.find_last_not_of(" \t\r");
    return line.substr(p, end - p + 1);
}

bool WholeNumber(const std::string& w, int lo, int hi, int& value, std::string& why) {
    if (w.empty() || w.size() > 9 ||
        w.find_first_not_of("0123456789", w[0] == '-' ? 1 : 0) != std::string::npos || w == "-") {
        why = "\"" + w + "\" is not a whole number";
        return false;
    }
    value = std::stoi(w);
    if (value < lo || value > hi) {
        why = w + " is out of range " + std::to_string(lo) + ".." + std::to_string(hi);
        return false;
    }
    return true;
}

std::string Resolve(const std::string& path, const std::string& baseDir) {
    const std::filesystem::path p(path);
    return p.is_absolute() ? path : (std::filesystem::path(baseDir) / p).string();
}

// Parses one non-blank, non-comment line; returns "" or the reason it is wrong.
std::string ParseLine(const std::string& line, const std::string& baseDir, TAction& a) {
    const std::vector<std::string> w = Words(line);
    const std::string& verb = w[0];
    const auto count = [&](size_t n) {
        return w.size() == n ? std::string()
                             : "\"" + verb + "\" takes " + std::to_string(n - 1) + " value" +
                                   (n == 2 ? "" : "s");
    };
    std::string why;
    if (verb == "load" || verb == "dump") {
        a.kind = verb == "load" ? TActionKind::Load : TActionKind::Dump;
        const std::string rest = RestOfLine(line);
        if (rest.empty()) return "\"" + verb + "\" needs a path";
        a.path = Resolve(rest, baseDir);
    } else if (verb == "select") {
        a.kind = TActionKind::Select;
        if (!(why = count(2)).empty() || !WholeNumber(w[1], 0, 19, a.a, why)) return why;
    } else if (verb == "counters" || verb == "scan") {
        a.kind = verb == "scan" ? TActionKind::Scan : TActionKind::Counters;
        if (!(why = count(1)).empty()) return why;
    } else if (verb == "check") {
        a.kind = TActionKind::Check;
        if (!(why = count(3)).empty()) return why;
        if (w[1] != "byplane" && w[1] != "paintsteps" && w[1] != "scan")
            return "unknown check box \"" + w[1] + "\"";
        if (w[2] != "on" && w[2] != "off") return "\"" + w[2] + "\" is neither on nor off";
        a.word = w[1];
        a.on = w[2] == "on";
    } else if (verb == "scrollbar1" || verb == "scrollbar2") {
        a.kind = verb == "scrollbar1" ? TActionKind::ScrollBar1 : TActionKind::ScrollBar2;
        if (!(why = count(2)).empty() || !WholeNumber(w[1], 0, 255, a.a, why)) return why;
    } else if (verb == "move") {
        a.kind = TActionKind::Move;
        if (!(why = count(3)).empty() || !WholeNumber(w[1], 0, 255, a.a, why) ||
            !WholeNumber(w[2], 0, 255, a.b, why))
            return why;
    } else if (verb == "press") {
        a.kind = TActionKind::Press;
        if (!(why = count(4)).empty()) return why;
        if (w[1] != "left" && w[1] != "middle" && w[1] != "right")
            return "unknown mouse button \"" + w[1] + "\"";
        a.word = w[1];
        if (!WholeNumber(w[2], 0, 255, a.a, why) || !WholeNumber(w[3], 0, 255, a.b, why))
            return why;
    } else if (verb == "place") {
        a.kind = TActionKind::Place;
        if (w.size() < 2) return "\"place\" needs topleft, part X Y or fit";
        a.word = w[1];
        if (a.word == "topleft" || a.word == "fit") {
            if (w.size() != 2) return "\"place " + a.word + "\" takes no values";
        } else if (a.word == "part") {
            // A corner beyond the picture is clamped when a picture is loaded.
            if (w.size() != 4) return "\"place part\" takes 2 values";
            if (!WholeNumber(w[2], 0, MaxPlaceCorner, a.a, why) ||
                !WholeNumber(w[3], 0, MaxPlaceCorner, a.b, why))
                return why;
        } else {
            return "unknown placement \"" + a.word + "\"";
        }
    } else {
        return "unknown action \"" + verb + "\"";
    }
    return "";
}

} // namespace

TScenario ParseScenario(const std::string& text, const std::string& fileName,
                        const std::string& baseDir) {
    TScenario sc;
    std::istringstream in(text);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        // Blank as the word splitter sees it: a line of only a carriage
        // return or a form feed holds no word.
        const size_t first = line.find_first_not_of(" \t\r\v\f");
        if (first == std::string::npos || line[first] == '#') continue;
        TAction a{};
        a.line = number;
        const std::string why = ParseLine(line, baseDir, a);
        if (!why.empty()) {
            sc.error = fileName + ":" + std::to_string(number) + ": " + why;
            break;
        }
        sc.actions.push_back(a);
    }
    return sc;
}
