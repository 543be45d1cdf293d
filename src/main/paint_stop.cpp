#include "paint_stop.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

TPaintStop::TPaintStop(QObject* parent) : QObject(parent) {}

void TPaintStop::Begin() {
    Running_ = true;
    Stopped_ = false;
    QCoreApplication::instance()->installEventFilter(this);
    if (Told_) Told_(true);
}

void TPaintStop::End() {
    if (!Running_) return;
    QCoreApplication::instance()->removeEventFilter(this);
    Running_ = false;
    if (Told_) Told_(false);
}

bool TPaintStop::Poll() {
    if (Running_ && !Stopped_) QCoreApplication::processEvents(QEventLoop::ExcludeSocketNotifiers);
    return Stopped_;
}

void TPaintStop::Stop() {
    if (Running_) Stopped_ = true;
}

bool TPaintStop::eventFilter(QObject* watched, QEvent* event) {
    // The menus stay usable, for Analysis > Stop.
    if (qobject_cast<QMenu*>(watched) || qobject_cast<QMenuBar*>(watched))
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) Stop();
        return true;
    case QEvent::Shortcut:
        return watched != StopAction_; // only Stop's key works while painting
    case QEvent::ShortcutOverride:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::Drop:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::ContextMenu:
        return true; // no handler starts in the middle of the analysis
    case QEvent::Close:
        Stop();
        event->ignore();
        return true;
    default:
        return QObject::eventFilter(watched, event);
    }
}
