#include "ui/phone_preview_pane.h"

#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QMovie>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>

#include "core/catalogue.h"
#include "core/open_menu.h"
#include "preview/icon_check.h"
#include "session/editor_session.h"
#include "ui/core_text.h"
#include "workspace/settings.h"

namespace tessaro {

// --- the screen --------------------------------------------------------------------------------

PhoneScreenView::PhoneScreenView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("phoneScreen"));
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(128, 160);
}

void PhoneScreenView::setLayout(ScreenLayout layout, IconPictures* pictures)
{
    layout_ = std::move(layout);
    pictures_ = pictures;
    updateGeometry();
    update();
}

void PhoneScreenView::setAnimatedFrame(const QImage& frame)
{
    animatedFrame_ = frame;
    update();
}

QSize PhoneScreenView::sizeHint() const
{
    return QSize(layout_.screen.width + 16, layout_.screen.height + 16);
}

QPoint PhoneScreenView::origin() const
{
    return QPoint(std::max(0, (width() - layout_.screen.width) / 2),
                  std::max(0, (height() - layout_.screen.height) / 2));
}

const ScreenCell* PhoneScreenView::cellAt(const QPoint& pos) const
{
    const QPoint at = pos - origin();
    return layout_.cellAt(at.x(), at.y());
}

void PhoneScreenView::paintEvent(QPaintEvent*)
{
    if (!pictures_)
        return;
    QPainter painter(this);
    const QPoint at = origin();
    // The phone's body around its screen.
    painter.fillRect(rect(), palette().window());
    painter.setPen(QPen(palette().mid().color(), 2));
    painter.drawRoundedRect(QRect(at, QSize(layout_.screen.width, layout_.screen.height)).adjusted(-4, -4, 4, 4), 6, 6);
    painter.translate(at);
    paintScreen(painter, layout_, *pictures_, animatedFrame_.isNull() ? nullptr : &animatedFrame_);
}

void PhoneScreenView::moveSelection(int by)
{
    if (!layout_.container || !layout_.selected)
        return;
    const long row = long(layout_.selected->row()) + by;
    if (row >= 0 && size_t(row) < layout_.container->childCount())
        Q_EMIT nodeChosen(layout_.container->child(size_t(row)));
}

void PhoneScreenView::keyPressEvent(QKeyEvent* event)
{
    const int across = layout_.style == MenuStyle::Grid ? layout_.columns : 1;
    switch (event->key()) {
    case Qt::Key_Left: moveSelection(-1); break;
    case Qt::Key_Right: moveSelection(1); break;
    case Qt::Key_Up: moveSelection(-across); break;
    case Qt::Key_Down: moveSelection(across); break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (layout_.selected)
            Q_EMIT enterRequested(layout_.selected);
        break;
    case Qt::Key_Backspace: Q_EMIT upRequested(); break;
    default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}

void PhoneScreenView::mousePressEvent(QMouseEvent* event)
{
    setFocus();
    if (const ScreenCell* cell = cellAt(event->position().toPoint()))
        Q_EMIT nodeChosen(cell->node);
}

void PhoneScreenView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (const ScreenCell* cell = cellAt(event->position().toPoint()))
        Q_EMIT enterRequested(cell->node);
}

bool PhoneScreenView::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const ScreenCell* cell = cellAt(help->pos());
        if (cell) {
            QString tip = QString::fromStdString(cell->title);
            if (cell->look.state != IconState::Shown)
                tip += u'\n' + coreText(cell->look.reason);
            QToolTip::showText(help->globalPos(), tip, this);
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    return QWidget::event(event);
}

// --- the pane ----------------------------------------------------------------------------------

