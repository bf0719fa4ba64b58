#include "ui/main_window.h"

#include <QAction>
#include <QBuffer>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QKeyEvent>
#include <QRadioButton>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/menu_writer.h"
#include "core/prompter.h"
#include "core/replacing_file.h"
#include "edit/tree_edit.h"
#include "p2k/virtual_phone.h"
#include "phone/round_trip.h"
#include "session/editor_session.h"
#include "ui/about_box.h"
#include "ui/app_icons.h"
#include "ui/available_items_box.h"
#include "ui/browser_dialogs.h"
#include "ui/core_text.h"
#include "ui/dialog_parent_scope.h"
#include "ui/elided_label.h"
#include "ui/empty_tree_hint.h"
#include "ui/file_dialogs.h"
#include "ui/gui_dispatch.h"
#include "ui/item_properties_window.h"
#include "ui/lamp_shape.h"
#include "ui/menu_tree_model.h"
#include "ui/menu_tree_view.h"
#include "ui/phone_file_browser.h"
#include "ui/progress_window.h"
#include "ui/qt_prompter.h"
#include "ui/screen_fit.h"
#include "ui/setup_dialog.h"
#include "ui/splash_screen.h"
#include "workspace/firmware_profile.h"

namespace tessaro {

namespace {

// The client area the window keeps: everything below the menu bar.
constexpr int kClientWidth = 462;
constexpr int kClientHeight = 516;

const char* const kMmaFilter = QT_TRANSLATE_NOOP("Core", "All Files (*.*)|*.*");

QString qs(const std::string& text)
{
    return QtPrompter::displayText(text);
}

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
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint
                   | Qt::WindowCloseButtonHint);
    setWindowIcon(applicationIcon());
    setUnifiedTitleAndToolBarOnMac(false);

    model_ = new MenuTreeModel(ctx_.menu.document, this);
    buildActions();
    buildMenus();
    buildToolBar();
    buildCentral();
    buildStatusBar();
    buildTray();
    document_.setListener([this] { documentChanged(); });

    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("fadeTimer"));
    connect(timer_, &QTimer::timeout, this, &MainWindow::fadeTick);

    // Opens at its usual size; the user may resize or maximise it, the tree takes the room.
    resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    // On the middle of the screen, where the splash will stand too, unless it stood
    // elsewhere when it was last closed.
    centreOn(this, nullptr);
    restorePlacement();
    fitIntoScreen(*this);
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

