// The main window around the layout: its menus hold every action with its
// standard keys, disabled until it can act; the status line says what
// happened; F1 opens the help; the zoom keys zoom; Escape stops the painting
// of the fill steps without changing what the analysis finds.
#include "main/help_window.h"
#include "main/main_window.h"
#include "main/paint_stop.h"
#include "session/session.h"
#include "support/session_fingerprint.h"
#include "support/test_pictures.h"
#include "support/window_controls.h"

#include <QAction>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

struct MainWindow : ::testing::Test {
    QTemporaryDir samples;
    std::unique_ptr<TMainWindow> window;

    void Open() {
        WriteBmp24(PathIn(samples, "a.bmp"), 256, 256, [](int x, int y) -> TRGB {
            return (x / 16 + y / 16) % 2 ? TRGB{230, 210, 40} : TRGB{20, 30, 120};
        });
        window = std::make_unique<TMainWindow>(TestWindowOptions(samples.path()), nullptr);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    void Key(QKeyCombination keys) {
        QTest::keyClick(window.get(), keys.key(), keys.keyboardModifiers());
    }
    bool Enabled(const char* name) const { return window->Action(name)->isEnabled(); }
    QStringList MenuTitles() const {
        QStringList titles;
        for (QAction* menu : window->menuBar()->actions()) titles << menu->text();
        return titles;
    }
    QAction* InMenu(const QString& menu, const char* name) const {
        for (QAction* m : window->menuBar()->actions())
            if (m->text() == menu)
                for (QAction* a : m->menu()->actions())
                    if (a->objectName() == name) return a;
        return nullptr;
    }
};

TEST_F(MainWindow, MenusHoldEveryActionWithItsStandardKeysDisabledUntilItCanAct) {
    Open();
    EXPECT_EQ(MenuTitles(), QStringList({"&File", "&View", "&Analysis", "&Help"}));
    const struct {
        const char* menu;
        const char* action;
        QKeySequence keys;
    } expected[] = {
        {"&File", "OpenPictureAction", QKeySequence::Open},
        {"&File", "OpenFolderAction", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O)},
        {"&File", "SaveViewAction", QKeySequence::Save},
        {"&File", "CopyViewAction", QKeySequence::Copy},
        {"&File", "ExportAction", QKeySequence(Qt::CTRL | Qt::Key_E)},
        {"&File", "QuitAction", QKeySequence::Quit},
        {"&View", "MagnifierAction", QKeySequence(Qt::CTRL | Qt::Key_M)},
        {"&View", "AreaTableAction", QKeySequence(Qt::CTRL | Qt::Key_T)},
        {"&View", "SweepViewAction", {}},
        {"&View", "ZoomInAction", QKeySequence::ZoomIn},
        {"&View", "ZoomOutAction", QKeySequence::ZoomOut},
        {"&View", "ActualSizeAction", QKeySequence(Qt::CTRL | Qt::Key_0)},
        {"&View", "ShowHelpAction", {}},
        {"&Analysis", "PlaceAction", QKeySequence(Qt::CTRL | Qt::Key_R)},
        {"&Analysis", "ScanAction", {}},
        {"&Analysis", "StopAction", QKeySequence(Qt::Key_Escape)},
        {"&Help", "HelpAction", QKeySequence::HelpContents},
        {"&Help", "ShortcutsAction", {}},
        {"&Help", "AboutAction", {}},
    };
    for (const auto& e : expected) {
        QAction* a = InMenu(e.menu, e.action);
        ASSERT_NE(a, nullptr) << e.action;
        EXPECT_EQ(a->shortcut(), e.keys) << e.action;
        EXPECT_FALSE(a->statusTip().isEmpty()) << e.action;
    }
    // Before the first picture.
    EXPECT_EQ(window->StatusText(),
              "Choose a picture in the list on the left, drop one here, or press Ctrl+O");
    for (const char* name : {"SaveViewAction", "CopyViewAction", "ExportAction", "PlaceAction",
                             "ScanAction", "StopAction", "ZoomOutAction", "ActualSizeAction"})
        EXPECT_FALSE(Enabled(name)) << name;
    for (const char* name : {"OpenPictureAction", "OpenFolderAction", "QuitAction", "ZoomInAction",
                             "HelpAction", "MagnifierAction", "AreaTableAction"})
        EXPECT_TRUE(Enabled(name)) << name;

