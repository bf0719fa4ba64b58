#include "ui/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "core/menu_writer.h"
#include "core/prompter.h"
#include "edit/tree_edit.h"
#include "phone/round_trip.h"
#include "session/editor_session.h"
#include "ui/about_box.h"
#include "ui/available_items_box.h"
#include "ui/browser_dialogs.h"
#include "ui/central_area.h"
#include "ui/core_text.h"
#include "ui/dialog_parent_scope.h"
#include "ui/empty_tree_hint.h"
#include "ui/file_dialogs.h"
#include "ui/gui_dispatch.h"
#include "ui/item_popup_menus.h"
#include "ui/item_properties_window.h"
#include "ui/item_summary_view.h"
#include "ui/main_commands.h"
#include "ui/main_status_bar.h"
#include "ui/menu_tree_model.h"
#include "ui/menu_tree_view.h"
#include "ui/phone_file_browser.h"
#include "ui/phone_tray_icon.h"
#include "ui/preview_dock.h"
#include "ui/profile_selector.h"
#include "ui/progress_window.h"
#include "ui/save_mode_panel.h"
#include "ui/setup_dialog.h"
#include "ui/splash_screen.h"
#include "ui/window_placement.h"
#include "workspace/firmware_profile.h"

namespace tessaro {

namespace {

// The client area the window keeps: everything below the menu bar.
constexpr int kClientWidth = 462;
constexpr int kClientHeight = 516;

const char* const kMmaFilter = QT_TRANSLATE_NOOP("Core", "All Files (*.*)|*.*");

} // namespace

MainWindow::MainWindow(EditorSession& context, Prompter& prompter, FileDialogs& files, AboutBox* about, QWidget* parent)
    : QMainWindow(parent),
      ctx_(context),
      prompter_(prompter),
      files_(files),
      about_(about),
      dispatch_(std::make_shared<GuiDispatch>(this)),
      questions_(prompter, this),
      menu_(context, questions_),
      document_(menu_.document())
{
    setObjectName(QStringLiteral("mainWindow"));
    showTitle();
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    setUnifiedTitleAndToolBarOnMac(false);
    // No menu of the tool bars on a right click: the tool bar stays as it is.
    setContextMenuPolicy(Qt::NoContextMenu);

    model_ = new MenuTreeModel(ctx_.menu.document, this);
    buildActions();
    buildProfileSelector();
    buildCentral();
    previewDock_ = new PreviewDock(*this, ctx_, *tree_, *model_);
    status_ = new MainStatusBar(this);
    setStatusBar(status_);
    tray_ = new PhoneTrayIcon(ctx_.link, this);
    document_.setListener([this] { documentChanged(); });

    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("fadeTimer"));
    connect(timer_, &QTimer::timeout, this, &MainWindow::fadeTick);

    // Opens at its usual size; the user may resize or maximise it, the tree takes the room.
    resize(kClientWidth + previewDock_->widthBeside(), kClientHeight + menuBar()->sizeHint().height());
    // On the middle of the screen, where the splash will stand too, unless it stood
    // elsewhere when it was last closed.
    placeWindow(*this, *splitter_, settingsPath(ctx_.dataFolder));
    // The window starts fully transparent and fades in.
    setWindowOpacity(0.0);

    startUp();
}

MainWindow::~MainWindow()
{
    // Status calls still queued or yet to come are dropped from here on.
    dispatch_->close();
    delete splash_;
}

// --- construction ---------------------------------------------------------------------------

