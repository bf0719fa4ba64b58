#include "session/menu_session.h"

#include <filesystem>

#include "core/menu_diff.h"
#include "core/menu_writer.h"
#include "core/open_menu.h"
#include "edit/menu_text_file.h"
#include "edit/tree_edit.h"
#include "phone/transfer.h"
#include "preview/icon_check.h"
#include "session/editor_session.h"
#include "session/menu_open.h"
#include "session/phone_menu.h"
#include "session/session_questions.h"
#include "workspace/firmware_profile.h"

namespace tessaro {

namespace {

// The phone's menu as it stands, fetched for a comparison only.
constexpr char kPhoneMenuCopy[] = "mma_phone";

Error cancelled()
{
    return Error(ErrorKind::Cancelled, TRANSLATABLE("Core", "Cancelled"));
}

bool sameFile(const std::string& a, const std::string& b)
{
    std::error_code ec;
    return a == b || std::filesystem::equivalent(a, b, ec);
}

} // namespace

MenuSession::MenuSession(EditorSession& session, SessionQuestions& questions)
    : session_(session), questions_(questions), document_(session.menu)
{
}

OpenMenu& MenuSession::menu()
{
    return session_.menu;
}

bool MenuSession::mayCloseMenu(const std::function<bool()>& save)
{
    if (!document_.isModified())
        return true;
    switch (questions_.saveChangesFirst()) {
    case UnsavedChoice::Save: return save();
    case UnsavedChoice::Discard: return true;
    case UnsavedChoice::Cancel: break;
    }
    return false;
}

void MenuSession::copyTables(OpenMenu& into) const
{
    const OpenMenu& open = session_.menu;
    into.items = open.items;
    into.saveMode = open.saveMode;
    into.customCounter = open.customCounter;
    into.formatRead = open.formatRead;
}

void MenuSession::adopt(OpenMenu& read, MenuOrigin origin, bool repaired)
{
    OpenMenu& open = session_.menu;
    open.document.takeContentOf(read.document);
    open.items = std::move(read.items);
    open.saveMode = read.saveMode;
    open.customCounter = read.customCounter;
    open.formatRead = read.formatRead;
    origin_ = origin;
    filePath_.clear();
    fingerprint_ = {};
    document_.opened(repaired);
}

void MenuSession::newMenu()
{
    startNewMenu(session_.menu.document);
    origin_ = MenuOrigin::New;
    filePath_.clear();
    fingerprint_ = {};
    document_.opened();
}

Result<MenuOpenReport> MenuSession::openFile(const std::string& path, bool recordUnknown)
{
    // Read aside: a file that fails half way (a profile dropped, then no menu after all)
    // leaves the open menu, its profile and its history as they were.
    OpenMenu read;
    copyTables(read);
    const int selector = session_.profiles.selectorIndex();
    const Result<MenuOpenReport> opened = openMenuFile(path, read, session_.profiles, recordUnknown);
    if (!opened) {
        session_.profiles.setSelectorIndex(selector);
        return opened.failure();
    }
    adopt(read, MenuOrigin::File, opened->repaired);
    filePath_ = path;
    fingerprint_ = opened->fingerprint;
    return opened;
}

Result<PhoneMenuOpened> MenuSession::openFromPhone()
{
    // Without a private folder the working copies would land among the user's files.
    if (Status ready = session_.workingFolder.ready(); !ready)
        return ready.failure();
    OpenMenu read;
    copyTables(read);
    const int selector = session_.profiles.selectorIndex();
    const auto opened = openMenuFromPhone(session_.roundTrip, read, session_.profiles);
    if (!opened) {
        session_.profiles.setSelectorIndex(selector);
        return opened.failure();
    }
    adopt(read, MenuOrigin::Phone, opened->repaired);
    return PhoneMenuOpened{opened->messages, opened->patchOffered};
}

Status MenuSession::offerJavaPatch()
{
    if (!questions_.patchJavaTables())
        return {};
    return patchJavaTables(session_.roundTrip);
}

Status MenuSession::importText(const std::string& path)
{
    if (Status imported = importMenuText(path, session_.menu); !imported)
        return imported;
    // No mma_ucp file holds it yet: Save asks for one, and leaving it asks to save.
    origin_ = MenuOrigin::Text;
    filePath_.clear();
    fingerprint_ = {};
    document_.opened(true);
    return {};
}

Status MenuSession::save()
{
    if (filePath_.empty())
        return Error(ErrorKind::NotFound, TRANSLATABLE("Core", "The menu has no file to be saved to"));
    return write(filePath_, true);
}

Status MenuSession::saveAs(const std::string& path)
{
    return write(path, !filePath_.empty() && sameFile(path, filePath_));
}

Status MenuSession::write(const std::string& path, bool ownFile)
{
    OpenMenu& open = session_.menu;
    if (const size_t leftOut = unknownRecordsLeftOut(open); leftOut > 0 && !questions_.leaveOutUnknownRecords(leftOut))
        return cancelled();
    ReplaceOptions options;
    options.lockWait = &session_.lockWait;
    // Someone else's change to the menu's own file is not written over unasked.
    FileFingerprint expected = fingerprint_;
    bool checked = ownFile;
    for (;;) {
        // Another program's change is asked about first, before a read-only file is; the
        // replace checks again under the folder's lock, right before its rename.
        Status written = checked ? checkUnchanged(path, expected) : Status{};
        if (written) {
            options.unchangedSince = checked ? &expected : nullptr;
            written = writeMenuFile(path, open, options);
        }
        if (written)
            break;
        const ErrorKind kind = written.failure().kind;
        if (checked && kind == ErrorKind::ChangedOnDisk) {
            if (!questions_.overwriteChangedFile(path))
                return cancelled();
            checked = false;
        } else if (!options.readOnlyToo && kind == ErrorKind::ReadOnly) {
            if (!questions_.replaceReadOnlyFile(path))
                return cancelled();
            options.readOnlyToo = true;
        } else {
            return written;
        }
    }
    origin_ = MenuOrigin::File;
    filePath_ = path;
    fingerprint_ = fingerprintOnDisk(path);
    document_.saved();
    return {};
}

Status MenuSession::saveToPhone()
{
    OpenMenu& open = session_.menu;
    if (Status ready = session_.workingFolder.ready(); !ready)
        return ready;
    if (const size_t leftOut = unknownRecordsLeftOut(open); leftOut > 0 && !questions_.leaveOutUnknownRecords(leftOut))
        return cancelled();
    // A phone without a readable menu has nothing to compare with; the upload says what fails.
    std::vector<std::string> changes;
    if (const Result<std::string> copy = readPhoneMenuCopy(); copy) {
        if (Result<std::vector<std::string>> found = changesFrom(*copy); found)
            changes = std::move(found).value();
    } else if (copy.failure().cancelled()) {
        return copy.failure();
    }
    // Icons the phone lacks would show as blanks once the phone restarts: said beforehand.
    const DrmPack* pack = session_.drmPack.isLoaded() ? &session_.drmPack : nullptr;
    const Result<std::vector<std::string>> missing = iconsMissingOnPhone(session_.phone, open, pack);
    if (!missing && missing.failure().kind == ErrorKind::PhoneGone)
        return missing.failure();
    if (missing && !missing->empty()) {
        if (!questions_.sendWithMissingIcons(changes, *missing))
            return cancelled();
    } else if (!changes.empty() && !questions_.writeOverPhoneMenu(changes)) {
        return cancelled();
    }
    if (Status saved = saveMenuToPhone(session_.roundTrip, open); !saved)
        return saved;
    // The menu on the phone is as good as a saved file.
    document_.saved();
    return {};
}

Status MenuSession::offerPutBack()
{
    // A menu cut off on the phone would not start: offer the one the phone had.
    // A failed upload puts the previous menu back by itself while the phone answers; only one
    // it could not put back is left to offer.
    const RoundTripState& state = session_.roundTripState;
    if (!state.menuLeftCut || !session_.link.connected || state.storedToPhone)
        return {};
    if (!questions_.putBackPhoneMenu(state.menuBackup))
        return {};
    return putBackPhoneMenu(session_.roundTrip);
}

Status MenuSession::exportText(const std::string& path)
{
    return exportMenuText(session_.menu, path);
}

Result<std::string> MenuSession::readPhoneMenuCopy()
{
    if (Status ready = session_.workingFolder.ready(); !ready)
        return ready.failure();
    const std::string copy = session_.workingFolder.file(kPhoneMenuCopy);
    if (const Status read = downloadFile(session_.phone, kPhoneMenuPath, copy, TRANSLATABLE("Core", "Reading mma_ucp"));
        !read)
        return read.failure();
    return copy;
}

Result<std::vector<std::string>> MenuSession::changesFrom(const std::string& otherPath) const
{
    const OpenMenu& open = session_.menu;
    const Result<MenuDescription> other = describeMenuFile(otherPath, open.items);
    if (!other)
        return other.failure();
    // Records of unknown kinds count as the open menu would keep them with "Save all data".
    MenuDescription mine = describeMenu(open.document, open.saveMode);
    mine.saveMode.setSaveAll(true);
    return menuChangeLines(*other, mine);
}

Result<ProfileManager::Selection> MenuSession::chooseProfile(int index, ViewState view)
{
    return document_.change(undo_step::ChangeSaveMode, std::move(view),
                            [&] { return session_.profiles.select(index, session_.menu); });
}

Status MenuSession::choosePhoneProfile(const std::string& prefix, ViewState view)
{
    return document_.change(undo_step::ChangeSaveMode, std::move(view),
                            [&] { return session_.profiles.loadProfile(prefix, session_.menu); });
}

Result<std::vector<Notice>> MenuSession::createFirmwareProfile(const std::string& image, ViewState view)
{
    // The scan and its questions run on tables of their own; what the new profile brings
    // becomes one step afterwards.
    OpenMenu made;
    copyTables(made);
    Result<FirmwareProfile> profile =
        createProfileFromFirmware(image, made, session_.profiles, session_.phone.progress,
                                  [this](const std::string& path) { return questions_.replaceProfile(path); });
    if (!profile)
        return profile.failure();
    document_.change(undo_step::ChangeSaveMode, std::move(view), [&] {
        session_.menu.items = std::move(made.items);
        session_.menu.saveMode = made.saveMode;
    });
    return std::move(profile->notices);
}

} // namespace tessaro
