#pragma once
// `ItemSummaryView`: the summary of the item selected in the tree, beside it, under the
// available items. Hidden while there is nothing to summarise; hidden, it keeps its room.

#include <QPlainTextEdit>

#include <optional>
#include <string>
#include <vector>

namespace tessaro {

class ItemSummaryView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit ItemSummaryView(QWidget* parent = nullptr);

    // Shows `lines`, core texts each shown as the user reads them; hides the summary without
    // them.
    void showLines(const std::optional<std::vector<std::string>>& lines);
    // Back to its bare heading, hidden: a menu was opened in place of the one summarised.
    void reset();
};

} // namespace tessaro
