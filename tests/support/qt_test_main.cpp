// Test main for the tests that need a QApplication (run off screen).
#include "main/startup.h"
#include "main/uMain.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tessavorin");
    StartUpSystem();
    // No test may stop at a real modal box: boxes are answered OK.
    TfrmMain::InitialMessageBoxHook = [](QMessageBox::Icon, const QString&, const QString&,
                                         QMessageBox::StandardButtons) { return QMessageBox::Ok; };
    return RUN_ALL_TESTS();
}
