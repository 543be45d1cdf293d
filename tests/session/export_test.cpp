// The export of an analysis: the figures of an area, areas.csv, the planes
// and views as PNG pictures that read back to the same pixels, analysis.json,
// and an export that cannot be written.
#include "image/picture_error.h"
#include "session/area_columns.h"
#include "session/export.h"
#include "session/palette.h"
#include "support/file_size_limit.h"
#include "support/json.h"

#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(AreaFigures, CountRunLengthsAndBoxTheRunsLeavingEmptyEntriesOut) {
    TArea a;
    a.label = 54;
    a.meanX = 11;
    a.meanY = 21;
    a.runs = {{10, 20, 3}, {9, 21, 5}, {30, 40, 0}, {12, 22, 1}};
    a.contour = {{9, 21}, {10, 20}, {13, 21}};
    a.radiusSum = 7.25f;
    a.shape[3] = 200;
    const TAreaFigures f = Figures(a, TFootprint{});
    EXPECT_EQ(f.Pixels, 9);
    EXPECT_EQ(f.Left, 9);
    EXPECT_EQ(f.Right, 13);
    EXPECT_EQ(f.Top, 20);
    EXPECT_EQ(f.Bottom, 22) << "the entry of length 0 describes no pixel";
    EXPECT_EQ(f.OutlinePoints, 3);
    EXPECT_EQ(AreaColumnText(f, 9), "7.25");
    EXPECT_EQ(AreaColumnValue(f, 13), 200.0);
    EXPECT_STREQ(AreaColumns[13].Name, "profile_3");
}

struct Export : ::testing::Test {
    std::unique_ptr<TSession> session = NewSession();
    TSession& S = *session;
    QTemporaryDir out;
    void Analyse(const std::string& picture, int threshold) {
        LoadPicture(S, std::string(TESSA_SOURCE_DIR) + "/samples/" + picture);
        ComputePlanes(S);
        TPassOptions o;
        o.Threshold = threshold;
        TPassObserver quiet;
        FindAreas(S, o, quiet);
    }
};

