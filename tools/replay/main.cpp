// tessavorin-replay SCENARIO_FILE: plays a scenario of user actions on the
// real main window, off screen, and writes state dumps.
//
// Exit status: 0 when every line ran, 1 when an action failed (its message is
// the one the window would show; the replay goes on), 2 for a malformed
// scenario (nothing after the bad line runs).
#include "dump.h"
#include "scenario.h"

#include "main/uMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QScrollBar>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>

namespace {

// A control of the window, by its name in the layout.
template <typename T> T* Control(TfrmMain& form, const char* name) {
    T* control = form.findChild<T*>(name);
    if (!control) throw std::logic_error(std::string("the window has no control ") + name);
    return control;
}

void Play(TfrmMain& form, const TAction& a) {
    switch (a.kind) {
    case TActionKind::Load:
        form.ChooseFile(a.path);
        break;
    case TActionKind::Select: {
        {
            auto* list = Control<QListWidget>(form, "ListBox1");
            const QSignalBlocker block(list);
            list->setCurrentRow(a.a);
        }
        form.Guard([&] { form.ListBox1Click(); });
        break;
    }
    case TActionKind::Counters:
        form.Guard([&] { form.ListBox1Click(); });
        break;
    case TActionKind::Check: {
        const char* name = a.word == "byplane"      ? "cbByPriznak"
                           : a.word == "paintsteps" ? "cbPaintSteps"
                                                    : "cbScan";
        Control<QCheckBox>(form, name)->setChecked(a.on);
        break;
    }
    case TActionKind::ScrollBar1: // the handler runs only on a real change
        Control<QScrollBar>(form, "ScrollBar1")->setValue(a.a);
        break;
    case TActionKind::ScrollBar2:
        Control<QScrollBar>(form, "ScrollBar2")->setValue(a.a);
        break;
    case TActionKind::Scan:
        form.Guard([&] { form.ScanClick(); });
        break;
    case TActionKind::Move:
        form.Guard([&] { form.PaintBox2MouseMove(a.a, a.b); });
        break;
    case TActionKind::Press: {
        const Qt::MouseButton button = a.word == "left"     ? Qt::LeftButton
                                       : a.word == "middle" ? Qt::MiddleButton
                                                            : Qt::RightButton;
        form.Guard([&] { form.Image1MouseDown(button, a.a, a.b); });
        break;
    }
    case TActionKind::Place: // as OK in the dialog sets it, without loading
        form.SetPlacement(a.word == "part"  ? TPlacement{TPlacement::Part, a.a, a.b}
                          : a.word == "fit" ? TPlacement{TPlacement::Fit}
                                            : TPlacement{});
        break;
    case TActionKind::Dump:
        form.Guard([&] { WriteDump(form, a.path); });
        break;
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: tessavorin-replay SCENARIO_FILE\n";
        return 2;
    }
    const std::string file = argv[1];
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::cerr << file << ": cannot read the scenario file\n";
        return 2;
    }
    std::stringstream text;
    text << in.rdbuf();
    const std::string baseDir = std::filesystem::absolute(file).parent_path().string();
    const TScenario scenario = ParseScenario(text.str(), file, baseDir);

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QApplication::setApplicationName("Tessavorin");
    int failures = 0;
    // Modal boxes are answered OK at once; an error box means the action failed.
    TfrmMain::TOptions options;
    options.MessageBox = [&](QMessageBox::Icon icon, const QString&, const QString& text,
                             QMessageBox::StandardButtons) {
        if (icon == QMessageBox::Critical) {
            ++failures;
            std::cerr << text.toStdString() << '\n';
        }
        return QMessageBox::Ok;
    };
    TfrmMain form(std::move(options));
    form.show();

    for (const TAction& a : scenario.actions) Play(form, a);
    if (!scenario.error.empty()) {
        std::cerr << scenario.error << '\n';
        return 2;
    }
    return failures > 0 ? 1 : 0;
}
