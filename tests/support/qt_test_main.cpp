// Test main for the tests that need a QApplication (run off screen). No test
// may stop at a real modal box: a box that a test did not answer through its
// window's hook is answered OK as soon as it shows. What Qt keeps between
// runs (the file dialog's last folders) goes to a folder of this run's own,
// never to the user's settings.
#include <QApplication>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

struct TAnswerBoxes : QObject {
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show)
            if (auto* box = qobject_cast<QMessageBox*>(watched))
                QTimer::singleShot(0, box, [box] { box->done(QMessageBox::Ok); });
        return false;
    }
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tessavorin");
    TAnswerBoxes answer;
    app.installEventFilter(&answer);
    return RUN_ALL_TESTS();
}