void MainWindow::buildActions()
{
    // The popup menus first: the menu bar's own menus follow them among the window's children.
    popupMenus_ = new ItemPopupMenus(this);
    connect(popupMenus_, &ItemPopupMenus::insertRequested, this, &MainWindow::insertItem);
    connect(popupMenus_, &ItemPopupMenus::replaceRequested, this, &MainWindow::replaceItem);
    connect(popupMenus_, &ItemPopupMenus::modifyRequested, this, &MainWindow::modifyItem);
    connect(popupMenus_, &ItemPopupMenus::deleteRequested, this, &MainWindow::deleteItem);
    connect(popupMenus_, &ItemPopupMenus::moveUpRequested, this, &MainWindow::moveItemUp);
    connect(popupMenus_, &ItemPopupMenus::moveDownRequested, this, &MainWindow::moveItemDown);
    connect(popupMenus_, &ItemPopupMenus::updateNeeded, this, &MainWindow::updatePopupMenus);

    commands_ = new MainCommands(*this, ctx_.virtualPhone);
    const MainCommands& c = *commands_;
    connect(c.newAction(), &QAction::triggered, this, &MainWindow::newDocument);
    connect(c.openAction(), &QAction::triggered, this, &MainWindow::openDocument);
    connect(c.saveAction(), &QAction::triggered, this, &MainWindow::saveDocument);
    connect(c.saveAsAction(), &QAction::triggered, this, &MainWindow::saveDocumentAs);
    connect(c.openFromPhoneAction(), &QAction::triggered, this, &MainWindow::openFromPhone);
    connect(c.saveToPhoneAction(), &QAction::triggered, this, &MainWindow::saveToPhone);
    connect(c.restartPhoneAction(), &QAction::triggered, this, &MainWindow::restartPhone);
    connect(c.exportTextAction(), &QAction::triggered, this, &MainWindow::exportText);
    connect(c.importTextAction(), &QAction::triggered, this, &MainWindow::importText);
    connect(c.compareFileAction(), &QAction::triggered, this, &MainWindow::compareWithFile);
    connect(c.comparePhoneAction(), &QAction::triggered, this, &MainWindow::compareWithPhone);
    connect(c.exitAction(), &QAction::triggered, this, &QWidget::close);
    connect(c.undoAction(), &QAction::triggered, this, &MainWindow::undoStep);
    connect(c.redoAction(), &QAction::triggered, this, &MainWindow::redoStep);
    connect(c.setupAction(), &QAction::triggered, this, &MainWindow::showSetup);
    connect(c.aboutAction(), &QAction::triggered, this, &MainWindow::showAbout);
    textActionsChanged();
}

void MainWindow::buildProfileSelector()
{
    profiles_ = new ProfileSelector(commands_->toolBar());
    commands_->toolBar()->addWidget(profiles_);
    // `activated` comes from the user only; the program moves the selector silently.
    connect(profiles_, &QComboBox::activated, this, &MainWindow::pickProfile);
}

void MainWindow::buildCentral()
{
    auto* central = new CentralArea(*model_, *commands_, kClientWidth, this);
    tree_ = central->tree();
    emptyTreeHint_ = central->emptyTreeHint();
    splitter_ = central->splitter();
    available_ = central->availableItems();
    summary_ = central->summary();
    saveMode_ = central->saveModePanel();

    connect(tree_, &MenuTreeView::dropRequested, this, &MainWindow::dropOnNode);
    connect(tree_, &MenuTreeView::selectedNodeChanged, this, [this] {
        showStatusLine();
        showItemSummary();
    });
    connect(tree_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        const QModelIndex index = tree_->indexAt(pos);
        if (index.isValid())
            tree_->setCurrentIndex(index);
        popupMenus_->treeMenu()->popup(tree_->viewport()->mapToGlobal(pos));
    });
    connect(model_, &MenuTreeModel::nodeAdded, this, [this] { showStatusLine(); });

    connect(central, &CentralArea::availableLabelDoubleClicked, this, &MainWindow::toggleJokeMode);
    connect(available_, &AvailableItemsBox::itemPicked, this, &MainWindow::pickAvailableItem);
    connect(available_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { popupMenus_->availableItemsMenu()->popup(available_->mapToGlobal(pos)); });
    connect(saveMode_, &SaveModePanel::changeRequested, this, &MainWindow::changeSaveMode);
    setCentralWidget(central);

    // Keyboard and double-click on the tree; the keys are shown in the tree's popup menu.
    tree_->installEventFilter(this);
    tree_->setExpandsOnDoubleClick(false);
    connect(tree_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (canModify(ctx_.menu.document, tree_->selectedNode()))
            modifyItem();
        else
            tree_->setExpanded(index, !tree_->isExpanded(index));
    });
}

// --- start-up ---------------------------------------------------------------------------------

