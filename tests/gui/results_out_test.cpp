// What the user sees, taken away: each view saved (Ctrl+S under the pointer,
// or the context menu) and copied (Ctrl+C) at exactly its pixels under a
// name that says what it is, a save that fails, and the export of the
// analysis (Ctrl+E) holding the session's own records.
#include "dialog_answers.h"
#include "support/json.h"
#include "window_under_test.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QCursor>
#include <QImage>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

::testing::AssertionResult SamePixels(const QImage& image, const TBitmap& b) {
    if (image.size() != QSize(256, 256))
        return ::testing::AssertionFailure() << "size " << image.width() << " x " << image.height();
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const uint8_t* p = rgb.constScanLine(y) + 3 * x;
            if (TRGB{p[0], p[1], p[2]} != GetPixel(b, x, y))
                return ::testing::AssertionFailure() << "pixel " << x << ", " << y;
        }
    return ::testing::AssertionSuccess();
}

std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct ResultsOut : TWindowUnderTest {
    TDialogAnswers answers;
    QTemporaryDir out;

    void LoadCoffee() {
        fs::copy_file(std::string(TESSA_SOURCE_DIR) + "/samples/coffee.jpg", Path("coffee.jpg"));
        Open();
        Choose(0);
        ASSERT_TRUE(boxes.empty());
    }
    // The pointer moves onto `view` (over the area view that runs the probe).
    void PointAt(QWidget* view) {
        QCursor::setPos(view->mapToGlobal(QPoint(30, 40)));
        QCoreApplication::processEvents();
    }
    void Keys(QKeyCombination keys, QWidget* focus = nullptr) {
        ActivateWindow(*form);
        QTest::keyClick(focus ? focus : form.get(), keys.key(), keys.keyboardModifiers());
    }
    QString Out(const char* name) const { return out.filePath(name); }
    QImage Clipboard() const { return QGuiApplication::clipboard()->image(); }
    void RightClick(QWidget* view) {
        QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(20, 20),
                               view->mapToGlobal(QPoint(20, 20)));
        QApplication::sendEvent(view, &menu);
    }
};