PhonePreviewPane::PhonePreviewPane(EditorSession& session, QWidget* parent)
    : QWidget(parent),
      session_(session),
      document_(session.menu.document),
      settings_(loadPreviewSettings(settingsPath(session.dataFolder))),
      phoneIcons_(session.dataFolder + "IconCache/")
{
    setObjectName(QStringLiteral("phonePreview"));
    style_ = settings_.list ? MenuStyle::List : MenuStyle::Grid;
    if (const auto size = parseScreenSize(settings_.screen))
        screenSize_ = *size;
    language_ = settings_.language;
    sources_.setFolder(settings_.iconFolder);

    relayoutTimer_ = new QTimer(this);
    relayoutTimer_->setSingleShot(true);
    relayoutTimer_->setInterval(0);
    connect(relayoutTimer_, &QTimer::timeout, this, &PhonePreviewPane::relayout);
    fetchTimer_ = new QTimer(this);
    fetchTimer_->setInterval(0);
    connect(fetchTimer_, &QTimer::timeout, this, &PhonePreviewPane::fetchStep);

    buildControls();
    document_.addObserver(this);
    relayout();
}

PhonePreviewPane::~PhonePreviewPane()
{
    document_.removeObserver(this);
}

void PhonePreviewPane::buildControls()
{
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    styleBox_ = new QComboBox(this);
    styleBox_->setObjectName(QStringLiteral("previewStyle"));
    styleBox_->addItems({tr("Grid"), tr("List")});
    styleBox_->setCurrentIndex(style_ == MenuStyle::List ? 1 : 0);
    styleBox_->setToolTip(tr("How the phone shows the menu"));
    connect(styleBox_, &QComboBox::activated, this,
            [this](int index) { setStyle(index == 1 ? MenuStyle::List : MenuStyle::Grid); });
    screenBox_ = new QComboBox(this);
    screenBox_->setObjectName(QStringLiteral("previewScreen"));
    for (ScreenSize size : kScreenSizes)
        screenBox_->addItem(QString::fromStdString(screenSizeText(size)));
    screenBox_->setToolTip(tr("The phone's screen size"));
    connect(screenBox_, &QComboBox::activated, this,
            [this](int index) { setScreenSize(kScreenSizes[size_t(std::clamp(index, 0, 2))]); });
    languageBox_ = new QComboBox(this);
    languageBox_->setObjectName(QStringLiteral("previewLanguage"));
    languageBox_->addItem(tr("First title"));
    for (int id = 1; id <= kLanguageCount; ++id)
        languageBox_->addItem(coreText(languageName(id)));
    languageBox_->setCurrentIndex(language_);
    languageBox_->setToolTip(tr("The phone's language: which title each item shows"));
    connect(languageBox_, &QComboBox::activated, this, &PhonePreviewPane::setLanguage);
    row->addWidget(styleBox_);
    row->addWidget(screenBox_);
    row->addWidget(languageBox_, 1);
    layout->addLayout(row);

    auto* sourceRow = new QHBoxLayout;
    folderButton_ = new QPushButton(tr("Icon folder..."), this);
    folderButton_->setObjectName(QStringLiteral("previewIconFolder"));
    folderButton_->setToolTip(tr("A folder holding a copy of the phone's files, for the icons when no phone is "
                                 "connected"));
    connect(folderButton_, &QPushButton::clicked, this, [this] {
        const QString folder = QFileDialog::getExistingDirectory(this, tr("Folder mirroring the phone's files"),
                                                                 QString::fromStdString(settings_.iconFolder));
        if (!folder.isEmpty())
            setIconFolder(folder.toStdString());
    });
    fetchLabel_ = new QLabel(this);
    fetchLabel_->setObjectName(QStringLiteral("previewFetchState"));
    fetchLabel_->setWordWrap(true);
    sourceRow->addWidget(folderButton_);
    sourceRow->addWidget(fetchLabel_, 1);
    layout->addLayout(sourceRow);

    screen_ = new PhoneScreenView(this);
    layout->addWidget(screen_, 1);
    connect(screen_, &PhoneScreenView::nodeChosen, this,
            [this](const MenuNode* node) { Q_EMIT nodeChosen(const_cast<MenuNode*>(node)); });
    connect(screen_, &PhoneScreenView::enterRequested, this, [this](const MenuNode* node) {
        if (node->hasChildren())
            Q_EMIT nodeChosen(node->child(0));
    });
    connect(screen_, &PhoneScreenView::upRequested, this, [this] {
        const MenuNode* container = screen_->screenLayout().container;
        if (container && container->parent())
            Q_EMIT nodeChosen(const_cast<MenuNode*>(container));
    });
    showFetchState();
}