QAction* MainWindow::makeAction(QObject* owner, const char* name, const QString& text)
{
    auto* a = new QAction(text, owner);
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

// --- construction ---------------------------------------------------------------------------

void MainWindow::buildActions()
{
    QStyle* st = style();
    newAction_ = makeAction(this, "newAction", tr("&New"));
    newAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    newAction_->setIcon(newDocumentIcon());
    newAction_->setToolTip(tr("Create new mma_ucp from scratch"));
    connect(newAction_, &QAction::triggered, this, &MainWindow::newDocument);

    openAction_ = makeAction(this, "openAction", tr("&Open"));
    openAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    openAction_->setIcon(st->standardIcon(QStyle::SP_DialogOpenButton));
    openAction_->setToolTip(tr("Open mma_ucp from file"));
    connect(openAction_, &QAction::triggered, this, &MainWindow::openDocument);

    save_ = makeAction(this, "saveAction", tr("&Save"));
    save_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    save_->setIcon(st->standardIcon(QStyle::SP_DialogSaveButton));
    save_->setToolTip(tr("Save mma_ucp to file"));
    save_->setEnabled(false);
    connect(save_, &QAction::triggered, this, &MainWindow::saveDocument);

    saveAction_ = makeAction(this, "saveAsAction", tr("Save &as..."));
    saveAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    saveAction_->setEnabled(false);
    connect(saveAction_, &QAction::triggered, this, &MainWindow::saveDocumentAs);

    openFromPhone_ = makeAction(this, "openFromPhoneAction", tr("Open from &phone"));
    openFromPhone_->setIcon(phoneCommandIcon(PhoneGlyph::OpenFromPhone));
    openFromPhone_->setToolTip(tr("Open mma_ucp from phone"));
    openFromPhone_->setEnabled(false);
    connect(openFromPhone_, &QAction::triggered, this, &MainWindow::openFromPhone);

    saveToPhone_ = makeAction(this, "saveToPhoneAction", tr("Save to p&hone"));
    saveToPhone_->setIcon(phoneCommandIcon(PhoneGlyph::SaveToPhone));
    saveToPhone_->setToolTip(tr("Save mma_ucp to phone"));
    saveToPhone_->setEnabled(false);
    connect(saveToPhone_, &QAction::triggered, this, &MainWindow::saveToPhone);

    restartPhone_ = makeAction(this, "restartPhoneAction", tr("&Restart Phone"));
    restartPhone_->setIcon(phoneCommandIcon(PhoneGlyph::Restart));
    restartPhone_->setToolTip(tr("Restart phone"));
    restartPhone_->setEnabled(false);
    connect(restartPhone_, &QAction::triggered, this, &MainWindow::restartPhone);

    exitAction_ = makeAction(this, "exitAction", tr("E&xit"));
    connect(exitAction_, &QAction::triggered, this, &QWidget::close);

    setupAction_ = makeAction(this, "setupAction", tr("&Setup"));
    connect(setupAction_, &QAction::triggered, this, &MainWindow::showSetup);

    aboutAction_ = makeAction(this, "aboutAction", tr("&About..."));
    connect(aboutAction_, &QAction::triggered, this, &MainWindow::showAbout);

    undo_ = makeAction(this, "undoAction", tr("&Undo"));
    undo_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    undo_->setEnabled(false);
    connect(undo_, &QAction::triggered, this, &MainWindow::undoStep);
    redo_ = makeAction(this, "redoAction", tr("&Redo"));
    redo_->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    redo_->setEnabled(false);
    connect(redo_, &QAction::triggered, this, &MainWindow::redoStep);

    // The menu of the available items.
    availableItemsMenu_ = new QMenu(this);
    availableItemsMenu_->setObjectName(QStringLiteral("availableItemsMenu"));
    // Without a pick every entry is off; the first line says why.
    pickFirstHint_ = makeAction(this, "pickFirstHint", tr("Pick an item in \"Available mma items\" first"));
    pickFirstHint_->setEnabled(false);
    availableItemsMenu_->addAction(pickFirstHint_);
    QMenu* subitem = availableItemsMenu_->addMenu(tr("Add subitem"));
    addSubitemMenu_ = subitem->menuAction();
    addSubitemMenu_->setObjectName(QStringLiteral("addSubitemMenu"));
    addSubitemFirst_ = makeAction(this, "addSubitemFirstAction", tr("Add First"));
    addSubitemLast_ = makeAction(this, "addSubitemLastAction", tr("Add Last"));
    subitem->addAction(addSubitemFirst_);
    subitem->addAction(addSubitemLast_);
    QMenu* item = availableItemsMenu_->addMenu(tr("Add item"));
    addItemMenu_ = item->menuAction();
    addItemMenu_->setObjectName(QStringLiteral("addItemMenu"));
    addItemFirst_ = makeAction(this, "addItemFirstAction", tr("Add First"));
    addItemBefore_ = makeAction(this, "addItemBeforeAction", tr("Add Before"));
    item->addAction(addItemFirst_);
    item->addAction(addItemBefore_);
    replace_ = makeAction(this, "replaceAction", tr("Replace"));
    availableItemsMenu_->addAction(replace_);
    connect(addSubitemFirst_, &QAction::triggered, this,
            [this] { insertItem(InsertPosition::AddSubitemFirst); });
    connect(addSubitemLast_, &QAction::triggered, this,
            [this] { insertItem(InsertPosition::AddSubitemLast); });
    connect(addItemFirst_, &QAction::triggered, this, [this] { insertItem(InsertPosition::AddFirst); });
    connect(addItemBefore_, &QAction::triggered, this,
            [this] { insertItem(InsertPosition::AddBefore); });
    connect(replace_, &QAction::triggered, this, &MainWindow::replaceItem);
    connect(availableItemsMenu_, &QMenu::aboutToShow, this, &MainWindow::updatePopupMenus);

    // The menu of the tree.
    treeMenu_ = new QMenu(this);
    treeMenu_->setObjectName(QStringLiteral("treeMenu"));
    modify_ = makeAction(this, "modifyItemAction", tr("Modify item"));
    delete_ = makeAction(this, "deleteItemAction", tr("Delete item"));
    moveUp_ = makeAction(this, "moveUpAction", tr("Move up"));
    moveDown_ = makeAction(this, "moveDownAction", tr("Move down"));
    // Shown in the menu; the tree itself takes the keys (treeKey).
    modify_->setShortcut(QKeySequence(Qt::Key_F2));
    delete_->setShortcut(QKeySequence(Qt::Key_Delete));
    moveUp_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Up));
    moveDown_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Down));
    for (QAction* a : {modify_, delete_, moveUp_, moveDown_})
        a->setShortcutContext(Qt::WidgetShortcut);
    treeMenu_->addAction(modify_);
    treeMenu_->addAction(delete_);
    treeMenu_->addAction(moveUp_);
    treeMenu_->addAction(moveDown_);
    connect(modify_, &QAction::triggered, this, &MainWindow::modifyItem);
    connect(delete_, &QAction::triggered, this, &MainWindow::deleteItem);
    connect(moveUp_, &QAction::triggered, this, &MainWindow::moveItemUp);
    connect(moveDown_, &QAction::triggered, this, &MainWindow::moveItemDown);
    connect(treeMenu_, &QMenu::aboutToShow, this, &MainWindow::updatePopupMenus);
}

