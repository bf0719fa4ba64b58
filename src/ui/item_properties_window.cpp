#include "ui/item_properties_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMovie>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/catalogue.h"
#include "core/prompter.h"
#include "drm/drmpack.h"
#include "session/editor_session.h"
#include "ui/drm_icon_picker.h"
#include "ui/entry_dialogs.h"
#include "ui/gif_preview.h"
#include "ui/mnemonics.h"
#include "ui/screen_fit.h"

namespace tessaro {

namespace {

// A page of the window: scrolls when the window is smaller than the page, and asks for the
// page's whole size so that the window opens as large as its screen allows.
class PageArea : public QScrollArea {
public:
    explicit PageArea(QWidget* parent) : QScrollArea(parent)
    {
        setWidgetResizable(true);
        setFrameShape(QFrame::NoFrame);
    }
    QSize sizeHint() const override
    {
        return widget() ? widget()->sizeHint() + QSize(verticalScrollBar()->sizeHint().width(), 0)
                        : QScrollArea::sizeHint();
    }
};

// A title list: "No.", "Language ID" and "Title" columns, the last taking the room left.
QTreeWidget* makeTitleList(QWidget* parent, const QString& objectName)
{
    auto* list = new QTreeWidget(parent);
    list->setObjectName(objectName);
    list->setHeaderLabels({QCoreApplication::translate("tessaro::ItemPropertiesWindow", "No."),
                           QCoreApplication::translate("tessaro::ItemPropertiesWindow", "Language ID"),
                           QCoreApplication::translate("tessaro::ItemPropertiesWindow", "Title")});
    list->setRootIsDecorated(false);
    list->setColumnWidth(0, 40);
    list->setColumnWidth(1, 84);
    return list;
}

constexpr int kPreviewSize = 48;

const char* const kFunctionNames[kFunctionCount] = {
    QT_TRANSLATE_NOOP("tessaro::ItemPropertiesWindow", "[None]"),
    QT_TRANSLATE_NOOP("tessaro::ItemPropertiesWindow", "URL link"),
    QT_TRANSLATE_NOOP("tessaro::ItemPropertiesWindow", "Application start"),
    QT_TRANSLATE_NOOP("tessaro::ItemPropertiesWindow", "Emulate action"),
    QT_TRANSLATE_NOOP("tessaro::ItemPropertiesWindow", "Shortcut"),
    QT_TRANSLATE_NOOP("tessaro::ItemPropertiesWindow", "Call/Send"),
    QT_TRANSLATE_NOOP("tessaro::ItemPropertiesWindow", "Show text")};

QString fromAscii(const std::string& text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }

std::string toAscii(const QString& text) { return text.toLatin1().toStdString(); }

// Letters and decimal digits in the toolkit's sense, for paths beyond Latin-1.
bool letterOrDigit(char16_t c)
{
    const QChar ch(c);
    return ch.isLetter() || ch.category() == QChar::Number_DecimalDigit;
}

QPushButton* button(QWidget* parent, const char* name, const char* caption)
{
    auto* b = new QPushButton(QCoreApplication::translate("tessaro::ItemPropertiesWindow", caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

QLineEdit* lineEdit(QWidget* parent, const char* name, int maxLength = 0)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    if (maxLength > 0)
        e->setMaxLength(maxLength);
    return e;
}

} // namespace

std::optional<EntryAnswer> runEntryDialog(QWidget* parent, const EntryRequest& request)
{
    if (request.showText) {
        TextEntryDialog form(parent);
        form.prepare(request.language, request.text);
        if (form.exec() != QDialog::Accepted)
            return std::nullopt;
        return EntryAnswer{form.language(), form.text()};
    }
    TitleEntryDialog form(parent);
    form.prepare(request.language, request.text);
    if (form.exec() != QDialog::Accepted)
        return std::nullopt;
    return EntryAnswer{form.language(), form.text()};
}

ItemPropertiesWindow::ItemPropertiesWindow(EditorSession& context, Prompter& prompter, FileDialogs& files,
               EntryLanguages& languages, QWidget* parent)
    : QDialog(parent), ctx_(context), prompter_(prompter), files_(files), languages_(languages),
      entryRunner_(runEntryDialog)
{
    setObjectName(QStringLiteral("itemPropertiesWindow"));
    setWindowTitle(tr("Item properties"));
    model_.setLetterOrDigit(letterOrDigit);
    buildControls();
    refresh();
    giveMnemonics(*this);
}

ItemPropertiesWindow::~ItemPropertiesWindow() = default;

void ItemPropertiesWindow::buildControls()
{
    auto* layout = new QVBoxLayout(this);
    pages_ = new QTabWidget(this);
    pages_->setObjectName(QStringLiteral("pages"));
    // Each page scrolls, so the window fits a small or scaled screen with its buttons in view.
    auto scrolled = [this](QWidget* page) {
        auto* area = new PageArea(pages_);
        area->setWidget(page);
        return area;
    };
    visualPage_ = scrolled(buildVisualPage());
    functionPage_ = scrolled(buildFunctionPage());
    pages_->addTab(visualPage_, tr("Visual"));
    pages_->addTab(functionPage_, tr("Function"));
    layout->addWidget(pages_);

    auto* choiceRow = new QHBoxLayout;
    choiceRow->addWidget(new QLabel(tr("Item function:"), this));
    functionChoice_ = new QComboBox(this);
    functionChoice_->setObjectName(QStringLiteral("functionChoice"));
    for (const char* name : kFunctionNames)
        functionChoice_->addItem(tr(name));
    choiceRow->addWidget(functionChoice_, 1);
    resetAllButton_ = button(this, "resetAllButton", QT_TR_NOOP("Reset All Data"));
    resetAllButton_->setToolTip(tr("Clear all data attached to the item"));
    choiceRow->addWidget(resetAllButton_);
    layout->addLayout(choiceRow);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    okButton_ = button(this, "okButton", QT_TR_NOOP("OK"));
    okButton_->setDefault(true);
    cancelButton_ = button(this, "cancelButton", QT_TR_NOOP("Cancel"));
    applyButton_ = button(this, "applyButton", QT_TR_NOOP("Apply"));
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);
    buttons->addWidget(applyButton_);
    layout->addLayout(buttons);

    connect(functionChoice_, &QComboBox::activated, this, [this](int index) {
        model_.chooseFunction(static_cast<ItemFunction>(index));
        refresh();
    });
    connect(resetAllButton_, &QPushButton::clicked, this, &ItemPropertiesWindow::resetAllDataClicked);
    connect(okButton_, &QPushButton::clicked, this, &ItemPropertiesWindow::okClicked);
    connect(cancelButton_, &QPushButton::clicked, this, &ItemPropertiesWindow::cancelClicked);
    connect(applyButton_, &QPushButton::clicked, this, &ItemPropertiesWindow::applyClicked);
}

QWidget* ItemPropertiesWindow::buildVisualPage()
{
    auto* page = new QWidget(this);
    auto* layout = new QGridLayout(page);

    static const char* const kListNames[2] = {"menuTitles", "softkeyTitles"};
    static const char* const kListCaptions[2] = {QT_TR_NOOP("Menu title"), QT_TR_NOOP("Softkey title")};
    static const char* const kButtonNames[2][3] = {
        {"addMenuTitleButton", "editMenuTitleButton", "deleteMenuTitleButton"},
        {"addSoftkeyTitleButton", "editSoftkeyTitleButton", "deleteSoftkeyTitleButton"}};
    for (int i = 0; i < 2; ++i) {
        auto* group = new QGroupBox(tr(kListCaptions[i]), page);
        auto* groupLayout = new QVBoxLayout(group);
        auto* list = makeTitleList(group, QString::fromLatin1(kListNames[i]));
        groupLayout->addWidget(list);
        auto* row = new QHBoxLayout;
        for (int b = 0; b < 3; ++b) {
            static const char* const kCaptions[3] = {QT_TR_NOOP("Add"), QT_TR_NOOP("Edit"),
                                                     QT_TR_NOOP("Delete")};
            listButtons_[i][b] = button(group, kButtonNames[i][b], kCaptions[b]);
            row->addWidget(listButtons_[i][b]);
        }
        groupLayout->addLayout(row);
        layout->addWidget(group, 0, i);
        lists_[i] = list;
    }

    iconGroup_ = new QGroupBox(tr("Item icons"), page);
    iconGroup_->setObjectName(QStringLiteral("iconGroup"));
    auto* icons = new QGridLayout(iconGroup_);
    static const char* const kRowCaptions[3] = {QT_TR_NOOP("Animated icon"), QT_TR_NOOP("Static icon"),
                                                QT_TR_NOOP("List icon")};
    // Object names of a row's controls start with the row: "animatedIconField", ...
    static const char* const kRowNames[3] = {"animatedIcon", "staticIcon", "listIcon"};
    for (int i = 0; i < 3; ++i) {
        const QString rowName = QString::fromLatin1(kRowNames[i]);
        icons->addWidget(new QLabel(tr(kRowCaptions[i]), iconGroup_), i, 0);
        auto* source = new QGroupBox(tr("Source"), iconGroup_);
        source->setObjectName(rowName + QStringLiteral("Source"));
        auto* sourceLayout = new QHBoxLayout(source);
        fsButtons_[i] = new QRadioButton(QStringLiteral("FS"), source);
        drmButtons_[i] = new QRadioButton(QStringLiteral("DRM"), source);
        sourceLayout->addWidget(fsButtons_[i]);
        sourceLayout->addWidget(drmButtons_[i]);
        icons->addWidget(source, i, 1);
        sourceGroups_[i] = source;
        iconFields_[i] = new QLineEdit(iconGroup_);
        iconFields_[i]->setObjectName(rowName + QStringLiteral("Field"));
        icons->addWidget(iconFields_[i], i, 2);
        pickerButtons_[i] = new QPushButton(QStringLiteral("..."), iconGroup_);
        pickerButtons_[i]->setObjectName(rowName + QStringLiteral("Picker"));
        pickerButtons_[i]->setAutoDefault(false);
        icons->addWidget(pickerButtons_[i], i, 3);
        previews_[i] = new GifPreview(iconGroup_);
        previews_[i]->setObjectName(rowName + QStringLiteral("Preview"));
        previews_[i]->setFixedSize(kPreviewSize, kPreviewSize);
        icons->addWidget(previews_[i], i, 4);

        const auto row = static_cast<IconRow>(i);
        connect(fsButtons_[i], &QRadioButton::clicked, this, [this, row] {
            model_.setIconSource(row, IconSource::FS);
            refresh();
        });
        connect(drmButtons_[i], &QRadioButton::clicked, this, [this, row] {
            model_.setIconSource(row, IconSource::DRM);
            refresh();
        });
        connect(iconFields_[i], &QLineEdit::textEdited, this, [this, row](const QString& text) {
            showInputError(model_.setIconText(row, text.toStdU16String()));
            refresh();
        });
        connect(pickerButtons_[i], &QPushButton::clicked, this, [this, row] { pickerClick(row); });
    }
    layout->addWidget(iconGroup_, 1, 0, 1, 2);

    auto* attributes = new QGroupBox(tr("Item attributes"), page);
    auto* attributesLayout = new QHBoxLayout(attributes);
    lockable_ = new QCheckBox(tr("Lockable"), attributes);
    lockable_->setObjectName(QStringLiteral("lockableBox"));
    protected_ = new QCheckBox(tr("Protected"), attributes);
    protected_->setObjectName(QStringLiteral("protectedBox"));
    nonChangeable_ = new QCheckBox(tr("Non-changeable"), attributes);
    nonChangeable_->setObjectName(QStringLiteral("nonChangeableBox"));
    attributesLayout->addWidget(lockable_);
    attributesLayout->addWidget(protected_);
    attributesLayout->addWidget(nonChangeable_);
    layout->addWidget(attributes, 2, 0, 1, 2);
    connect(lockable_, &QCheckBox::clicked, this, [this](bool on) { model_.setLockable(on); refresh(); });
    connect(protected_, &QCheckBox::clicked, this, [this](bool on) { model_.setProtected(on); refresh(); });
    connect(nonChangeable_, &QCheckBox::clicked, this,
            [this](bool on) { model_.setNonChangeable(on); refresh(); });

    for (int i = 0; i < 2; ++i) {
        const auto list = static_cast<TitleList>(i);
        connect(listButtons_[i][0], &QPushButton::clicked, this, [this, list] { addTitle(list); });
        connect(listButtons_[i][1], &QPushButton::clicked, this, [this, list] { editTitle(list); });
        connect(listButtons_[i][2], &QPushButton::clicked, this, [this, list] { deleteTitle(list); });
    }
    return page;
}

QWidget* ItemPropertiesWindow::buildFunctionPage()
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    auto group = [&](ItemFunction f, const char* name, const char* caption) {
        auto* g = new QGroupBox(tr(caption), page);
        g->setObjectName(QString::fromLatin1(name));
        functionGroups_[static_cast<int>(f)] = g;
        layout->addWidget(g);
        return g;
    };
    auto field = [&](FunctionField f, QWidget* parent, const char* name, int maxLength = 0) {
        auto* e = lineEdit(parent, name, maxLength);
        functionFields_[static_cast<int>(f)] = e;
        connect(e, &QLineEdit::textEdited, this, [this, f](const QString& text) {
            showInputError(model_.setFunctionField(f, toAscii(text)));
            refresh();
        });
        return e;
    };
    auto labelled = [](QGridLayout* grid, int row, const char* caption, QWidget* w) {
        grid->addWidget(new QLabel(QCoreApplication::translate("tessaro::ItemPropertiesWindow", caption), w->parentWidget()),
                        row, 0);
        grid->addWidget(w, row, 1);
    };

