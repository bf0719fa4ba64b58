#pragma once
// The program's own pictures: the application icon, "New" and the phone commands of the tool bar and
// the two tray images (a phone with a green or a grey screen). Each is drawn anew for the
// usual icon sizes at 1×, 1.5×, 2× and 3× device pixels, so it stays sharp on any screen.

#include <QIcon>

namespace tessaro {

enum class PhoneGlyph { OpenFromPhone, SaveToPhone, Restart };

QIcon phoneCommandIcon(PhoneGlyph glyph);
// "New": a white page with a green plus.
QIcon newDocumentIcon();
// The icon of every window: a candy-bar phone whose screen shows a menu tree.
QIcon applicationIcon();
// Tray image 14 (connected) or 15 (disconnected).
QIcon trayImage(int number);

} // namespace tessaro
