#pragma once
// What makes a menu text unreadable before its values mean anything: it is not JSON, it nests
// too deep, or an object gives a key twice (JSON readers keep one of the two values without a
// word). The fast reader of menu texts only learns that something is wrong; this finds the
// first such fault in reading order and says where it is.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tessaro {

// Far deeper than a menu nests: kMaxMenuItems items take about twice as many levels.
inline constexpr size_t kMaxMenuTextDepth = 10000;

// The refusal of the first fault of `text` in reading order, starting with the JSON path of
// the value: "/: not JSON at line 1, column 11: ..." (with the line and column where the
// text stops being JSON), "/: not JSON: number overflow parsing '1e999'" (also for integers
// beyond 64 bits), "/: arrays and objects nested deeper than 10000 levels; ...", "/menu: the
// key \"menu\" is given twice", "/: not JSON at line 3, column 2: a zero byte after the
// value". Nothing when the text has none of them. A UTF-8 byte-order mark before the text is
// allowed.
std::optional<std::string> menuTextFault(std::string_view text);

} // namespace tessaro
