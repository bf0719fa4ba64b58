#include "models/setup_model.h"

namespace tessaro {

SetupModel::SetupModel(const Settings& settings, bool phoneConnected)
    : work_(settings), seemButtons_(phoneConnected)
{
    at(SetupOption::SetSystemAttribute) = {work_.setSystemAttr, true};
    at(SetupOption::LogPhoneOperations) = {work_.logEnabled, true};
    at(SetupOption::ActivateSeemItems) = {work_.activateSeemItems, false};
    if (work_.readJ2mest) {
        at(SetupOption::ReadJavaSlots) = {true, true};
        at(SetupOption::JavaSlotsFromPhone) = {work_.j2mestFromPhone, true};
        at(SetupOption::JavaSlotsFromCard) = {work_.j2mestFromCard, true};
        at(SetupOption::AllowCoreletPatching) = {work_.patchJ2mest, true};
    } else {
        at(SetupOption::ReadJavaSlots) = {false, true};
        at(SetupOption::JavaSlotsFromPhone) = {false, false};
        at(SetupOption::JavaSlotsFromCard) = {false, false};
        at(SetupOption::AllowCoreletPatching) = {false, false};
    }
}

void SetupModel::readTurnedOff()
{
    work_.readJ2mest = work_.j2mestFromPhone = work_.j2mestFromCard = work_.patchJ2mest = false;
    at(SetupOption::ReadJavaSlots).checked = false;
    for (SetupOption sub : {SetupOption::JavaSlotsFromPhone, SetupOption::JavaSlotsFromCard,
                            SetupOption::AllowCoreletPatching})
        at(sub) = {false, false};
}

bool SetupModel::setChecked(SetupOption which, bool checked)
{
    BoxState& state = at(which);
    if (!state.enabled)
        return false;
    // A box set to the state it already has does not run its rule.
    if (state.checked == checked)
        return true;
    state.checked = checked;

    switch (which) {
    case SetupOption::SetSystemAttribute:
        work_.setSystemAttr = checked;
        break;
    case SetupOption::ActivateSeemItems:
        work_.activateSeemItems = checked;
        break;
    case SetupOption::AllowCoreletPatching:
        work_.patchJ2mest = checked;
        break;
    case SetupOption::LogPhoneOperations:
        work_.logEnabled = checked;
        break;
    case SetupOption::ReadJavaSlots:
        if (checked) {
            work_.readJ2mest = true;
            at(SetupOption::JavaSlotsFromPhone).enabled = true;
            at(SetupOption::JavaSlotsFromCard).enabled = true;
        } else {
            readTurnedOff();
        }
        break;
    case SetupOption::JavaSlotsFromPhone:
    case SetupOption::JavaSlotsFromCard:
        (which == SetupOption::JavaSlotsFromPhone ? work_.j2mestFromPhone : work_.j2mestFromCard) = checked;
        if (checked)
            at(SetupOption::AllowCoreletPatching).enabled = true;
        work_.readJ2mest = work_.j2mestFromPhone || work_.j2mestFromCard;
        if (!work_.j2mestFromPhone && !work_.j2mestFromCard)
            readTurnedOff();
        break;
    }
    return true;
}

Status SetupModel::ok(Settings& settings, const std::string& iniPath) const
{
    settings = work_;
    if (!settings.j2mestFromPhone && !settings.j2mestFromCard) {
        settings.readJ2mest = false;
        settings.patchJ2mest = false;
    }
    return saveSettings(iniPath, settings);
}

} // namespace tessaro