TEST_F(Export, WritesEveryFileWithTheSessionsValues) {
    Analyse("coffee.jpg", 120);
    const fs::path dir = out.path().toStdString() + "/coffee";
    ExportAnalysis(S, dir.string(), {});

    std::istringstream csv(Read(dir / "areas.csv"));
    std::string line;
    std::getline(csv, line);
    EXPECT_EQ(line, "label,pixels,centre_x,centre_y,left,top,right,bottom,outline_points,"
                    "radius_sum,profile_0,profile_1,profile_2,profile_3,profile_4,profile_5,"
                    "profile_6,profile_7,inside,picture_centre_x,picture_centre_y,picture_left,"
                    "picture_top,picture_right,picture_bottom,picture_pixels\r");
    const std::vector<const TArea*> kept = KeptAreas(S.Areas);
    ASSERT_GT(kept.size(), 5u);
    size_t rows = 0;
    int lastLabel = -1;
    for (; std::getline(csv, line); ++rows) {
        ASSERT_LT(rows, kept.size());
        const TArea& a = *kept[rows];
        std::istringstream fields(line);
        std::vector<std::string> f;
        for (std::string v; std::getline(fields, v, ',');) f.push_back(v);
        ASSERT_EQ(f.size(), 26u) << line;
        EXPECT_EQ(std::stoi(f[0]), a.label);
        EXPECT_GT(a.label, lastLabel) << "label order";
        lastLabel = a.label;
        EXPECT_EQ(std::stoi(f[2]), a.meanX);
        EXPECT_EQ(std::stoi(f[8]), a.contourHigh + 1);
        EXPECT_EQ(std::stof(f[9]), a.radiusSum) << "reads back as the same float";
        for (int k = 0; k < 8; ++k) EXPECT_EQ(std::stoi(f[10 + k]), a.shape[k]);
        EXPECT_LE(std::stoi(f[4]), std::stoi(f[6]));
        EXPECT_LE(std::stoi(f[5]), std::stoi(f[7]));
        // coffee.jpg (384 x 256) top-left: the picture's pixels are the grid's
        // but for the strip right of column 255, which it does not reach.
        for (int c = 0; c < 6; ++c) EXPECT_EQ(f[19 + c], f[2 + c]) << c;
        EXPECT_EQ(std::stoi(f[25]), std::stoi(f[1]));
        EXPECT_EQ(f[18], "1.000");
    }
    EXPECT_EQ(rows, kept.size());

    for (int p = 0; p < PlaneCount; ++p) {
        char name[32];
        std::snprintf(name, sizeof name, "%02d-%s.png", p, PlaneIds[p]);
        const QImage png(QString::fromStdString((dir / "planes" / name).string()));
        ASSERT_EQ(png.size(), QSize(256, 256)) << name;
        const QImage grey = png.convertToFormat(QImage::Format_Grayscale8);
        for (int y = 0; y < 256; ++y)
            ASSERT_EQ(std::memcmp(grey.constScanLine(y), S.Planes[p][y], 256), 0) << name;
    }
    const QImage map(QString::fromStdString((dir / "area-map.png").string()));
    ASSERT_EQ(map.size(), QSize(256, 256));
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const TRGB c = Palette[S.Planes[aArH][y][x]];
            ASSERT_EQ(map.pixel(x, y), qRgb(c.r, c.g, c.b)) << x << "," << y;
        }
    const QImage view(QString::fromStdString((dir / "area-view.png").string()));
    ASSERT_EQ(view.size(), QSize(256, 256));
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const TRGB c = GetPixel(S.View, x, y);
            ASSERT_EQ(view.pixel(x, y), qRgb(c.r, c.g, c.b)) << x << "," << y;
        }

    const TJson json = TJsonReader::Parse(Read(dir / "analysis.json"));
    const QSize whole = QImage(QString(TESSA_SOURCE_DIR) + "/samples/coffee.jpg").size();
    EXPECT_EQ(json["width"].n, whole.width());
    EXPECT_EQ(json["height"].n, whole.height());
    EXPECT_GT(whole.width(), 256) << "the grid holds only a part of it";
    EXPECT_EQ(json["placement"]["kind"].s, "top-left");
    EXPECT_EQ(json["placement"].keys.size(), 1u) << "the default says no more";
    EXPECT_EQ(json["plane"].kind, TJson::Null) << "the brightness/noise mix";
    EXPECT_EQ(json["threshold"].n, 120);
    EXPECT_EQ(json["raised_level"].n, S.Areas.Level);
    EXPECT_EQ(json["rejected_last"].n, S.Areas.RejectedLast);
    EXPECT_EQ(json["areas"].n, double(kept.size()));
    EXPECT_EQ(json["area_records"].n, S.Areas.AreaCount + 1);
    ASSERT_EQ(json["level_scores"].a.size(), 256u);
    EXPECT_EQ(json["level_scores"][120].n, S.Areas.LevelScores[120]);
    for (const auto& e : fs::recursive_directory_iterator(dir))
        EXPECT_EQ(e.path().filename().string().find(".part-"), std::string::npos) << e.path();
}

// Every file under `dir` by its path inside it, with its bytes.
std::map<std::string, std::string> FilesUnder(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(dir))
        if (e.is_regular_file()) files[fs::relative(e.path(), dir).string()] = Read(e.path());
    return files;
}

