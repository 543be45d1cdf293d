// The controls of a window, found by their names in the layout, as a test or
// a tool reaches them to press, click and read them like a user.
#pragma once

#include "main/uMain.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>

#include <stdexcept>
#include <string>

struct TControls {
    QWidget* Image1 = nullptr;
    QWidget* PaintBox1 = nullptr;
    QWidget* PaintBox2 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* iRainbow = nullptr;
    QListWidget* FileListBox1 = nullptr;
    QListWidget* ListBox1 = nullptr;
    QListWidget* ListBox2 = nullptr;
    QScrollBar* ScrollBar1 = nullptr;
    QScrollBar* ScrollBar2 = nullptr;
    QPushButton* Scan = nullptr;
    QCheckBox* cbByPriznak = nullptr;
    QCheckBox* cbPaintSteps = nullptr;
    QCheckBox* cbScan = nullptr;
};

template <typename T> T* FindControl(const QWidget& form, const char* name) {
    T* w = form.findChild<T*>(name);
    if (!w) throw std::logic_error(std::string("no control named ") + name);
    return w;
}

inline TControls Controls(const TfrmMain& f) {
    TControls c;
    c.Image1 = FindControl<QWidget>(f, "Image1");
    c.PaintBox1 = FindControl<QWidget>(f, "PaintBox1");
    c.PaintBox2 = FindControl<QWidget>(f, "PaintBox2");
    c.Label1 = FindControl<QLabel>(f, "Label1");
    c.iRainbow = FindControl<QLabel>(f, "iRainbow");
    c.FileListBox1 = FindControl<QListWidget>(f, "FileListBox1");
    c.ListBox1 = FindControl<QListWidget>(f, "ListBox1");
    c.ListBox2 = FindControl<QListWidget>(f, "ListBox2");
    c.ScrollBar1 = FindControl<QScrollBar>(f, "ScrollBar1");
    c.ScrollBar2 = FindControl<QScrollBar>(f, "ScrollBar2");
    c.Scan = FindControl<QPushButton>(f, "Scan");
    c.cbByPriznak = FindControl<QCheckBox>(f, "cbByPriznak");
    c.cbPaintSteps = FindControl<QCheckBox>(f, "cbPaintSteps");
    c.cbScan = FindControl<QCheckBox>(f, "cbScan");
    return c;
}

// Options for a window in a test: a samples folder, every box answered OK
// (and passed to `record` when given), and optionally the test's own session.
inline TfrmMain::TOptions TestWindowOptions(
    const QString& samplesDir, TSession* session = nullptr,
    std::function<void(QMessageBox::Icon, const QString&, const QString&)> record = {}) {
    TfrmMain::TOptions o;
    o.SamplesDir = samplesDir;
    o.Session = session;
    o.MessageBox = [record](QMessageBox::Icon icon, const QString& caption, const QString& text,
                            QMessageBox::StandardButtons) {
        if (record) record(icon, caption, text);
        return QMessageBox::Ok;
    };
    return o;
}
