// The main window's place on the screen, kept between starts.
#pragma once

class QWidget;

namespace krav {

// Moves the window to the stored place, or centres it on the screen when none is stored or the stored
// place lies on no screen (a monitor since removed).
void RestoreWindowPosition(QWidget& window);
// Stores the window's place at close.
void StoreWindowPosition(const QWidget& window);

// Centres a window on the primary screen.
void CentreOnScreen(QWidget& window);

}  // namespace krav