// Stored PNG pictures (the batch's) hold the same pixels as the compressed
// ones of the window's export, in files that are larger; every other file is
// the same.
TEST_F(Export, StoredPicturesHoldTheSamePixels) {
    Analyse("coffee.jpg", 120);
    const std::string base = out.path().toStdString();
    TExportOptions stored;
    stored.StoredPngs = true;
    ExportAnalysis(S, base + "/compressed", {});
    ExportAnalysis(S, base + "/stored", stored);
    const auto compressed = FilesUnder(base + "/compressed"), raw = FilesUnder(base + "/stored");
    ASSERT_EQ(raw.size(), compressed.size());
    int pictures = 0;
    for (const auto& [name, bytes] : compressed) {
        ASSERT_EQ(raw.count(name), 1u) << name;
        if (name.ends_with(".png")) {
            ++pictures;
            EXPECT_GT(raw.at(name).size(), 65536u) << name << ": 256 x 256 bytes at least";
            EXPECT_LT(bytes.size(), raw.at(name).size()) << name;
            const QImage a = QImage::fromData(QByteArray::fromStdString(bytes), "png");
            const QImage b = QImage::fromData(QByteArray::fromStdString(raw.at(name)), "png");
            ASSERT_FALSE(a.isNull()) << name;
            EXPECT_TRUE(a.convertToFormat(QImage::Format_RGB32) ==
                        b.convertToFormat(QImage::Format_RGB32))
                << name;
        } else {
            EXPECT_EQ(raw.at(name), bytes) << name;
        }
    }
    EXPECT_EQ(pictures, 3 + PlaneCount);
}

// In place (into a folder that is itself temporary) the export writes the
// same files under their names straight away; a file that cannot be written
// whole is removed, the error names it, and analysis.json, the mark of a
// complete export, is never written.
TEST_F(Export, InPlaceWritesTheSameFilesAndRemovesOneThatFails) {
    Analyse("coffee.jpg", 120);
    const std::string base = out.path().toStdString();
    TExportOptions inPlace;
    inPlace.InPlace = true;
    ExportAnalysis(S, base + "/renamed", {});
    ExportAnalysis(S, base + "/in-place", inPlace);
    const auto renamed = FilesUnder(base + "/renamed");
    EXPECT_EQ(renamed.size(), size_t(5 + PlaneCount));
    EXPECT_TRUE(FilesUnder(base + "/in-place") == renamed);

    // The area map comes right after areas.csv: a limit of the size of
    // areas.csv lets that through and cuts the map short.
    inPlace.Planes = false;
    const auto csvBytes = fs::file_size(base + "/renamed/areas.csv");
    ASSERT_LT(csvBytes, fs::file_size(base + "/renamed/area-map.png"));
    const std::string cut = base + "/cut";
    {
        const TFileSizeLimit limit(csvBytes);
        try {
            ExportAnalysis(S, cut, inPlace);
            ADD_FAILURE() << "no error";
        } catch (const TExportError& e) {
            EXPECT_NE(std::string(e.what()).find(cut + "/area-map.png"), std::string::npos)
                << e.what();
        }
    }
    const auto left = FilesUnder(cut);
    ASSERT_EQ(left.size(), 1u) << left.rbegin()->first << " is left";
    EXPECT_EQ(left.begin()->second, renamed.at("areas.csv"));
    // The same failure through temporary names leaves no temporary file.
    {
        const TFileSizeLimit limit(csvBytes);
        EXPECT_THROW(ExportAnalysis(S, base + "/cut-renamed", {}), TExportError);
    }
    for (const auto& e : fs::recursive_directory_iterator(base + "/cut-renamed"))
        EXPECT_TRUE(e.is_directory() || e.path().filename() == "areas.csv") << e.path();
}

