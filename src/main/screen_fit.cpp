#include "screen_fit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

QRect FitInside(const QRect& frame, const QRect& available) {
    if (available.isEmpty()) return frame;
    QRect fitted(frame.topLeft(), frame.size().boundedTo(available.size()).expandedTo(QSize(1, 1)));
    fitted.moveLeft(
        std::clamp(fitted.left(), available.left(), available.right() - fitted.width() + 1));
    fitted.moveTop(
        std::clamp(fitted.top(), available.top(), available.bottom() - fitted.height() + 1));
    return fitted;
}

namespace {

QRect FreeAreaAround(const QRect& frame) {
    QScreen* screen = QGuiApplication::screenAt(frame.center());
    if (!screen) screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

} // namespace

void KeepOnScreen(QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect fitted = FitInside(frame, FreeAreaAround(frame));
    if (fitted == frame) return;
    // The frame's border and title bar stay as they are; only the inside shrinks.
    const QSize border = frame.size() - window.geometry().size();
    if (fitted.size() != frame.size()) window.resize(fitted.size() - border);
    window.move(fitted.topLeft());
}

bool RestoreGeometryOnScreen(QWidget& window, const QByteArray& saved) {
    if (saved.isEmpty()) return false;
    const QRect before = window.geometry();
    if (!window.restoreGeometry(saved)) return false;
    const QRect frame = window.frameGeometry();
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().contains(frame)) return true;
    window.setGeometry(before);
    return false;
}
