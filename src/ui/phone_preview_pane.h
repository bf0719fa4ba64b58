#pragma once
// `PhonePreviewPane`: the open menu as the phone shows it, beside the tree. The screen shows
// the container of the selected item as a grid or a list; the controls above it choose the
// style, the screen size, the language and the folder that mirrors the phone's files. It
// follows every change of the document, fetches the icons of a connected phone in small steps
// between the window's events, and tells the window when its own selection moves.

#include <memory>
#include <string>
#include <vector>

#include <QWidget>

#include "core/menu_document.h"
#include "preview/icon_sources.h"
#include "preview/phone_icons.h"
#include "preview/screen_layout.h"
#include "ui/phone_screen_painter.h"
#include "workspace/preview_settings.h"

class QComboBox;
class QLabel;
class QMovie;
class QPushButton;
class QTimer;

namespace tessaro {

class EditorSession;

// The phone's screen: draws the layout, and moves the selection with the keys and the mouse.
class PhoneScreenView : public QWidget {
    Q_OBJECT
public:
    explicit PhoneScreenView(QWidget* parent = nullptr);

    void setLayout(ScreenLayout layout, IconPictures* pictures);
    const ScreenLayout& screenLayout() const { return layout_; }
    // The frame the selected item's animated icon shows now (null image: none plays).
    void setAnimatedFrame(const QImage& frame);
    QSize sizeHint() const override;

Q_SIGNALS:
    // The user selected `node` on the screen.
    void nodeChosen(const tessaro::MenuNode* node);
    // Enter or a double-click on a container: show its items.
    void enterRequested(const tessaro::MenuNode* node);
    // Backspace: show the container's own container.
    void upRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    // The screen's origin in the widget (it stands centred) and the cell under a point.
    QPoint origin() const;
    const ScreenCell* cellAt(const QPoint& pos) const;
    void moveSelection(int by);

    ScreenLayout layout_;
    IconPictures* pictures_ = nullptr;
    QImage animatedFrame_;
};

class PhonePreviewPane : public QWidget, private DocumentObserver {
    Q_OBJECT
public:
    PhonePreviewPane(EditorSession& session, QWidget* parent = nullptr);
    ~PhonePreviewPane() override;

    PhoneScreenView* screen() const { return screen_; }
    IconSources& sources() { return sources_; }
    IconPictures& pictures() { return pictures_; }
    PhoneIcons& phoneIcons() { return phoneIcons_; }
    const PreviewSettings& settings() const { return settings_; }
    PreviewOptions options() const;

    // The tree's selection: the screen shows its container.
    void showNode(const MenuNode* node);
    // Chosen in the pane's controls; each is kept in tessaro.ini.
    void setStyle(MenuStyle style);
    void setScreenSize(ScreenSize size);
    void setLanguage(int language);
    void setIconFolder(const std::string& folder);
    // The pane was shown or hidden (kept in tessaro.ini).
    void setShownSetting(bool shown);
    // A phone came or went: its icons are fetched, or the phone no longer counts.
    void phoneLinkChanged();
    // Runs every fetch step now (tests and the picture from the command line).
    void fetchAll();
    // The screen again from the document as it stands.
    void relayout();

Q_SIGNALS:
    void nodeChosen(tessaro::MenuNode* node);
    // Pictures arrived or a source changed: views of the icons redraw.
    void iconsChanged();

private:
    void documentReset() override;
    void nodeInserted(MenuNode* node) override;
    void nodeRemoved(MenuNode* parent, size_t row) override;
    void nodeAboutToBeRemoved(MenuNode* node) override;
    void nodeMoved(MenuNode* node) override;
    void nodeChanged(MenuNode* node) override;

    void buildControls();
    // A relayout (and a check for new icon paths) once the events at hand are done.
    void scheduleRelayout(bool pathsChanged = false);
    // Starts fetching when a phone is connected and the menu's paths are not fetched yet.
    void startFetching();
    // A step when the phone is free; runFetchStep() does it.
    void fetchStep();
    void runFetchStep();
    void showFetchState(const std::string& failure = {});
    void saveSettings();
    // The screen size the profile in force was last seen with, when one was chosen under it.
    void followProfile();
    void playAnimation();
    void iconSourcesChanged();

    EditorSession& session_;
    MenuDocument& document_;
    PreviewSettings settings_;
    MenuStyle style_ = MenuStyle::Grid;
    ScreenSize screenSize_;
    int language_ = 0;
    std::string profileSeen_;
    const MenuNode* shown_ = nullptr;
    IconSources sources_;
    IconPictures pictures_;
    PhoneIcons phoneIcons_;
    std::vector<std::string> paths_;
    // What of the DRM pack the pictures were taken from: a new load makes them stale.
    std::string packSeen_;
    uint32_t packTotalSeen_ = 0;
    bool packLoadedSeen_ = false;

    QComboBox* styleBox_ = nullptr;
    QComboBox* screenBox_ = nullptr;
    QComboBox* languageBox_ = nullptr;
    QPushButton* folderButton_ = nullptr;
    QLabel* fetchLabel_ = nullptr;
    PhoneScreenView* screen_ = nullptr;
    QTimer* relayoutTimer_ = nullptr;
    QTimer* fetchTimer_ = nullptr;
    bool pathsChanged_ = true;
    std::unique_ptr<QMovie> movie_;
    std::shared_ptr<const std::vector<uint8_t>> movieGif_;
};

} // namespace tessaro
