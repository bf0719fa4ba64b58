#include "ui/item_summary_view.h"

#include "ui/core_text.h"

namespace tessaro {

ItemSummaryView::ItemSummaryView(QWidget* parent) : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("itemSummary"));
    setReadOnly(true);
    setPlainText(tr("Item summary:"));
    QSizePolicy keepMemo = sizePolicy();
    keepMemo.setRetainSizeWhenHidden(true);
    // It takes the room left under the available items, and on a small screen gives way
    // first, so the window still fits a 1366x768 screen at scale 2.
    keepMemo.setVerticalPolicy(QSizePolicy::Ignored);
    setSizePolicy(keepMemo);
    hide();
}

void ItemSummaryView::showLines(const std::optional<std::vector<std::string>>& lines)
{
    if (!lines) {
        hide();
        return;
    }
    QStringList text;
    for (const std::string& line : *lines)
        text << coreText(line);
    setPlainText(text.join(QLatin1Char('\n')));
    show();
}

void ItemSummaryView::reset()
{
    setPlainText(tr("Item summary:"));
    hide();
}

} // namespace tessaro
