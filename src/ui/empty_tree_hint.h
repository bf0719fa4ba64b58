#pragma once
// `EmptyTreeHint`: what the menu tree shows while no menu is open, so a first start says how to
// begin: a line saying that no menu is open and three commands under it — open a menu file,
// open the menu from the phone, start a new menu. Each command triggers the File menu's own
// action and is enabled while that action is; under its caption stands the action's shortcut
// (the phone command, which has none, says whether a phone is connected).

#include <QWidget>

class QAbstractScrollArea;
class QAction;

namespace tessaro {

class WrappingCommandButton;

class EmptyTreeHint : public QWidget {
    Q_OBJECT
public:
    // Lays itself over the viewport of `tree` and keeps to its size. The actions must outlive
    // the hint. The owner hides it while a menu is open.
    EmptyTreeHint(QAbstractScrollArea& tree, QAction& openFile, QAction& openFromPhone, QAction& newMenu);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // A command named `name` showing `caption` that triggers `action` and follows its state.
    WrappingCommandButton* addCommand(const char* name, const QString& caption, QAction& action);
    void showPhoneState(WrappingCommandButton& command, const QAction& openFromPhone);

    QWidget* commands_ = nullptr;
};

} // namespace tessaro
