#include "ui/virtual_phone_menu.h"

#include <QAction>

#include "p2k/virtual_phone.h"
#include "ui/named_action.h"

namespace tessaro {

VirtualPhoneMenu::VirtualPhoneMenu(VirtualPhone& phone, QWidget* parent) : QMenu(tr("&Virtual phone"), parent)
{
    setObjectName(QStringLiteral("virtualPhoneMenu"));
    QAction* plugIn = makeAction(this, "plugInAction", tr("&Plug in"));
    QAction* unplug = makeAction(this, "unplugAction", tr("&Unplug"));
    connect(plugIn, &QAction::triggered, this, [&phone] { phone.plug(); });
    connect(unplug, &QAction::triggered, this, [&phone] { phone.unplug(); });
    // Only what can be done now is enabled.
    connect(this, &QMenu::aboutToShow, this, [&phone, plugIn, unplug] {
        plugIn->setEnabled(!phone.isPlugged());
        unplug->setEnabled(phone.isPlugged());
    });
    addAction(plugIn);
    addAction(unplug);
}

} // namespace tessaro
