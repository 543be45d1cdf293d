// The user's own pictures reaching the window: a path given at start (as
// main() passes its argument), the open dialogs, drops of files and folders,
// the list following its folder, the remembered folder, and the title.
#include "dialog_answers.h"
#include "main/command_line.h"
#include "support/picture_writers.h"
#include "support/png_files.h"
#include "window_under_test.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QSettings>
#include <QUrl>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

struct PicturesIn : TWindowUnderTest {
    QTemporaryDir own; // a folder of the user's own, beside the samples
    TDialogAnswers answers;

    std::string Own(const char* name) const { return PathIn(own, name); }

    QStringList Listed() const {
        QStringList names;
        for (int i = 0; i < ctl.FileListBox1->count(); ++i)
            names << ctl.FileListBox1->item(i)->text();
        return names;
    }
    QString Highlighted() const {
        const QListWidgetItem* item = ctl.FileListBox1->currentItem();
        return item ? item->text() : QString();
    }

    // A window that remembers its folder in `settings`.
    void OpenRemembering(QSettings& settings) {
        TfrmMain::TOptions o = TestWindowOptions(
            samples.path(), &S, [this](QMessageBox::Icon icon, const QString& c, const QString& t) {
                boxes.push_back({icon, c, t});
            });
        o.Settings = &settings;
        form = std::make_unique<TfrmMain>(std::move(o));
        form->show();
        ctl = Controls(*form);
    }

    // Drops `paths` on the window as a file manager would, and lets the
    // window open what it took.
    bool Drop(const QStringList& paths) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& p : paths) urls << QUrl::fromLocalFile(p);
        data.setUrls(urls);
        const QPointF at(300, 300);
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(form.get(), &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(form.get(), &drop);
        QCoreApplication::processEvents();
        return drop.isAccepted();
    }

    void Keys(QKeyCombination keys, QWidget* focus = nullptr) {
        ActivateWindow(*form);
        QTest::keyClick(focus ? focus : form.get(), keys.key(), keys.keyboardModifiers());
    }
};

TEST(CommandLine, FirstPathCountsHelpAndUnknownOptions) {
    const auto parse = [](std::vector<const char*> args) {
        args.insert(args.begin(), "tessavorin");
        return ParseCommandLine(int(args.size()), args.data());
    };
    EXPECT_EQ(parse({}).Path, "");
    EXPECT_FALSE(parse({}).Help);
    EXPECT_EQ(parse({"a.jpg", "b.jpg"}).Path, "a.jpg");
    EXPECT_TRUE(parse({"a.jpg", "--help"}).Help);
    EXPECT_TRUE(parse({"-h"}).Help);
    EXPECT_EQ(parse({"-x", "a.jpg"}).Error, "tessavorin: unknown option \"-x\"");
    EXPECT_EQ(parse({"--", "-odd.jpg", "--help"}).Path, "-odd.jpg");
    EXPECT_FALSE(parse({"--", "--help"}).Help);
    EXPECT_EQ(parse({"-"}).Path, "-") << "a lone dash is a name";
    EXPECT_NE(std::string(Usage).find("Usage: tessavorin [PICTURE | FOLDER]"), std::string::npos);
}

