#include "summary.h"

#include "session/footprint.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>

namespace {

std::string Number(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", v); // reads back as the same double
    return buf;
}

using TOutcomeText = std::function<std::string(const TPictureOutcome&)>;

struct TColumn {
    const char* Name;
    TOutcomeText Text; // for an analysed picture; failed ones leave it empty
};

const TColumn Columns[] = {
    {"picture", nullptr},
    {"width", [](const TPictureOutcome& o) { return std::to_string(o.Width); }},
    {"height", [](const TPictureOutcome& o) { return std::to_string(o.Height); }},
    {"threshold", [](const TPictureOutcome& o) { return std::to_string(o.Threshold); }},
    {"raised_level", [](const TPictureOutcome& o) { return std::to_string(o.RaisedLevel); }},
    {"areas", [](const TPictureOutcome& o) { return std::to_string(o.Areas); }},
    {"rejected_last", [](const TPictureOutcome& o) { return std::to_string(o.RejectedLast); }},
    {"best_score",
     [](const TPictureOutcome& o) { return o.BestScore ? Number(*o.BestScore) : std::string(); }},
    {"status", nullptr},
    {"message", nullptr},
    {"placement",
     [](const TPictureOutcome& o) { return PlacementText(o.Placement, TPlacementForm::Column); }},
};
constexpr size_t StatusColumn = 8;
constexpr size_t PlacementColumn = 10; // added after the first ten, at the end

} // namespace

std::string OkMessage(const TPictureOutcome& o) {
    const TPictureInfo picture{"-", {o.Width, o.Height}, o.Placement};
    return OnlyPartAnalysed(picture) ? PartialAnalysisMessage(picture) : std::string();
}

TCsvRow SummaryHeader() {
    TCsvRow h;
    for (const TColumn& c : Columns) h.push_back(c.Name);
    return h;
}

TCsvRow SummaryFields(const TSummaryRow& row) {
    TCsvRow f{row.Picture};
    for (size_t c = 1; c < StatusColumn; ++c)
        f.push_back(row.Outcome ? Columns[c].Text(*row.Outcome) : std::string());
    f.push_back(row.Outcome ? "ok" : "error");
    f.push_back(row.Outcome ? OkMessage(*row.Outcome) : row.Message);
    f.push_back(row.Outcome ? Columns[PlacementColumn].Text(*row.Outcome) : std::string());
    return f;
}

bool Failed(const TCsvRow& fields) {
    return fields.size() > StatusColumn && fields[StatusColumn] == "error";
}

std::string SummaryText(const std::vector<TCsvRow>& rows) {
    std::string text = CsvLine(SummaryHeader());
    for (const TCsvRow& r : rows) text += CsvLine(r);
    return text;
}

std::vector<TCsvRow> ReadSummary(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    if (!(in && text << in.rdbuf())) throw std::runtime_error("Cannot read \"" + path + "\".");
    // Every row ends in CRLF: a file that does not was cut short, maybe in
    // the middle of its last field.
    if (!text.str().ends_with("\r\n"))
        throw std::runtime_error("\"" + path + "\" ends in the middle of a row: it was cut short.");
    std::vector<TCsvRow> rows = ParseCsv(text.str());
    if (rows.empty() || rows[0] != SummaryHeader())
        throw std::runtime_error("\"" + path + "\" is not a summary of tessavorin-batch.");
    rows.erase(rows.begin());
    for (const TCsvRow& r : rows)
        if (r.size() != SummaryHeader().size())
            throw std::runtime_error("\"" + path + "\" holds a row of " + std::to_string(r.size()) +
                                     " fields, not " + std::to_string(SummaryHeader().size()) +
                                     ".");
    return rows;
}

bool IsOurSummary(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    std::getline(in, line);
    TCsvRow first = SummaryHeader();
    first.resize(PlacementColumn);
    std::string start = CsvLine(first);
    start.resize(start.size() - 2); // without its line end
    return line.starts_with(start);
}

std::optional<TPictureOutcome> OutcomeInFolder(const std::string& folder) {
    std::ifstream in(folder + "/analysis.json", std::ios::binary);
    std::stringstream text;
    if (!(in && text << in.rdbuf())) return std::nullopt;
    const QJsonObject j = QJsonDocument::fromJson(QByteArray::fromStdString(text.str())).object();
    for (const char* key :
         {"width", "height", "threshold", "raised_level", "areas", "rejected_last"})
        if (!j.value(key).isDouble()) return std::nullopt;
    TPictureOutcome o;
    o.Width = j.value("width").toInt();
    o.Height = j.value("height").toInt();
    o.Threshold = j.value("threshold").toInt();
    o.RaisedLevel = j.value("raised_level").toInt();
    o.Areas = j.value("areas").toInt();
    o.RejectedLast = j.value("rejected_last").toInt();
    if (j.value("scan_best_score").isDouble()) o.BestScore = j.value("scan_best_score").toDouble();
    const QJsonObject placement = j.value("placement").toObject();
    const QString kind = placement.value("kind").toString();
    if (kind == "part" && placement.value("x").isDouble() && placement.value("y").isDouble())
        o.Placement = {TPlacement::Part, placement.value("x").toInt(),
                       placement.value("y").toInt()};
    else if (kind == "fit" && placement.value("k").isDouble())
        o.Placement = {TPlacement::Fit, 0, 0, placement.value("k").toInt()};
    else if (kind != "top-left")
        return std::nullopt;
    return o;
}