void MainWindow::startUp()
{
    // Profiles folder, item base, available items, profile list, selector and settings.
    const Status profiles = ctx_.startUp();
    fillAvailableItems();
    fillProfileSelector();
    tree_->collapseList().clear();
    showSaveMode();
    if (!profiles)
        showError(profiles.error());

    fade_.start();

    // The phone library may call from a thread of its own: every status call is queued to
    // this window's thread before it touches anything.
    const EditorSession::PhoneStart started = ctx_.startPhone(
        *this, [dispatch = dispatch_](std::function<void()> work) { dispatch->post(std::move(work)); },
        [this](const std::string& prefix) { selectPhoneProfile(prefix); }, true, [this] { offerInterruptedUploads(); });
    for (const Status& step : {started.log, started.library})
        if (!step)
            prompter_.show(MessageIcon::Error, step.failure().caption, step.error());

    splash_ = new SplashScreen(this);
    splash_->centreOnOwner();
    splash_->show();
    timer_->start(fade_.interval());
}

// --- showing the state ------------------------------------------------------------------------

void MainWindow::showSaveMode()
{
    saveMode_->showSaveMode(ctx_.menu.saveMode);
}

void MainWindow::fillAvailableItems()
{
    available_->fill(ctx_.menu.items.available());
    picked_.clear();
}

void MainWindow::fillProfileSelector()
{
    profiles_->showEntries(ctx_.profiles.selectorEntries(), ctx_.profiles.selectorIndex());
}

void MainWindow::documentCommandsChanged()
{
    const DocumentCommands c = documentCommands(document_.isOpen(), ctx_.link.connected);
    commands_->saveAction()->setEnabled(c.save);
    commands_->saveAsAction()->setEnabled(c.save);
    commands_->saveToPhoneAction()->setEnabled(c.saveToPhone);
    available_->setMenuOpen(c.availableItems);
    textActionsChanged();
}

QLabel* MainWindow::statusPanel(int number) const
{
    return status_->panel(number);
}

void MainWindow::showStatusLine()
{
    QString line = coreText(statusLine(ctx_.menu.formatRead, ctx_.menu.saveMode.recordSize(),
                                       ctx_.menu.document.nodeCount()));
    // Records a save would drop are said before any save asks about them.
    if (const size_t leftOut = unknownRecordsLeftOut(ctx_.menu))
        line += tr("  Left out on save: %1").arg(leftOut);
    status_->setInfoText(line);
}

void MainWindow::showItemSummary()
{
    summary_->showLines(itemSummary(ctx_.menu.document, tree_->selectedNode()));
}

void MainWindow::showError(const std::string& text)
{
    prompter_.show(MessageIcon::Error, "", text);
}

void MainWindow::showFailure(const Error& error, MessageIcon icon)
{
    if (!error.cancelled())
        prompter_.show(icon, error.caption, error.text);
}

void MainWindow::showNotices(const std::vector<Notice>& notices)
{
    for (const Notice& notice : notices)
        prompter_.show(notice.icon, notice.caption, notice.text);
}

// --- undo history and unsaved changes -----------------------------------------------------

bool MainWindow::confirmUnsavedChanges()
{
    return menu_.mayCloseMenu([this] { return saveDocument(); });
}

void MainWindow::changeSaveMode(const std::function<void(SaveMode&)>& change)
{
    document_.change(undo_step::ChangeSaveMode, viewState(), [&] {
        change(ctx_.menu.saveMode);
        showSaveMode();
    });
}

void MainWindow::documentChanged()
{
    const UndoHistory& history = document_.history();
    const bool canUndo = document_.isOpen() && history.canUndo();
    const bool canRedo = document_.isOpen() && history.canRedo();
    QAction* undo = commands_->undoAction();
    QAction* redo = commands_->redoAction();
    undo->setEnabled(canUndo);
    redo->setEnabled(canRedo);
    undo->setText(canUndo ? tr("&Undo ") + coreText(history.undoName()) : tr("&Undo"));
    redo->setText(canRedo ? tr("&Redo ") + coreText(history.redoName()) : tr("&Redo"));
    showTitle();
    setWindowModified(document_.isModified());
    emptyTreeHint_->setVisible(!document_.isOpen());
    documentCommandsChanged();
    showStatusLine();
}

ViewState MainWindow::viewState() const
{
    return tree_->viewState();
}

void MainWindow::showRestored(const std::optional<ViewState>& view)
{
    if (!view)
        return;
    tree_->showViewState(*view);
    showSaveMode();
    showItemSummary();
}

void MainWindow::undoStep()
{
    showRestored(document_.undo(viewState()));
}

void MainWindow::redoStep()
{
    showRestored(document_.redo(viewState()));
}

