// Windows open wholly inside the screen's free area, and a saved geometry
// that no longer fits a screen is not restored.
#include "main/screen_fit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <gtest/gtest.h>

TEST(ScreenFit, FramesMoveInsideAndShrinkToTheFreeArea) {
    const QRect screen(0, 30, 1600, 970); // a panel takes the top 30 rows
    // Inside already: unchanged.
    EXPECT_EQ(FitInside(QRect(33, 40, 717, 575), screen), QRect(33, 40, 717, 575));
    // Title bar above the top: moved down, size kept.
    EXPECT_EQ(FitInside(QRect(33, 5, 717, 575), screen), QRect(33, 30, 717, 575));
    // Past the right and the bottom: moved back.
    EXPECT_EQ(FitInside(QRect(1500, 900, 400, 300), screen), QRect(1200, 700, 400, 300));
    // Past the left: moved right.
    EXPECT_EQ(FitInside(QRect(-50, 100, 400, 300), screen), QRect(0, 100, 400, 300));
    // Taller than the screen (a scale factor of 2): shrunk to it and placed at its top.
    EXPECT_EQ(FitInside(QRect(10, 5, 1434, 1150), screen), QRect(10, 30, 1434, 970));
    // No screen known: left alone.
    EXPECT_EQ(FitInside(QRect(-5, -5, 10, 10), QRect()), QRect(-5, -5, 10, 10));
}

TEST(ScreenFit, AWindowKeptOrRestoredOffEveryScreenOpensOnOne) {
    const QRect free = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget window;
    window.resize(300, 200);
    window.move(free.right() + 500, free.bottom() + 500);
    window.show();
    KeepOnScreen(window);
    EXPECT_TRUE(free.contains(window.frameGeometry())) << window.frameGeometry().x();

    // A geometry saved on a screen that is gone: opened on this one instead.
    QWidget saved;
    saved.setGeometry(free.right() + 2000, free.top() + 10, 300, 200);
    const QByteArray offScreen = saved.saveGeometry();
    QWidget restored;
    restored.setGeometry(free.left() + 20, free.top() + 20, 300, 200);
    RestoreGeometryOnScreen(restored, offScreen);
    EXPECT_TRUE(free.contains(restored.frameGeometry()));
    // A geometry that fits is restored as saved.
    saved.setGeometry(free.left() + 40, free.top() + 50, 320, 210);
    ASSERT_TRUE(RestoreGeometryOnScreen(restored, saved.saveGeometry()));
    EXPECT_EQ(restored.geometry(), QRect(free.left() + 40, free.top() + 50, 320, 210));
}