TEST_F(ResultsOut, CtrlSSavesTheViewUnderThePointerAtItsPixelsUnderASayingName) {
    LoadCoffee();
    Click(ctl.ListBox1, 12);
    // The pointer over the area view runs the area probe: it shows the
    // likeness colouring then.
    const QString likeness = QString("coffee-likeness-t%1.png").arg(ctl.ScrollBar2->value());
    const struct {
        QWidget* view;
        const char* file;
        QString name;
        const TBitmap& shows;
    } cases[] = {
        {ctl.Image1, "a.png", "coffee-picture.png", Image1Picture},
        // The bar's brightness offset of 100 shifts the plane's tones: the
        // view is the display, not the stored values.
        {ctl.PaintBox1, "b.png", "coffee-plane12-aV-display.png", PaintBox1Bitmap()},
        {ctl.PaintBox2, "c.png", likeness, PaintBox2Bitmap()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        answers.Paths = {Out(c.file)};
        PointAt(c.view);
        const std::vector<uint8_t> before = Snapshot();
        Keys(Qt::CTRL | Qt::Key_S);
        ASSERT_FALSE(answers.Dialogs.empty());
        EXPECT_EQ(answers.Dialogs.back().Selected, c.name);
        EXPECT_EQ(answers.Dialogs.back().Accept, QFileDialog::AcceptSave);
        EXPECT_TRUE(SamePixels(QImage(Out(c.file), "png"), c.shows));
        EXPECT_EQ(Snapshot(), before) << "saving changes nothing";
    }
    // With no offset the view shows the values as stored, and says nothing more.
    ctl.ScrollBar1->setValue(0);
    answers.Paths = {Out("d.png")};
    PointAt(ctl.PaintBox1);
    Keys(Qt::CTRL | Qt::Key_S);
    EXPECT_EQ(answers.Dialogs.back().Selected, "coffee-plane12-aV.png");
    EXPECT_EQ(answers.Dialogs[0].Folder, samples.path()) << "the listed folder, writable here";
    EXPECT_EQ(answers.Dialogs[1].Folder, out.path()) << "where the last save went";
    EXPECT_TRUE(boxes.empty());

    // Away from the views the keys take the last view clicked, and before
    // any click the area view.
    QCursor::setPos(ctl.Scan->mapToGlobal(QPoint(5, 5)));
    answers.Paths = {Out("f.png")};
    Keys(Qt::CTRL | Qt::Key_S);
    EXPECT_EQ(answers.Dialogs.back().Selected, likeness);
    QTest::mouseClick(ctl.PaintBox1, Qt::LeftButton, {}, QPoint(3, 3));
    QCursor::setPos(ctl.Scan->mapToGlobal(QPoint(5, 5)));
    answers.Paths = {Out("e.png")};
    Keys(Qt::CTRL | Qt::Key_S);
    EXPECT_EQ(answers.Dialogs.back().Selected, "coffee-plane12-aV.png");
    EXPECT_TRUE(SamePixels(QImage(Out("e.png"), "png"), PaintBox1Bitmap()));
    Keys(Qt::CTRL | Qt::Key_C);
    EXPECT_TRUE(SamePixels(Clipboard(), PaintBox1Bitmap()));
}

TEST_F(ResultsOut, CtrlCCopiesTheViewUnderThePointer) {
    LoadCoffee();
    Click(ctl.ListBox1, 19);
    for (const auto& [view, shows] :
         {std::pair<QWidget*, const TBitmap*>{ctl.Image1, &Image1Picture},
          {ctl.PaintBox1, &PaintBox1Bitmap()},
          {ctl.PaintBox2, &PaintBox2Bitmap()}}) {
        SCOPED_TRACE(view->objectName().toStdString());
        QGuiApplication::clipboard()->clear();
        PointAt(view);
        // With the focus in a list, which copies its own text on Ctrl+C.
        Keys(Qt::CTRL | Qt::Key_C, ctl.FileListBox1);
        EXPECT_TRUE(SamePixels(Clipboard(), *shows));
    }
}

TEST_F(ResultsOut, TheViewMenusSaveAndCopyAndThePictureKeepsItsRightButton) {
    LoadCoffee();
    // The area view as the pass drew it, before any probe.
    answers.MenuEntries = {"Save the area view as PNG..."};
    answers.Paths = {Out("areas.png")};
    RightClick(ctl.PaintBox2);
    EXPECT_EQ(answers.Dialogs.back().Selected,
              QString("coffee-areas-t%1.png").arg(ctl.ScrollBar2->value()));
    EXPECT_TRUE(SamePixels(QImage(Out("areas.png")), PaintBox2Bitmap()));

    answers.MenuEntries = {"Copy the picture"};
    RightClick(ctl.PaintBox2);
    ASSERT_EQ(answers.Menus.size(), 2u);
    EXPECT_EQ(answers.Menus[1],
              QStringList({"Save the area view as PNG...", "Copy the area view",
                           "Save the picture as PNG...", "Copy the picture",
                           "Export the analysis...", "Magnifier", "Table of areas"}));
    EXPECT_TRUE(SamePixels(Clipboard(), Image1Picture));

    answers.MenuEntries = {"Save the plane view as PNG..."};
    answers.Paths = {Out("plane.png")};
    RightClick(ctl.PaintBox1);
    ASSERT_EQ(answers.Menus.size(), 3u);
    EXPECT_EQ(answers.Menus[2],
              QStringList({"Save the plane view as PNG...", "Copy the plane view",
                           "Export the analysis...", "Magnifier", "Table of areas"}));
    EXPECT_EQ(answers.Dialogs.back().Selected, "coffee-plane3-aArH.png");
    EXPECT_TRUE(SamePixels(QImage(Out("plane.png")), PaintBox1Bitmap()));

    RightClick(ctl.Image1);
    EXPECT_EQ(answers.Menus.size(), 3u) << "no menu on the picture";
}

TEST_F(ResultsOut, ASaveThatFailsSaysSoAndChangesNothing) {
    LoadCoffee();
    PointAt(ctl.PaintBox1);
    const std::vector<uint8_t> before = Snapshot();
    const QString path = "/sys/view.png"; // a folder where no file can be made
    answers.Paths = {path};
    Keys(Qt::CTRL | Qt::Key_S);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].icon, QMessageBox::Critical);
    EXPECT_TRUE(boxes[0].text.startsWith("Cannot write \"" + path + "\": "))
        << boxes[0].text.toStdString();
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(ResultsOut, TheExportHoldsOneRowPerKeptAreaWithTheSessionsValues) {
    WriteUniformBmp(Path("a-first.bmp"), 8, 8, {1, 2, 3});
    Open();
    Keys(Qt::CTRL | Qt::Key_E); // nothing analysed yet: said, no dialog
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "There is no analysis to export yet: choose a picture first.");
    EXPECT_TRUE(answers.Dialogs.empty());
    boxes.clear();
    form.reset();
    fs::remove(Path("a-first.bmp"));
    LoadCoffee();

    answers.Paths = {out.path()};
    Keys(Qt::CTRL | Qt::Key_E);
    ASSERT_EQ(answers.Dialogs.size(), 1u);
    EXPECT_EQ(answers.Dialogs[0].Mode, QFileDialog::Directory);
    EXPECT_EQ(answers.Dialogs[0].Folder, QDir::homePath()) << "not the pictures' folder";
    ASSERT_TRUE(boxes.empty()) << boxes[0].text.toStdString();
    const fs::path dir = out.path().toStdString() + "/coffee.jpg-analysis";

    std::vector<const TArea*> kept;
    for (int i = 0; i <= AreaCount; ++i)
        if (Areas[i]) kept.push_back(Areas[i].get());
    std::sort(kept.begin(), kept.end(),
              [](const TArea* a, const TArea* b) { return a->label < b->label; });
    ASSERT_GT(kept.size(), 10u);
    std::istringstream csv(Read(dir / "areas.csv"));
    std::string line;
    std::getline(csv, line);
    EXPECT_EQ(line, "label,pixels,centre_x,centre_y,left,top,right,bottom,outline_points,"
                    "radius_sum,profile_0,profile_1,profile_2,profile_3,profile_4,profile_5,"
                    "profile_6,profile_7,inside,picture_centre_x,picture_centre_y,picture_left,"
                    "picture_top,picture_right,picture_bottom,picture_pixels\r");
    size_t rows = 0;
    for (; std::getline(csv, line) && rows < kept.size(); ++rows) {
        const TArea& a = *kept[rows];
        int pixels = 0, left = 255, top = 255, right = 0, bottom = 0;
        for (const TLineSeg& r : a.runs)
            if (r.len > 0) {
                pixels += r.len;
                left = std::min<int>(left, r.x);
                right = std::max<int>(right, r.x + r.len - 1);
                top = std::min<int>(top, r.y);
                bottom = std::max<int>(bottom, r.y);
            }
        std::ostringstream want;
        want << a.label << ',' << pixels << ',' << a.meanX << ',' << a.meanY << ',' << left << ','
             << top << ',' << right << ',' << bottom << ',' << a.contour.size() << ',';
        std::istringstream fields(line.substr(want.str().size()));
        std::string radius;
        std::getline(fields, radius, ',');
        EXPECT_EQ(line.substr(0, want.str().size()), want.str()) << "row " << rows;
        EXPECT_EQ(std::stof(radius), a.radiusSum) << "row " << rows;
        for (int k = 0; k < 8; ++k) {
            std::string v;
            std::getline(fields, v, ',');
            EXPECT_EQ(std::stoi(v), a.shape[k]) << "row " << rows << " profile " << k;
        }
    }
    EXPECT_EQ(rows, kept.size());
    EXPECT_FALSE(std::getline(csv, line)) << "one row per kept area";

    const TJson json = TJsonReader::Parse(Read(dir / "analysis.json"));
    EXPECT_EQ(json["picture"].s, Path("coffee.jpg"));
    EXPECT_EQ(json["width"].n, 384);
    EXPECT_EQ(json["height"].n, 256);
    EXPECT_EQ(json["threshold"].n, ctl.ScrollBar2->value());
    EXPECT_EQ(json["raised_level"].n, S.LastPass->RaisedLevel);
    EXPECT_EQ(json["rejected_last"].n, RejectedLast);
    EXPECT_EQ(json["areas"].n, double(kept.size()));
    EXPECT_EQ(json["area_records"].n, AreaCount + 1);
    EXPECT_EQ(json["scan_best_score"].kind, TJson::Null) << "no scan chose it";
    const QImage areaView(QString::fromStdString((dir / "area-view.png").string()));
    EXPECT_TRUE(SamePixels(areaView, PaintBox2Bitmap())) << "as the pass drew it";
    EXPECT_TRUE(fs::exists(dir / "planes" / "12-aV.png"));

    // The pointer over the area view colours it; the export keeps the outlines.
    PointAt(ctl.PaintBox2);
    ASSERT_FALSE(SamePixels(areaView, PaintBox2Bitmap()));
    answers.Paths = {out.path()};
    Keys(Qt::CTRL | Qt::Key_E); // the question is answered OK: replaced
    EXPECT_EQ(answers.Dialogs.back().Folder, out.path()) << "where the last export went";
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].icon, QMessageBox::Question);
    EXPECT_EQ(QImage(QString::fromStdString((dir / "area-view.png").string())), areaView);
    boxes.clear();

    // After a scan the export says the best score it found; a later pass of
    // the user's own clears it.
    QTest::mouseClick(ctl.Scan, Qt::LeftButton);
    const QTemporaryDir scanned;
    answers.Paths = {scanned.path()};
    Keys(Qt::CTRL | Qt::Key_E);
    const TJson afterScan = TJsonReader::Parse(
        Read(scanned.filePath("coffee.jpg-analysis/analysis.json").toStdString()));
    EXPECT_EQ(afterScan["scan_best_score"].n, LevelScores[ctl.ScrollBar2->value()]);
    EXPECT_GT(afterScan["scan_best_score"].n, 0);
    ctl.ScrollBar2->setValue(ctl.ScrollBar2->value() + 1);
    answers.Paths = {scanned.path()};
    Keys(Qt::CTRL | Qt::Key_E);
    EXPECT_EQ(
        TJsonReader::Parse(Read(
            scanned.filePath("coffee.jpg-analysis/analysis.json").toStdString()))["scan_best_score"]
            .kind,
        TJson::Null);
    ASSERT_EQ(boxes.size(), 1u) << "asked before replacing";
    EXPECT_EQ(boxes[0].icon, QMessageBox::Question);
}

} // namespace
