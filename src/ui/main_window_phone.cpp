// The main window's phone commands: open from and save to the phone, restart it, and what
// the connection monitor shows in the status bar, the tray and the phone actions.
#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QSystemTrayIcon>

#include "phone/round_trip.h"
#include "session/phone_menu.h"
#include "session/editor_session.h"
#include "ui/app_icons.h"
#include "ui/core_text.h"
#include "ui/lamp_shape.h"
#include "ui/main_window.h"
#include "ui/menu_tree_model.h"
#include "ui/menu_tree_view.h"

namespace tessaro {

void MainWindow::openFromPhone()
{
    if (!confirmUnsavedChanges())
        return;
    OpenMenu& menu = ctx_.menu;
    summary_->setPlainText(tr("Item summary:"));
    summary_->hide();
    const auto opened = openMenuFromPhone(ctx_.roundTrip, menu, ctx_.profiles);
    showProfileState();
    if (!opened && !opened.failure().cancelled())
        showFailure(opened.failure());
    if (opened) {
        showNotices(opened->messages);
        if (opened->patchOffered)
            if (const auto patched = offerJavaPatch(ctx_.roundTrip); !patched)
                showFailure(patched.failure());
    }
    const bool read = opened && !menu.document.isEmpty();
    if (read)
        tree_->expand(model_->indexOfNode(menu.document.menuRoot()));
    if (read)
        forgetDocumentFile();
    document_.opened(read && opened->repaired);
    if (read)
        focusFirstItem();
}

void MainWindow::saveToPhone()
{
    if (!document_.isOpen() || !confirmLeftOutRecords() || !confirmPhoneChanges())
        return;
    const Status saved = saveMenuToPhone(ctx_.roundTrip, ctx_.menu);
    // The menu on the phone is as good as a saved file.
    if (saved) {
        document_.saved();
        statusBar()->showMessage(tr("The menu was written to the phone as %1").arg(QString::fromLatin1(kPhoneMenuPath)),
                                 kStatusMessageTime);
        return;
    }
    if (saved.cancelled())
        return;
    showFailure(saved.failure());
    // A menu cut off on the phone would not start: offer the one the phone had.
    const RoundTripState& state = ctx_.roundTrip.state;
    if (state.menuBackup.empty() || !ctx_.phone.link.connected || state.storedToPhone)
        return;
    const QString question = tr("The phone's previous menu is kept in %1.\nPut it back on the phone now?")
                                 .arg(QString::fromStdString(state.menuBackup));
    if (prompter_.ask(MessageIcon::Question, tr("Save to phone").toStdString(), question.toStdString(),
                      Buttons::YesNo)
        != Answer::Yes)
        return;
    if (const Status restored = putBackPhoneMenu(ctx_.roundTrip); !restored)
        showFailure(restored.failure());
}

void MainWindow::restartPhone()
{
    restartWhenReady(ctx_.roundTrip);
}

void MainWindow::setImeiPanel(const std::string& text)
{
    panels_[0]->setText(coreText(text));
}

void MainWindow::setPhonePanel(const std::string& text)
{
    panels_[1]->setText(coreText(text));
}

void MainWindow::setStatusLamp(StatusLamp lamp)
{
    lamp_->setColor(lamp == StatusLamp::Green ? QColor(Qt::green) : QColor(Qt::red));
}

void MainWindow::setTrayImage(int image)
{
    trayImage_ = image;
    tray_->setIcon(tessaro::trayImage(image));
}

void MainWindow::showTrayBalloon(const std::string& text)
{
    balloonText_ = coreText(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (tray_->isVisible())
        tray_->showMessage(balloonTitle_, balloonText_, QSystemTrayIcon::Information, 1000);
}

void MainWindow::setPhoneActionsEnabled(bool openAndRestart, bool save)
{
    openFromPhone_->setEnabled(openAndRestart);
    restartPhone_->setEnabled(openAndRestart);
    saveToPhone_->setEnabled(save);
    comparePhone_->setEnabled(save);
}

bool MainWindow::menuHasNodes() const
{
    return !ctx_.menu.document.isEmpty();
}

} // namespace tessaro
