// The failures the window and tessaro-cli tell apart, each met as a user meets it: a save over
// a read-only file or over one another program changed, a firmware profile that exists, a
// phone without its profile, a phone that refuses a request or is gone. The callers branch on
// the kind, so the kind is what these pin down, beside the text the user reads.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "core/file_fingerprint.h"
#include "core/menu_writer.h"
#include "core/open_menu.h"
#include "edit/tree_edit.h"
#include "p2k/p2k_api.h"
#include "phone/transfer.h"
#include "support/temp_dir.h"
#include "support/virtual_phone_rig.h"
#include "workspace/firmware_profile.h"
#include "workspace/profiles.h"

namespace tessaro {
namespace {

namespace fs = std::filesystem;
using testing::PhoneCall;
using testing::RecordingPhone;
using testing::VirtualPhoneRig;

struct NoProgress : ProgressFactory {
    std::unique_ptr<Progress> openSingle() override { return nullptr; }
};

// A data folder with its profiles, a new menu, and a connected virtual phone holding /a/f.
struct Scene {
    Scene()
    {
        profiles.setDataFolder(dir.path().string());
        EXPECT_TRUE(profiles.startUp(menu.items).ok());
        startNewMenu(menu.document);
        rig.connect();
        rig.putPhoneFile("/a/f", testing::patternBytes(100));
    }

    // A menu file that is there, last written by someone else.
    std::string existingFile()
    {
        const std::string path = dir.file("mma_ucp");
        testing::writeText(path, "old");
        return path;
    }

    // A CG1 image whose version mark names the profile T9, and that profile, written earlier.
    std::string imageOfAnExistingProfile()
    {
        std::vector<uint8_t> image(1024, 0);
        const std::string mark = "@(#)T9_";
        const std::string firstItem = "2CLICK"; // a 36-byte record: its byte 19 is zero
        std::copy(mark.begin(), mark.end(), image.begin());
        std::copy(firstItem.begin(), firstItem.end(), image.begin() + 0x100);
        const std::string path = dir.file("fw.smg");
        testing::writeBytes(path, image);
        fs::create_directories(profiles.profilesFolder());
        testing::writeText(profiles.profilePath("T9"), "old");
        return path;
    }

    testing::TempDir dir;
    ProfileManager profiles;
    OpenMenu menu;
    NoProgress noProgress;
    VirtualPhoneRig rig;
};

TEST(ErrorKinds, EachSituationACallerTellsApartHasItsKind)
{
    struct Situation {
        const char* what;
        std::function<Error(Scene&)> produce;
        ErrorKind kind;
        std::function<std::string(Scene&)> text;
    };
    const std::vector<Situation> situations = {
        {"a save over a read-only file",
         [](Scene& s) {
             const std::string path = s.existingFile();
             fs::permissions(path, fs::perms::owner_read);
             return writeMenuFile(path, s.menu).failure();
         },
         ErrorKind::ReadOnly,
         [](Scene& s) { return "Cannot write " + s.dir.file("mma_ucp") + ": the file is read-only"; }},
        {"a save over a file another program changed since it was opened",
         [](Scene& s) {
             const std::string path = s.existingFile();
             FileFingerprint opened = fingerprintOnDisk(path);
             testing::writeText(path, "changed elsewhere");
             return writeMenuFileChecked(path, s.menu, opened).failure();
         },
         ErrorKind::ChangedOnDisk,
         [](Scene&) { return "The file was changed by another program since it was opened"; }},
        {"a firmware profile that exists, not to be replaced",
         [](Scene& s) {
             const std::string image = s.imageOfAnExistingProfile();
             return createProfileFromFirmware(image, s.menu, s.profiles, s.noProgress,
                                              [](const std::string&) { return false; })
                 .failure();
         },
         ErrorKind::Exists,
         [](Scene& s) { return "A profile of this firmware exists already: " + s.profiles.profilePath("T9"); }},
        {"a phone whose firmware has no profile",
         [](Scene& s) { return s.profiles.loadProfile("R999", s.menu).failure(); }, ErrorKind::NotFound,
         [](Scene&) { return "Profile not found. Default profile will be applied"; }},
        {"a phone that refuses a request",
         [](Scene& s) {
             s.rig.api->addTrap(PhoneCall::SendCmd, 1, RecordingPhone::TrapAction::Fail, kFsacOpen);
             return downloadFile(s.rig.phone(), "/a/f", s.rig.local("f"), "Downloading f").failure();
         },
         ErrorKind::PhoneRefused, [](Scene&) { return "Error reading /a/f"; }},
        {"a phone that was unplugged",
         [](Scene& s) {
             s.rig.virtualPhone->unplug();
             s.rig.link.connected = false;
             return downloadFile(s.rig.phone(), "/a/f", s.rig.local("f"), "Downloading f").failure();
         },
         ErrorKind::PhoneGone, [](Scene&) { return "Error reading /a/f"; }},
        {"a firmware image that cannot be read",
         [](Scene& s) {
             return createProfileFromFirmware(s.dir.file("absent.bin"), s.menu, s.profiles, s.noProgress, {}).failure();
         },
         ErrorKind::Io,
         [](Scene& s) { return "Cannot open " + s.dir.file("absent.bin") + ": No such file or directory"; }},
        {"a file question the user cancelled",
         [](Scene& s) { return createProfileFromFirmware("", s.menu, s.profiles, s.noProgress, {}).failure(); },
         ErrorKind::Cancelled, [](Scene&) { return "Cancelled"; }},
        {"an edit the rules do not allow",
         [](Scene& s) {
             // Nothing goes beside the Menu Root (node 8 after the Softkeys and their seven keys).
             return insertAvailableItem(s.menu, 0, s.menu.document.menuRoot(), InsertPosition::AddBefore).failure();
         },
         ErrorKind::Refused, [](Scene&) { return "Add item is not allowed on node 8"; }},
    };
    for (const Situation& situation : situations) {
        SCOPED_TRACE(situation.what);
        Scene scene;
        const Error error = situation.produce(scene);
        EXPECT_EQ(error.kind, situation.kind);
        EXPECT_EQ(error.text, situation.text(scene));
    }
}

} // namespace
} // namespace tessaro
