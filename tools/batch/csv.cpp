#include "csv.h"

#include "session/utf8_text.h"

std::string CsvLine(const TCsvRow& fields) {
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i) line += ',';
        // Valid UTF-8 for every reader, whatever bytes a file name holds.
        const std::string f = Utf8Escaped(fields[i]);
        if (f.find_first_of(",\"\r\n") == std::string::npos) {
            line += f;
            continue;
        }
        line += '"';
        for (const char c : f) line += c == '"' ? "\"\"" : std::string(1, c);
        line += '"';
    }
    return line + "\r\n";
}

std::vector<TCsvRow> ParseCsv(const std::string& text) {
    std::vector<TCsvRow> rows;
    TCsvRow row;
    std::string field;
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c != '"')
                field += c;
            else if (i + 1 < text.size() && text[i + 1] == '"')
                field += text[++i];
            else
                quoted = false;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            row.push_back(std::move(field));
            field.clear();
        } else if (c == '\n' || (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
            if (c == '\r') ++i;
            row.push_back(std::move(field));
            field.clear();
            rows.push_back(std::move(row));
            row.clear();
        } else {
            field += c;
        }
    }
    if (quoted) throw std::runtime_error("a quoted field is never closed");
    if (!field.empty() || !row.empty()) {
        row.push_back(std::move(field));
        rows.push_back(std::move(row));
    }
    return rows;
}
