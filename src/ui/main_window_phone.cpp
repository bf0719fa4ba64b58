// The main window's phone commands: open from and save to the phone, restart it, and what
// the connection monitor shows in the status bar, the tray and the phone actions.
#include <QAction>
#include <QStatusBar>

#include "phone/round_trip.h"
#include "session/editor_session.h"
#include "session/upload_recovery.h"
#include "ui/item_summary_view.h"
#include "ui/main_commands.h"
#include "ui/main_status_bar.h"
#include "ui/main_window.h"
#include "ui/menu_tree_model.h"
#include "ui/menu_tree_view.h"
#include "ui/phone_tray_icon.h"

namespace tessaro {

void MainWindow::openFromPhone()
{
    if (!confirmUnsavedChanges())
        return;
    const auto opened = menu_.openFromPhone();
    showProfileState();
    if (!opened) {
        // What was open stays open, as it was.
        showFailure(opened.failure());
        return;
    }
    summary_->reset();
    showNotices(opened->notices);
    if (opened->patchOffered)
        if (const Status patched = menu_.offerJavaPatch(); !patched)
            showFailure(patched.failure());
    if (ctx_.menu.document.isEmpty())
        return;
    tree_->expand(model_->indexOfNode(ctx_.menu.document.menuRoot()));
    focusFirstItem();
}

void MainWindow::saveToPhone()
{
    if (!document_.isOpen())
        return;
    const Status saved = menu_.saveToPhone();
    if (saved) {
        statusBar()->showMessage(tr("The menu was written to the phone as %1").arg(QString::fromLatin1(kPhoneMenuPath)),
                                 kStatusMessageTime);
        return;
    }
    if (saved.cancelled())
        return;
    showFailure(saved.failure());
    if (const Status restored = menu_.offerPutBack(); !restored)
        showFailure(restored.failure());
}

void MainWindow::offerInterruptedUploads()
{
    showNotices(tessaro::offerInterruptedUploads(ctx_.phone, questions_));
}

void MainWindow::restartPhone()
{
    restartWhenReady(ctx_.roundTrip);
}

void MainWindow::setImeiPanel(const std::string& text)
{
    status_->setImeiPanel(text);
}

void MainWindow::setPhonePanel(const std::string& text)
{
    status_->setPhonePanel(text);
}

void MainWindow::setStatusLamp(StatusLamp lamp)
{
    status_->setLamp(lamp);
}

void MainWindow::setTrayImage(int image)
{
    tray_->setImage(image);
}

void MainWindow::showTrayBalloon(const std::string& text)
{
    tray_->showBalloon(text);
}

int MainWindow::trayImage() const
{
    return tray_->image();
}

QString MainWindow::balloonTitle() const
{
    return tray_->balloonTitle();
}

QString MainWindow::balloonText() const
{
    return tray_->balloonText();
}

void MainWindow::setPhoneActionsEnabled(bool openAndRestart, bool save)
{
    commands_->openFromPhoneAction()->setEnabled(openAndRestart);
    commands_->restartPhoneAction()->setEnabled(openAndRestart);
    commands_->saveToPhoneAction()->setEnabled(save);
    commands_->comparePhoneAction()->setEnabled(save);
}

bool MainWindow::menuHasNodes() const
{
    return !ctx_.menu.document.isEmpty();
}

} // namespace tessaro
