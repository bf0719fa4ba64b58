#pragma once
// `SaveModePanel`: the "MMA save mode" group: the record size (22 or 36 bytes), "Save all data",
// the c698p fix, CDMA and the custom icon attribute. It shows a save mode and reports each click
// as a change to it; whoever owns the save mode makes the change, and the rules of SaveMode
// decide what the panel shows next.

#include <QGroupBox>

#include <functional>

class QCheckBox;
class QRadioButton;

namespace tessaro {

class SaveMode;

// A change a click asks of the save mode.
using SaveModeChange = std::function<void(SaveMode&)>;

class SaveModePanel : public QGroupBox {
    Q_OBJECT
public:
    explicit SaveModePanel(QWidget* parent = nullptr);

    // The controls follow `mode`, without reporting anything.
    void showSaveMode(const SaveMode& mode);

Q_SIGNALS:
    // A user's click on one of the controls; `change` applied to the save mode makes it so.
    void changeRequested(const tessaro::SaveModeChange& change);

private:
    QRadioButton* radio22_ = nullptr;
    QRadioButton* radio36_ = nullptr;
    QCheckBox* saveAll_ = nullptr;
    QCheckBox* c698p_ = nullptr;
    QCheckBox* cdma_ = nullptr;
    QGroupBox* iconMarkerGroup_ = nullptr;
    QRadioButton* marker06_ = nullptr;
    QRadioButton* marker0C_ = nullptr;
};

} // namespace tessaro
