// The folder of one picture's results: it replaces only an older one of
// ours and what a killed write left, never a file or folder of the user's;
// it holds exactly the export's files and its mark, and a write that fails
// leaves the name as it was, an earlier result included.
#include "batch_tool.h"

#include "session/result_folder.h"
#include "support/file_size_limit.h"

#include <QTemporaryDir>

#include <set>

namespace fs = std::filesystem;

namespace {

struct ResultFolder : ::testing::Test {
    QTemporaryDir tmp;
    std::string out = tmp.path().toStdString() + "/out";
    std::unique_ptr<TSession> session = NewSession();
    TExportOptions lean;
    const TResultMark mark{"automatic, mix", "pics/a.jpg"};
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
    // The files of a result folder without its mark, which the export does not write.
    std::map<std::string, std::string> Exported(const std::string& name) const {
        auto files = FilesUnder(out + "/" + name);
        EXPECT_EQ(files.erase(ResultMarkFile), 1u) << name << " has no mark";
        return files;
    }
    void WriteOurOlderFolder(const std::string& name) {
        WriteResultFolder(*session, out, name, lean, {"threshold 9, mix", "old"});
        Put(name + "/stale.txt", "older");
    }
};

TEST_F(ResultFolder, ReplacesOnlyOurOwnFoldersAndWhatAKilledWriteLeft) {
    WriteOurOlderFolder("a.jpg");
    Put(TemporaryName("a.jpg", ".part") + "/" + ResultMarkFile, "killed"); // not yet marked
    fs::remove(out + "/" + TemporaryName("a.jpg", ".part") + "/" + ResultMarkFile);
    WriteResultFolder(*session, out, "a.jpg", lean, mark);
    WriteResultFolder(*session, out, "c.jpg", lean, mark);
    // With -r a name holds folders that may not be there yet.
    WriteResultFolder(*session, out, "sub/deeper/d.jpg", lean, mark);
    EXPECT_EQ(Names(), (std::set<std::string>{"a.jpg", "c.jpg", "sub"}));
    for (const char* name : {"a.jpg", "c.jpg", "sub/deeper/d.jpg"}) {
        EXPECT_TRUE(Exported(name) == expected) << name;
        EXPECT_TRUE(IsCompleteResultFolder(out, name, false)) << name;
        EXPECT_EQ(ReadResultMark(out + "/" + name), mark) << name;
    }
    EXPECT_FALSE(IsCompleteResultFolder(out, "a.jpg", true)) << "no planes written";
    EXPECT_THROW(WriteResultFolder(*session, out, "", lean, mark), TExportError);
    EXPECT_EQ(ResultFoldersUnder(out),
              (std::vector<std::string>{"a.jpg", "c.jpg", "sub/deeper/d.jpg"}));
}

// A file, an empty folder and a folder of the user's named like a result
// stay byte for byte; the error says so in the words the summary shows.
TEST_F(ResultFolder, NeverTouchesAFileOrFolderOfTheUsers) {
    Put("b.jpg", "a picture of the user's");
    Put("d.jpg/notes.txt", "the user's notes");
    fs::create_directories(out + "/e.jpg");
    Put("f.jpg/.tessavorin-result", "not our mark");
    const auto before = FilesUnder(out);
    for (const char* name : {"b.jpg", "d.jpg", "e.jpg", "f.jpg"}) {
        try {
            WriteResultFolder(*session, out, name, lean, mark);
            ADD_FAILURE() << name << " was written";
        } catch (const TNotOursError& e) {
            EXPECT_EQ(std::string(e.what()), NotOursMessage(out + "/" + name));
        }
        RemoveResultFolder(out, name);
    }
    EXPECT_TRUE(FilesUnder(out) == before);
    EXPECT_TRUE(fs::is_directory(out + "/e.jpg"));
    EXPECT_EQ(Names(), (std::set<std::string>{"b.jpg", "d.jpg", "e.jpg", "f.jpg"}));
    EXPECT_TRUE(ResultFoldersUnder(out).empty());
    EXPECT_EQ(NotOursMessage("OUT/coffee.jpg"),
              "\"OUT/coffee.jpg\" already exists and is not a result folder of this program; "
              "nothing was written for this picture");
}

TEST_F(ResultFolder, AWriteThatFailsLeavesTheNameAsItWasAndTheEarlierResultWhole) {
    WriteOurOlderFolder("older.jpg");
    const auto older = FilesUnder(out + "/older.jpg");
    for (const char* name : {"new.jpg", "older.jpg"}) {
        const TFileSizeLimit limit(expected.at("areas.csv").size());
        try {
            WriteResultFolder(*session, out, name, lean, mark);
            ADD_FAILURE() << name << " was written";
        } catch (const TExportError& e) {
            EXPECT_NE(std::string(e.what()).find("area-map.png\": "), std::string::npos)
                << e.what();
        }
    }
    EXPECT_FALSE(fs::exists(out + "/new.jpg"));
    EXPECT_TRUE(FilesUnder(out + "/older.jpg") == older) << "left as it was";
    EXPECT_EQ(Names(), (std::set<std::string>{"older.jpg"})) << "no temporary left";

    WriteResultFolder(*session, out, "new.jpg", lean, mark);
    EXPECT_TRUE(Exported("new.jpg") == expected);
    // A picture that can no longer be read takes only our folder away.
    Put("mine.jpg/x", "mine");
    RemoveResultFolder(out, "older.jpg");
    RemoveResultFolder(out, "mine.jpg");
    EXPECT_EQ(Names(), (std::set<std::string>{"mine.jpg", "new.jpg"}));
}

// Temporary names stay short whatever the name, and differ by name and kind.
TEST(TemporaryName, IsShortHiddenAndOfItsName) {
    const std::string longName(250, 'x');
    const std::string t = TemporaryName(longName, ".part");
    EXPECT_EQ(t.size(), 26u) << t;
    EXPECT_EQ(t[0], '.');
    EXPECT_NE(t, TemporaryName(longName + "y", ".part"));
    EXPECT_NE(t, TemporaryName(longName, ".old"));
    EXPECT_EQ(t, TemporaryName(longName, ".part")) << "a killed write's is found again";
    EXPECT_EQ(FailureReason(ENOSPC), "no space left on the device");
    EXPECT_EQ(FailureReason(EACCES), "permission denied");
}

} // namespace
