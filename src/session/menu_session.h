#pragma once
// The open menu's life, for the editor's window and tessaro-cli alike: where the menu came
// from (nothing yet, a new menu, a file, the phone or a menu text), which file Save writes and
// what that file was when it was read, and the commands that open, save and send it. Every
// command changes nothing when it fails, undo history included; the questions on the way go
// to the front end through SessionQuestions.

#include <functional>
#include <string>
#include <vector>

#include "core/file_fingerprint.h"
#include "core/notice.h"
#include "core/result.h"
#include "session/document_controller.h"
#include "session/menu_open.h"
#include "workspace/profiles.h"

namespace tessaro {

class EditorSession;
class SessionQuestions;
struct OpenMenu;

enum class MenuOrigin {
    None,  // no menu is open
    New,   // made with New
    File,  // read from a file, or saved to one since
    Phone, // read from the phone
    Text,  // imported from a menu text
};

// What Open from phone read besides the menu, for the caller to show in order.
struct PhoneMenuOpened {
    std::vector<Notice> notices;
    // The Java slot tables need the corelet patch: offerJavaPatch() asks about it.
    bool patchOffered = false;
};

class MenuSession {
public:
    MenuSession(EditorSession& session, SessionQuestions& questions);

    DocumentController& document() { return document_; }
    const DocumentController& document() const { return document_; }
    OpenMenu& menu();
    MenuOrigin origin() const { return origin_; }
    // The file plain Save writes: the one the menu was read from or last saved to. Empty when
    // Save must ask for a name (a new menu, one from the phone, an imported text).
    const std::string& filePath() const { return filePath_; }

    // Before the open menu is put away (New, Open, Open from phone, Import, closing): true
    // when that may go on. An unchanged menu goes on; otherwise the user chooses, and Save
    // runs `save`, going on only when it saved.
    bool mayCloseMenu(const std::function<bool()>& save);

    // New: the two fixed top nodes and an empty main menu.
    void newMenu();
    // Open: reads `path` under the profile in force; what the open found (see MenuOpenReport).
    // A repaired menu counts as modified. With `recordUnknown` false nothing is added to the
    // item base.
    Result<MenuOpenReport> openFile(const std::string& path, bool recordUnknown = true);
    // Open from phone: reads the phone's menu and the Java slot tables the settings ask for.
    Result<PhoneMenuOpened> openFromPhone();
    // After Open from phone offered it: asks whether to patch the Java slot tables and does.
    Status offerJavaPatch();
    // Import text: the menu described by the menu text at `path`.
    Status importText(const std::string& path);

    // Save: writes the menu to filePath(), only while that file holds what it held when it was
    // read or last written here (else the user is asked). Without a file, kind NotFound.
    Status save();
    // Save as: writes the menu to `path`, which Save writes from then on. A read-only file is
    // replaced, and the menu's own file written over another program's change, only when the
    // user says so; a save that leaves records of unknown kinds out asks first.
    Status saveAs(const std::string& path);
    // Save to phone: what it would change on the phone is shown first; a failed upload offers
    // to put the phone's previous menu back.
    Status saveToPhone();
    // Export as text: the menu's description to `path`.
    Status exportText(const std::string& path);

    // The phone's menu as it stands, read into the working folder; the copy's path.
    Result<std::string> readPhoneMenuCopy();
    // The lines of the changes from the menu at `otherPath` (an mma_ucp file or a menu text)
    // to the open one.
    Result<std::vector<std::string>> changesFrom(const std::string& otherPath) const;

    // A user's choice in the profile selector, as one undo step seen in `view`. CreateNew asks
    // the caller for a firmware image and createFirmwareProfile().
    Result<ProfileManager::Selection> chooseProfile(int index, ViewState view = {});
    // The profile of a phone that connected, by its firmware prefix, as one undo step.
    Status choosePhoneProfile(const std::string& prefix, ViewState view = {});
    // A profile made from the firmware image at `image` and chosen, as one undo step; an
    // existing one is replaced only when the user says so. Its notices, in order. The scan
    // runs outside the step, so nothing else can start a change inside it.
    Result<std::vector<Notice>> createFirmwareProfile(const std::string& image, ViewState view = {});
    // After a failed Save to phone that left the phone's menu cut (the upload could not put the
    // previous one back itself): asks whether to put it back and does.
    Status offerPutBack();

private:
    // Writes the menu to `path`, asking about the records left out, a read-only file and
    // (with `ownFile`) another program's change.
    Status write(const std::string& path, bool ownFile);
    // The menu in `read` becomes the open one, from `origin`; a fresh history.
    void adopt(OpenMenu& read, MenuOrigin origin, bool repaired);
    // `into` gets the open menu's tables (item lists, save mode, counters), no document.
    void copyTables(OpenMenu& into) const;

    EditorSession& session_;
    SessionQuestions& questions_;
    DocumentController document_;
    MenuOrigin origin_ = MenuOrigin::None;
    std::string filePath_;
    FileFingerprint fingerprint_; // the file at filePath_ as last read or written
};

} // namespace tessaro