    auto* url = group(ItemFunction::Url, "urlGroup", QT_TR_NOOP("URL link"));
    (new QVBoxLayout(url))->addWidget(field(FunctionField::Url, url, "urlField"));

    auto* app = group(ItemFunction::AppStart, "appStartGroup", QT_TR_NOOP("Application start"));
    auto* appGrid = new QGridLayout(app);
    labelled(appGrid, 0, QT_TR_NOOP("MIDlet-1"), field(FunctionField::Midlet1, app, "midlet1Field"));
    labelled(appGrid, 1, QT_TR_NOOP("MIDlet name"), field(FunctionField::MidletName, app, "midletNameField"));
    labelled(appGrid, 2, QT_TR_NOOP("MIDlet vendor"),
             field(FunctionField::MidletVendor, app, "midletVendorField"));
    installedApps_ = new QComboBox(app);
    installedApps_->setObjectName(QStringLiteral("installedApps"));
    labelled(appGrid, 3, QT_TR_NOOP("Select installed:"), installedApps_);
    connect(installedApps_, &QComboBox::activated, this, [this](int index) {
        if (index >= 0)
            model_.chooseInstalled(static_cast<size_t>(index));
        refresh();
    });

    auto* action = group(ItemFunction::Action, "actionGroup", QT_TR_NOOP("Emulate action"));
    auto* actionGrid = new QGridLayout(action);
    labelled(actionGrid, 0, QT_TR_NOOP("Action code (dec) [?]:"),
             field(FunctionField::ActionCode, action, "actionCodeField", 5));

