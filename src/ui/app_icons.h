#pragma once
// The program's own pictures: the application icon, the document and phone commands of the tool
// bar and the two tray images (a phone with a green or a grey screen). Each is painted when it is
// first shown, at the size and screen scale it is shown at, so it costs nothing before and stays
// sharp on any screen; what was painted is kept for the next time.

#include <QIcon>

namespace tessaro {

enum class PhoneGlyph { OpenFromPhone, SaveToPhone, Restart };

QIcon phoneCommandIcon(PhoneGlyph glyph);
// "New": a white page with a green plus.
QIcon newDocumentIcon();
// "Open": a folder with its flap open.
QIcon openDocumentIcon();
// "Save": a floppy disk.
QIcon saveDocumentIcon();
// The icon of every window: a candy-bar phone whose screen shows a menu tree.
QIcon applicationIcon();
// Tray image 14 (connected) or 15 (disconnected).
QIcon trayImage(int number);

} // namespace tessaro
