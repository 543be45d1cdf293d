// A small JSON reader for the reference dumps: objects, arrays, numbers (kept
// as text too, so a float can be read back with strtof), strings, true, false
// and null. Throws on malformed input.
#pragma once

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace area_test {

struct TJson {
    enum TKind { Null, Bool, Number, String, Array, Object } kind = Null;
    bool flag = false;
    std::string text; // the number as written, or the string
    std::vector<TJson> items;
    std::vector<std::pair<std::string, TJson>> fields;

    const TJson& operator[](const std::string& key) const {
        for (const auto& [k, v] : fields)
            if (k == key) return v;
        throw std::runtime_error("no key " + key);
    }
    const TJson& operator[](size_t i) const { return items.at(i); }
    size_t size() const { return items.size(); }
    bool IsNull() const { return kind == Null; }
    double Double() const { return std::strtod(text.c_str(), nullptr); }
    float Float() const { return std::strtof(text.c_str(), nullptr); }
    long long Int() const {
        char* end = nullptr;
        const long long v = std::strtoll(text.c_str(), &end, 10);
        if (kind != Number || *end) throw std::runtime_error("not a whole number: " + text);
        return v;
    }
};

class TJsonParser {
  public:
    explicit TJsonParser(const std::string& s) : s_(s) {}

    TJson Parse() {
        TJson v = Value();
        Blank();
        if (p_ != s_.size()) Fail("trailing text");
        return v;
    }

  private:
    const std::string& s_;
    size_t p_ = 0;

    [[noreturn]] void Fail(const char* what) {
        throw std::runtime_error(std::string("JSON: ") + what + " at " + std::to_string(p_));
    }
    void Blank() {
        while (p_ < s_.size() &&
               (s_[p_] == ' ' || s_[p_] == '\n' || s_[p_] == '\r' || s_[p_] == '\t'))
            ++p_;
    }
    bool Take(char c) {
        Blank();
        if (p_ < s_.size() && s_[p_] == c) {
            ++p_;
            return true;
        }
        return false;
    }
    void Expect(char c) {
        if (!Take(c)) Fail("unexpected character");
    }
    bool Word(const char* w) {
        const size_t n = std::char_traits<char>::length(w);
        if (s_.compare(p_, n, w) != 0) return false;
        p_ += n;
        return true;
    }
    std::string Str() {
        Expect('"');
        std::string out;
        while (p_ < s_.size() && s_[p_] != '"') {
            if (s_[p_] == '\\') {
                ++p_;
                if (p_ >= s_.size()) Fail("bad escape");
                const char e = s_[p_];
                out += e == 'n' ? '\n' : e == 't' ? '\t' : e; // \uXXXX not needed here
            } else {
                out += s_[p_];
            }
            ++p_;
        }
        if (p_ >= s_.size()) Fail("open string");
        ++p_;
        return out;
    }
    TJson Value() {
        Blank();
        if (p_ >= s_.size()) Fail("unexpected end");
        TJson v;
        const char c = s_[p_];
        if (c == '{') {
            ++p_;
            v.kind = TJson::Object;
            if (Take('}')) return v;
            do {
                std::string key = Str();
                Expect(':');
                v.fields.emplace_back(std::move(key), Value());
            } while (Take(','));
            Expect('}');
        } else if (c == '[') {
            ++p_;
            v.kind = TJson::Array;
            if (Take(']')) return v;
            do v.items.push_back(Value());
            while (Take(','));
            Expect(']');
        } else if (c == '"') {
            v.kind = TJson::String;
            v.text = Str();
        } else if (Word("true")) {
            v.kind = TJson::Bool;
            v.flag = true;
        } else if (Word("false")) {
            v.kind = TJson::Bool;
        } else if (Word("null")) {
            v.kind = TJson::Null;
        } else {
            const size_t start = p_;
            while (p_ < s_.size() &&
                   std::string_view("+-0123456789.eE").find(s_[p_]) != std::string_view::npos)
                ++p_;
            if (p_ == start) Fail("unexpected character");
            v.kind = TJson::Number;
            v.text = s_.substr(start, p_ - start);
        }
        return v;
    }
};

inline TJson ParseJson(const std::string& text) {
    return TJsonParser(text).Parse();
}

} // namespace area_test
