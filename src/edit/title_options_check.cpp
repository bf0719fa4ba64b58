#include "edit/title_options_check.h"

#include "core/bytes.h"
#include "core/item_data_fields.h"
#include "core/menu_document.h"
#include "core/translatable.h"

namespace tessaro {

namespace {

bool holdsTitles(const std::optional<std::vector<Title>>& titles)
{
    return titles && !titles->empty();
}

class TitleOptionsCheck {
public:
    explicit TitleOptionsCheck(const MenuDocument& document) : document_(document) {}

    std::vector<std::string> run()
    {
        if (const MenuNode* softkeys = document_.softkeys())
            group(*softkeys, "/softkeys");
        if (const MenuNode* root = document_.menuRoot())
            group(*root, "/menu");
        return std::move(warnings_);
    }

private:
    void group(const MenuNode& parent, const std::string& at)
    {
        for (size_t i = 0; i < parent.childCount(); ++i) {
            const MenuNode& node = *parent.child(i);
            const std::string here = at + "/" + std::to_string(i);
            item(node, here);
            group(node, here + "/items");
        }
    }

    void item(const MenuNode& node, const std::string& at)
    {
        const ItemDataBlock* block = document_.data().at(node.item.recordNo);
        if (!block)
            return;
        const ItemDataFields fields = readItemDataFields(*block);
        if (!holdsTitles(fields.menuTitles) && !holdsTitles(fields.softkeyTitles))
            return;
        const uint8_t options = node.item.options;
        const uint8_t wanted = optionsWithTitles(options);
        if (options == wanted)
            return;
        warnings_.push_back(at + "/options: " + hexNumber(options, 2)
                            + TRANSLATABLE("Core", " on an item with titles; the item properties window sets ")
                            + hexNumber(wanted, 2));
    }

    const MenuDocument& document_;
    std::vector<std::string> warnings_;
};

} // namespace

std::vector<std::string> titleOptionsWarnings(const MenuDocument& document)
{
    return TitleOptionsCheck(document).run();
}

} // namespace tessaro