    auto* shortcut = group(ItemFunction::Shortcut, "shortcutGroup", QT_TR_NOOP("Shortcut data [?]"));
    (new QVBoxLayout(shortcut))
        ->addWidget(field(FunctionField::ShortcutData, shortcut, "shortcutDataField", 25));

    auto* call = group(ItemFunction::CallSend, "callSendGroup", QT_TR_NOOP("Call a number/Send SMS "));
    auto* callGrid = new QGridLayout(call);
    labelled(callGrid, 0, QT_TR_NOOP("Dial this number"),
             field(FunctionField::DialNumber, call, "dialNumberField", 13));
    auto* callSend = new QGroupBox(call);
    callSend->setObjectName(QStringLiteral("callOrSend"));
    auto* callSendLayout = new QHBoxLayout(callSend);
    callButton_ = new QRadioButton(tr("Call"), callSend);
    sendButton_ = new QRadioButton(tr("Send"), callSend);
    callSendLayout->addWidget(callButton_);
    callSendLayout->addWidget(sendButton_);
    callGrid->addWidget(callSend, 1, 0, 1, 2);
    labelled(callGrid, 2, QT_TR_NOOP("Code 0x12 [?]"), field(FunctionField::Code12, call, "code12Field", 3));
    labelled(callGrid, 3, QT_TR_NOOP("Code 0x13 [?]"), field(FunctionField::Code13, call, "code13Field", 3));
    labelled(callGrid, 4, QT_TR_NOOP("Code 0x14 [?]"), field(FunctionField::Code14, call, "code14Field", 3));
    connect(callButton_, &QRadioButton::clicked, this, [this] { model_.setSend(false); refresh(); });
    connect(sendButton_, &QRadioButton::clicked, this, [this] { model_.setSend(true); refresh(); });

