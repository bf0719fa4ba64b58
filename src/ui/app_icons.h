#pragma once
// The program's own small pictures: the phone commands of the tool bar and the two tray
// images (a phone with a green or a grey screen).

#include <QIcon>

namespace tessaro {

enum class PhoneGlyph { OpenFromPhone, SaveToPhone, Restart };

QIcon phoneCommandIcon(PhoneGlyph glyph);
// Tray image 14 (connected) or 15 (disconnected).
QIcon trayImage(int number);

} // namespace tessaro
