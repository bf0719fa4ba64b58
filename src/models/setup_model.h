#pragma once
// The rules of the "Settings" dialog (SetupDialog) without its widgets: a working copy of the
// settings and the checked and enabled state of each check box. The dialog wires its boxes to
// setChecked() and shows box(); OK copies the working copy back and writes tessaro.ini.

#include <string>

#include "core/result.h"
#include "workspace/settings.h"

namespace tessaro {

// The dialog's options, one check box each.
enum class SetupOption {
    SetSystemAttribute,    // "Set SYSTEM attribute"
    ActivateSeemItems,     // "Activate items in SEEM 0032" (never enabled)
    ReadJavaSlots,         // "Read J2MEST"
    JavaSlotsFromPhone,    // "From phone"
    JavaSlotsFromCard,     // "From card"
    AllowCoreletPatching,  // "Allow patching to run corelets"
    LogPhoneOperations,    // "Enable p2k ops logging"
};

struct BoxState {
    bool checked = false;
    bool enabled = true;

    bool operator==(const BoxState&) const = default;
};

class SetupModel {
public:
    // Opens the dialog over a copy of `settings`; the SEEM buttons follow `phoneConnected`.
    SetupModel(const Settings& settings, bool phoneConnected);

    BoxState box(SetupOption which) const { return boxes_[index(which)]; }
    // "Backup SEEM" and "Restore backup".
    bool seemButtonsEnabled() const { return seemButtons_; }
    const Settings& workingCopy() const { return work_; }

    // A click on a box (or a change made from code): the box takes `checked` and its rule
    // runs. A disabled box cannot change; returns false then, true otherwise.
    bool setChecked(SetupOption which, bool checked);

    // OK: the working copy becomes the settings (without a source, reading and patching go
    // off) and is written to `iniPath`. The settings are updated even when the write fails.
    Status ok(Settings& settings, const std::string& iniPath) const;
    // Cancel leaves the settings and the file alone: nothing to do beyond closing.

private:
    static size_t index(SetupOption which) { return static_cast<size_t>(which); }
    BoxState& at(SetupOption which) { return boxes_[index(which)]; }
    // "Read J2MEST" unchecked: every J2MEST option off, the three sub-options cleared and
    // disabled.
    void readTurnedOff();

    Settings work_;
    BoxState boxes_[7];
    bool seemButtons_ = false;
};

} // namespace tessaro
