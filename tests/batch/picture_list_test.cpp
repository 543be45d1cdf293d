// The list of a run: which files a folder gives, their order, their output
// folders, the shares of the list, and the summary's CSV read back.
#include "csv.h"
#include "picture_list.h"
#include "summary.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

struct PictureList : ::testing::Test {
    QTemporaryDir tmp;
    std::string root = tmp.path().toStdString();
    void Touch(const std::string& rel) {
        fs::create_directories(fs::path(root + "/" + rel).parent_path());
        std::ofstream(root + "/" + rel) << "x";
    }
    std::vector<std::string> Paths(const std::vector<TPictureJob>& jobs) {
        std::vector<std::string> p;
        for (const TPictureJob& j : jobs) p.push_back(j.Path.substr(root.size() + 1));
        return p;
    }
};

TEST_F(PictureList, FolderGivesItsPicturesInNameOrderAndRecursesOnRequest) {
    for (const char* f : {"b.JPG", "A.png", "c.Bmp", "notes.txt", ".hidden.jpg", "d.jpeg", "E.TIF",
                          "f.jpe", "g.Jfif", "h.tiff", "i.gif", "j.jpgx", "sub/e.jpg",
                          "sub/deeper/f.bmp", ".git/g.jpg", "out/area-map.png"})
        Touch(f);
    fs::create_directory_symlink(root + "/sub", root + "/link");
    const std::string out = root + "/out";
    EXPECT_EQ(Paths(FindPictures({root}, false, out)),
              (std::vector<std::string>{"A.png", "b.JPG", "c.Bmp", "d.jpeg", "E.TIF", "f.jpe",
                                        "g.Jfif", "h.tiff"}));
    const std::vector<TPictureJob> all = FindPictures({root}, true, out);
    EXPECT_EQ(Paths(all),
              (std::vector<std::string>{"A.png", "b.JPG", "c.Bmp", "d.jpeg", "E.TIF", "f.jpe",
                                        "g.Jfif", "h.tiff", "sub/deeper/f.bmp", "sub/e.jpg"}))
        << "no hidden folder, no link to a folder, not the output folder";
    EXPECT_EQ(all[8].OutName, "sub/deeper/f.bmp");
    // A picture named like a folder that holds others' folders gets its own name.
    Touch("elsewhere/sub");
    const std::vector<TPictureJob> named = FindPictures({root, root + "/elsewhere/sub"}, true, out);
    ASSERT_EQ(named[5].Path, root + "/elsewhere/sub");
    EXPECT_EQ(named[5].OutName, "sub~2");
}

TEST_F(PictureList, EachPathOnceEachFolderNameOnce) {
    Touch("x/a.jpg");
    Touch("y/a.jpg");
    Touch("y/summary.csv");
    const std::vector<TPictureJob> jobs =
        FindPictures({root + "/y/a.jpg", root + "/x", root + "/x/a.jpg", root + "/y/summary.csv",
                      root + "/missing.jpg", root + "/"},
                     false, root + "/out");
    std::vector<std::string> names;
    for (const TPictureJob& j : jobs) names.push_back(j.OutName);
    // "/" is the folder itself: its pictures, none at its top.
    EXPECT_EQ(Paths(jobs),
              (std::vector<std::string>{"missing.jpg", "x/a.jpg", "y/a.jpg", "y/summary.csv"}));
    EXPECT_EQ(names,
              (std::vector<std::string>{"missing.jpg", "a.jpg", "a.jpg~2", "summary.csv~2"}));
}

TEST(Shares, CoverTheListOnceInNearlyEqualParts) {
    for (size_t count = 0; count <= 23; ++count)
        for (int n = 1; n <= 7; ++n) {
            size_t next = 0;
            for (int k = 1; k <= n; ++k) {
                const auto [begin, end] = ShareRange(count, k, n);
                ASSERT_EQ(begin, next) << count << " " << k << "/" << n;
                ASSERT_LE(end - begin, count / size_t(n) + 1);
                ASSERT_GE(end - begin, count / size_t(n));
                next = end;
            }
            ASSERT_EQ(next, count);
        }
}

TEST(SummaryCsv, QuotesWhatNeedsItAndReadsBackTheSameFields) {
    const TCsvRow odd{"a,b.jpg", "say \"hi\"", "two\r\nlines", "", "plain"};
    const std::string text = CsvLine(odd) + CsvLine({"x", "", "", "", "y"});
    EXPECT_EQ(text, "\"a,b.jpg\",\"say \"\"hi\"\"\",\"two\r\nlines\",,plain\r\nx,,,,y\r\n");
    const std::vector<TCsvRow> rows = ParseCsv(text);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], odd);
    EXPECT_THROW(ParseCsv("\"open"), std::runtime_error);
}

} // namespace

TEST_F(PictureList, AListFileSkipsBlankLinesAndComments) {
    const std::string list = root + "/list.txt";
    std::ofstream(list, std::ios::binary)
        << "# pictures of the week\r\n\r\na.jpg\r\n   \n\t# indented note\nsub/b c.png\n"
           " lead.bmp\n#\nlast.tif";
    EXPECT_EQ(ReadListFile(list),
              (std::vector<std::string>{"a.jpg", "sub/b c.png", " lead.bmp", "last.tif"}));
}

// An ok row says when only the top-left corner of a larger picture was
// analysed; a placed or small picture's row says nothing.
TEST(SummaryRows, AnOkRowOfAPartlyAnalysedPictureSaysSo) {
    TPictureOutcome o;
    o.Width = 4000;
    o.Height = 3000;
    TCsvRow f = SummaryFields({"big.jpg", o, ""});
    EXPECT_EQ(f[8], "ok");
    EXPECT_EQ(f[9], "only the top-left 256 x 256 of 4000 x 3000 was analysed; see --fit / --part");
    o.Placement = ResolvePlacement({TPlacement::Fit}, 4000, 3000);
    EXPECT_EQ(SummaryFields({"big.jpg", o, ""})[9], "");
    o = {};
    o.Width = o.Height = 256;
    EXPECT_EQ(SummaryFields({"fits.jpg", o, ""})[9], "");
    EXPECT_EQ(SummaryFields({"bad.jpg", std::nullopt, "it is not a JPEG picture"})[9],
              "it is not a JPEG picture");
}
