// "Place on grid" (Ctrl+R) driven as a user drives it: the frame dragged
// and moved with the keys, the choices, OK loading the picture under the
// placement chosen and Cancel changing nothing; the title; the placement
// staying for the next pictures.
#include "dialog_answers.h"
#include "image/decoders.h"
#include "image/picture_error.h"
#include "main/place_dialog.h"
#include "main/place_frame.h"
#include "window_under_test.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QLabel>
#include <QRadioButton>
#include <QTimer>

#include <cmath>
#include <filesystem>

inline void PrintTo(const TPlacement& p, std::ostream* out) {
    *out << DescribePlacement(p) << " (asked " << int(p.Kind) << " " << p.X << "," << p.Y << " k "
         << p.K << ")";
}

namespace {

// A colour that tells where in the picture a pixel came from.
TRGB Coded(int x, int y) {
    return {uint8_t(x), uint8_t(y), uint8_t((x >> 8) * 16 + (y >> 8))};
}

struct PlaceOnGrid : TWindowUnderTest {
    // Presses Ctrl+R on the window and runs `act` on the dialog it opens;
    // `act` ends with OK or Cancel (the dialog is cancelled when it does
    // not). False when no dialog opened.
    bool WithDialog(const std::function<void(TPlaceDialog&)>& act) {
        ActivateWindow(*form);
        bool shown = false;
        QTimer::singleShot(0, form.get(), [&] {
            auto* dialog = dynamic_cast<TPlaceDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            shown = true;
            act(*dialog);
            if (dialog->isVisible()) dialog->reject();
        });
        QTest::keyClick(form.get(), Qt::Key_R, Qt::ControlModifier);
        QTest::qWait(1); // the timer runs also when nothing opened
        return shown;
    }

    static TPlaceFrame& Frame(TPlaceDialog& d) {
        return *FindControl<TPlaceFrame>(d, "PlaceFrame");
    }
    static QRadioButton& Radio(TPlaceDialog& d, const char* name) {
        return *FindControl<QRadioButton>(d, name);
    }
    // Clicks a radio button on its circle: a button in the layout is wider
    // than the part that takes clicks.
    static void Click(QRadioButton& radio) {
        QTest::mouseClick(&radio, Qt::LeftButton, {}, QPoint(6, radio.height() / 2));
    }
    static void Press(TPlaceDialog& d, QDialogButtonBox::StandardButton button) {
        QTest::mouseClick(d.findChild<QDialogButtonBox*>()->button(button), Qt::LeftButton);
    }
    // Drags the frame from its centre by (dx, dy) pixels of the screen.
    static void Drag(TPlaceFrame& frame, int dx, int dy) {
        const QPoint from = frame.FrameRect().center().toPoint();
        QTest::mousePress(&frame, Qt::LeftButton, {}, from);
        QTest::mouseMove(&frame, from + QPoint(dx / 2, dy / 2));
        QTest::mouseMove(&frame, from + QPoint(dx, dy));
        QTest::mouseRelease(&frame, Qt::LeftButton, {}, from + QPoint(dx, dy));
    }
    static int Pixels(const TPlaceFrame& frame, int screenPixels) {
        return int(std::lround(screenPixels / frame.Scale()));
    }

