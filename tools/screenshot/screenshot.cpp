// tessavorin-screenshot OUT.png PICTURE [PLANE [MOVE_X MOVE_Y]]: opens the
// window, chooses PICTURE as the user would, shows plane PLANE in the plane
// view (3, the area map, when not given), optionally moves the mouse over the
// area view to (MOVE_X, MOVE_Y), and saves a picture of the whole window.
// Used by scripts/screenshot for the picture in the README.
#include "main/uMain.h"

#include <QApplication>
#include <QFileInfo>
#include <QListWidget>
#include <QPixmap>

#include <iostream>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: tessavorin-screenshot OUT.png PICTURE [PLANE [MOVE_X MOVE_Y]]\n";
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tessavorin");
    TfrmMain form;
    form.show();
    const QFileInfo picture(QString::fromLocal8Bit(argv[2]));
    // Select the picture in the file list when it is there, as a user would.
    auto* files = form.findChild<QListWidget*>("FileListBox1");
    const auto found = files->findItems(picture.fileName(), Qt::MatchExactly);
    if (!found.isEmpty()) {
        const QSignalBlocker block(files); // the load below is the one
        files->setCurrentItem(found.first());
    }
    if (!form.ChooseFile(QFile::encodeName(picture.absoluteFilePath()).toStdString())) return 1;
    if (argc > 3) {
        auto* planes = form.findChild<QListWidget*>("ListBox1");
        {
            const QSignalBlocker block(planes);
            planes->setCurrentRow(QString(argv[3]).toInt());
        }
        form.Guard([&] { form.ListBox1Click(); });
    }
    if (argc > 5) form.Guard([&] { form.PaintBox2MouseMove(atoi(argv[4]), atoi(argv[5])); });
    QApplication::processEvents();
    if (!form.grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::cerr << "cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
