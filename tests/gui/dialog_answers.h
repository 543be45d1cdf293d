// Answers the window's file dialogs and context menus as a user would, while
// a test drives the window: each QFileDialog shown (Qt's own, not the
// desktop's) is answered with the next path given, or cancelled; each menu
// shown gets a click on the entry named next. What was shown is recorded.
#pragma once

#include <QApplication>
#include <QFileDialog>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <deque>
#include <ostream>
#include <vector>

inline void PrintTo(const QString& s, std::ostream* out) {
    *out << '"' << s.toStdString() << '"';
}

// The off-screen platform leaves no window active once a dialog closes; a
// desktop gives the activation back to the window, as this does.
inline void ActivateWindow(QWidget& window) {
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window)) ADD_FAILURE() << "the window is not active";
}

struct TShownDialog {
    QString Title;
    QString Folder;   // the folder it opened in
    QString Selected; // the name it suggested, "" for none
    QFileDialog::FileMode Mode;
    QFileDialog::AcceptMode Accept;
    QString Filter; // the name filter chosen at first
};

struct TDialogAnswers : QObject {
    std::deque<QString> Paths;       // the next dialog chooses Paths.front(); "" cancels
    std::deque<QString> MenuEntries; // the next menu's entry clicked; "" closes it
    std::vector<TShownDialog> Dialogs;
    std::vector<QStringList> Menus; // the entries of every menu shown

    TDialogAnswers() {
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        qApp->installEventFilter(this);
    }
    ~TDialogAnswers() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show) return false;
        if (auto* dialog = qobject_cast<QFileDialog*>(watched)) {
            const QStringList selected = dialog->selectedFiles();
            Dialogs.push_back({dialog->windowTitle(), dialog->directory().absolutePath(),
                               selected.isEmpty() ? QString() : QFileInfo(selected[0]).fileName(),
                               dialog->fileMode(), dialog->acceptMode(),
                               dialog->selectedNameFilter()});
            const QString path = Next(Paths);
            QTimer::singleShot(0, dialog, [dialog, path] {
                if (path.isEmpty()) return dialog->reject();
                dialog->selectFile(path);
                static_cast<QDialog*>(dialog)->accept(); // QFileDialog checks the choice
            });
        } else if (auto* menu = qobject_cast<QMenu*>(watched)) {
            QStringList entries;
            for (const QAction* a : menu->actions())
                if (!a->isSeparator()) entries << a->text();
            Menus.push_back(entries);
            const QString entry = Next(MenuEntries);
            QTimer::singleShot(0, menu, [menu, entry] {
                for (QAction* a : menu->actions())
                    if (!entry.isEmpty() && a->text() == entry)
                        return QTest::mouseClick(menu, Qt::LeftButton, {},
                                                 menu->actionGeometry(a).center());
                menu->close();
            });
        }
        return false;
    }

  private:
    static QString Next(std::deque<QString>& queue) {
        if (queue.empty()) return {};
        const QString next = queue.front();
        queue.pop_front();
        return next;
    }
};