    ASSERT_TRUE(window->Form().ChooseFile(PathIn(samples, "a.bmp")));
    for (const char* name :
         {"SaveViewAction", "CopyViewAction", "ExportAction", "PlaceAction", "ScanAction"})
        EXPECT_TRUE(Enabled(name)) << name;
    EXPECT_FALSE(Enabled("StopAction")) << "nothing is being painted";
    const TPassResult& pass = *window->Form().Session().LastPass;
    EXPECT_TRUE(window->StatusText().startsWith(
        QString("Threshold %1: %2 areas kept").arg(pass.Threshold).arg(pass.KeptAreas)))
        << window->StatusText().toStdString();
}

TEST_F(MainWindow, KeysAndMenuItemsDoTheSameZoomHelpAndScan) {
    Open();
    ASSERT_TRUE(window->Form().ChooseFile(PathIn(samples, "a.bmp")));
    QWidget* area = window->Form().findChild<QWidget*>("PaintBox2");
    Key(QKeySequence(QKeySequence::ZoomIn)[0]);
    EXPECT_EQ(window->Zoom(), 2);
    EXPECT_EQ(area->width(), 512);
    InMenu("&View", "ZoomInAction")->trigger();
    EXPECT_EQ(window->Zoom(), 3);
    Key(QKeySequence(QKeySequence::ZoomOut)[0]);
    EXPECT_EQ(window->Zoom(), 2);
    Key(Qt::CTRL | Qt::Key_0);
    EXPECT_EQ(window->Zoom(), 1);
    EXPECT_EQ(area->width(), 256);

    Key(Qt::Key_F1);
    ASSERT_NE(window->Help(), nullptr);
    EXPECT_TRUE(window->Help()->isVisible());
    window->Help()->close();
    InMenu("&Help", "HelpAction")->trigger();
    EXPECT_TRUE(window->Help()->isVisible());

    InMenu("&Analysis", "ScanAction")->trigger();
    EXPECT_TRUE(window->StatusText().startsWith("Scan: best score"))
        << window->StatusText().toStdString();
}

TEST_F(MainWindow, EscapeStopsThePaintingAndTheAnalysisFindsTheSameAreas) {
    // The same picture and threshold in a window that does not paint.
    Open();
    const std::string path = PathIn(samples, "a.bmp");
    TMainWindow plain(TestWindowOptions(samples.path()), nullptr);
    ASSERT_TRUE(plain.Form().ChooseFile(path));
    Controls(plain.Form()).ScrollBar2->setValue(120);

    ASSERT_TRUE(window->Form().ChooseFile(path));
    const TControls c = Controls(window->Form());
    c.cbPaintSteps->setChecked(true);
    // Escape pressed while the steps are painted.
    bool sent = false, stopEnabled = false;
    QTimer::singleShot(30, window.get(), [&] {
        sent = true;
        stopEnabled = Enabled("StopAction") && !Enabled("OpenPictureAction");
        QTest::keyClick(window.get(), Qt::Key_Escape);
    });
    c.ScrollBar2->setValue(120);
    EXPECT_TRUE(sent) << "the painting looks at the events waiting";
    EXPECT_TRUE(stopEnabled) << "while painting only Stop can act";
    const auto* stop = dynamic_cast<TPaintStop*>(window->Form().findChild<QObject*>("PaintStop"));
    ASSERT_NE(stop, nullptr);
    EXPECT_TRUE(stop->Stopped());
    EXPECT_FALSE(stop->Running());
    EXPECT_TRUE(window->StatusText().startsWith("Threshold 120:"))
        << window->StatusText().toStdString();
    EXPECT_EQ(Fingerprint(window->Form().Session()), Fingerprint(plain.Form().Session()))
        << "stopping the painting leaves the analysis as it would have been";
    EXPECT_EQ(window->Form().Snapshot().Label1, plain.Form().Snapshot().Label1);
    const TBitmap& painted = *window->Form().Snapshot().PaintBox2;
    EXPECT_EQ(painted.Pixels, plain.Form().Snapshot().PaintBox2->Pixels);
    EXPECT_FALSE(Enabled("StopAction"));
    EXPECT_TRUE(Enabled("OpenPictureAction"));
}

} // namespace