void MainWindow::buildMenus()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));
    QMenu* file = bar->addMenu(tr("&File"));
    file->setObjectName(QStringLiteral("fileMenu"));
    file->addAction(newAction_);
    file->addAction(openAction_);
    file->addAction(save_);
    file->addAction(saveAction_);
    file->addAction(openFromPhone_);
    file->addAction(saveToPhone_);
    file->addAction(restartPhone_);
    buildTextActions(file);
    file->addSeparator();
    file->addAction(exitAction_);
    QMenu* edit = bar->addMenu(tr("&Edit"));
    edit->setObjectName(QStringLiteral("editMenu"));
    edit->addAction(undo_);
    edit->addAction(redo_);
    bar->addAction(setupAction_);
    if (VirtualPhone* phone = ctx_.virtualPhone) {
        // The virtual phone can be plugged in and pulled out like a real one.
        QMenu* virtualPhone = bar->addMenu(tr("&Virtual phone"));
        virtualPhone->setObjectName(QStringLiteral("virtualPhoneMenu"));
        plugIn_ = makeAction(this, "plugInAction", tr("&Plug in"));
        unplug_ = makeAction(this, "unplugAction", tr("&Unplug"));
        connect(plugIn_, &QAction::triggered, this, [phone] { phone->plug(); });
        connect(unplug_, &QAction::triggered, this, [phone] { phone->unplug(); });
        connect(virtualPhone, &QMenu::aboutToShow, this, [this, phone] {
            plugIn_->setEnabled(!phone->isPlugged());
            unplug_->setEnabled(phone->isPlugged());
        });
        virtualPhone->addAction(plugIn_);
        virtualPhone->addAction(unplug_);
    }
    QMenu* help = bar->addMenu(tr("&Help"));
    help->setObjectName(QStringLiteral("helpMenu"));
    help->addAction(aboutAction_);
}

void MainWindow::buildToolBar()
{
    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("toolBar"));
    addToolBar(bar);
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(20, 20));
    bar->toggleViewAction()->setVisible(false);
    setContextMenuPolicy(Qt::NoContextMenu);
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
    button("saveButton", save_);
    bar->addSeparator();
    button("openFromPhoneButton", openFromPhone_);
    button("saveToPhoneButton", saveToPhone_);
    button("restartPhoneButton", restartPhone_);
    bar->addSeparator();

    profiles_ = new QComboBox(bar);
    profiles_->setObjectName(QStringLiteral("profileSelector"));
    profiles_->setToolTip(tr("Select a profile for target phone.\nProfile excludes unsupported "
                             "mma items and sets proper mma_ucp format"));
    profiles_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    profiles_->setMinimumContentsLength(12);
    profiles_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    bar->addWidget(profiles_);
    // `activated` comes from the user only; the program moves the selector silently.
    connect(profiles_, &QComboBox::activated, this, &MainWindow::pickProfile);
}