TEST_F(PicturesIn, AFolderArgumentListsItAndLoadsNothing) {
    WriteUniformBmp(Path("sample.bmp"), 8, 8, {1, 2, 3});
    WriteUniformBmp(Own("b.bmp"), 8, 8, {4, 5, 6});
    WriteUniformBmp(Own("a.BMP"), 8, 8, {7, 8, 9});
    Open();
    ASSERT_TRUE(form->OpenPath(own.path().toStdString()));
    EXPECT_EQ(form->FileListFolder(), own.path());
    EXPECT_EQ(Listed(), QStringList({"a.BMP", "b.bmp"}));
    EXPECT_EQ(Highlighted(), "a.BMP");
    EXPECT_EQ(GetPixel(Image1Picture, 0, 0), (TRGB{255, 255, 255})) << "nothing loaded";
    EXPECT_EQ(form->windowTitle(), "Tessavorin");
    EXPECT_EQ(passes, 0);
    // Then choosing the highlighted file with Enter loads it, as at start-up.
    ctl.FileListBox1->setFocus();
    QTest::keyClick(ctl.FileListBox1, Qt::Key_Return);
    EXPECT_EQ(GetPixel(Image1Picture, 0, 0), (TRGB{7, 8, 9}));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(PicturesIn, APictureArgumentListsItsFolderSelectsAndLoadsIt) {
    WriteUniformBmp(Path("sample.bmp"), 8, 8, {1, 2, 3});
    WriteUniformBmp(Own("other.bmp"), 8, 8, {4, 5, 6});
    QImage photo(640, 480, QImage::Format_RGB32);
    photo.fill(qRgb(90, 120, 150));
    SaveBytes(Own("my photo.PNG"), png_files::EncodePng(photo));
    Open();
    ASSERT_TRUE(form->OpenPath(Own("my photo.PNG")));
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(Listed(), QStringList({"my photo.PNG", "other.bmp"}));
    EXPECT_EQ(Highlighted(), "my photo.PNG");
    EXPECT_EQ(GetPixel(Image1Picture, 255, 255), (TRGB{90, 120, 150}));
    EXPECT_EQ(passes, 1) << "loaded as a choice in the list: planes and one pass";
    EXPECT_EQ(form->windowTitle(), "my photo.PNG (640 x 480), only the top-left 256 x 256 was "
                                   "analysed: Place on grid (Ctrl+R) - Tessavorin");
    EXPECT_EQ(S.Picture.Path, Own("my photo.PNG"));
    // Choosing it again in the list does nothing: it is the file loaded last.
    Choose(0);
    EXPECT_EQ(passes, 1);
}

TEST_F(PicturesIn, APathThatCannotBeOpenedShowsAnErrorAndChangesNothing) {
    WriteUniformBmp(Path("sample.bmp"), 8, 8, {1, 2, 3});
    WriteTextFile(Own("notes.txt"), "not a picture");
    WriteTextFile(Own("broken.bmp"), "BM but nothing after");
    Open();
    Choose(0);
    const std::vector<uint8_t> before = Snapshot();
    const QString title = form->windowTitle();
    const struct {
        std::string path;
        const char* message;
    } cases[] = {
        {Own("missing.jpg"), "Cannot open \"%1\": there is no file or folder of that name."},
        {"", "Cannot open \"%1\": there is no file or folder of that name."},
        {Own("notes.txt"), "Cannot open \"%1\": it is not a picture file. Tessavorin reads JPEG, "
                           "PNG, BMP and TIFF pictures (.jpg, .jpeg, .jpe, .jfif, .png, .bmp, "
                           ".tif, .tiff)."},
        {Own("broken.bmp"), "Cannot read \"%1\": "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        boxes.clear();
        EXPECT_FALSE(form->OpenPath(c.path));
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].icon, QMessageBox::Critical);
        const QString expected = QString(c.message).arg(QString::fromStdString(c.path));
        EXPECT_TRUE(boxes[0].text.startsWith(expected)) << boxes[0].text.toStdString();
        EXPECT_EQ(form->FileListFolder(), samples.path());
        EXPECT_EQ(Listed(), QStringList({"sample.bmp"}));
        EXPECT_EQ(Highlighted(), "sample.bmp");
        EXPECT_EQ(form->windowTitle(), title);
        EXPECT_EQ(Snapshot(), before);
    }
}