// The placement asked stays from picture to picture; each picture records it
// resolved for its own size, and analysis.json says what landed.
TEST_F(Export, PlacementPersistsAndIsWrittenResolvedForEachPicture) {
    S.Placement = {TPlacement::Part, 1000, 90};
    Analyse("strokes.jpg", 120); // 640 x 480: the corner is clamped to 384
    EXPECT_EQ(S.Picture.Placement, (TPlacement{TPlacement::Part, 384, 90}));
    TJson json = TJsonReader::Parse(AnalysisJson(S, {}));
    EXPECT_EQ(json["placement"]["kind"].s, "part");
    EXPECT_EQ(json["placement"]["x"].n, 384);
    EXPECT_EQ(json["placement"]["y"].n, 90);
    // The next picture takes the same placement asked, clamped anew.
    Analyse("rocket.jpg", 120); // 448 x 336
    EXPECT_EQ(S.Picture.Placement, (TPlacement{TPlacement::Part, 192, 80}));
    EXPECT_EQ(S.Placement, (TPlacement{TPlacement::Part, 1000, 90})) << "the asked one stays";

    S.Placement = {TPlacement::Fit};
    Analyse("strokes.jpg", 120);
    json = TJsonReader::Parse(AnalysisJson(S, {}));
    EXPECT_EQ(json["placement"]["kind"].s, "fit");
    EXPECT_EQ(json["placement"]["k"].n, 3) << "ceil(640 / 3) = 214 <= 256";
    EXPECT_EQ(json["placement"].keys, (std::vector<std::string>{"kind", "k"}));
    // A picture that cannot be read changes neither what is recorded nor
    // what is asked.
    EXPECT_THROW(LoadPicture(S, "/no/such/picture.jpg"), TPictureError);
    EXPECT_EQ(S.Picture.Placement, (TPlacement{TPlacement::Fit, 0, 0, 3}));
    EXPECT_EQ(S.Picture.Size.Width, 640);
}

TEST_F(Export, RefusesWithoutAPassAndWhereNothingCanBeWritten) {
    EXPECT_THROW(ExportAnalysis(S, out.path().toStdString(), {}), TExportError);
    Analyse("shapes.jpg", -1);
    // A file where the folder should be: nothing is written, the cause named.
    const std::string blocked = out.path().toStdString() + "/file";
    std::ofstream(blocked) << "x";
    try {
        ExportAnalysis(S, blocked + "/export", {});
        ADD_FAILURE() << "no error";
    } catch (const TExportError& e) {
        EXPECT_NE(std::string(e.what()).find(blocked), std::string::npos) << e.what();
    }
    // Without the planes, only the five files.
    TExportOptions lean;
    lean.Planes = false;
    ExportAnalysis(S, out.path().toStdString() + "/lean", lean);
    int files = 0;
    for ([[maybe_unused]] const auto& e :
         fs::directory_iterator(out.path().toStdString() + "/lean"))
        ++files;
    EXPECT_EQ(files, 5);
}

} // namespace

namespace {

// The views are written with a colour table when they hold at most 256
// colours, and as 24-bit pictures otherwise; either way they read back to
// the same pixels, at a resolution that does not depend on a screen.
TEST(ExportPng, KeepsEveryPixelWithOrWithoutAColourTable) {
    QTemporaryDir out;
    for (const int colours : {256, 257}) {
        TBitmap view;
        CreateBitmap(view, 300, 260, {1, 2, 3});
        for (int i = 0; i < colours - 1; ++i)
            SetPixel(view, i % 256, i / 256 + 7,
                     {uint8_t(i), uint8_t(255 - i % 256), uint8_t(i / 256)});
        SetPixel(view, 280, 3, {9, 9, 9}); // outside the top-left 256 x 256: not written
        const std::string path = out.path().toStdString() + "/" + std::to_string(colours) + ".png";
        WritePng(view, path);
        const QImage png(QString::fromStdString(path));
        ASSERT_EQ(png.size(), QSize(256, 256));
        EXPECT_EQ(png.format() == QImage::Format_Indexed8, colours <= 256) << colours;
        EXPECT_EQ(png.dotsPerMeterX(), 3780);
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) {
                const TRGB c = GetPixel(view, x, y);
                ASSERT_EQ(png.pixel(x, y), qRgb(c.r, c.g, c.b)) << x << "," << y;
            }
    }
}

} // namespace