void MainWindow::showTitle()
{
    QString open;
    switch (menu_.origin()) {
    case MenuOrigin::None: break;
    case MenuOrigin::New: open = tr("new menu"); break;
    case MenuOrigin::File: open = QFileInfo(QString::fromStdString(menu_.filePath())).fileName(); break;
    case MenuOrigin::Phone: open = tr("from phone"); break;
    case MenuOrigin::Text: open = tr("imported"); break;
    }
    const QString caption = coreText(caption_);
    setWindowTitle(open.isEmpty() ? caption + QStringLiteral("[*]") : open + QStringLiteral("[*] - ") + caption);
}

void MainWindow::updatePopupMenus()
{
    const EnabledOperations ops = enabledOperations(ctx_.menu.document, tree_->selectedNode(),
                                                    available_->currentIndex() >= 0);
    popupMenus_->update(ops, available_->currentIndex() >= 0);
}

// --- document commands ------------------------------------------------------------------------

void MainWindow::newDocument()
{
    if (!confirmUnsavedChanges())
        return;
    menu_.newMenu();
    summary_->hide();
    MenuNode* root = ctx_.menu.document.menuRoot();
    tree_->selectNode(root);
    tree_->expand(model_->indexOfNode(root));
}

void MainWindow::openDocument()
{
    if (!confirmUnsavedChanges())
        return;
    const std::string path = files_.openFile({QT_TRANSLATE_NOOP("Core", "Open mma file"),
                                              kMmaFilter, {}, {}});
    if (!path.empty())
        openFile(path);
}

void MainWindow::openFile(const std::string& path)
{
    const Result<MenuOpenReport> opened = menu_.openFile(path);
    // The available items, the selector and the save mode follow the profile the open chose.
    showProfileState();
    if (!opened) {
        // What was open stays open, as it was.
        showError(opened.error());
        return;
    }
    summary_->reset();
    showNotices(opened->notices);
    if (opened->repaired)
        showNotices({repairsNotice(*opened)});
    tree_->expand(model_->indexOfNode(ctx_.menu.document.menuRoot()));
    focusFirstItem();
}

void MainWindow::focusFirstItem()
{
    const MenuDocument& document = ctx_.menu.document;
    if (document.isEmpty())
        return;
    MenuNode* root = document.menuRoot();
    MenuNode* first = root && root->hasChildren() ? root->children().front().get() : root;
    tree_->selectNode(first);
    tree_->setFocus(Qt::OtherFocusReason);
}

bool MainWindow::saveDocument()
{
    if (!document_.isOpen())
        return false;
    if (menu_.filePath().empty())
        return saveDocumentAs();
    return saved(menu_.save(), QString::fromStdString(menu_.filePath()));
}

bool MainWindow::saveDocumentAs()
{
    if (!document_.isOpen())
        return false;
    const std::string path = files_.saveFile({QT_TRANSLATE_NOOP("Core", "Save mma as..."),
                                              kMmaFilter, {}, {}});
    if (path.empty())
        return false;
    return saved(menu_.saveAs(path), QString::fromStdString(path));
}

bool MainWindow::saved(const Status& status, const QString& where)
{
    if (!status) {
        showFailure(status.failure());
        return false;
    }
    statusBar()->showMessage(tr("Saved %1").arg(where), kStatusMessageTime);
    return true;
}

void MainWindow::showSetup()
{
    SetupDialog form(ctx_.settings, settingsPath(ctx_.dataFolder), &ctx_.phone,
                    ctx_.link.connected, files_, prompter_, this);
    DialogParentScope over(&form);
    over.add(prompter_).add(files_).add(ctx_.phone.prompter).add(ctx_.phone.progress);
    if (form.exec() == QDialog::Accepted)
        ctx_.log.setEnabled(ctx_.settings.logEnabled);
}

void MainWindow::showAbout()
{
    if (!about_) {
        ownAbout_ = std::make_unique<AboutBox>(this);
        about_ = ownAbout_.get();
    }
    about_->exec();
}

// --- the connected phone's profile -------------------------------------------------------------

void MainWindow::selectPhoneProfile(const std::string& prefix)
{
    // A profile brings its own save mode; a change of it can be taken back like a click.
    if (const Status loaded = menu_.choosePhoneProfile(prefix, viewState()); !loaded) {
        // No profile for this phone is said in the status bar, not at every start and
        // plug-in in a message box; a broken profile still is.
        if (loaded.failure().kind == ErrorKind::NotFound)
            statusBar()->showMessage(coreText(loaded.error()), kStatusMessageTime);
        else
            showFailure(loaded.failure(), MessageIcon::Warning);
    }
    showProfileState();
}

