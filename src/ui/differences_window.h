#pragma once
// `DifferencesWindow`: what Compare found, line by line, in a window of its own that stays open
// beside the main window. A later comparison shows its changes in the same window.

#include <QDialog>

class QPlainTextEdit;

namespace tessaro {

class DifferencesWindow : public QDialog {
    Q_OBJECT
public:
    explicit DifferencesWindow(QWidget* parent = nullptr);

    // Shows `changes`, the lines that differ from the menu named `otherName` to the open one
    // (a line saying the menus are the same when there are none), and raises the window.
    void showChanges(const QString& otherName, QStringList changes);

private:
    QPlainTextEdit* text_ = nullptr;
};

} // namespace tessaro
