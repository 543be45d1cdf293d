// labels.png: read back with QtGui it is the label map's kept labels pixel
// for pixel, 0 elsewhere, and every label in it is a row of areas.csv.
#include "session/area_columns.h"
#include "session/export.h"
#include "session/label_image.h"

#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

TEST(LabelImage, HoldsTheKeptLabelsAndEachIsARowOfTheTable) {
    const std::unique_ptr<TSession> session = NewSession(1);
    TSession& s = *session;
    LoadPicture(s, std::string(TESSA_SOURCE_DIR) + "/samples/coffee.jpg");
    ComputePlanes(s);
    TPassOptions o;
    o.Threshold = 120;
    TPassObserver quiet;
    FindAreas(s, o, quiet);
    QTemporaryDir out;
    const std::string dir = out.path().toStdString();
    ExportAnalysis(s, dir, {});

    const QImage labels(QString::fromStdString(dir + "/labels.png"));
    ASSERT_EQ(labels.size(), QSize(256, 256));
    ASSERT_EQ(labels.format(), QImage::Format_Grayscale16) << "16-bit grey";
    std::set<int32_t> kept;
    for (const TArea* a : KeptAreas(s.Areas)) kept.insert(a->label);
    std::set<int32_t> rows;
    std::ifstream csv(dir + "/areas.csv", std::ios::binary);
    std::string line;
    std::getline(csv, line);
    while (std::getline(csv, line)) rows.insert(std::stoi(line));
    ASSERT_EQ(rows, kept);
    std::set<int32_t> seen;
    int notKept = 0;
    for (int y = 0; y < 256; ++y) {
        const auto* row = reinterpret_cast<const uint16_t*>(labels.constScanLine(y));
        for (int x = 0; x < 256; ++x) {
            const int32_t label = s.Areas.LabelMap[y][x];
            const int32_t want = kept.count(label) ? label : 0;
            notKept += label != 0 && want == 0;
            ASSERT_EQ(row[x], want) << x << "," << y;
            if (row[x]) seen.insert(row[x]);
        }
    }
    EXPECT_GT(notKept, 0)
        << "the map also holds fills that were not kept, which labels.png leaves out";
    EXPECT_EQ(seen, kept);
}

TEST(LabelImage, ALabelAbove16BitsIsRefusedByName) {
    const std::unique_ptr<TSession> session = NewSession(1);
    TSession& s = *session;
    s.Areas.Areas[0] = std::make_unique<TArea>();
    s.Areas.Areas[0]->label = 70000;
    s.Areas.AreaCount = 0;
    try {
        LabelImage(s);
        ADD_FAILURE() << "no error";
    } catch (const TExportError& e) {
        EXPECT_NE(std::string(e.what()).find("label 70000"), std::string::npos) << e.what();
    }
    s.Areas.Areas[0]->label = 65535;
    s.Areas.LabelMap[3][4] = 65535;
    EXPECT_EQ(reinterpret_cast<const uint16_t*>(LabelImage(s).constScanLine(3))[4], 65535);
}
