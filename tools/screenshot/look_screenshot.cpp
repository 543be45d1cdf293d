// tessavorin-look-screenshot OUT.png PICTURE PLANE X Y ROW [PX PY]: opens the
// window, chooses PICTURE, shows plane PLANE, moves the pointer over the area
// view to (X, Y), opens the magnifier and the table of areas, selects row ROW
// of the table (which outlines that area and centres the magnifier on it),
// optionally moves the pointer on to (PX, PY) of the plane view, and saves
// one picture of the window with both tool windows beside it. Used by
// scripts/screenshot for the README.
#include "main/uMain.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QTableView>

#include <algorithm>
#include <cstdlib>
#include <iostream>

namespace {

void MovePointer(QWidget* view, int x, int y) {
    const QPointF at(x, y);
    QMouseEvent move(QEvent::MouseMove, at, view->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(view, &move);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 7 && argc != 9) {
        std::cerr << "usage: tessavorin-look-screenshot OUT.png PICTURE PLANE X Y ROW [PX PY]\n";
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tessavorin");
    TfrmMain form;
    form.show();
    const QFileInfo picture(QString::fromLocal8Bit(argv[2]));
    auto* files = form.findChild<QListWidget*>("FileListBox1");
    const auto found = files->findItems(picture.fileName(), Qt::MatchExactly);
    if (!found.isEmpty()) {
        const QSignalBlocker block(files);
        files->setCurrentItem(found.first());
    }
    if (!form.ChooseFile(QFile::encodeName(picture.absoluteFilePath()).toStdString())) return 1;
    auto* planes = form.findChild<QListWidget*>("ListBox1");
    {
        const QSignalBlocker block(planes);
        planes->setCurrentRow(std::atoi(argv[3]));
    }
    form.Guard([&] { form.ListBox1Click(); });
    MovePointer(form.findChild<QWidget*>("PaintBox2"), std::atoi(argv[4]), std::atoi(argv[5]));
    form.findChild<QAction*>("MagnifierAction")->trigger();
    form.findChild<QAction*>("AreaTableAction")->trigger();
    auto* table = form.findChild<QTableView*>("AreaTableView");
    table->selectionModel()->setCurrentIndex(table->model()->index(std::atoi(argv[6]), 0),
                                             QItemSelectionModel::ClearAndSelect |
                                                 QItemSelectionModel::Rows);
    if (argc == 9)
        MovePointer(form.findChild<QWidget*>("PaintBox1"), std::atoi(argv[7]), std::atoi(argv[8]));
    QApplication::processEvents();

    const QPixmap window = form.grab();
    const QPixmap magnifier = form.findChild<QWidget*>("Magnifier")->grab();
    const QPixmap areas = form.findChild<QWidget*>("AreaTable")->grab();
    const int gap = 8;
    QPixmap shot(std::max(window.width() + gap + magnifier.width(), areas.width()),
                 window.height() + gap + areas.height());
    shot.fill(Qt::darkGray);
    QPainter painter(&shot);
    painter.drawPixmap(0, 0, window);
    painter.drawPixmap(window.width() + gap, 0, magnifier);
    painter.drawPixmap(0, window.height() + gap, areas);
    painter.end();
    if (!shot.save(QString::fromLocal8Bit(argv[1]))) {
        std::cerr << "cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
