// The main window's phone commands: open from and save to the phone, restart it, and what
// the connection monitor shows in the status bar, the tray and the phone actions.
#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QSystemTrayIcon>

#include "phone/round_trip.h"
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
    const auto opened = menu_.openFromPhone();
    showProfileState();
    if (!opened) {
        // What was open stays open, as it was.
        showFailure(opened.failure());
        return;
    }
    summary_->setPlainText(tr("Item summary:"));
    summary_->hide();
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
