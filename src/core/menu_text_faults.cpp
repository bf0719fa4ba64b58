#include "core/menu_text_faults.h"

#include <algorithm>
#include <unordered_set>
#include <vector>

#include <nlohmann/json.hpp>

namespace tessaro {

namespace {

using Json = nlohmann::json;

// The library's message without its "[json.exception.…] " prefix.
std::string libraryReason(const std::exception& e)
{
    const std::string text = e.what();
    const size_t end = text.find("] ");
    return end == std::string::npos ? text : text.substr(end + 2);
}

// "line 3, column 7" of a byte position.
std::string lineAndColumn(std::string_view text, size_t position)
{
    position = std::min(position, text.size());
    const std::string_view before = text.substr(0, position);
    const size_t line = static_cast<size_t>(std::count(before.begin(), before.end(), '\n')) + 1;
    const size_t lineStart = before.rfind('\n');
    const size_t column = position - (lineStart == std::string_view::npos ? 0 : lineStart + 1) + 1;
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

// Follows the library's reading of a text event by event, keeping only what a fault report
// needs: where the reader is and the keys each open object has given so far. Stops at the
// first fault.
class FaultFinder {
public:
    bool null() { return value(); }
    bool boolean(bool) { return value(); }
    bool number_integer(Json::number_integer_t) { return value(); }
    bool number_unsigned(Json::number_unsigned_t) { return value(); }
    bool string(Json::string_t&) { return value(); }
    bool binary(Json::binary_t&) { return value(); }
    bool start_object(size_t) { return open(false); }
    bool start_array(size_t) { return open(true); }
    bool end_object() { return close(); }
    bool end_array() { return close(); }

    // The library reads an integer beyond 64 bits as a floating-point number; the fast reader
    // cannot hold it, and no menu value is that large.
    bool number_float(Json::number_float_t, const Json::string_t& literal)
    {
        if (literal.find_first_of(".eE") == std::string::npos) {
            notJson_ = "number overflow parsing '" + literal + "'";
            return false;
        }
        return value();
    }

    bool key(Json::string_t& name)
    {
        Level& level = levels_.back();
        if (!level.keys.insert(name).second) {
            refusal_ = pathHere() + "/" + name + ": the key \"" + name + "\" is given twice";
            return false;
        }
        level.key = name;
        return true;
    }

    bool parse_error(size_t position, const std::string&, const Json::exception& e)
    {
        notJson_ = libraryReason(e);
        if (e.id / 100 == 1) {
            // A syntax error, said after the library's "parse error at line 1, column 2: ".
            if (const size_t colon = notJson_.find(": "); colon != std::string::npos)
                notJson_ = notJson_.substr(colon + 2);
            syntaxAt_ = position;
        }
        return false;
    }

    // The refusal, after the reading stopped.
    std::string fault(std::string_view text) const
    {
        if (!refusal_.empty())
            return refusal_;
        if (syntaxAt_)
            return "/: not JSON at " + lineAndColumn(text, *syntaxAt_ == 0 ? 0 : *syntaxAt_ - 1) + ": " + notJson_;
        return "/: not JSON: " + notJson_;
    }

private:
    struct Level {
        bool isArray;
        size_t count = 0;                     // an array's elements so far
        std::string key;                      // an object's last key
        std::unordered_set<std::string> keys; // an object's keys so far
    };

    bool value()
    {
        if (!levels_.empty() && levels_.back().isArray)
            ++levels_.back().count;
        return true;
    }

    bool open(bool isArray)
    {
        if (levels_.size() >= kMaxMenuTextDepth) {
            refusal_ = "/: arrays and objects nested deeper than " + std::to_string(kMaxMenuTextDepth)
                       + " levels; a menu needs far fewer";
            return false;
        }
        value();
        levels_.push_back({isArray});
        return true;
    }

    bool close()
    {
        levels_.pop_back();
        return true;
    }

    // The JSON path of the innermost open array or object.
    std::string pathHere() const
    {
        std::string path;
        for (size_t i = 0; i + 1 < levels_.size(); ++i)
            path += '/' + (levels_[i].isArray ? std::to_string(levels_[i].count - 1) : levels_[i].key);
        return path;
    }

    std::vector<Level> levels_;
    std::string refusal_;            // a fault of a JSON text that is refused all the same
    std::string notJson_;            // why the text is not JSON
    std::optional<size_t> syntaxAt_; // where the syntax error is
};

} // namespace

std::optional<std::string> menuTextFault(std::string_view text)
{
    FaultFinder finder;
    try {
        if (Json::sax_parse(text.begin(), text.end(), &finder)) {
            // The library takes a zero byte outside a string for the end of the text.
            if (const size_t zero = text.find('\0'); zero != std::string_view::npos)
                return "/: not JSON at " + lineAndColumn(text, zero) + ": a zero byte after the value";
            return std::nullopt;
        }
    } catch (const Json::exception& e) {
        return "/: not JSON: " + libraryReason(e);
    }
    return finder.fault(text);
}

} // namespace tessaro