void MainWindow::buildCentral()
{
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralArea"));

    tree_ = new MenuTreeView(*model_, central);
    QSizePolicy keep = tree_->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    tree_->setSizePolicy(keep);
    connect(tree_, &MenuTreeView::dropRequested, this, &MainWindow::dropOnNode);
    connect(tree_, &MenuTreeView::selectedNodeChanged, this, [this] {
        showStatusLine();
        showItemSummary();
    });
    connect(tree_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        const QModelIndex index = tree_->indexAt(pos);
        if (index.isValid())
            tree_->setCurrentIndex(index);
        treeMenu_->popup(tree_->viewport()->mapToGlobal(pos));
    });
    connect(model_, &MenuTreeModel::nodeAdded, this, [this] { showStatusLine(); });
    emptyTreeHint_ = new EmptyTreeHint(*tree_, *openAction_, *openFromPhone_, *newAction_);

    availableLabel_ = new QLabel(tr("Available mma items"), central);
    availableLabel_->setObjectName(QStringLiteral("availableItemsLabel"));
    availableLabel_->installEventFilter(this);

    available_ = new AvailableItemsBox(central);
    available_->setMenuOpen(false);
    connect(available_, &AvailableItemsBox::itemPicked, this, &MainWindow::pickAvailableItem);
    connect(available_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) {
                availableItemsMenu_->popup(available_->mapToGlobal(pos));
            });

    summary_ = new QPlainTextEdit(central);
    summary_->setObjectName(QStringLiteral("itemSummary"));
    summary_->setReadOnly(true);
    summary_->setPlainText(tr("Item summary:"));
    QSizePolicy keepMemo = summary_->sizePolicy();
    keepMemo.setRetainSizeWhenHidden(true);
    summary_->setSizePolicy(keepMemo);
    summary_->hide();

    saveModeGroup_ = new QGroupBox(tr("MMA save mode"), central);
    saveModeGroup_->setObjectName(QStringLiteral("saveModeGroup"));
    radio22_ = new QRadioButton(tr("22-byte"), saveModeGroup_);
    radio22_->setObjectName(QStringLiteral("recordSize22"));
    radio22_->setToolTip(tr("Old mma_ucp format"));
    radio36_ = new QRadioButton(tr("36-byte"), saveModeGroup_);
    radio36_->setObjectName(QStringLiteral("recordSize36"));
    radio36_->setToolTip(tr("New mma_ucp format"));
    radio36_->setChecked(true);
    saveAll_ = new QCheckBox(tr("Save all data"), saveModeGroup_);
    saveAll_->setObjectName(QStringLiteral("saveAllBox"));
    saveAll_->setToolTip(tr("Save all mma data including currently unsupported"));
    c698p_ = new QCheckBox(tr("c698p mma_ucp fix"), saveModeGroup_);
    c698p_->setObjectName(QStringLiteral("c698pFixBox"));
    c698p_->setToolTip(tr("Fix mma_ucp to act properly on R3624 FW"));
    c698p_->setEnabled(false);
    cdma_ = new QCheckBox(tr("CDMA mode (little-endian)"), saveModeGroup_);
    cdma_->setObjectName(QStringLiteral("cdmaBox"));
    iconMarkerGroup_ = new QGroupBox(tr("Custom icon attribute"), saveModeGroup_);
    iconMarkerGroup_->setObjectName(QStringLiteral("iconMarkerGroup"));
    marker06_ = new QRadioButton(QStringLiteral("06"), iconMarkerGroup_);
    marker06_->setObjectName(QStringLiteral("iconMarker06"));
    marker0C_ = new QRadioButton(QStringLiteral("0C"), iconMarkerGroup_);
    marker0C_->setObjectName(QStringLiteral("iconMarker0C"));
    marker0C_->setChecked(true);
    iconMarkerGroup_->setEnabled(false);

    // User clicks change the save mode; the rules of SaveMode decide what the others show.
    connect(radio22_, &QRadioButton::clicked, this,
            [this] { changeSaveMode([](SaveMode& m) { m.setRecordSize(22); }); });
    connect(radio36_, &QRadioButton::clicked, this,
            [this] { changeSaveMode([](SaveMode& m) { m.setRecordSize(36); }); });
    connect(saveAll_, &QCheckBox::clicked, this,
            [this](bool on) { changeSaveMode([on](SaveMode& m) { m.setSaveAll(on); }); });
    connect(c698p_, &QCheckBox::clicked, this,
            [this](bool on) { changeSaveMode([on](SaveMode& m) { m.setC698p(on); }); });
    connect(cdma_, &QCheckBox::clicked, this,
            [this](bool on) { changeSaveMode([on](SaveMode& m) { m.setCdma(on); }); });
    connect(marker06_, &QRadioButton::clicked, this,
            [this] { changeSaveMode([](SaveMode& m) { m.setIconMarker(IconMarker::K06); }); });
    connect(marker0C_, &QRadioButton::clicked, this,
            [this] { changeSaveMode([](SaveMode& m) { m.setIconMarker(IconMarker::K0C); }); });

    auto* markers = new QHBoxLayout(iconMarkerGroup_);
    markers->addWidget(marker06_);
    markers->addWidget(marker0C_);
    auto* sizes = new QHBoxLayout;
    sizes->addWidget(radio22_);
    sizes->addWidget(radio36_);
    auto* modeLayout = new QVBoxLayout(saveModeGroup_);
    modeLayout->addLayout(sizes);
    modeLayout->addWidget(saveAll_);
    modeLayout->addWidget(c698p_);
    modeLayout->addWidget(cdma_);
    modeLayout->addWidget(iconMarkerGroup_);

    auto* rightPanel = new QWidget(central);
    auto* right = new QVBoxLayout(rightPanel);
    right->setContentsMargins(0, 0, 0, 0);
    right->addWidget(availableLabel_);
    right->addWidget(available_);
    right->addWidget(summary_, 1);
    right->addWidget(saveModeGroup_);

    splitter_ = new QSplitter(Qt::Horizontal, central);
    splitter_->setObjectName(QStringLiteral("treeSplitter"));
    splitter_->setChildrenCollapsible(false);
    // The tree stands in a holder of its own: hidden in joke mode, it keeps its room there.
    auto* treeHolder = new QWidget(central);
    auto* treeLayout = new QVBoxLayout(treeHolder);
    treeLayout->setContentsMargins(0, 0, 0, 0);
    treeLayout->addWidget(tree_);
    splitter_->addWidget(treeHolder);
    splitter_->addWidget(rightPanel);
    // The tree takes whatever the window gains; the panel keeps its width.
    splitter_->setStretchFactor(0, 1);
    splitter_->setStretchFactor(1, 0);
    splitter_->setSizes({11 * kClientWidth / 20, 9 * kClientWidth / 20});
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(splitter_);
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

