#pragma once
// `ProfileSelector`: the tool bar's choice of the target phone's profile: "Default", the
// profiles found, and "Create new...". A profile leaves out the items its phone does not support
// and sets the mma_ucp format. Only a user's choice is reported (QComboBox::activated).

#include <QComboBox>

#include <string>
#include <vector>

namespace tessaro {

class ProfileSelector : public QComboBox {
    Q_OBJECT
public:
    explicit ProfileSelector(QWidget* parent = nullptr);

    // Lists `entries` and selects the one at `current`, without reporting anything.
    void showEntries(const std::vector<std::string>& entries, int current);
};

} // namespace tessaro
