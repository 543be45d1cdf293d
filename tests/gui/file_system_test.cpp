// The samples folder changing under the window: files that vanish or turn
// into something else between listing and choosing, unusual names, links,
// and a folder of thousands of pictures. The tests run as root, for whom no
// file is unreadable: a file "made unreadable" is replaced by a folder, a
// dangling link or a named pipe instead.
#include "window_under_test.h"

#include <QDir>
#include <QFile>
#include <QListWidget>

#include <algorithm>
#include <filesystem>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

using FileSystem = TWindowUnderTest;

TRGB Colour(int i) {
    return {uint8_t(40 * i + 30), uint8_t(200 - 30 * i), uint8_t(17 * i)};
}

QStringList Listed(const TfrmMain& form) {
    QStringList names;
    const QListWidget* list = Controls(form).FileListBox1;
    for (int i = 0; i < list->count(); ++i) names << list->item(i)->text();
    return names;
}

TEST_F(FileSystem, AFileGoneOrChangedAfterListingIsRefusedAndChangesNothing) {
    const struct {
        const char* name;
        void (*change)(const std::string& path);
        const char* cause;
    } cases[] = {
        {"removed.bmp", [](const std::string& p) { fs::remove(p); }, "the file does not exist"},
        {"folder.bmp",
         [](const std::string& p) {
             fs::remove(p);
             fs::create_directory(p);
         },
         "it is a folder"},
        {"dangling.jpg",
         [](const std::string& p) {
             fs::remove(p);
             fs::create_symlink(p + ".gone", p);
         },
         "the file does not exist"},
        // Opening a pipe would wait for a writer for ever.
        {"pipe.jpg",
         [](const std::string& p) {
             fs::remove(p);
             ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0);
         },
         "it is not a plain file"},
    };
    WriteUniformBmp(Path("a-good.bmp"), 64, 64, {10, 20, 30});
    for (const auto& c : cases) WriteUniformBmp(Path(c.name), 8, 8, {200, 100, 0});
    Open();
    ASSERT_EQ(ctl.FileListBox1->count(), 5);
    Choose(0);
    ASSERT_TRUE(boxes.empty());
    const std::vector<uint8_t> before = Snapshot();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.change(Path(c.name));
        boxes.clear();
        Choose(int(Listed(*form).indexOf(c.name)));
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].icon, QMessageBox::Critical);
        EXPECT_TRUE(
            boxes[0].text.contains(QDir::toNativeSeparators(QString::fromStdString(Path(c.name)))))
            << boxes[0].text.toStdString();
        EXPECT_TRUE(boxes[0].text.contains(c.cause)) << boxes[0].text.toStdString();
        EXPECT_EQ(Snapshot(), before);
    }
}

TEST_F(FileSystem, UnusualNamesAndLinksAreListedAndLoad) {
    const std::string longName = std::string(196, 'n') + ".bmp"; // 200 characters
    const std::vector<std::string> names = {"with some spaces.bmp", "Ärger über Öl ß.bmp",
                                            "日本語の写真.bmp", longName,
                                            "latin-1 \xE9t\xE9.bmp"}; // not valid UTF-8
    for (size_t i = 0; i < names.size(); ++i)
        WriteUniformBmp(Path(names[i].c_str()), 16, 16, Colour(int(i)));
    fs::create_symlink(Path(names[0].c_str()), Path("zz link.bmp"));
    QDir(samples.path()).mkdir("x.jpg");
    Open();
    QStringList expected;
    for (const std::string& n : names) expected << QString::fromLocal8Bit(n.c_str());
    expected << "zz link.bmp";
    QStringList shown = Listed(*form);
    std::sort(expected.begin(), expected.end());
    std::sort(shown.begin(), shown.end());
    ASSERT_EQ(shown, expected) << "the folder x.jpg is not listed";
    for (int row = 0; row < ctl.FileListBox1->count(); ++row) {
        const QString name = ctl.FileListBox1->item(row)->text();
        SCOPED_TRACE(name.toStdString());
        Choose(row);
        EXPECT_TRUE(boxes.empty()) << (boxes.empty() ? "" : boxes[0].text.toStdString());
        // The link shows the picture it points to.
        const auto at = std::find_if(names.begin(), names.end(), [&](const std::string& n) {
            return QString::fromLocal8Bit(n.c_str()) == name;
        });
        const TRGB want = Colour(at == names.end() ? 0 : int(at - names.begin()));
        EXPECT_EQ(GetPixel(Image1Picture, 15, 15), want);
        EXPECT_EQ(GetPixel(Image1Picture, 16, 16), (TRGB{255, 255, 255}));
    }
}

// How fast the list appears is measured in bench/bench_file_list.cpp.
TEST_F(FileSystem, FiveThousandPicturesAreAllListedInNameOrder) {
    QStringList names;
    for (int i = 0; i < 5000; ++i) {
        // Mixed case and numbers of different length, to test the order.
        QString name = QString("%1pic%2.%3")
                           .arg(i % 3 == 0   ? "A"
                                : i % 3 == 1 ? "b"
                                             : "C")
                           .arg(i * 7919 % 10007)
                           .arg(i % 2 ? "jpg" : "BMP");
        names << name;
        QFile f(QDir(samples.path()).filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
    }
    Open();
    ASSERT_EQ(ctl.FileListBox1->count(), 5000);
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    EXPECT_EQ(Listed(*form), names);
    EXPECT_EQ(ctl.FileListBox1->currentRow(), 0);
}

} // namespace
