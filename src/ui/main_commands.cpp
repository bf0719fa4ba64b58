#include "ui/main_commands.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include "ui/app_icons.h"
#include "ui/named_action.h"
#include "ui/virtual_phone_menu.h"

namespace tessaro {

MainCommands::MainCommands(QMainWindow& window, VirtualPhone* virtualPhone) : QObject(&window)
{
    buildActions();
    buildTextActions();
    buildMenus(window, virtualPhone);
    buildToolBar(window);
}

void MainCommands::buildActions()
{
    newAction_ = makeAction(this, "newAction", tr("&New"));
    newAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    newAction_->setIcon(newDocumentIcon());
    newAction_->setToolTip(tr("Create new mma_ucp from scratch"));

    openAction_ = makeAction(this, "openAction", tr("&Open"));
    openAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    openAction_->setIcon(openDocumentIcon());
    openAction_->setToolTip(tr("Open mma_ucp from file"));

    saveAction_ = makeAction(this, "saveAction", tr("&Save"));
    saveAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    saveAction_->setIcon(saveDocumentIcon());
    saveAction_->setToolTip(tr("Save mma_ucp to file"));
    saveAction_->setEnabled(false);

    saveAsAction_ = makeAction(this, "saveAsAction", tr("Save &as..."));
    saveAsAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    saveAsAction_->setEnabled(false);

    openFromPhoneAction_ = makeAction(this, "openFromPhoneAction", tr("Open from &phone"));
    openFromPhoneAction_->setIcon(phoneCommandIcon(PhoneGlyph::OpenFromPhone));
    openFromPhoneAction_->setToolTip(tr("Open mma_ucp from phone"));
    openFromPhoneAction_->setEnabled(false);

    saveToPhoneAction_ = makeAction(this, "saveToPhoneAction", tr("Save to p&hone"));
    saveToPhoneAction_->setIcon(phoneCommandIcon(PhoneGlyph::SaveToPhone));
    saveToPhoneAction_->setToolTip(tr("Save mma_ucp to phone"));
    saveToPhoneAction_->setEnabled(false);

    restartPhoneAction_ = makeAction(this, "restartPhoneAction", tr("&Restart Phone"));
    restartPhoneAction_->setIcon(phoneCommandIcon(PhoneGlyph::Restart));
    restartPhoneAction_->setToolTip(tr("Restart phone"));
    restartPhoneAction_->setEnabled(false);

    exitAction_ = makeAction(this, "exitAction", tr("E&xit"));
    setupAction_ = makeAction(this, "setupAction", tr("&Setup"));
    aboutAction_ = makeAction(this, "aboutAction", tr("&About..."));

    undoAction_ = makeAction(this, "undoAction", tr("&Undo"));
    undoAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    undoAction_->setEnabled(false);
    redoAction_ = makeAction(this, "redoAction", tr("&Redo"));
    redoAction_->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    redoAction_->setEnabled(false);
}

void MainCommands::buildTextActions()
{
    exportTextAction_ = makeAction(this, "exportTextAction", tr("&Export as text..."));
    exportTextAction_->setToolTip(tr("Write the menu as an editable JSON description"));
    importTextAction_ = makeAction(this, "importTextAction", tr("&Import text..."));
    importTextAction_->setToolTip(tr("Open a menu from its JSON description"));
    compareFileAction_ = makeAction(this, "compareFileAction", tr("&Compare with..."));
    compareFileAction_->setToolTip(tr("Show what differs between this menu and an mma_ucp file or a menu text"));
    comparePhoneAction_ = makeAction(this, "comparePhoneAction", tr("Co&mpare with phone"));
    comparePhoneAction_->setToolTip(tr("Show what Save to phone would change on the phone"));
    for (QAction* a : {exportTextAction_, compareFileAction_, comparePhoneAction_})
        a->setEnabled(false);
}

void MainCommands::buildMenus(QMainWindow& window, VirtualPhone* virtualPhone)
{
    QMenuBar* bar = window.menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));
    QMenu* file = bar->addMenu(tr("&File"));
    file->setObjectName(QStringLiteral("fileMenu"));
    file->addAction(newAction_);
    file->addAction(openAction_);
    file->addAction(saveAction_);
    file->addAction(saveAsAction_);
    file->addAction(openFromPhoneAction_);
    file->addAction(saveToPhoneAction_);
    file->addAction(restartPhoneAction_);
    file->addSeparator();
    file->addAction(exportTextAction_);
    file->addAction(importTextAction_);
    file->addAction(compareFileAction_);
    file->addAction(comparePhoneAction_);
    file->addSeparator();
    file->addAction(exitAction_);
    QMenu* edit = bar->addMenu(tr("&Edit"));
    edit->setObjectName(QStringLiteral("editMenu"));
    edit->addAction(undoAction_);
    edit->addAction(redoAction_);
    bar->addAction(setupAction_);
    if (virtualPhone)
        bar->addMenu(new VirtualPhoneMenu(*virtualPhone, bar));
    QMenu* help = bar->addMenu(tr("&Help"));
    help->setObjectName(QStringLiteral("helpMenu"));
    help->addAction(aboutAction_);
}

void MainCommands::buildToolBar(QMainWindow& window)
{
    auto* bar = new QToolBar(&window);
    toolBar_ = bar;
    bar->setObjectName(QStringLiteral("toolBar"));
    window.addToolBar(bar);
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(20, 20));
    bar->toggleViewAction()->setVisible(false);
    auto button = [bar](const char* name, QAction* action) {
        auto* b = new QToolButton(bar);
        b->setObjectName(QString::fromLatin1(name));
        b->setDefaultAction(action);
        b->setAutoRaise(true);
        bar->addWidget(b);
        return b;
    };
    button("newButton", newAction_);
    button("openButton", openAction_);
    button("saveButton", saveAction_);
    bar->addSeparator();
    button("openFromPhoneButton", openFromPhoneAction_);
    button("saveToPhoneButton", saveToPhoneAction_);
    button("restartPhoneButton", restartPhoneAction_);
    bar->addSeparator();
}

} // namespace tessaro
