#include "models/setup_model.h"

namespace tessaro {

SetupModel::SetupModel(const Settings& settings, bool phoneConnected)
    : work_(settings), seemButtons_(phoneConnected)
{
    at(SetupBox::CheckBox1) = {work_.setSystemAttr, true};
    at(SetupBox::CheckBox7) = {work_.logEnabled, true};
    at(SetupBox::CheckBox2) = {work_.activateSeemItems, false};
    if (work_.readJ2mest) {
        at(SetupBox::CheckBox3) = {true, true};
        at(SetupBox::CheckBox4) = {work_.j2mestFromPhone, true};
        at(SetupBox::CheckBox5) = {work_.j2mestFromCard, true};
        at(SetupBox::CheckBox6) = {work_.patchJ2mest, true};
    } else {
        at(SetupBox::CheckBox3) = {false, true};
        at(SetupBox::CheckBox4) = {false, false};
        at(SetupBox::CheckBox5) = {false, false};
        at(SetupBox::CheckBox6) = {false, false};
    }
}

void SetupModel::readTurnedOff()
{
    work_.readJ2mest = work_.j2mestFromPhone = work_.j2mestFromCard = work_.patchJ2mest = false;
    at(SetupBox::CheckBox3).checked = false;
    for (SetupBox sub : {SetupBox::CheckBox4, SetupBox::CheckBox5, SetupBox::CheckBox6})
        at(sub) = {false, false};
}

bool SetupModel::setChecked(SetupBox which, bool checked)
{
    BoxState& state = at(which);
    if (!state.enabled)
        return false;
    // A box set to the state it already has does not run its rule.
    if (state.checked == checked)
        return true;
    state.checked = checked;

    switch (which) {
    case SetupBox::CheckBox1:
        work_.setSystemAttr = checked;
        break;
    case SetupBox::CheckBox2:
        work_.activateSeemItems = checked;
        break;
    case SetupBox::CheckBox6:
        work_.patchJ2mest = checked;
        break;
    case SetupBox::CheckBox7:
        work_.logEnabled = checked;
        break;
    case SetupBox::CheckBox3:
        if (checked) {
            work_.readJ2mest = true;
            at(SetupBox::CheckBox4).enabled = true;
            at(SetupBox::CheckBox5).enabled = true;
        } else {
            readTurnedOff();
        }
        break;
    case SetupBox::CheckBox4:
    case SetupBox::CheckBox5:
        (which == SetupBox::CheckBox4 ? work_.j2mestFromPhone : work_.j2mestFromCard) = checked;
        if (checked)
            at(SetupBox::CheckBox6).enabled = true;
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
