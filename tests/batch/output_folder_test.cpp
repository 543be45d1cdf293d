// The folder of one picture's results: it replaces an older one and what a
// killed run left, holds exactly the export's files, and a write that fails
// leaves nothing under the picture's name.
#include "batch_tool.h"

#include "output_folder.h"
#include "support/file_size_limit.h"

#include <QTemporaryDir>

namespace fs = std::filesystem;

namespace {

struct ResultFolder : ::testing::Test {
    QTemporaryDir tmp;
    std::string out = tmp.path().toStdString() + "/out";
    std::unique_ptr<TSession> session = NewSession();
    TExportOptions lean;
    std::map<std::string, std::string> expected; // the export's files

    void SetUp() override {
        LoadPicture(*session, std::string(TESSA_SOURCE_DIR) + "/samples/coffee.jpg");
        ComputePlanes(*session);
        TPassObserver quiet;
        FindAreas(*session, {}, quiet);
        lean.Planes = false;
        lean.StoredPngs = true; // as the batch stores them
        const std::string plain = tmp.path().toStdString() + "/plain";
        ExportAnalysis(*session, plain, lean);
        expected = FilesUnder(plain);
        fs::create_directories(out);
    }
    void Put(const std::string& file, const std::string& text) const {
        fs::create_directories(fs::path(out + "/" + file).parent_path());
        std::ofstream(out + "/" + file) << text;
    }
    // The names in the output folder, hidden ones too.
    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(out)) names.insert(e.path().filename());
        return names;
    }
};

TEST_F(ResultFolder, ReplacesOlderResultsAndWhatAKilledRunLeft) {
    // An older folder with a file the export does not write, the temporary
    // and the set-aside folder of a killed run, and a file where a folder goes.
    Put("a.jpg/areas.csv", "older");
    Put("a.jpg/stale.txt", "older");
    Put(".a.jpg.part/planes/00-x.png", "killed");
    Put(".a.jpg.old/areas.csv", "killed");
    Put("b.jpg", "a file");
    WriteResultFolder(*session, out, "a.jpg", lean);
    WriteResultFolder(*session, out, "b.jpg", lean);
    WriteResultFolder(*session, out, "c.jpg", lean);
    // With -r a name holds folders that may not be there yet.
    WriteResultFolder(*session, out, "sub/deeper/d.jpg", lean);
    EXPECT_EQ(Names(), (std::set<std::string>{"a.jpg", "b.jpg", "c.jpg", "sub"}));
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "sub/deeper/d.jpg"}) {
        EXPECT_TRUE(FilesUnder(out + "/" + name) == expected) << name;
        EXPECT_TRUE(IsCompleteResultFolder(out, name, false)) << name;
    }
    EXPECT_FALSE(IsCompleteResultFolder(out, "a.jpg", true)) << "no planes written";
    EXPECT_THROW(WriteResultFolder(*session, out, "", lean), TExportError);
}

TEST_F(ResultFolder, AWriteThatFailsLeavesNothingUnderThePicturesName) {
    Put("older.jpg/areas.csv", "older");
    for (const char* name : {"new.jpg", "older.jpg"}) {
        const TFileSizeLimit limit(expected.at("areas.csv").size());
        EXPECT_THROW(WriteResultFolder(*session, out, name, lean), TExportError) << name;
    }
    EXPECT_FALSE(fs::exists(out + "/new.jpg"));
    EXPECT_EQ(ReadFile(out + "/older.jpg/areas.csv"), "older") << "left as it was";
    EXPECT_FALSE(IsCompleteResultFolder(out, "new.jpg", false));

    // The next write over the same names starts afresh: none of the failed
    // one's files come along.
    WriteResultFolder(*session, out, "new.jpg", lean);
    EXPECT_TRUE(FilesUnder(out + "/new.jpg") == expected);
    EXPECT_EQ(Names(), (std::set<std::string>{".older.jpg.part", "new.jpg", "older.jpg"}));
    // A failed picture's folder goes with all that was begun for it.
    RemoveResultFolder(out, "older.jpg");
    EXPECT_EQ(Names(), (std::set<std::string>{"new.jpg"}));
}

} // namespace