PreviewOptions PhonePreviewPane::options() const
{
    return PreviewOptions{screenSize_, style_, language_};
}

void PhonePreviewPane::showNode(const MenuNode* node)
{
    shown_ = node;
    relayout();
}

void PhonePreviewPane::setStyle(MenuStyle style)
{
    style_ = style;
    styleBox_->setCurrentIndex(style == MenuStyle::List ? 1 : 0);
    settings_.list = style == MenuStyle::List;
    saveSettings();
    relayout();
}

void PhonePreviewPane::setScreenSize(ScreenSize size)
{
    screenSize_ = size;
    settings_.screen = screenSizeText(size);
    // Chosen under a profile, the size is that phone's from now on.
    if (!session_.profiles.isDefaultMode())
        settings_.profileScreens[session_.profiles.selectorText()] = settings_.screen;
    saveSettings();
    relayout();
}

void PhonePreviewPane::setLanguage(int language)
{
    language_ = std::clamp(language, 0, kLanguageCount);
    languageBox_->setCurrentIndex(language_);
    settings_.language = language_;
    saveSettings();
    relayout();
}

void PhonePreviewPane::setIconFolder(const std::string& folder)
{
    settings_.iconFolder = folder;
    sources_.setFolder(folder);
    saveSettings();
    iconSourcesChanged();
}

void PhonePreviewPane::setShownSetting(bool shown)
{
    if (settings_.shown == shown)
        return;
    settings_.shown = shown;
    saveSettings();
}

void PhonePreviewPane::saveSettings()
{
    // A settings file that cannot be written only loses the pane's choices.
    (void)savePreviewSettings(settingsPath(session_.dataFolder), settings_);
}

void PhonePreviewPane::followProfile()
{
    const std::string profile = session_.profiles.isDefaultMode() ? std::string() : session_.profiles.selectorText();
    if (profile == profileSeen_)
        return;
    profileSeen_ = profile;
    const auto known = settings_.profileScreens.find(profile);
    if (known != settings_.profileScreens.end())
        if (const auto size = parseScreenSize(known->second))
            screenSize_ = *size;
}

void PhonePreviewPane::iconSourcesChanged()
{
    pictures_.clear();
    relayout();
    Q_EMIT iconsChanged();
}

void PhonePreviewPane::relayout()
{
    // A DRM pack loaded since (the picker reloads it at each opening) may hold other pictures.
    const DrmPack& pack = session_.drmPack;
    if (pack.isLoaded() != packLoadedSeen_ || pack.packPath() != packSeen_ || pack.total() != packTotalSeen_) {
        packLoadedSeen_ = pack.isLoaded();
        packSeen_ = pack.packPath();
        packTotalSeen_ = pack.total();
        sources_.setDrmPack(pack.isLoaded() ? &pack : nullptr);
        pictures_.clear();
        Q_EMIT iconsChanged();
    }
    followProfile();
    screenBox_->setCurrentText(QString::fromStdString(screenSizeText(screenSize_)));
    if (pathsChanged_) {
        pathsChanged_ = false;
        paths_ = namedIconPaths(session_.menu);
        startFetching();
    }
    const MenuNode* shown = shown_ && document_.indexOf(shown_) >= 0 ? shown_ : nullptr;
    screen_->setLayout(layoutScreen(session_.menu, shown, options(), &sources_), &pictures_);
    playAnimation();
}

