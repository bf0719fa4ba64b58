#pragma once
// The core's texts in the user's language. The core keeps its texts in English and marks
// them TRANSLATABLE("Core", ...); the windows look them up here when they show them.

#include <string>

#include <QString>

namespace tessaro {

// The translation context of the core's texts.
inline constexpr char kCoreTextContext[] = "Core";

// `text` translated: as a whole when it is one marked text, else piece by piece, left to
// right, where texts were joined around a path, a number or a model name; what is not known
// stays as it is. With no translation loaded the text comes back unchanged.
QString coreText(const std::string& text);

} // namespace tessaro
