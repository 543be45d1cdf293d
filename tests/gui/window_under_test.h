// A TfrmMain over a samples folder of the test's own, shown off screen, with
// every modal box recorded instead of shown, and the passes it runs counted.
#pragma once

#include "areas/area_pass.h"
#include "image/plane_store.h"
#include "main/uMain.h"
#include "support/test_pictures.h"

#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

struct TRecordedBox {
    QMessageBox::Icon icon;
    QString caption, text;
};

struct TWindowUnderTest : ::testing::Test {
    QTemporaryDir samples;
    std::vector<TRecordedBox> boxes;
    std::unique_ptr<TfrmMain> form;
    int passes = 0;

    void Open() { Open(samples.path()); }

    void Open(const QString& dir) {
        const auto saved = TfrmMain::InitialMessageBoxHook;
        TfrmMain::InitialMessageBoxHook = [this](QMessageBox::Icon icon, const QString& caption,
                                                 const QString& text,
                                                 QMessageBox::StandardButtons) {
            boxes.push_back({icon, caption, text});
            return QMessageBox::Ok;
        };
        form = std::make_unique<TfrmMain>(dir);
        TfrmMain::InitialMessageBoxHook = saved;
        form->RunAreaPass = [this](int32_t level) {
            ++passes;
            FindAreas(level);
        };
        form->show();
    }

    std::string Path(const char* name) const { return PathIn(samples, name); }

    // Chooses entry `row` of the file list with a mouse click, as a user does.
    void Choose(int row) {
        QListWidget* list = form->FileListBox1;
        list->scrollToItem(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    }

    // Clicks entry `row` of a list.
    void Click(QListWidget* list, int row) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    }

    // Line k of the counter list.
    QString Line(int k) const { return form->ListBox2->item(k)->text(); }

    // Everything a refused picture must leave as it was.
    std::vector<uint8_t> Snapshot() const {
        std::vector<uint8_t> s(&FeaturePlanes[0][0][0][0],
                               &FeaturePlanes[0][0][0][0] + sizeof FeaturePlanes[0]);
        for (const TBitmap* b :
             {&form->Image1Picture, &form->PaintBox1Bitmap, &form->PaintBox2Bitmap})
            s.insert(s.end(), b->Pixels.begin(), b->Pixels.end());
        return s;
    }
};
