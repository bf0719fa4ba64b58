#include "ui/phone_file_browser.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QShowEvent>
#include <QSplitter>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "phone/listing.h"
#include "phone/phone_context.h"
#include "ui/browser_dialogs.h"
#include "ui/core_text.h"
#include "ui/dialog_parent_scope.h"
#include "ui/double_progress_window.h"
#include "ui/folder_tree_view.h"
#include "ui/mnemonics.h"
#include "ui/screen_fit.h"

namespace tessaro {

namespace {

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

QString qtFilterOf(const std::string& filter)
{
    return QString::fromStdString(QtFileDialogs::qtFilter(filter));
}

QAction* action(QMenu* menu, const char* name, const char* caption)
{
    QAction* a = menu->addAction(QCoreApplication::translate("tessaro::PhoneFileBrowser", caption));
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

} // namespace

std::vector<std::string> QtBrowserChoices::openFiles(const FileDialogRequest& request)
{
    const QStringList chosen = QFileDialog::getOpenFileNames(parent_, coreText(request.title),
                                                             qs(request.folder),
                                                             qtFilterOf(request.filter));
    std::vector<std::string> out;
    for (const auto& file : chosen)
        out.push_back(file.toStdString());
    return out;
}

std::string QtBrowserChoices::saveFile(const FileDialogRequest& request)
{
    QString start = qs(request.folder);
    if (!request.fileName.empty())
        start = start.isEmpty() ? qs(request.fileName) : start + "/" + qs(request.fileName);
    return QFileDialog::getSaveFileName(parent_, coreText(request.title), start, qtFilterOf(request.filter))
        .toStdString();
}

std::string QtBrowserChoices::chooseFolder(const std::string& caption, const std::string& folder)
{
    return QFileDialog::getExistingDirectory(parent_, coreText(caption), qs(folder)).toStdString();
}

std::optional<std::string> QtBrowserChoices::askText(const std::string& title, const std::string& label)
{
    bool ok = false;
    const QString text = QInputDialog::getText(parent_, coreText(title), coreText(label),
                                               QLineEdit::Normal, {}, &ok);
    if (!ok)
        return std::nullopt;
    return phoneBytes(text);
}

std::optional<std::string> pickPhoneFile(QWidget* parent, PhoneContext& phone, BrowserState& state,
                                         BrowserDialogs& dialogs, BrowserChoices& choices,
                                         bool animatedIcon)
{
    if (state.files.empty()) {
        const Status listed = listPhoneFiles(phone, state, animatedIcon ? state.mode : ListingMode::IconsOnly);
        if (!listed && !listed.cancelled())
            phone.prompter.show(MessageIcon::Error, listed.failure().caption, listed.error());
    }
    PhoneFileBrowser viewer(phone, state, dialogs, choices, parent);
    viewer.buildTree();
    DialogParentScope over(&viewer);
    over.add(phone.prompter).add(choices).add(phone.progress);
    if (viewer.exec() != kResultOk) {
        state.chosenPath.clear();
        return std::nullopt;
    }
    state.chosenPath = viewer.iconPath();
    if (state.chosenPath.empty())
        return std::nullopt;
    return state.chosenPath;
}

PhoneFileBrowser::PhoneFileBrowser(PhoneContext& phone, BrowserState& state, BrowserDialogs& dialogs,
                       BrowserChoices& choices, QWidget* parent)
    : QDialog(parent), phone_(phone), state_(state), dialogs_(dialogs), choices_(choices),
      model_(phone, state)
{
    setObjectName(QStringLiteral("phoneFileBrowser"));
    setWindowTitle(tr("Picture Picker"));
    buildControls();
    giveMnemonics(*this);
}

void PhoneFileBrowser::buildControls()
{
    tree_ = new FolderTreeView(this);
    tree_->setObjectName(QStringLiteral("folderTree"));
    tree_->setContextMenuPolicy(Qt::CustomContextMenu);

    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("fileList"));
    list_->setHeaderLabels({tr("File"), tr("File Size"), tr("Attr")});
    list_->setRootIsDecorated(false);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    list_->installEventFilter(this);

    iconPathLabel_ = new QLabel(tr("Icon path/name:"), this);
    iconPathLabel_->setObjectName(QStringLiteral("iconPathLabel"));
    iconPathField_ = new QLineEdit(this);
    iconPathField_->setObjectName(QStringLiteral("iconPathField"));
    iconPathField_->setReadOnly(true);
    usePathBox_ = new QCheckBox(tr("Use path"), this);
    usePathBox_->setObjectName(QStringLiteral("usePathBox"));
    usePathField_ = new QLineEdit(this);
    usePathField_->setObjectName(QStringLiteral("usePathField"));
    usePathField_->setEnabled(false);

