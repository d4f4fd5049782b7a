// Placing the main window where it was left, and centring windows on the screen.
#include "app/window_position.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "app/settings.h"

namespace krav {

void CentreOnScreen(QWidget& window) {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    QRect frame(QPoint(), window.frameGeometry().size().expandedTo(window.size()));
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}

void RestoreWindowPosition(QWidget& window) {
    const WindowPosition position = ReadWindowPosition();
    const QPoint place(position.left, position.top);
    if (position.centred || QGuiApplication::screenAt(place) == nullptr)
        CentreOnScreen(window);
    else
        window.move(place);
}

void StoreWindowPosition(const QWidget& window) {
    SaveWindowPosition(window.x(), window.y());
}

}  // namespace krav