void MainWindow::showProfileState()
{
    fillAvailableItems();
    fillProfileSelector();
    showSaveMode();
}

// --- tree commands ----------------------------------------------------------------------------

void MainWindow::insertItem(InsertPosition position)
{
    MenuNode* selected = tree_->selectedNode();
    const int entry = available_->currentIndex();
    if (!selected || entry < 0)
        return;
    const auto result = document_.change(undo_step::InsertItem, viewState(), [&] {
        return insertAvailableItem(ctx_.menu, static_cast<size_t>(entry), selected, position);
    });
    if (!result) {
        if (result.failure().kind == ErrorKind::Refused)
            showFailure(result.failure(), MessageIcon::Warning);
        return;
    }
    // A custom item is selected and its properties are edited at once.
    if (result->custom)
        tree_->selectNode(result->node);
    tree_->expand(model_->indexOfNode(selected));
    if (result->custom)
        modifyNode(result->node);
}

void MainWindow::replaceItem()
{
    MenuNode* node = tree_->selectedNode();
    const int entry = available_->currentIndex();
    if (!node || entry < 0)
        return;
    const auto result = document_.change(undo_step::ReplaceItem, viewState(), [&] {
        return replaceWithItem(ctx_.menu, static_cast<size_t>(entry), node);
    });
    if (!result)
        return;
    showItemSummary();
    if (result->custom)
        modifyNode(result->node);
}

void MainWindow::modifyItem()
{
    MenuNode* node = tree_->selectedNode();
    if (canModify(ctx_.menu.document, node))
        modifyNode(node);
}

void MainWindow::modifyNode(MenuNode* node)
{
    MenuDocument& document = ctx_.menu.document;
    ItemPropertiesWindow form(ctx_, prompter_, files_, entryLanguages_, this);
    form.setPhoneFilePicker([this](QWidget* parent, bool animatedIcon) {
        if (!browserDialogs_) {
            browserDialogs_ = std::make_unique<BrowserDialogs>();
            browserChoices_ = std::make_unique<QtBrowserChoices>(this);
        }
        return pickPhoneFile(parent, ctx_.phone, ctx_.browser, *browserDialogs_, *browserChoices_,
                             animatedIcon);
    });
    const bool saveAll = ctx_.menu.saveMode.saveAll();
    // Apply stores the change at once, as an undo step of its own.
    form.setApplyHandler([&](const ItemEditResult& result) {
        document_.change(undo_step::ModifyItem, viewState(), [&] { commitItemEdit(document, *node, result, saveAll); });
        showItemSummary();
    });
    const int index = document.indexOf(node);
    form.loadItem(document.data().at(node->item.recordNo), node->item.itemType,
                  index >= 0 && index < kMenuRootIndex, node->item.attributes, node->item.options);
    bool ok = false;
    {
        DialogParentScope over(&form);
        over.add(prompter_).add(files_).add(ctx_.phone.prompter).add(ctx_.phone.progress);
        ok = runItemEditor_ ? runItemEditor_(form) : form.exec() == QDialog::Accepted;
    }
    if (ok) {
        document_.change(undo_step::ModifyItem, viewState(),
                         [&] { commitItemEdit(document, *node, form.itemResult(saveAll), saveAll); });
    }
    showItemSummary();
}

void MainWindow::deleteItem()
{
    MenuNode* node = tree_->selectedNode();
    if (!node)
        return;
    // The question comes before the change: no message box runs inside one.
    MenuDocument& document = ctx_.menu.document;
    if (!canDelete(document, node) || !confirmDeleteSubtree(prompter_))
        return;
    if (document_.change(undo_step::DeleteItem, viewState(), [&] { return deleteSubtree(document, node); }))
        showItemSummary();
}

void MainWindow::moveItemUp()
{
    MenuNode* node = tree_->selectedNode();
    if (!node)
        return;
    document_.change(undo_step::MoveUp, viewState(), [&] {
        if (moveNodeUp(ctx_.menu.document, node))
            tree_->selectNode(node);
    });
}

void MainWindow::moveItemDown()
{
    MenuNode* node = tree_->selectedNode();
    if (!node)
        return;
    document_.change(undo_step::MoveDown, viewState(), [&] {
        if (moveNodeDown(ctx_.menu.document, node))
            tree_->selectNode(node);
    });
}

