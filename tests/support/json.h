// A small JSON reader for comparing state dumps: numbers are read as doubles,
// so two dumps compare "as numbers" whatever digits they were printed with.
#pragma once

#include <cstdlib>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

struct TJson {
    enum TKind { Null, Bool, Number, String, Array, Object } kind = Null;
    bool b = false;
    double n = 0;
    std::string s;
    std::vector<TJson> a;          // array items, or object values
    std::vector<std::string> keys; // object keys, in the order written, one per value

    const TJson& operator[](const std::string& key) const {
        for (size_t i = 0; i < keys.size(); ++i)
            if (keys[i] == key) return a[i];
        throw std::runtime_error("no key " + key);
    }
    const TJson& operator[](size_t i) const { return a.at(i); }
};

class TJsonReader {
  public:
    static TJson Parse(const std::string& text) {
        TJsonReader r(text);
        TJson v = r.Value();
        r.Blanks();
        if (r.p_ != text.size()) r.Fail("trailing text");
        return v;
    }

  private:
    explicit TJsonReader(const std::string& t) : t_(t) {}
    [[noreturn]] void Fail(const char* what) const {
        throw std::runtime_error(std::string("JSON: ") + what + " at " + std::to_string(p_));
    }
    void Blanks() {
        while (p_ < t_.size() &&
               (t_[p_] == ' ' || t_[p_] == '\n' || t_[p_] == '\r' || t_[p_] == '\t'))
            ++p_;
    }
    bool Take(const char* word) {
        const std::string w(word);
        if (t_.compare(p_, w.size(), w) != 0) return false;
        p_ += w.size();
        return true;
    }
    std::string Str() {
        if (t_[p_] != '"') Fail("string expected");
        std::string out;
        for (++p_; p_ < t_.size() && t_[p_] != '"'; ++p_) {
            if (t_[p_] == '\\') {
                ++p_;
                const char c = t_[p_];
                if (c == 'n')
                    out += '\n';
                else if (c == 't')
                    out += '\t';
                else if (c == 'u') {
                    out += char(std::strtol(t_.substr(p_ + 1, 4).c_str(), nullptr, 16));
                    p_ += 4;
                } else
                    out += c;
            } else {
                out += t_[p_];
            }
        }
        if (p_ >= t_.size()) Fail("unterminated string");
        ++p_;
        return out;
    }
    TJson Value() {
        Blanks();
        if (p_ >= t_.size()) Fail("value expected");
        TJson v;
        const char c = t_[p_];
        if (c == '{') {
            v.kind = TJson::Object;
            ++p_;
            Blanks();
            if (t_[p_] == '}') return ++p_, v;
            for (;;) {
                Blanks();
                std::string key = Str();
                Blanks();
                if (t_[p_++] != ':') Fail("':' expected");
                v.keys.push_back(std::move(key));
                v.a.push_back(Value());
                Blanks();
                if (t_[p_] == ',') {
                    ++p_;
                    continue;
                }
                if (t_[p_++] != '}') Fail("'}' expected");
                return v;
            }
        }
        if (c == '[') {
            v.kind = TJson::Array;
            ++p_;
            Blanks();
            if (t_[p_] == ']') return ++p_, v;
            for (;;) {
                v.a.push_back(Value());
                Blanks();
                if (t_[p_] == ',') {
                    ++p_;
                    continue;
                }
                if (t_[p_++] != ']') Fail("']' expected");
                return v;
            }
        }
        if (c == '"') {
            v.kind = TJson::String;
            v.s = Str();
            return v;
        }
        if (Take("null")) return v;
        if (Take("true")) {
            v.kind = TJson::Bool;
            v.b = true;
            return v;
        }
        if (Take("false")) {
            v.kind = TJson::Bool;
            return v;
        }
        char* end = nullptr;
        v.kind = TJson::Number;
        v.n = std::strtod(t_.c_str() + p_, &end);
        if (end == t_.c_str() + p_) Fail("number expected");
        p_ = size_t(end - t_.c_str());
        return v;
    }

    const std::string& t_;
    size_t p_ = 0;
};

// The first place where two values differ, as a path like "areas[3].shape[2]",
// or "" when they are equal (numbers compared as numbers).
inline std::string FirstDifference(const TJson& x, const TJson& y, const std::string& path = "") {
    if (x.kind != y.kind) return path + " (kind)";
    switch (x.kind) {
    case TJson::Null:
        return "";
    case TJson::Bool:
        return x.b == y.b ? "" : path;
    case TJson::Number:
        return x.n == y.n ? ""
                          : path + " (" + std::to_string(x.n) + " vs " + std::to_string(y.n) + ")";
    case TJson::String:
        return x.s == y.s ? "" : path + " (\"" + x.s + "\" vs \"" + y.s + "\")";
    case TJson::Array:
        for (size_t i = 0; i < x.a.size() && i < y.a.size(); ++i) {
            const std::string d =
                FirstDifference(x.a[i], y.a[i], path + "[" + std::to_string(i) + "]");
            if (!d.empty()) return d;
        }
        return x.a.size() == y.a.size() ? ""
                                        : path + " (length " + std::to_string(x.a.size()) + " vs " +
                                              std::to_string(y.a.size()) + ")";
    case TJson::Object:
        for (size_t i = 0; i < x.keys.size(); ++i) {
            size_t j = 0;
            while (j < y.keys.size() && y.keys[j] != x.keys[i]) ++j;
            if (j == y.keys.size()) return path + "." + x.keys[i] + " (missing)";
            const std::string d = FirstDifference(x.a[i], y.a[j], path + "." + x.keys[i]);
            if (!d.empty()) return d;
        }
        return x.keys.size() == y.keys.size() ? "" : path + " (keys)";
    }
    return "";
}
