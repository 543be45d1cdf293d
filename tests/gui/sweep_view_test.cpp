// The sweep view in the window: opened from the scan button's context menu,
// it shows the sweep of the window's present picture, plane and options; a
// click on the plot moves the bar there and runs the pass as moving the bar
// does, a drag moves it on, hovering only shows; it follows passes, plane
// choices and pictures, and the export writes its sweep as sweep.csv.
#include "dialog_answers.h"
#include "window_under_test.h"

#include "main/sweep_view.h"
#include "session/sweep.h"
#include "session/sweep_files.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPushButton>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

struct SweepView : TWindowUnderTest {
    TDialogAnswers answers;
    TSweepPlot* plot = nullptr;

    // A picture chosen, then the view opened from the scan button's menu.
    void OpenOn(const char* sample) {
        fs::copy_file(std::string(TESSA_SOURCE_DIR) + "/samples/" + sample, Path(sample));
        Open();
        Choose(0);
        answers.MenuEntries = {"Threshold sweep"};
        QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(5, 5),
                               ctl.Scan->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(ctl.Scan, &menu);
        QCoreApplication::processEvents();
        plot = form->findChild<TSweepPlot*>("SweepPlot");
        ASSERT_TRUE(plot);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(plot));
    }
    // The sweep the plot shows, as CSV text.
    std::string Shown() const {
        return plot->Shown() ? SweepCsv(*plot->Shown()) : std::string("nothing shown");
    }

    // What a fresh sweep of the window's state gives, as CSV text.
    std::string Fresh() {
        TPassOptions o;
        o.ByPlane = ctl.cbByPriznak->isChecked();
        o.Plane = ctl.ListBox1->currentRow();
        return SweepCsv(SweepThresholds(S, o, ctl.ScrollBar2->value()));
    }
    void Move(int32_t t, Qt::MouseButtons buttons) {
        QMouseEvent move(QEvent::MouseMove, QPointF(plot->ColumnOf(t), plot->height() / 2.0),
                         plot->mapToGlobal(QPointF(plot->ColumnOf(t), plot->height() / 2.0)),
                         Qt::NoButton, buttons, {});
        QApplication::sendEvent(plot, &move);
    }
};

// The view's own sweep, read through the export it writes.
std::string ExportedSweep(SweepView& t, const QString& dir) {
    t.answers.Paths = {dir};
    ActivateWindow(*t.form);
    QTest::keyClick(t.form.get(), Qt::Key_E, Qt::ControlModifier);
    // The export's own folder, named after the picture.
    const std::string picture = fs::path(t.form->Session().Picture.Path).filename().string();
    std::ifstream in(fs::path(dir.toStdString()) / (picture + "-analysis") / "sweep.csv",
                     std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST_F(SweepView, OpensFromTheScanButtonAndShowsThePresentSweep) {
    OpenOn("cell.jpg");
    ASSERT_EQ(answers.Menus.size(), 1u);
    EXPECT_EQ(answers.Menus[0], QStringList{"Threshold sweep"});
    EXPECT_TRUE(form->SweepViewAction()->isChecked());
    EXPECT_TRUE(plot->window()->isVisible());
    EXPECT_EQ(plot->window()->windowTitle(), "Threshold sweep");
    EXPECT_TRUE(Shown() == Fresh());
    EXPECT_EQ(plot->Shown()->Bar, ctl.ScrollBar2->value());
    QTemporaryDir out;
    EXPECT_TRUE(ExportedSweep(*this, out.path()) == Fresh());
    EXPECT_TRUE(boxes.empty());

    plot->window()->close(); // its title bar closes it: the item unticks
    EXPECT_FALSE(form->SweepViewAction()->isChecked());
}

TEST_F(SweepView, AClickMovesTheBarAndRunsThePassADragMovesItOn) {
    OpenOn("cell.jpg");
    const int before = passes;
    const int32_t start = ctl.ScrollBar2->value();
    ASSERT_NE(start, 99);
    QTest::mouseClick(plot, Qt::LeftButton, {}, QPoint(plot->ColumnOf(99), plot->height() / 2));
    EXPECT_EQ(ctl.ScrollBar2->value(), 99);
    EXPECT_EQ(passes, before + 1);
    ASSERT_TRUE(S.LastPass);
    EXPECT_EQ(S.LastPass->Threshold, 99);

    // Hovering shows and runs nothing; dragging with the button held runs
    // the pass at every threshold the pointer reaches.
    Move(140, Qt::NoButton);
    EXPECT_EQ(plot->Hovered(), 140);
    EXPECT_EQ(ctl.ScrollBar2->value(), 99);
    EXPECT_EQ(passes, before + 1);
    Move(120, Qt::LeftButton);
    Move(121, Qt::LeftButton);
    EXPECT_EQ(ctl.ScrollBar2->value(), 121);
    EXPECT_EQ(S.LastPass->Threshold, 121);
    EXPECT_EQ(passes, before + 3);
    EXPECT_EQ(plot->Shown()->Bar, 121);
    EXPECT_TRUE(Shown() == Fresh());
    QTemporaryDir out;
    EXPECT_TRUE(ExportedSweep(*this, out.path()) == Fresh()) << "the view follows the bar";
}

TEST_F(SweepView, FollowsThePlaneChoiceAndThePicture) {
    OpenOn("cell.jpg");
    QTemporaryDir first, second, third;
    const std::string mix = Shown();
    EXPECT_TRUE(ExportedSweep(*this, first.path()) == mix);

    ctl.cbByPriznak->setChecked(true);
    Click(ctl.ListBox1, aV); // by plane, a plane choice runs the pass
    const std::string byV = Shown();
    EXPECT_TRUE(byV == Fresh());
    EXPECT_EQ(plot->Shown()->Plane, aV);
    EXPECT_TRUE(byV != mix);

    // Plane 3, which every pass rewrites: the pass the choice runs reads the
    // labels of the pass by aV and leaves its own, which the view sweeps.
    const auto plane3 = [&] {
        return std::vector<uint8_t>(&S.Planes[aArH][0][0], &S.Planes[aArH][0][0] + 65536);
    };
    const std::vector<uint8_t> byVLabels = plane3();
    Click(ctl.ListBox1, aArH);
    EXPECT_TRUE(plane3() != byVLabels);
    EXPECT_TRUE(plot->Shown()->WorkingPlane == plane3());
    EXPECT_TRUE(Shown() == Fresh());
    QTest::mouseClick(plot, Qt::LeftButton, {}, QPoint(plot->ColumnOf(60), plot->height() / 2));
    EXPECT_EQ(ctl.ScrollBar2->value(), 60);
    EXPECT_TRUE(plot->Shown()->WorkingPlane == plane3());
    EXPECT_TRUE(ExportedSweep(*this, third.path()) == Shown());

    ctl.cbByPriznak->setChecked(false);
    fs::copy_file(std::string(TESSA_SOURCE_DIR) + "/samples/coffee.jpg", Path("coffee.jpg"));
    ASSERT_TRUE(form->ChooseFile(Path("coffee.jpg")));
    const std::string coffee = Shown();
    EXPECT_TRUE(coffee == Fresh());
    EXPECT_TRUE(coffee != mix);
    EXPECT_TRUE(boxes.empty());
}

} // namespace