void MainWindow::dropOnNode(MenuNode* target, const DragSource& source)
{
    const auto result = document_.change(undo_step::DropItem, viewState(), [&] {
        return dropOntoNode(ctx_.menu, target, source);
    });
    if (!result) {
        if (result.failure().kind == ErrorKind::Refused)
            showFailure(result.failure(), MessageIcon::Warning);
        return;
    }
    tree_->selectNode(source.fromTree ? source.node : result->node);
    tree_->collapseAfterDrop(result->node);
    if (!source.fromTree && result->custom)
        modifyNode(result->node);
}

void MainWindow::pickAvailableItem(int index)
{
    if (index < 0)
        return;
    picked_ = available_->itemText(index).toStdString();
    if (!tree_->selectedNode())
        return;
    popupMenus_->availableItemsMenu()->popup(
        available_->mapToGlobal(QPoint(available_->width() / 2, available_->height())));
}

// --- profiles ---------------------------------------------------------------------------------

void MainWindow::pickProfile(int index)
{
    const auto selection = menu_.chooseProfile(index, viewState());
    if (!selection)
        showFailure(selection.failure(), MessageIcon::Warning);
    else if (*selection == ProfileManager::Selection::CreateNew)
        createFirmwareProfile();
    showProfileState();
}

void MainWindow::createFirmwareProfile()
{
    const std::string image = files_.openFile(
        {QT_TRANSLATE_NOOP("Core", "Select CG1 to create FW profile"),
         QT_TRANSLATE_NOOP("Core", "CG1 binaries|*.bin;*.smg|All files|*.*"), {}, {}});
    const Result<std::vector<Notice>> made = menu_.createFirmwareProfile(image, viewState());
    if (made) {
        showNotices(*made);
        prompter_.show(MessageIcon::None, "", std::string(kProfileCreatedText));
    } else if (!made.failure().cancelled()) {
        // A file error first, then the line every failure ends with.
        if (made.failure().kind == ErrorKind::Io)
            showFailure(made.failure());
        prompter_.show(MessageIcon::None, "", std::string(kProfileNotCreatedText));
    }
}

// --- window -----------------------------------------------------------------------------------

void MainWindow::toggleJokeMode()
{
    if (joke_.toggle()) {
        const QRect hole(tree_->mapTo(this, QPoint(0, 0)), tree_->size());
        caption_ = joke_.caption();
        showTitle();
        tree_->hide();
        setMask(QRegion(rect()).subtracted(QRegion(hole)));
    } else {
        tree_->show();
        caption_ = joke_.caption();
        showTitle();
        clearMask();
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == tree_ && event->type() == QEvent::KeyPress
        && popupMenus_->treeKey(static_cast<QKeyEvent*>(event), *tree_))
        return true;
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::trayIconHovered()
{
    tray_->showPhoneInfo();
}

void MainWindow::fadeTick()
{
    const WindowFade::Tick t = fade_.tick();
    setWindowOpacity(t.windowAlpha / 255.0);
    if (splash_ && t.splashAlpha)
        splash_->setAlpha(*t.splashAlpha);
    if (splash_ && t.closeSplash)
        splash_->close();
    timer_->setInterval(fade_.interval());
    if (t.stopTimer)
        timer_->stop();
    if (t.requestClose)
        close();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Unsaved changes are asked about when the user closes, not on the fade-out's own
    // requests; Cancel leaves the window as it was, before the reboot question or a fade.
    if (fade_.direction() == WindowFade::Direction::In && !confirmUnsavedChanges()) {
        event->ignore();
        return;
    }
    // Asked once: the answer clears the stored-to-phone flag.
    askRestartOnClose(ctx_.roundTrip);
    const bool mayClose = fade_.closeRequested();
    if (fade_.timerRunning() && !timer_->isActive())
        timer_->start(fade_.interval());
    if (!mayClose) {
        event->ignore();
        return;
    }
    timer_->stop();

    // The window goes: its place, the splash, the log, the phone file lists and the working
    // files.
    savePlacement(*this, *splitter_, settingsPath(ctx_.dataFolder));
    delete splash_;
    splash_ = nullptr;
    if (ctx_.settings.logEnabled)
        ctx_.log.close();
    ctx_.browser.forgetPhone();
    if (tray_)
        tray_->hide();
    event->accept();
}

} // namespace tessaro
