#pragma once
// The text form of a menu: a JSON document meant to be written by hand and kept under version
// control. Its keys come in a fixed order, each item is one object, titles are plain text:
//
//   {"saveMode": {"recordSize": 36, "iconMarker": "0C", "c698p": false, "cdma": false, "saveAll": true},
//    "softkeys": [ seven items ],
//    "menu": [ items ]}
//   item: {"id": "Games", "type": "container", "options": "0x08", "attributes": "0x41",
//          "data": [ records ], "items": [ subitems ]}
//
// The layout of every record kind is in docs/formats.md. Numbers the file derives from the
// tree (record numbers, index fields, data offsets and lengths) are not part of it.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/menu_description.h"
#include "core/result.h"

namespace tessaro {

class MenuDocument;

// The description as JSON text, two spaces per level, ending with a line break. Nothing is
// lost: a record of an unknown kind is kept as hexadecimal, a text that UTF-8 cannot carry
// (an unpaired surrogate) as its UTF-16 units.
std::string menuTextOf(const MenuDescription& description);
// The text of describeMenu(document, saveMode), written straight from the document.
std::string menuTextOf(const MenuDocument& document, const SaveMode& saveMode);

// Reads the text form (after a UTF-8 byte-order mark, if any). Fails (kind Format) on the
// first problem, its text starting with the JSON path of the value. Faults of the JSON come
// first, in the order of the text: malformed JSON (with its line and column), a number beyond
// a double or an integer beyond 64 bits, arrays and objects nested deeper than 10000 levels,
// a key given twice in one object. Then those of the values: a missing or unknown key, a text
// given both as text and as "utf16" (a shortcut as "target" and "hex"), a value of the wrong
// type or out of range, an unknown kind or type name, bad hexadecimal.
// The limits of a menu file are checkMenuDescription's (core/menu_description.h). A missing
// save mode key takes the panel's default, but "saveAll" is on unless the text says false.
Result<MenuDescription> parseMenuText(std::string_view text);

// Whether `bytes` are a text form rather than an mma_ucp file: the first character that is no
// white space (after a UTF-8 byte-order mark) is "{", which no menu file starts with.
bool looksLikeMenuText(std::string_view bytes);

// The kind name under which the text form writes the records of kind `code` of a file with
// `recordSize`-byte records ("menuTitle" for 0; "icon" for 6 in 22-byte files); empty for a
// kind the editor does not read.
std::string recordKindName(uint8_t code, int recordSize);

// The name an item type has in the text form ("container", "java"), or its number.
std::string itemTypeText(uint8_t itemType);

} // namespace tessaro