    auto* text = group(ItemFunction::ShowText, "showTextGroup", QT_TR_NOOP("Show text"));
    auto* textLayout = new QVBoxLayout(text);
    lists_[2] = makeTitleList(text, QStringLiteral("showTexts"));
    textLayout->addWidget(lists_[2]);
    auto* textButtons = new QHBoxLayout;
    static const char* const kNames[3] = {"addShowTextButton", "editShowTextButton",
                                          "deleteShowTextButton"};
    static const char* const kCaptions[3] = {QT_TR_NOOP("Add"), QT_TR_NOOP("Edit"), QT_TR_NOOP("Delete")};
    for (int b = 0; b < 3; ++b) {
        listButtons_[2][b] = button(text, kNames[b], kCaptions[b]);
        textButtons->addWidget(listButtons_[2][b]);
    }
    textLayout->addLayout(textButtons);
    connect(listButtons_[2][0], &QPushButton::clicked, this, &ItemPropertiesWindow::addShowTextTitle);
    connect(listButtons_[2][1], &QPushButton::clicked, this, &ItemPropertiesWindow::editShowTextTitle);
    connect(listButtons_[2][2], &QPushButton::clicked, this, &ItemPropertiesWindow::deleteShowTextTitle);
    layout->addStretch(1);
    return page;
}

void ItemPropertiesWindow::loadItem(const ItemDataBlock* block, uint8_t itemType, bool softkey,
                                  uint8_t attributes, uint8_t options)
{
    model_.load(block, itemType, softkey, attributes, options);
    refresh();
}

void ItemPropertiesWindow::showEvent(QShowEvent* event)
{
    // The installed applications of the Java slot tables that were read: phone first.
    std::vector<ItemEditorModel::Installed> installed;
    const bool phoneRead = ctx_.roundTripState.phoneJ2mestRead;
    const bool cardRead = ctx_.roundTripState.cardJ2mestRead;
    const auto add = [&installed](const JavaSlotTable& table, bool card) {
        for (const auto& slot : table)
            if (slot)
                installed.push_back({slot->midletName, slot->midletVendor, slot->midlet1, card});
    };
    if (phoneRead)
        add(ctx_.javaSlots.phoneSlots, false);
    if (cardRead)
        add(ctx_.javaSlots.cardSlots, true);
    model_.prepare(ctx_.link.connected, phoneRead || cardRead, std::move(installed));

    installedApps_->clear();
    const QIcon phoneIcon = style()->standardIcon(QStyle::SP_ComputerIcon);
    const QIcon cardIcon = style()->standardIcon(QStyle::SP_DriveFDIcon);
    for (const auto& app : model_.installed())
        installedApps_->addItem(app.card ? cardIcon : phoneIcon,
                                QLatin1Char(' ') + fromAscii(app.midletName));
    installedApps_->setCurrentIndex(-1);
    refresh();
    if (!placed_) {
        // As large as the pages want, as far as the screen allows.
        placed_ = true;
        resize(sizeHint());
        fitIntoScreen(*this);
    }
    QDialog::showEvent(event);
}

void ItemPropertiesWindow::refresh()
{
    const ItemEditorModel& m = model_;
    const int functionPage = pages_->indexOf(functionPage_);
    pages_->setTabVisible(functionPage, m.functionPageVisible());
    // Turn pages only when the editor turned them: a page the user is working on stays.
    if (m.pageTurns() != shownPageTurns_) {
        shownPageTurns_ = m.pageTurns();
        pages_->setCurrentWidget(m.page() == EditorPage::Function && m.functionPageVisible()
                                     ? functionPage_
                                     : visualPage_);
    }
    for (int i = 0; i < 3; ++i)
        refreshList(static_cast<TitleList>(i));

    iconGroup_->setEnabled(m.iconGroupEnabled());
    for (int i = 0; i < 3; ++i) {
        const auto& icon = m.icon(static_cast<IconRow>(i));
        const QSignalBlocker b1(fsButtons_[i]), b2(drmButtons_[i]);
        fsButtons_[i]->setChecked(icon.source == IconSource::FS);
        drmButtons_[i]->setChecked(icon.source == IconSource::DRM);
        sourceGroups_[i]->setEnabled(icon.enabled);
        iconFields_[i]->setEnabled(icon.enabled);
        const QString text = QString::fromStdU16String(icon.text);
        if (iconFields_[i]->text() != text)
            iconFields_[i]->setText(text);
        pickerButtons_[i]->setEnabled(icon.pickerEnabled &&
                                      (icon.source == IconSource::DRM || phoneFilePicker_));
        refreshPreview(static_cast<IconRow>(i));
    }

    const QSignalBlocker b3(lockable_), b4(protected_), b5(nonChangeable_);
    lockable_->setChecked(m.isLockable());
    protected_->setChecked(m.isProtected());
    nonChangeable_->setChecked(m.isNonChangeable());
    protected_->setEnabled(m.protectedEnabled());
    nonChangeable_->setEnabled(m.nonChangeableEnabled());

    const QSignalBlocker b6(functionChoice_);
    functionChoice_->setCurrentIndex(static_cast<int>(m.function()));
    functionChoice_->setEnabled(m.functionChoiceEnabled());
    for (int f = 1; f < kFunctionCount; ++f)
        functionGroups_[f]->setEnabled(m.groupEnabled(static_cast<ItemFunction>(f)));
    for (int f = 0; f < kFunctionFieldCount; ++f) {
        const auto field = static_cast<FunctionField>(f);
        const QString text = fromAscii(m.field(field));
        if (functionFields_[f]->text() != text)
            functionFields_[f]->setText(text);
        functionFields_[f]->setEnabled(m.fieldEnabled(field));
    }
    installedApps_->setEnabled(m.installedEnabled());
    const QSignalBlocker b7(callButton_), b8(sendButton_);
    callButton_->setChecked(!m.isSend());
    sendButton_->setChecked(m.isSend());
    callButton_->setEnabled(m.callSendEnabled());
    sendButton_->setEnabled(m.callSendEnabled());

    resetAllButton_->setEnabled(m.resetEnabled());
    applyButton_->setEnabled(m.applyEnabled());
}

void ItemPropertiesWindow::refreshList(TitleList list)
{
    const int i = static_cast<int>(list);
    QTreeWidget* view = lists_[i];
    const auto& state = model_.titles(list);
    const int selected = view->currentIndex().isValid() ? view->currentIndex().row() : -1;
    const QSignalBlocker block(view);
    view->clear();
    for (const auto& row : state.rows)
        view->addTopLevelItem(new QTreeWidgetItem(
            {QString::fromStdString(row.number), QString::fromStdString(languageShown(row.language)),
             QString::fromStdU16String(row.text)}));
    if (selected >= 0 && selected < view->topLevelItemCount())
        view->setCurrentItem(view->topLevelItem(selected));
    listButtons_[i][0]->setEnabled(state.addEnabled);
    listButtons_[i][1]->setEnabled(state.editEnabled);
    listButtons_[i][2]->setEnabled(state.deleteEnabled);
}

void ItemPropertiesWindow::refreshPreview(IconRow row)
{
    const int i = static_cast<int>(row);
    const auto& icon = model_.icon(row);
    GifPreview* preview = previews_[i];
    if (!icon.previewVisible) {
        preview->clear();
        preview->hide();
        return;
    }
    preview->show();
    // A DRM number shows its icon when a pack is loaded; files on the phone are not fetched.
    std::optional<std::vector<uint8_t>> gif;
    if (icon.source == IconSource::DRM && ctx_.drmPack.isLoaded()) {
        const std::string digits = toAscii(QString::fromStdU16String(icon.text));
        if (!checkNumber(digits, 1, 4000) && !digits.empty())
            gif = ctx_.drmPack.extractDrmIcon(static_cast<uint32_t>(std::stoul(digits) - 1));
    }
    const QByteArray wanted = gif ? QByteArray(reinterpret_cast<const char*>(gif->data()),
                                               static_cast<qsizetype>(gif->size()))
                                  : QByteArray();
    if (wanted == preview->gif() && (preview->hasPicture() || wanted.isEmpty()))
        return;
    if (gif)
        preview->setGif(*gif);
    else
        preview->clear();
}

int& ItemPropertiesWindow::rememberedLanguage(TitleList list)
{
    return list == TitleList::ShowText ? languages_.textEditor : languages_.nameSettings;
}

void ItemPropertiesWindow::addTitle(TitleList list)
{
    if (!model_.titles(list).addEnabled)
        return;
    const auto answer =
        entryRunner_(this, {list == TitleList::ShowText, rememberedLanguage(list), QString()});
    if (!answer)
        return;
    model_.addTitle(list, static_cast<uint8_t>(answer->language + 1), answer->text.toStdU16String());
    refresh();
}

void ItemPropertiesWindow::editTitle(TitleList list)
{
    const int i = static_cast<int>(list);
    const QModelIndex current = lists_[i]->currentIndex();
    const auto& rows = model_.titles(list).rows;
    if (!current.isValid() || current.row() >= static_cast<int>(rows.size()))
        return;
    const size_t row = static_cast<size_t>(current.row());
    rememberedLanguage(list) = rows[row].language - 1;
    const auto answer = entryRunner_(this, {list == TitleList::ShowText, rememberedLanguage(list),
                                            QString::fromStdU16String(rows[row].text)});
    if (!answer)
        return;
    model_.editTitle(list, row, static_cast<uint8_t>(answer->language + 1), answer->text.toStdU16String());
    refresh();
}

void ItemPropertiesWindow::deleteTitle(TitleList list)
{
    const QModelIndex current = lists_[static_cast<int>(list)]->currentIndex();
    if (!current.isValid())
        return;
    model_.deleteTitle(list, static_cast<size_t>(current.row()));
    refresh();
}

void ItemPropertiesWindow::setPhoneFilePicker(PhoneFilePicker picker)
{
    phoneFilePicker_ = std::move(picker);
    refresh();
}

void ItemPropertiesWindow::pickerClick(IconRow row)
{
    const int i = static_cast<int>(row);
    if (!pickerButtons_[i]->isEnabled())
        return;
    if (model_.icon(row).source == IconSource::DRM) {
        const auto number = pickDrmIcon(this, ctx_.drmPack, files_, prompter_);
        if (!number)
            return;
        showInputError(model_.setIconText(row, QString::fromStdString(*number).toStdU16String()));
    } else {
        if (!phoneFilePicker_)
            return;
        const auto path = phoneFilePicker_(this, row == IconRow::Animated);
        if (!path || path->empty())
            return;
        // Phone paths are 8-bit: one character per byte.
        model_.setIconSource(row, IconSource::FS);
        showInputError(model_.setIconText(
            row, QString::fromLatin1(path->data(), static_cast<qsizetype>(path->size())).toStdU16String()));
    }
    refresh();
}

void ItemPropertiesWindow::showInputError(const Status& checked)
{
    if (!checked)
        prompter_.show(MessageIcon::Error, checked.failure().caption, checked.error());
}

void ItemPropertiesWindow::resetAllDataClicked()
{
    if (model_.resetAllData(prompter_))
        refresh();
}

void ItemPropertiesWindow::stopPreviews()
{
    for (GifPreview* preview : previews_)
        if (preview->movie())
            preview->movie()->stop();
}

void ItemPropertiesWindow::okClicked()
{
    model_.applyDataChange();
    stopPreviews();
    accept();
}

void ItemPropertiesWindow::cancelClicked()
{
    reject();
}

void ItemPropertiesWindow::reject()
{
    // Cancel, Escape and the close box all end here.
    if (!model_.confirmCancel(prompter_, ctx_.menu.saveMode.saveAll()))
        return;
    stopPreviews();
    QDialog::reject();
}

void ItemPropertiesWindow::applyClicked()
{
    model_.applyNow();
    if (applyHandler_)
        applyHandler_(model_.commit(ctx_.menu.saveMode.saveAll()));
    refresh();
}

} // namespace tessaro
