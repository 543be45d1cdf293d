// The window's export (Ctrl+E) goes into a folder of its own named after the
// picture, asks before replacing an earlier export (a question box),
// never touches a folder of the user's, says where the files went, and
// leaves nothing half-written when the folder cannot be written.
#include "dialog_answers.h"
#include "window_under_test.h"

#include "session/result_folder.h"

#include <QLabel>
#include <QMessageBox>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

std::map<std::string, std::string> FilesIn(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(dir))
        if (e.is_regular_file()) {
            std::ifstream in(e.path(), std::ios::binary);
            std::stringstream bytes;
            bytes << in.rdbuf();
            files[fs::relative(e.path(), dir).string()] = bytes.str();
        }
    return files;
}

struct ExportFolder : TWindowUnderTest {
    TDialogAnswers answers;
    QTemporaryDir out;
    fs::path dir = out.path().toStdString() + "/coffee.jpg-analysis";
    QMessageBox::StandardButton answer = QMessageBox::Cancel;
    int questions = 0;

    void SetUp() override {
        fs::copy_file(std::string(TESSA_SOURCE_DIR) + "/samples/coffee.jpg", Path("coffee.jpg"));
        // Every box through the window's hook: a question gets `answer`.
        answerBox = [this](QMessageBox::Icon icon, const QString& caption, const QString& text,
                           QMessageBox::StandardButtons buttons) {
            boxes.push_back({icon, caption, text});
            if (icon != QMessageBox::Question) return QMessageBox::Ok;
            ++questions;
            EXPECT_EQ(buttons, QMessageBox::Ok | QMessageBox::Cancel);
            return answer;
        };
        Open();
        Choose(0);
        ASSERT_TRUE(boxes.empty());
    }
    void Export(const QString& folder) {
        answers.Paths = {folder};
        ActivateWindow(*form);
        QTest::keyClick(form.get(), Qt::Key_E, Qt::ControlModifier);
        // The shortcut may run from the event queue: the export is done after this.
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
    QString Note() const { return form->findChild<QLabel*>("Readout")->text(); }
};

TEST_F(ExportFolder, ASecondExportAsksCancelKeepsTheFirstReplaceGivesTheSecond) {
    Export(out.path());
    ASSERT_TRUE(boxes.empty()) << boxes[0].text.toStdString();
    EXPECT_TRUE(IsResultFolder(dir.string()));
    const auto first = FilesIn(dir);
    EXPECT_TRUE(first.count("analysis.json") && first.count("planes/12-aV.png"));
    EXPECT_TRUE(Note().startsWith("Exported into coffee.jpg-analysis")) << Note().toStdString();
    EXPECT_NE(form->findChild<QLabel*>("Readout")->toolTip().indexOf(out.path()), -1);
    // Only the export's own folder was made there.
    EXPECT_EQ(std::distance(fs::directory_iterator(out.path().toStdString()), {}), 1);

    ctl.ScrollBar2->setValue(ctl.ScrollBar2->value() + 7); // another analysis
    answer = QMessageBox::Cancel;
    Export(out.path());
    EXPECT_EQ(questions, 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.indexOf("Replace"), -1) << boxes[0].text.toStdString();
    for (const auto& [file, bytes] : FilesIn(dir))
        EXPECT_TRUE(first.count(file) && first.at(file) == bytes)
            << file << ": Cancel changes nothing";
    EXPECT_EQ(FilesIn(dir).size(), first.size());

    answer = QMessageBox::Ok;
    Export(out.path());
    EXPECT_EQ(questions, 2);
    const auto second = FilesIn(dir);
    EXPECT_EQ(second.size(), first.size());
    EXPECT_NE(second.at("analysis.json"), first.at("analysis.json")) << "the second export";
    EXPECT_EQ(std::distance(fs::directory_iterator(out.path().toStdString()), {}), 1)
        << "no temporary left beside it";
}

TEST_F(ExportFolder, AFolderOfTheUsersIsNeverReplacedNorOneThatCannotBeWritten) {
    fs::create_directories(dir);
    std::ofstream(dir / "notes.txt") << "the user's";
    Export(out.path());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].icon, QMessageBox::Critical);
    EXPECT_NE(boxes[0].text.indexOf("is not an export of this program"), -1)
        << boxes[0].text.toStdString();
    EXPECT_EQ(questions, 0) << "nothing to ask: it is not ours";
    EXPECT_EQ(FilesIn(dir), (std::map<std::string, std::string>{{"notes.txt", "the user's"}}));

    // A folder no file can be made in: said, with the path and the reason.
    boxes.clear();
    Export("/sys");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].text.startsWith("Cannot write \"/sys/coffee.jpg-analysis\": "))
        << boxes[0].text.toStdString();
    EXPECT_FALSE(fs::exists("/sys/coffee.jpg-analysis"));
    EXPECT_EQ(Note().indexOf("exported"), -1) << "no word of success";
}

// A name in another encoding opens and exports under its own bytes; one of
// 250 bytes gets a folder cut to the file system's limit.
TEST_F(ExportFolder, NamesOfAnyBytesAndLengthExportIntoTheirOwnFolder) {
    const std::string in = samples.path().toStdString() + "/";
    const std::string latin = in + "caf\xe9.jpg", longer = in + std::string(246, 'n') + ".jpg";
    for (const std::string& picture : {latin, longer}) {
        fs::copy_file(Path("coffee.jpg"), picture);
        ASSERT_TRUE(form->ChooseFile(picture)) << picture;
        Export(out.path());
        ASSERT_TRUE(boxes.empty()) << boxes[0].text.toStdString();
    }
    const std::string root = out.path().toStdString() + "/";
    EXPECT_TRUE(IsResultFolder(root + "caf\xe9.jpg-analysis"));
    EXPECT_TRUE(IsResultFolder(root + std::string(255 - 9, 'n') + "-analysis"));
    EXPECT_EQ(ReadResultMark(root + "caf\xe9.jpg-analysis")->Picture, latin);
    fs::remove_all(root + "caf\xe9.jpg-analysis"); // Qt cannot name what it would remove
    fs::remove(latin);
}

} // namespace
