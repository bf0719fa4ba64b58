#include "ui/profile_selector.h"

#include "ui/core_text.h"
#include "workspace/profiles.h"

namespace tessaro {

ProfileSelector::ProfileSelector(QWidget* parent) : QComboBox(parent)
{
    setObjectName(QStringLiteral("profileSelector"));
    setToolTip(tr("Select a profile for target phone.\nProfile excludes unsupported "
                  "mma items and sets proper mma_ucp format"));
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(12);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void ProfileSelector::showEntries(const std::vector<std::string>& entries, int current)
{
    const QSignalBlocker block(this);
    clear();
    // Profile names are file names; only the two fixed entries are words to translate.
    for (const std::string& entry : entries)
        addItem(entry == kSelectorDefault || entry == kSelectorCreateNew ? coreText(entry)
                                                                         : QString::fromStdString(entry));
    setCurrentIndex(current);
}

} // namespace tessaro
