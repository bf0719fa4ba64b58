#pragma once
// `SetupDialog`: the "Settings" dialog. Its check boxes show a SetupModel and hand every click
// to it; OK writes tessaro.ini. "Backup SEEM" and "Restore backup" ask for a file and run
// the SEEM operations while a phone is connected.

#include <QDialog>

#include <functional>
#include <map>

#include "models/setup_model.h"

class QCheckBox;
class QPushButton;

namespace tessaro {

class FileDialogs;
class Prompter;
struct PhoneContext;

class SetupDialog : public QDialog {
    Q_OBJECT
public:
    // `phone` may be null (no phone link): the SEEM buttons then stay disabled.
    SetupDialog(Settings& settings, std::string iniPath, PhoneContext* phone, bool phoneConnected,
               FileDialogs& files, Prompter& prompter, QWidget* parent = nullptr);

    const SetupModel& model() const { return model_; }
    QCheckBox* box(SetupOption which) const { return boxes_.at(which); }

    // "OK": the working copy becomes the settings and is written to the file.
    void okClicked();
    // "Backup SEEM" and "Restore backup".
    void backupSeem();
    void restoreSeem();
    // Says how a backup or restore ended: `done`, or the failure.
    void showOutcome(const Status& outcome, const char* done);

private:
    void showModel();

    Settings& settings_;
    std::string iniPath_;
    PhoneContext* phone_;
    FileDialogs& files_;
    Prompter& prompter_;
    SetupModel model_;
    std::map<SetupOption, QCheckBox*> boxes_;
    QPushButton* backupButton_;
    QPushButton* restoreButton_;
};

} // namespace tessaro
