#pragma once
// Keyboard access to a window's buttons: Alt and a letter of the caption.

class QChar;
class QString;
class QWidget;

namespace tessaro {

// Gives every push button under `window` whose caption has no mnemonic one: the first letter
// or digit of its caption that no other button or label of the window uses yet (the first one
// when all are taken). Call once the captions are set (translated).
void giveMnemonics(QWidget& window);

// The caption's mnemonic character in lower case, or a null character when it has none.
QChar mnemonicOf(const QString& caption);

// The caption as it is shown: without its mnemonic marks, "&&" as one "&".
QString withoutMnemonics(const QString& caption);

} // namespace tessaro