void MainWindow::buildStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("statusBar"));
    bar->setSizeGripEnabled(false);
    // Panels of about 150, 260 and 50 pixels. The first two take the room their texts want
    // and, in a narrow window, both give way: a text that does not fit is shortened at its
    // end (its start, such as "Phone:", stays readable) rather than cut or drawn over the next.
    const char* const panelNames[] = {"infoPanel", "phonePanel", "lampPanel"};
    for (int i = 0; i < 3; ++i) {
        panels_[i] = i < 2 ? new ElidedLabel(bar) : new QLabel(bar);
        panels_[i]->setObjectName(QString::fromLatin1(panelNames[i]));
    }
    panels_[2]->setFixedWidth(50);
    bar->addWidget(panels_[0]);
    bar->addWidget(panels_[1], 1);
    bar->addWidget(panels_[2]);
    panels_[1]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    panels_[1]->setText(tr("Phone: None"));
    lamp_ = new LampShape(panels_[2]);
    auto* lampLayout = new QHBoxLayout(panels_[2]);
    lampLayout->setContentsMargins(0, 0, 0, 0);
    lampLayout->addWidget(lamp_, 0, Qt::AlignCenter);
    lamp_->setFixedSize(16, 16);
    lamp_->setColor(Qt::red);
}

void MainWindow::buildTray()
{
    tray_ = new QSystemTrayIcon(this);
    tray_->setObjectName(QStringLiteral("trayIcon"));
    tray_->setIcon(tessaro::trayImage(15));
    tray_->setToolTip(QString::fromLatin1(kMainCaption));
    balloonTitle_ = tr("P2K Status");
    balloonText_ = coreText("Disconnected");
    // Tray icons have no hover notification here; a click on the icon shows the phone info.
    connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::Trigger)
            trayIconHovered();
    });
    if (QSystemTrayIcon::isSystemTrayAvailable())
        tray_->show();
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
        [this](const std::string& prefix) { selectPhoneProfile(prefix); });
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
    const SaveMode& mode = ctx_.menu.saveMode;
    const QSignalBlocker b1(radio22_), b2(radio36_), b3(saveAll_), b4(c698p_), b5(cdma_),
        b6(marker06_), b7(marker0C_);
    radio22_->setChecked(mode.recordSize() == 22);
    radio36_->setChecked(mode.recordSize() != 22);
    saveAll_->setChecked(mode.saveAll());
    c698p_->setChecked(mode.c698p());
    c698p_->setEnabled(mode.c698pEnabled());
    cdma_->setChecked(mode.cdma());
    marker06_->setChecked(mode.iconMarker() == IconMarker::K06);
    marker0C_->setChecked(mode.iconMarker() == IconMarker::K0C);
    iconMarkerGroup_->setEnabled(mode.markerEnabled());
}