TEST_F(PicturesIn, OpenDialogsStartInTheListedFolderAndTheChoiceIsRemembered) {
    WriteUniformBmp(Path("sample.bmp"), 8, 8, {1, 2, 3});
    WriteUniformBmp(Own("mine.bmp"), 300, 200, {40, 50, 60});
    QTemporaryDir config;
    QSettings settings(config.filePath("t.ini"), QSettings::IniFormat);
    OpenRemembering(settings);

    answers.Paths = {""}; // Ctrl+O, cancelled: nothing changes, nothing remembered
    Keys(Qt::CTRL | Qt::Key_O);
    ASSERT_EQ(answers.Dialogs.size(), 1u);
    EXPECT_EQ(answers.Dialogs[0].Folder, QDir(samples.path()).absolutePath());
    EXPECT_EQ(answers.Dialogs[0].Mode, QFileDialog::ExistingFile);
    EXPECT_EQ(answers.Dialogs[0].Filter,
              "Pictures (*.jpg *.jpeg *.jpe *.jfif *.png *.bmp *.tif *.tiff)");
    EXPECT_EQ(form->FileListFolder(), samples.path());
    EXPECT_FALSE(settings.contains("folder"));

    answers.Paths = {QString::fromStdString(Own("mine.bmp"))};
    Keys(Qt::CTRL | Qt::Key_O);
    ASSERT_EQ(answers.Dialogs.size(), 2u);
    EXPECT_EQ(form->FileListFolder(), own.path());
    EXPECT_EQ(Highlighted(), "mine.bmp");
    EXPECT_EQ(GetPixel(Image1Picture, 0, 0), (TRGB{40, 50, 60}));
    EXPECT_EQ(form->windowTitle(), "mine.bmp (300 x 200), only the top-left 256 x 200 was "
                                   "analysed: Place on grid (Ctrl+R) - Tessavorin");
    EXPECT_EQ(settings.value("folder").toString(), own.path());

    // Ctrl+Shift+O chooses a folder: listed, nothing loaded.
    QTemporaryDir third;
    WriteUniformBmp(PathIn(third, "z.bmp"), 4, 4, {9, 9, 9});
    answers.Paths = {third.path()};
    Keys(Qt::CTRL | Qt::SHIFT | Qt::Key_O);
    ASSERT_EQ(answers.Dialogs.size(), 3u);
    EXPECT_EQ(answers.Dialogs[2].Folder, own.path()) << "starts in the folder listed now";
    EXPECT_EQ(answers.Dialogs[2].Mode, QFileDialog::Directory);
    EXPECT_EQ(Listed(), QStringList({"z.bmp"}));
    EXPECT_EQ(GetPixel(Image1Picture, 0, 0), (TRGB{40, 50, 60}));
    EXPECT_TRUE(boxes.empty());

    // The next start lists the remembered folder; once it is gone, the
    // samples again, without a word.
    OpenRemembering(settings);
    EXPECT_EQ(form->FileListFolder(), third.path());
    EXPECT_EQ(Listed(), QStringList({"z.bmp"}));
    third.remove();
    OpenRemembering(settings);
    EXPECT_EQ(form->FileListFolder(), samples.path());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(PicturesIn, ArgumentsAndDropsAreNotRemembered) {
    WriteUniformBmp(Own("mine.bmp"), 8, 8, {40, 50, 60});
    QTemporaryDir config;
    QSettings settings(config.filePath("t.ini"), QSettings::IniFormat);
    OpenRemembering(settings);
    ASSERT_TRUE(form->OpenPath(own.path().toStdString()));
    ASSERT_TRUE(Drop({QString::fromStdString(Own("mine.bmp"))}));
    EXPECT_FALSE(settings.contains("folder"));
}

TEST_F(PicturesIn, DropsOfFilesAndFoldersDoWhatTheArgumentDoes) {
    WriteUniformBmp(Path("sample.bmp"), 8, 8, {1, 2, 3});
    WriteUniformBmp(Own("dropped.bmp"), 8, 8, {70, 80, 90});
    WriteTextFile(Own("notes.txt"), "text");
    QTemporaryDir folder;
    WriteUniformBmp(PathIn(folder, "f.bmp"), 8, 8, {5, 5, 5});
    Open();

    // A drop that is no picture: the plain error, nothing changed.
    ASSERT_TRUE(Drop({QString::fromStdString(Own("notes.txt"))}));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].text.contains("it is not a picture file")) << boxes[0].text.toStdString();
    EXPECT_EQ(form->FileListFolder(), samples.path());

    // Several files: the first picture counts.
    boxes.clear();
    ASSERT_TRUE(
        Drop({QString::fromStdString(Own("notes.txt")), QString::fromStdString(Own("dropped.bmp")),
              QString::fromStdString(Path("sample.bmp"))}));
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(form->FileListFolder(), own.path());
    EXPECT_EQ(Highlighted(), "dropped.bmp");
    EXPECT_EQ(GetPixel(Image1Picture, 0, 0), (TRGB{70, 80, 90}));

    // A folder: listed, the picture shown stays.
    ASSERT_TRUE(Drop({folder.path()}));
    EXPECT_EQ(form->FileListFolder(), folder.path());
    EXPECT_EQ(Listed(), QStringList({"f.bmp"}));
    EXPECT_EQ(GetPixel(Image1Picture, 0, 0), (TRGB{70, 80, 90}));

    // Something that is not a local file is not taken.
    QMimeData web;
    web.setUrls({QUrl("https://example.org/a.jpg")});
    QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &web, Qt::LeftButton, {});
    QApplication::sendEvent(form.get(), &enter);
    EXPECT_FALSE(enter.isAccepted());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(PicturesIn, TheListFollowsFilesComingAndGoingInItsFolder) {
    WriteUniformBmp(Path("b.bmp"), 8, 8, {10, 20, 30});
    WriteUniformBmp(Path("d.bmp"), 8, 8, {40, 50, 60});
    Open();
    Choose(1); // d.bmp, loaded
    ASSERT_EQ(Highlighted(), "d.bmp");
    const std::vector<uint8_t> loaded = Snapshot();
    const auto listedSoon = [&](const QStringList& names) {
        return QTest::qWaitFor([&] { return Listed() == names; }, 5000);
    };

    WriteUniformBmp(Path("a.bmp"), 8, 8, {1, 1, 1});
    WriteTextFile(Path("notes.txt"), "not listed");
    EXPECT_TRUE(listedSoon({"a.bmp", "b.bmp", "d.bmp"}));
    EXPECT_EQ(Highlighted(), "d.bmp") << "the highlighted file stays";

    fs::rename(Path("b.bmp"), Path("c.png"));
    EXPECT_TRUE(listedSoon({"a.bmp", "c.png", "d.bmp"}));

    fs::remove(Path("d.bmp")); // the loaded picture goes: it stays shown
    EXPECT_TRUE(listedSoon({"a.bmp", "c.png"}));
    EXPECT_EQ(Highlighted(), "");
    EXPECT_EQ(Snapshot(), loaded);
    EXPECT_EQ(passes, 1) << "nothing was loaded or analysed";
    EXPECT_TRUE(boxes.empty());
}

} // namespace