void PhonePreviewPane::playAnimation()
{
    const ScreenLayout& layout = screen_->screenLayout();
    std::shared_ptr<const std::vector<uint8_t>> gif;
    for (const ScreenCell& cell : layout.cells)
        if (cell.selected && cell.animatedLook.state == IconState::Shown)
            gif = cell.animatedLook.gif;
    if (gif == movieGif_)
        return;
    movie_.reset();
    movieGif_ = gif;
    screen_->setAnimatedFrame({});
    if (!gif)
        return;
    auto* buffer = new QBuffer(this);
    buffer->setData(reinterpret_cast<const char*>(gif->data()), qsizetype(gif->size()));
    buffer->open(QIODevice::ReadOnly);
    movie_ = std::make_unique<QMovie>(buffer, "GIF");
    buffer->setParent(movie_.get());
    if (!movie_->isValid()) {
        movie_.reset();
        return;
    }
    connect(movie_.get(), &QMovie::frameChanged, this, [this] { screen_->setAnimatedFrame(movie_->currentImage()); });
    movie_->start();
}

void PhonePreviewPane::scheduleRelayout(bool pathsChanged)
{
    pathsChanged_ = pathsChanged_ || pathsChanged;
    relayoutTimer_->start();
}

void PhonePreviewPane::documentReset()
{
    shown_ = nullptr;
    scheduleRelayout(true);
}

void PhonePreviewPane::nodeInserted(MenuNode*)
{
    scheduleRelayout(true);
}

void PhonePreviewPane::nodeAboutToBeRemoved(MenuNode* node)
{
    if (shown_ && node->contains(shown_))
        shown_ = node->parent();
}

void PhonePreviewPane::nodeRemoved(MenuNode*, size_t)
{
    scheduleRelayout(true);
}

void PhonePreviewPane::nodeMoved(MenuNode*)
{
    scheduleRelayout();
}

void PhonePreviewPane::nodeChanged(MenuNode*)
{
    scheduleRelayout(true);
}

// --- the phone's icons -------------------------------------------------------------------------

void PhonePreviewPane::phoneLinkChanged()
{
    if (!session_.link.connected) {
        fetchTimer_->stop();
        if (sources_.phone()) {
            sources_.setPhone(nullptr);
            iconSourcesChanged();
        }
        showFetchState();
        return;
    }
    startFetching();
}

void PhonePreviewPane::startFetching()
{
    if (!session_.link.connected || phoneIcons_.isBegunFor(session_.link.imei, paths_))
        return;
    phoneIcons_.begin(session_.link.imei, paths_);
    sources_.setPhone(&phoneIcons_);
    fetchTimer_->start();
    showFetchState();
}

void PhonePreviewPane::fetchStep()
{
    // The phone does one thing at a time: while another operation holds it (its progress
    // window or a question stands over the window), the fetch waits.
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget())
        return;
    runFetchStep();
}

void PhonePreviewPane::runFetchStep()
{
    if (!session_.link.connected || phoneIcons_.isDone()) {
        fetchTimer_->stop();
        return;
    }
    const Result<bool> more = phoneIcons_.step(session_.phone);
    if (!more || !*more)
        fetchTimer_->stop();
    sources_.forget();
    showFetchState(more ? std::string() : more.error());
    if (!more || !*more || phoneIcons_.stepsDone() % 8 == 0) {
        relayout();
        Q_EMIT iconsChanged();
    }
}

void PhonePreviewPane::fetchAll()
{
    while (fetchTimer_->isActive() && session_.link.connected && !phoneIcons_.isDone())
        runFetchStep();
    fetchTimer_->stop();
    iconSourcesChanged();
}

void PhonePreviewPane::showFetchState(const std::string& failure)
{
    QString text;
    if (!failure.empty())
        text = coreText(failure);
    else if (session_.link.connected && !phoneIcons_.isDone())
        text = tr("Icons from the phone: %1 of %2").arg(phoneIcons_.stepsDone()).arg(phoneIcons_.stepsTotal());
    else if (session_.link.connected)
        text = tr("Icons from the phone");
    else if (!settings_.iconFolder.empty())
        text = tr("Icons from %1").arg(QString::fromStdString(settings_.iconFolder));
    else
        text = tr("No phone or icon folder");
    fetchLabel_->setText(text);
}

} // namespace tessaro