    updateButton_ = new QPushButton(tr("Update file list"), this);
    updateButton_->setObjectName(QStringLiteral("updateButton"));
    updateButton_->setAutoDefault(false);
    listingModeButton_ = new QToolButton(this);
    listingModeButton_->setObjectName(QStringLiteral("listingModeButton"));
    listingModeButton_->setArrowType(Qt::DownArrow);
    listingModeButton_->setPopupMode(QToolButton::InstantPopup);

    listingModeMenu_ = new QMenu(this);
    listingModeMenu_->setObjectName(QStringLiteral("listingModeMenu"));
    auto* modes = new QActionGroup(listingModeMenu_);
    QAction* icons = action(listingModeMenu_, "IconsOnly", QT_TR_NOOP("Icons only"));
    QAction* all = action(listingModeMenu_, "AllFiles", QT_TR_NOOP("All files"));
    QAction* mask = action(listingModeMenu_, "ByMask", QT_TR_NOOP("By mask..."));
    for (QAction* a : {icons, all, mask}) {
        a->setCheckable(true);
        modes->addAction(a);
    }
    listingModeButton_->setMenu(listingModeMenu_);
    connect(icons, &QAction::triggered, this, [this] { selectMode(ListingMode::IconsOnly); });
    connect(all, &QAction::triggered, this, [this] { selectMode(ListingMode::AllFiles); });
    connect(mask, &QAction::triggered, this, [this] { listByMask(); });

    fileMenu_ = new QMenu(this);
    fileMenu_->setObjectName(QStringLiteral("fileMenu"));
    connect(action(fileMenu_, "Upload", QT_TR_NOOP("Upload to this folder")), &QAction::triggered, this,
            [this] { uploadFiles(); });
    connect(action(fileMenu_, "Download", QT_TR_NOOP("Download selected")), &QAction::triggered, this,
            [this] { downloadFiles(); });
    connect(action(fileMenu_, "Delete", QT_TR_NOOP("Delete selected")), &QAction::triggered, this,
            [this] { deleteFiles(); });
    connect(action(fileMenu_, "SetAttribute", QT_TR_NOOP("Set attribute")), &QAction::triggered, this,
            [this] { setAttributes(); });

    folderMenu_ = new QMenu(this);
    folderMenu_->setObjectName(QStringLiteral("folderMenu"));
    connect(action(folderMenu_, "CreateFolder", QT_TR_NOOP("Create folder")), &QAction::triggered, this,
            [this] { createFolder(); });
    connect(action(folderMenu_, "DeleteFolder", QT_TR_NOOP("Delete folder")), &QAction::triggered, this,
            [this] { deleteFolder(); });

