#pragma once
// Marks a text the user sees so the translation tools find it, without the core knowing
// any toolkit: the macro is the text itself. The window side looks the text up under
// `context` when it shows it; the command-line tool and the log keep it as written.
// lupdate reads it as QT_TRANSLATE_NOOP (-tr-function-alias QT_TRANSLATE_NOOP+=TRANSLATABLE).
#define TRANSLATABLE(context, text) text
