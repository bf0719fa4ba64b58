// Reads arbitrary bytes as the text form of a menu. A description that is accepted must print
// to a text that reads back to the same description and prints the same again; one that
// installs and renders must give a file the reader accepts.
#include <cstdint>
#include <span>

#include "core/menu_description.h"
#include "core/menu_reader.h"
#include "core/menu_text.h"
#include "core/menu_writer.h"
#include "core/open_menu.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace tessaro;
    const auto description = parseMenuText(fuzz::textOf(data, size));
    if (!description)
        return 0;
    const std::string text = menuTextOf(description.value());
    const auto again = parseMenuText(text);
    fuzz::check(again.ok() && again.value() == description.value());
    fuzz::check(menuTextOf(again.value()) == text);

    OpenMenu menu;
    if (!installMenuDescription(description.value(), menu).ok())
        return 0;
    const auto bytes = renderMenuFile(menu);
    if (!bytes.ok())
        return 0;
    OpenMenu back;
    fuzz::check(readMenuBytes(bytes.value(), back, ReadOptions{false, {}}).ok());
    return 0;
}