    // The grid holds the picture's pixels from (x0, y0) on, `w` x `h` of them.
    void ExpectGridFrom(int x0, int y0, int w, int h) {
        for (int y = 0; y < h; y += 7)
            for (int x = 0; x < w; x += 5)
                ASSERT_EQ(GetPixel(Image1Picture, x, y), Coded(x0 + x, y0 + y)) << x << "," << y;
    }
};

TEST_F(PlaceOnGrid, DraggingAndKeysMoveTheFrameInPicturePixelsAndOkLoadsThatPart) {
    WriteBmp24(Path("big.bmp"), 1000, 700, Coded);
    Open();
    ASSERT_TRUE(form->ChooseFile(Path("big.bmp")));
    const int passesBefore = passes;
    QPoint corner;
    ASSERT_TRUE(WithDialog([&](TPlaceDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Place on grid");
        TPlaceFrame& frame = Frame(d);
        EXPECT_TRUE(Radio(d, "TopLeft").isChecked());
        EXPECT_EQ(Radio(d, "Fit").text(), "shrink to fit (1/4)");
        EXPECT_LT(frame.Scale(), 1.0) << "the whole picture is shown smaller";
        EXPECT_EQ(frame.FrameRect().width(), 256 * frame.Scale());

        Drag(frame, 40, 25);
        EXPECT_TRUE(Radio(d, "Part").isChecked()) << "moving the frame chooses the part";
        EXPECT_EQ(frame.Corner(), QPoint(Pixels(frame, 40), Pixels(frame, 25)));
        Drag(frame, 5000, 5000);
        EXPECT_EQ(frame.Corner(), QPoint(1000 - 256, 700 - 256)) << "clamped at the far edges";
        Drag(frame, -5000, 3);
        EXPECT_EQ(frame.Corner(), QPoint(0, 700 - 256));

        // One step is one pixel of the screen, Shift ten of them.
        const int step = std::max(1, Pixels(frame, 1));
        QTest::keyClick(&frame, Qt::Key_Left);
        EXPECT_EQ(frame.Corner(), QPoint(0, 444)) << "clamped at the left edge";
        QTest::keyClick(&frame, Qt::Key_Right);
        QTest::keyClick(&frame, Qt::Key_Up, Qt::ShiftModifier);
        EXPECT_EQ(frame.Corner(), QPoint(step, 444 - 10 * step));
        QTest::keyClick(&frame, Qt::Key_Down);
        corner = frame.Corner();
        EXPECT_EQ(corner, QPoint(step, 444 - 9 * step));
        EXPECT_EQ(FindControl<QLabel>(d, "Lands")->text(),
                  QString("The grid gets the 256 x 256 pixels from column %1, row %2.")
                      .arg(corner.x())
                      .arg(corner.y()));
        Press(d, QDialogButtonBox::Ok);
    }));
    EXPECT_TRUE(boxes.empty());
    const TPlacement part{TPlacement::Part, corner.x(), corner.y()};
    EXPECT_EQ(S.Placement, part);
    EXPECT_EQ(S.Picture.Placement, part);
    ExpectGridFrom(corner.x(), corner.y(), 256, 256);
    TPlacement asked = part;
    const TBitmap decoded = DecodeBmp(Path("big.bmp"), nullptr, &asked);
    EXPECT_EQ(std::vector<uint8_t>(decoded.Pixels.begin(), decoded.Pixels.end()),
              std::vector<uint8_t>(S.Grid.Pixels.begin(), S.Grid.Pixels.end()));
    EXPECT_EQ(passes, passesBefore + 1) << "the picture was analysed again";
    EXPECT_EQ(form->windowTitle(), QString("big.bmp (1000 x 700), part at %1,%2 - Tessavorin")
                                       .arg(corner.x())
                                       .arg(corner.y()));

    // The dialog opens on the part shown; Cancel then changes nothing.
    const std::vector<uint8_t> before = Snapshot();
    ASSERT_TRUE(WithDialog([&](TPlaceDialog& d) {
        EXPECT_TRUE(Radio(d, "Part").isChecked());
        EXPECT_EQ(Frame(d).Corner(), corner);
        Drag(Frame(d), 30, 30);
        Click(Radio(d, "Fit"));
        EXPECT_TRUE(Radio(d, "Fit").isChecked());
        Press(d, QDialogButtonBox::Cancel);
    }));
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(S.Placement, part);
    EXPECT_EQ(passes, passesBefore + 1);
    EXPECT_TRUE(form->windowTitle().contains(", part at "));
}

TEST_F(PlaceOnGrid, ShrinkToFitStaysForTheNextPicturesUntilChanged) {
    WriteBmp24(Path("a.bmp"), 1000, 700, Coded);
    WriteBmp24(Path("b.bmp"), 600, 300, Coded);
    WriteBmp24(Path("c.bmp"), 200, 100, Coded);
    Open();
    ASSERT_TRUE(form->ChooseFile(Path("a.bmp")));
    ASSERT_TRUE(WithDialog([&](TPlaceDialog& d) {
        Click(Radio(d, "Fit"));
        EXPECT_EQ(d.Chosen(), TPlacement{TPlacement::Fit});
        EXPECT_GT(Frame(d).FrameRect().width(), 3 * 256 * Frame(d).Scale())
            << "the frame shows the whole picture";
        Press(d, QDialogButtonBox::Ok);
    }));
    EXPECT_EQ(form->windowTitle(), "a.bmp (1000 x 700), shrunk 1/4 - Tessavorin");
    // Each grid pixel is the rounded mean of a 4 x 4 block.
    int sum = 0;
    for (int y = 4; y < 8; ++y)
        for (int x = 8; x < 12; ++x) sum += Coded(x, y).r;
    EXPECT_EQ(GetPixel(Image1Picture, 2, 1).r, (sum + 8) / 16);
    EXPECT_EQ(GetPixel(Image1Picture, 250, 0), Coded(250, 0))
        << "the shrunk picture is 250 wide; beside it the grid keeps what it held";

    Choose(1); // b.bmp: 600 / 3 = 200 fits
    EXPECT_EQ(form->windowTitle(), "b.bmp (600 x 300), shrunk 1/3 - Tessavorin");
    EXPECT_EQ(S.Picture.Placement, (TPlacement{TPlacement::Fit, 0, 0, 3}));
    Choose(2); // c.bmp fits the grid whole: nothing to say
    EXPECT_EQ(form->windowTitle(), "c.bmp (200 x 100) - Tessavorin");
    ExpectGridFrom(0, 0, 200, 100);
    EXPECT_EQ(S.Placement.Kind, TPlacement::Fit) << "still asked for the next picture";
}

TEST_F(PlaceOnGrid, APictureThatFitsTheGridWholeOffersOnlyTheDefault) {
    WriteBmp24(Path("small.bmp"), 200, 100, Coded);
    Open();
    ASSERT_TRUE(form->ChooseFile(Path("small.bmp")));
    ASSERT_TRUE(WithDialog([&](TPlaceDialog& d) {
        EXPECT_TRUE(Radio(d, "TopLeft").isChecked());
        EXPECT_FALSE(Radio(d, "Part").isEnabled());
        EXPECT_FALSE(Radio(d, "Fit").isEnabled());
        TPlaceFrame& frame = Frame(d);
        EXPECT_FALSE(frame.Movable());
        Drag(frame, 40, 40);
        QTest::keyClick(&frame, Qt::Key_Right);
        EXPECT_EQ(frame.Corner(), QPoint(0, 0));
        EXPECT_EQ(d.Chosen(), TPlacement{});
        Press(d, QDialogButtonBox::Ok);
    }));
    EXPECT_EQ(S.Placement, TPlacement{});
    EXPECT_EQ(form->windowTitle(), "small.bmp (200 x 100) - Tessavorin");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(PlaceOnGrid, NothingOpensWithoutAPictureAndAFileGoneSinceShowsTheUsualError) {
    WriteBmp24(Path("big.bmp"), 600, 400, Coded);
    Open();
    EXPECT_FALSE(form->findChild<QAction*>("PlaceAction")->isEnabled());
    EXPECT_FALSE(WithDialog([](TPlaceDialog&) {}));
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(S.Placement, TPlacement{});

    ASSERT_TRUE(form->ChooseFile(Path("big.bmp")));
    EXPECT_TRUE(form->findChild<QAction*>("PlaceAction")->isEnabled());
    // The file goes while the dialog is open: OK cannot load it, and the
    // placement asked stays as it was.
    const std::vector<uint8_t> before = Snapshot();
    ASSERT_TRUE(WithDialog([&](TPlaceDialog& d) {
        Drag(Frame(d), 20, 20);
        std::filesystem::remove(Path("big.bmp"));
        Press(d, QDialogButtonBox::Ok);
    }));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].icon, QMessageBox::Critical);
    EXPECT_TRUE(boxes[0].text.contains("the file does not exist")) << boxes[0].text.toStdString();
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(S.Placement, TPlacement{});
    EXPECT_EQ(form->windowTitle(), "big.bmp (600 x 400), only the top-left 256 x 256 was "
                                   "analysed: Place on grid (Ctrl+R) - Tessavorin");
    // Now the preview cannot be read: the error, and no dialog.
    EXPECT_FALSE(WithDialog([](TPlaceDialog&) {}));
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, boxes[0].text);
}

TEST(PlacePreview, ShowsTheWholePictureScaledToTheBound) {
    QTemporaryDir dir;
    const std::string path = PathIn(dir, "p.bmp");
    WriteBmp24(path, 1000, 500, Coded);
    const TPlacePreview p = ReadPlacePreview(path, {1000, 500}, QSize(400, 400));
    EXPECT_EQ(p.Scale, 0.4);
    EXPECT_EQ(p.Image.size(), QSize(400, 200));
    // A picture smaller than the grid is scaled as the grid would be.
    const TPlacePreview small = ReadPlacePreview(path, {100, 50}, QSize(128, 400));
    EXPECT_EQ(small.Scale, 0.5);
    WriteTextFile(PathIn(dir, "bad.bmp"), "BM not really");
    EXPECT_THROW(ReadPlacePreview(PathIn(dir, "bad.bmp"), {1000, 500}, QSize(400, 400)),
                 TPictureError);
}

} // namespace