    okButton_ = new QPushButton(tr("OK"), this);
    okButton_->setObjectName(QStringLiteral("okButton"));
    okButton_->setDefault(true);
    cancelButton_ = new QPushButton(tr("Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("cancelButton"));
    cancelButton_->setAutoDefault(false);

    connect(tree_, &QTreeWidget::itemSelectionChanged, this, [this] { folderChanged(); });
    connect(tree_, &QTreeWidget::itemClicked, this, [this] { folderChanged(); });
    connect(list_, &QTreeWidget::itemSelectionChanged, this, [this] { syncSelection(); });
    connect(list_, &QTreeWidget::itemClicked, this, [this] { fileClicked(); });
    // Moving through the list with the keys picks the file as a click does.
    connect(list_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        if (!showing_ && current)
            fileClicked();
    });
    connect(usePathBox_, &QCheckBox::toggled, this, [this](bool on) { usePathToggled(on); });
    connect(usePathField_, &QLineEdit::textEdited, this,
            [this](const QString& text) { model_.setUsePathText(phoneBytes(text)); });
    connect(updateButton_, &QPushButton::clicked, this, [this] { updateFileList(); });
    connect(tree_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { updateMenus(); folderMenu_->popup(tree_->viewport()->mapToGlobal(at)); });
    connect(list_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { updateMenus(); fileMenu_->popup(list_->viewport()->mapToGlobal(at)); });
    connect(listingModeMenu_, &QMenu::aboutToShow, this, [this] { updateMenus(); });
    connect(okButton_, &QPushButton::clicked, this, [this] {
        state_.chosenPath = iconPath();
        done(kResultOk);
    });
    connect(cancelButton_, &QPushButton::clicked, this, [this] { reject(); });

    auto* pathRow = new QGridLayout;
    pathRow->addWidget(iconPathLabel_, 0, 0);
    pathRow->addWidget(iconPathField_, 0, 1);
    pathRow->addWidget(usePathBox_, 1, 0);
    pathRow->addWidget(usePathField_, 1, 1);
    // The user may give the folder tree more room than the file list.
    auto* views = new QSplitter(Qt::Horizontal, this);
    views->setObjectName(QStringLiteral("browserSplitter"));
    views->setChildrenCollapsible(false);
    views->addWidget(tree_);
    views->addWidget(list_);
    views->setStretchFactor(0, 1);
    views->setStretchFactor(1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(updateButton_);
    buttons->addWidget(listingModeButton_);
    buttons->addStretch();
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(views, 1);
    layout->addLayout(pathRow);
    layout->addLayout(buttons);
    resize(560, 400);
    // A small scaled screen has less room.
    fitSizeIntoScreen(*this);
}

void PhoneFileBrowser::reject()
{
    state_.chosenPath.clear();
    done(kResultCancel);
}

void PhoneFileBrowser::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        prepareOnShow();
}

void PhoneFileBrowser::prepareOnShow()
{
    model_.open();
    {
        const QSignalBlocker block(usePathBox_);
        usePathBox_->setChecked(false);
    }
    usePathField_->clear();
    usePathField_->setEnabled(false);
    const char* names[] = {"IconsOnly", "AllFiles", "ByMask"};
    listingModeMenu_->findChild<QAction*>(QString::fromLatin1(names[int(state_.mode)]))->setChecked(true);
    updateMenus();
}

void PhoneFileBrowser::buildTree()
{
    // A new listing keeps the open folders and the selected one where they still exist.
    const auto expanded = tree_->expandedPaths();
    const std::string selected = model_.hasFolder() ? FileBrowserModel::folderPath(*model_.selectedFolder()) : "";
    model_.buildTree();
    if (!selected.empty())
        model_.selectFolder(model_.findFolder(selected));
    showTree(expanded);
    showRows();
    iconPathField_->clear();
}

std::string PhoneFileBrowser::iconPath() const
{
    return phoneBytes(iconPathField_->text());
}

void PhoneFileBrowser::showTree(std::optional<std::set<std::string>> expanded)
{
    // Without paths given the view's own items still point at live folders.
    if (!expanded)
        expanded = tree_->expandedPaths();
    showing_ = true;
    tree_->showFolders(model_.root(), model_.hasFolder() ? model_.selectedFolder() : nullptr, *expanded);
    showing_ = false;
}

void PhoneFileBrowser::showRows()
{
    showing_ = true;
    list_->clear();
    for (const auto& row : model_.rows())
        new QTreeWidgetItem(list_, {phoneText(row.name), phoneText(row.size), phoneText(row.attributes)});
    for (const int row : model_.selection())
        list_->topLevelItem(row)->setSelected(true);
    showing_ = false;
    updateMenus();
}

void PhoneFileBrowser::folderChanged()
{
    if (showing_)
        return;
    QTreeWidgetItem* current = tree_->currentItem();
    const auto selected = tree_->selectedItems();
    if (selected.isEmpty())
        current = nullptr;
    const FolderNode* node = tree_->nodeOf(current);
    if (node == model_.selectedFolder() && node)
        return;
    model_.selectFolder(node);
    iconPathField_->clear();
    if (!model_.hasFolder() && current) {
        // The root holds no files: it is not kept selected.
        showing_ = true;
        tree_->clearSelection();
        showing_ = false;
    }
    showRows();
    if (model_.usePath())
        usePathField_->setText(phoneText(model_.usePathText()));
}

void PhoneFileBrowser::syncSelection()
{
    if (showing_)
        return;
    std::vector<int> rows;
    for (int i = 0; i < list_->topLevelItemCount(); ++i)
        if (list_->topLevelItem(i)->isSelected())
            rows.push_back(i);
    model_.setSelection(rows);
    updateMenus();
}

void PhoneFileBrowser::fileClicked()
{
    syncSelection();
    model_.clickFile();
    if (!model_.selection().empty())
        iconPathField_->setText(phoneText(model_.iconPath()));
}

void PhoneFileBrowser::usePathToggled(bool checked)
{
    model_.setUsePath(checked);
    usePathField_->setEnabled(checked);
    usePathField_->setText(phoneText(model_.usePathText()));
    if (checked)
        usePathField_->setFocus();
}

void PhoneFileBrowser::updateMenus()
{
    listingModeMenu_->findChild<QAction*>(QStringLiteral("ByMask"))->setEnabled(!state_.volumes.empty());
    fileMenu_->findChild<QAction*>(QStringLiteral("Delete"))->setEnabled(!model_.selection().empty());
}

void PhoneFileBrowser::updateFileList()
{
    list_->clear();
    report(listPhoneFiles(phone_, state_, state_.mode));
    buildTree();
}

void PhoneFileBrowser::selectMode(ListingMode mode)
{
    state_.mode = mode;
    const char* names[] = {"IconsOnly", "AllFiles", "ByMask"};
    listingModeMenu_->findChild<QAction*>(QString::fromLatin1(names[int(mode)]))->setChecked(true);
}

void PhoneFileBrowser::listByMask()
{
    if (state_.volumes.empty() || !dialogs_.mask.execute(state_.volumes, state_)) {
        selectMode(state_.mode);
        return;
    }
    selectMode(ListingMode::ByMask);
}

std::function<std::unique_ptr<BatchProgress>()> PhoneFileBrowser::batches()
{
    return [this] {
        auto window = std::make_unique<DoubleProgressWindow>(this);
        window->show();
        window->keepDrawn(true);
        return std::unique_ptr<BatchProgress>(std::move(window));
    };
}

bool PhoneFileBrowser::report(const Status& outcome)
{
    if (!outcome && !outcome.cancelled())
        phone_.prompter.show(MessageIcon::Error, outcome.failure().caption, outcome.error());
    return outcome.ok();
}

void PhoneFileBrowser::uploadFiles()
{
    const auto files = choices_.openFiles({QT_TRANSLATE_NOOP("Core", "Select file"),
                                           kPhoneFileDialogFilter, {}, {}});
    if (files.empty())
        return;
    report(model_.upload(files, batches()));
    showTree();
    showRows();
    if (model_.usePath())
        usePathField_->setText(phoneText(model_.usePathText()));
}

void PhoneFileBrowser::downloadFiles()
{
    syncSelection();
    if (!model_.hasFolder() || model_.selection().empty())
        return;
    if (model_.selection().size() == 1) {
        // The proposed name is window text: the phone's 8-bit name, each byte one character.
        const std::string name = phoneText(model_.rows()[size_t(model_.selection().front())].name).toStdString();
        const std::string local = choices_.saveFile({QT_TRANSLATE_NOOP("Core", "Save file as"),
                                                     kPhoneFileDialogFilter, name, {}});
        if (!local.empty())
            report(model_.downloadOne(local));
        return;
    }
    const std::string folder =
        choices_.chooseFolder(QT_TRANSLATE_NOOP("Core", "Select folder to download selected files"),
                              state_.lastDownloadFolder);
    if (!folder.empty())
        report(model_.downloadSelected(folder, batches()));
}

void PhoneFileBrowser::deleteFiles()
{
    syncSelection();
    if (!model_.hasFolder() || model_.selection().empty())
        return;
    report(model_.deleteSelected([this](const std::string& text) { return dialogs_.deletion.ask(text); }));
    showRows();
    iconPathField_->setText(phoneText(model_.iconPath()));
}

void PhoneFileBrowser::setAttributes()
{
    syncSelection();
    if (!model_.hasFolder() || model_.selection().empty())
        return;
    const int bits = dialogs_.attributes.execute(this, model_.attributePreset());
    if (bits < 0)
        return;
    report(model_.applyAttributes(bits));
    for (const int row : model_.selection())
        list_->topLevelItem(row)->setText(2, phoneText(model_.rows()[size_t(row)].attributes));
}

void PhoneFileBrowser::createFolder()
{
    if (!model_.hasFolder())
        return;
    const auto name = choices_.askText(QT_TRANSLATE_NOOP("Core", "New folder"),
                                      QT_TRANSLATE_NOOP("Core", "Type in new folder name"));
    if (!name)
        return;
    if (report(model_.createFolder(*name))) {
        showTree();
        showRows();
        iconPathField_->clear();
    }
}

void PhoneFileBrowser::deleteFolder()
{
    if (!model_.hasFolder())
        return;
    const auto expanded = tree_->expandedPaths();
    const FolderNode* parent = model_.selectedFolder()->parent;
    const bool deleted = report(model_.deleteFolder());
    // The folder's parent takes its place as the selected one.
    if (deleted)
        model_.selectFolder(parent);
    showTree(expanded);
    showRows();
    iconPathField_->setText(phoneText(model_.iconPath()));
}

bool PhoneFileBrowser::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_A && key->modifiers() == Qt::ControlModifier) {
            if (list_->topLevelItemCount() > 0) {
                list_->selectAll();
                syncSelection();
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tessaro
