#pragma once
// The questions the open menu's life asks on the way, one method each, so that every front end
// answers them its own way: the editor with message boxes, tessaro-cli with its flags.

#include <cstddef>
#include <string>
#include <vector>

namespace tessaro {

// What the user chose when unsaved changes would be lost.
enum class UnsavedChoice { Save, Discard, Cancel };

class SessionQuestions {
public:
    virtual ~SessionQuestions() = default;

    // The menu changed since it was opened or saved and is about to be put away.
    virtual UnsavedChoice saveChangesFirst() = 0;
    // The file at `path`, the one the menu came from or was last saved to, was changed by
    // another program since: write over it?
    virtual bool overwriteChangedFile(const std::string& path) = 0;
    // The file at `path` is read-only: replace it all the same?
    virtual bool replaceReadOnlyFile(const std::string& path) = 0;
    // A save would leave `count` data records of unknown kinds out: save without them?
    virtual bool leaveOutUnknownRecords(size_t count) = 0;
    // A profile of this firmware exists already at `path`: replace it?
    virtual bool replaceProfile(const std::string& path) = 0;
    // The phone's Java slot tables need the corelet patch: patch them?
    virtual bool patchJavaTables() = 0;
    // Save to phone would change the phone's menu as `changes` list: go on?
    virtual bool writeOverPhoneMenu(const std::vector<std::string>& changes) = 0;
    // Save to phone would send a menu naming icons the phone lacks, one line each in
    // `missingIcons` (never empty), besides changing its menu as `changes` list (maybe none):
    // go on?
    virtual bool sendWithMissingIcons(const std::vector<std::string>& changes,
                                      const std::vector<std::string>& missingIcons) = 0;
    // The upload failed after the phone's previous menu was kept in `backup`: put it back?
    virtual bool putBackPhoneMenu(const std::string& backup) = 0;
    // A phone connected whose file `phonePath` (one byte a character) an earlier upload left
    // cut short; its previous file is kept in `backup`: put it back?
    virtual bool putBackInterruptedUpload(const std::string& phonePath, const std::string& backup) = 0;
};

} // namespace tessaro
