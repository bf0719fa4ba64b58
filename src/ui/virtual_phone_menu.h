#pragma once
// `VirtualPhoneMenu`: the "Virtual phone" menu of an editor running on the virtual phone, which
// can be plugged in and pulled out like a real one.

#include <QMenu>

namespace tessaro {

class VirtualPhone;

class VirtualPhoneMenu : public QMenu {
    Q_OBJECT
public:
    // `phone` must outlive the menu.
    VirtualPhoneMenu(VirtualPhone& phone, QWidget* parent = nullptr);
};

} // namespace tessaro