void MainWindow::fillAvailableItems()
{
    available_->fill(ctx_.menu.items.available());
    picked_.clear();
}

void MainWindow::fillProfileSelector()
{
    const QSignalBlocker block(profiles_);
    profiles_->clear();
    // Profile names are file names; only the two fixed entries are words to translate.
    for (const std::string& entry : ctx_.profiles.selectorEntries())
        profiles_->addItem(entry == kSelectorDefault || entry == kSelectorCreateNew
                               ? coreText(entry)
                               : QString::fromStdString(entry));
    profiles_->setCurrentIndex(ctx_.profiles.selectorIndex());
}

void MainWindow::documentCommandsChanged()
{
    const DocumentCommands c = documentCommands(document_.isOpen(), ctx_.link.connected);
    save_->setEnabled(c.save);
    saveAction_->setEnabled(c.save);
    saveToPhone_->setEnabled(c.saveToPhone);
    available_->setMenuOpen(c.availableItems);
    textActionsChanged();
}

QLabel* MainWindow::statusPanel(int number) const
{
    return number >= 1 && number <= 3 ? panels_[number - 1] : nullptr;
}

void MainWindow::showStatusLine()
{
    QString line = coreText(statusLine(ctx_.menu.formatRead, ctx_.menu.saveMode.recordSize(),
                                       ctx_.menu.document.nodeCount()));
    // Records a save would drop are said before any save asks about them.
    if (const size_t leftOut = unknownRecordsLeftOut(ctx_.menu))
        line += tr("  Left out on save: %1").arg(leftOut);
    panels_[0]->setText(line);
}

void MainWindow::showItemSummary()
{
    const auto lines = itemSummary(ctx_.menu.document, tree_->selectedNode());
    if (!lines) {
        summary_->hide();
        return;
    }
    QStringList text;
    for (const std::string& line : *lines)
        text << coreText(line);
    summary_->setPlainText(text.join(QLatin1Char('\n')));
    summary_->show();
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
    undo_->setEnabled(canUndo);
    redo_->setEnabled(canRedo);
    undo_->setText(canUndo ? tr("&Undo ") + coreText(history.undoName()) : tr("&Undo"));
    redo_->setText(canRedo ? tr("&Redo ") + coreText(history.redoName()) : tr("&Redo"));
    showTitle();
    setWindowModified(document_.isModified());
    emptyTreeHint_->setVisible(!document_.isOpen());
    documentCommandsChanged();
    showStatusLine();
}

ViewState MainWindow::viewState() const
{
    const MenuDocument& document = ctx_.menu.document;
    ViewState view;
    view.selected = document.indexOf(tree_->selectedNode());
    const std::vector<MenuNode*> nodes = document.preorder();
    for (size_t i = 0; i < nodes.size(); ++i)
        if (nodes[i]->hasChildren() && tree_->isExpanded(model_->indexOfNode(nodes[i])))
            view.expanded.push_back(static_cast<int>(i));
    return view;
}

