#pragma once
// `TSetupForm`: the "Settings" dialog. Its check boxes show a SetupModel and hand every click
// to it; OK writes tessaro.ini. "Backup SEEM" and "Restore backup" ask for a file and run
// the SEEM operations while a phone is connected.

#include <QDialog>

#include <functional>
#include <map>

#include "edit/setup_model.h"

class QCheckBox;
class QPushButton;

namespace tessaro {

class FileDialogs;
class Prompter;
struct PhoneContext;

class TSetupForm : public QDialog {
    Q_OBJECT
public:
    // `phone` may be null (no phone link): the SEEM buttons then stay disabled.
    TSetupForm(Settings& settings, std::string iniPath, PhoneContext* phone, bool phoneConnected,
               FileDialogs& files, Prompter& prompter, QWidget* parent = nullptr);

    const SetupModel& model() const { return model_; }
    QCheckBox* box(SetupBox which) const { return boxes_.at(which); }

    // Button1 "OK": the working copy becomes the settings and is written to the file.
    void Button1Click();
    // Button3 "Backup SEEM" and Button4 "Restore backup".
    void Button3Click();
    void Button4Click();

private:
    void showModel();

    Settings& settings_;
    std::string iniPath_;
    PhoneContext* phone_;
    FileDialogs& files_;
    Prompter& prompter_;
    SetupModel model_;
    std::map<SetupBox, QCheckBox*> boxes_;
    QPushButton* button3_;
    QPushButton* button4_;
};

} // namespace tessaro