void MainWindow::showRestored(const std::optional<ViewState>& view)
{
    if (!view)
        return;
    const MenuDocument& document = ctx_.menu.document;
    for (int index : view->expanded)
        if (MenuNode* node = document.nodeAt(static_cast<size_t>(index)))
            tree_->expand(model_->indexOfNode(node));
    MenuNode* selected = view->selected >= 0 ? document.nodeAt(static_cast<size_t>(view->selected)) : nullptr;
    tree_->selectNode(selected ? selected : document.menuRoot());
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
    pickFirstHint_->setVisible(available_->currentIndex() < 0);
    addSubitemMenu_->setEnabled(ops.addSubitem);
    addSubitemFirst_->setEnabled(ops.addSubitem);
    addSubitemLast_->setEnabled(ops.addSubitem);
    addItemMenu_->setEnabled(ops.addItem);
    addItemFirst_->setEnabled(ops.addItem);
    addItemBefore_->setEnabled(ops.addItem);
    replace_->setEnabled(ops.replace);
    modify_->setEnabled(ops.modify);
    delete_->setEnabled(ops.remove);
    moveUp_->setEnabled(ops.moveUp);
    moveDown_->setEnabled(ops.moveDown);
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
    summary_->setPlainText(tr("Item summary:"));
    summary_->hide();
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
    availableItemsMenu_->popup(
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
    if (watched == availableLabel_ && event->type() == QEvent::MouseButtonDblClick) {
        toggleJokeMode();
        return true;
    }
    if (watched == tree_ && event->type() == QEvent::KeyPress && treeKey(static_cast<QKeyEvent*>(event)))
        return true;
    return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::treeKey(QKeyEvent* event)
{
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeyboardModifiers(Qt::KeypadModifier);
    // Where a popup opened from the keyboard stands: under the selected node.
    const auto popupAt = [this](QMenu* menu) {
        const QRect item = tree_->visualRect(tree_->currentIndex());
        const QPoint at = item.isValid() ? item.bottomLeft() : QPoint(0, 0);
        menu->popup(tree_->viewport()->mapToGlobal(at));
    };
    QAction* command = nullptr;
    switch (event->key()) {
    case Qt::Key_Delete: command = mods == Qt::NoModifier ? delete_ : nullptr; break;
    case Qt::Key_F2:
    case Qt::Key_Return:
    case Qt::Key_Enter: command = mods == Qt::NoModifier ? modify_ : nullptr; break;
    case Qt::Key_Up: command = mods == Qt::ControlModifier ? moveUp_ : nullptr; break;
    case Qt::Key_Down: command = mods == Qt::ControlModifier ? moveDown_ : nullptr; break;
    case Qt::Key_Menu:
        // Accepted, so no context-menu event follows at a place of the platform's choosing.
        event->accept();
        popupAt(treeMenu_);
        return true;
    case Qt::Key_Insert:
        if (mods != Qt::NoModifier)
            return false;
        event->accept();
        popupAt(availableItemsMenu_);
        return true;
    default: break;
    }
    if (!command)
        return false;
    event->accept();
    // The same rules as the popup menu's entries: a key on a node it does not fit does nothing.
    updatePopupMenus();
    if (command->isEnabled())
        command->trigger();
    return true;
}

void MainWindow::restorePlacement()
{
    const WindowPlacement placement = loadWindowPlacement(settingsPath(ctx_.dataFolder));
    if (!placement.geometry.empty())
        restoreGeometry(QByteArray::fromHex(QByteArray::fromStdString(placement.geometry)));
    if (!placement.splitter.empty())
        splitter_->restoreState(QByteArray::fromHex(QByteArray::fromStdString(placement.splitter)));
}

void MainWindow::savePlacement()
{
    const WindowPlacement placement{saveGeometry().toHex().toStdString(),
                                    splitter_->saveState().toHex().toStdString()};
    // Where the window stood is a convenience: a file that cannot be written costs nothing.
    (void)saveWindowPlacement(settingsPath(ctx_.dataFolder), placement);
}

void MainWindow::trayIconHovered()
{
    if (balloonText_ == coreText("Disconnected"))
        return;
    const PhoneLinkState& link = ctx_.link;
    balloonTitle_ = tr("Phone info");
    balloonText_ = tr("Model: ") + qs(link.model) + QLatin1Char('\n') + tr("F/W Version: ")
                   + qs(link.firmwareVersion) + QLatin1Char('\n') + tr("LP Version: ")
                   + qs(link.lpVersionText);
    tray_->showMessage(balloonTitle_, balloonText_, QSystemTrayIcon::Information, 1000);
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

bool MainWindow::screenshot(const QString& file)
{
    QByteArray png;
    QBuffer buffer(&png);
    // The picture's format follows the file name's suffix, PNG when it names none.
    const QByteArray suffix = QFileInfo(file).suffix().toLatin1();
    if (!buffer.open(QIODevice::WriteOnly) || !grab().save(&buffer, suffix.isEmpty() ? "PNG" : suffix.constData()))
        return false;
    return replaceFile(file.toStdString(),
                       std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(png.constData()), size_t(png.size())))
        .ok();
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
    savePlacement();
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
