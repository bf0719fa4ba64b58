// The phone file browser's rules over a virtual phone: the folder tree, the rows, the upload
// target, uploads, downloads, the delete walk, attributes, folders and the mask dialog.

#include "models/file_browser_model.h"

#include <gtest/gtest.h>

#include "phone/listing.h"
#include "support/virtual_phone_rig.h"

namespace tessaro::testing {
namespace {

using Names = std::vector<std::string>;

Names childNames(const FolderNode& node)
{
    Names out;
    for (const auto& c : node.children)
        out.push_back(c->name);
    return out;
}

Names rowNames(const FileBrowserModel& model)
{
    Names out;
    for (const auto& r : model.rows())
        out.push_back(r.name);
    return out;
}

Names listPaths(const BrowserState& state)
{
    Names out;
    for (const auto& e : state.files)
        out.push_back(e.path);
    return out;
}

struct BrowserRig : VirtualPhoneRig {
    BrowserRig() : VirtualPhoneRig(PhoneSpec{.volumes = "ac"})
    {
        connect();
        putPhoneFile("/a/mobile/picture/x.gif", patternBytes(300));
        putPhoneFile("/a/mobile/picture/y.gif", patternBytes(40));
        putPhoneFile("/a/mobile/picture/z.gif", patternBytes(5));
        putPhoneFile("/c/w.gif", patternBytes(7));
        EXPECT_TRUE(listPhoneFiles(phone(), state, ListingMode::IconsOnly));
        model.buildTree();
        model.open();
        api->clearRequests();
        progress.clear();
    }

    const FolderNode& folder(const std::string& path)
    {
        const FolderNode* node = model.findFolder(path);
        EXPECT_NE(node, nullptr) << path;
        return *node;
    }
    void select(const std::string& path) { model.selectFolder(&folder(path)); }
    std::function<std::unique_ptr<BatchProgress>()> batches()
    {
        return [this] {
            ++batchesOpened;
            return std::unique_ptr<BatchProgress>(std::make_unique<RecordingProgress>(batchEvents));
        };
    }

    BrowserState state;
    FileBrowserModel model{phone(), state};
    std::shared_ptr<std::vector<std::string>> batchEvents = std::make_shared<std::vector<std::string>>();
    int batchesOpened = 0;
};

TEST(FileBrowserTree, PathComponentsBecomeSortedFolderNodes)
{
    BrowserRig rig;
    EXPECT_EQ(childNames(rig.model.root()), (Names{"a", "c"}));
    EXPECT_EQ(childNames(rig.folder("/a")), (Names{"mobile"}));
    EXPECT_EQ(childNames(rig.folder("/a/mobile")), (Names{"picture"}));
    EXPECT_EQ(rig.folder("/a/mobile/picture").files, (Names{"x.gif", "y.gif", "z.gif"}));
    EXPECT_EQ(FileBrowserModel::folderPath(rig.folder("/a/mobile/picture")), "/a/mobile/picture");
    EXPECT_EQ(FileBrowserModel::folderPath(rig.model.root()), "");
}

TEST(FileBrowserTree, SameNameInAnotherCaseIsASeparateNode)
{
    BrowserRig rig;
    rig.state.files = {{1, 0, 0, "/a/Pic/b.gif"}, {2, 0, 0, "/a/pic/c.gif"}, {3, 0, 0, "/a/PIC/d.gif"}};
    rig.model.buildTree();
    // Sorted by byte value: upper case before lower case.
    EXPECT_EQ(childNames(rig.folder("/a")), (Names{"PIC", "Pic", "pic"}));
    EXPECT_EQ(rig.folder("/a/pic").files, (Names{"c.gif"}));
}

TEST(FileBrowserTree, EmptyListLeavesTheRootAlone)
{
    BrowserRig rig;
    rig.state.files.clear();
    rig.model.buildTree();
    EXPECT_TRUE(rig.model.root().children.empty());
    EXPECT_TRUE(rig.model.root().files.empty());
}

TEST(FileBrowserRows, FolderRowsCarrySizeAndAttributesAndClickGivesThePath)
{
    BrowserRig rig;
    rig.state.files[1].attributes = 1 | 4;
    rig.state.files[2].attributes = 2;
    rig.select("/a/mobile/picture");
    ASSERT_EQ(rig.model.rows().size(), 3u);
    EXPECT_EQ(rig.model.rows()[0].size, "300");
    EXPECT_EQ(rig.model.rows()[0].attributes, "[]");
    EXPECT_EQ(rig.model.rows()[1].attributes, "[RS]");
    EXPECT_EQ(rig.model.rows()[2].attributes, "[H]");
    EXPECT_EQ(rig.model.currentFolderPath(), "/a/mobile/picture/");
    rig.model.setSelection({0});
    rig.model.clickFile();
    EXPECT_EQ(rig.model.iconPath(), "/a/mobile/picture/x.gif");
}

TEST(FileBrowserRows, RootSelectionEmptiesTheListAndSelectsNoFolder)
{
    BrowserRig rig;
    rig.select("/a/mobile/picture");
    rig.model.setSelection({1});
    rig.model.clickFile();
    rig.model.selectFolder(&rig.model.root());
    EXPECT_TRUE(rig.model.rows().empty());
    EXPECT_FALSE(rig.model.hasFolder());
    EXPECT_EQ(rig.model.iconPath(), "");
}

TEST(FileBrowserRows, UsePathFollowsTheCurrentFolder)
{
    BrowserRig rig;
    rig.select("/c");
    rig.model.setUsePath(true);
    EXPECT_EQ(rig.model.usePathText(), "/c/");
    rig.select("/a/mobile");
    EXPECT_EQ(rig.model.usePathText(), "/a/mobile/");
    rig.model.setUsePath(false);
    EXPECT_EQ(rig.model.usePathText(), "");
}

TEST(FileBrowserUpload, RootSelectedWithoutUsePathIsRefused)
{
    BrowserRig rig;
    writeText(rig.local("n.gif"), "GIF89a");
    rig.model.selectFolder(&rig.model.root());
    const Status sent = rig.model.upload({rig.local("n.gif")}, rig.batches());
    EXPECT_EQ(sent.error(), "Target directory not specified");
    EXPECT_EQ(sent.failure().caption, "Error");
    EXPECT_TRUE(rig.commands().empty());
}

TEST(FileBrowserUpload, UsePathWithAnEmptyFieldIsRefused)
{
    BrowserRig rig;
    writeText(rig.local("n.gif"), "GIF89a");
    rig.model.setUsePath(true);
    rig.model.setUsePathText("");
    EXPECT_EQ(rig.model.upload({rig.local("n.gif")}, rig.batches()).error(), "Target directory not specified");
}

TEST(FileBrowserUpload, OneFileIntoTheSelectedFolderJoinsListTreeAndRows)
{
    BrowserRig rig;
    writeBytes(rig.local("n.gif"), patternBytes(1500));
    rig.select("/c");
    ASSERT_TRUE(rig.model.upload({rig.local("n.gif")}, rig.batches()));
    EXPECT_EQ(rig.batchesOpened, 0);   // one file: its own progress window
    EXPECT_EQ(readBytes(rig.phoneFile("/c/n.gif")), patternBytes(1500));
    EXPECT_EQ(rig.state.files.back(), (PhoneFileEntry{1500, 0, 0, "/c/n.gif"}));
    EXPECT_EQ(rowNames(rig.model), (Names{"w.gif", "n.gif"}));
    EXPECT_EQ(rig.model.rows()[1].size, "1500");
}

TEST(FileBrowserUpload, LocalNamesBecomeOneBytePerCharacterOnThePhoneAndBack)
{
    BrowserRig rig;
    const std::string localName = "\xC3\xA9t\xC3\xA9.gif";  // UTF-8 on this side
    const std::string phoneName = "\xE9t\xE9.gif";            // one byte a character on the phone
    writeBytes(rig.local(localName), patternBytes(20));
    rig.select("/c");
    ASSERT_TRUE(rig.model.upload({rig.local(localName)}, rig.batches()));
    EXPECT_EQ(rig.state.files.back().path, "/c/" + phoneName);
    EXPECT_EQ(readBytes(rig.phoneFile("/c/" + phoneName)), patternBytes(20));

    // Several files downloaded into a folder get their names back in UTF-8.
    rig.model.setSelection({0, 1});
    const std::string folder = (rig.temp.path() / "pc").string();
    ASSERT_TRUE(rig.model.downloadSelected(folder, rig.batches()));
    EXPECT_EQ(readBytes(rig.temp.path() / "pc" / localName), patternBytes(20));

    // Messages are UTF-8 too.
    rig.model.setSelection({1});
    rig.prompter.answers = {Answer::No};
    const auto never = [](const std::string&) -> DeleteAnswer { ADD_FAILURE(); return DeleteAnswer::Cancel; };
    ASSERT_TRUE(rig.model.deleteSelected(never));
    EXPECT_EQ(rig.prompter.prompts.back().text, "Delete " + localName + "?");
}

TEST(FileBrowserUpload, UsePathToANewFolderMakesItsNodesAfterTheUpload)
{
    BrowserRig rig;
    writeBytes(rig.local("p.gif"), patternBytes(10));
    writeBytes(rig.local("q.gif"), patternBytes(2000));
    std::filesystem::create_directories(rig.phoneFile("/a/new/deep"));
    rig.model.selectFolder(&rig.model.root());
    rig.model.setUsePath(true);
    rig.model.setUsePathText("/a/new/deep");
    ASSERT_TRUE(rig.model.upload({rig.local("p.gif"), rig.local("q.gif")}, rig.batches()));
    EXPECT_EQ(rig.model.currentFolderPath(), "/a/new/deep");
    EXPECT_EQ(rig.batchesOpened, 1);
    ASSERT_GE(rig.batchEvents->size(), 2u);
    EXPECT_EQ(rig.batchEvents->end()[-2], "caption Uploading q.gif 100% (Total 100%)");
    EXPECT_EQ(rig.batchEvents->back(), "close");
    EXPECT_EQ(childNames(rig.folder("/a")), (Names{"mobile", "new"}));
    EXPECT_EQ(rig.folder("/a/new/deep").files, (Names{"p.gif", "q.gif"}));
    EXPECT_EQ(readBytes(rig.phoneFile("/a/new/deep/q.gif")), patternBytes(2000));
}

TEST(FileBrowserUpload, FailureStopsAndKeepsWhatWasWritten)
{
    BrowserRig rig;
    writeBytes(rig.local("p.gif"), patternBytes(10));
    writeBytes(rig.local("q.gif"), patternBytes(20));
    rig.select("/c");
    // The second file's open succeeds but its write fails.
    rig.api->addTrap(PhoneCall::SendCmd, 2, RecordingPhone::TrapAction::Fail, kFsacWrite);
    EXPECT_EQ(rig.model.upload({rig.local("p.gif"), rig.local("q.gif")}, rig.batches()).error(),
              "Error writing /c/q.gif");
    EXPECT_EQ(rowNames(rig.model), (Names{"w.gif", "p.gif"}));
}

TEST(FileBrowserTransfers, AFailedTransferShowsWhatThePhoneHoldsAfterIt)
{
    BrowserRig rig;
    rig.select("/a/mobile/picture");
    writeBytes(rig.local("x.gif"), patternBytes(2500));
    rig.prompter.answers = {Answer::Yes};
    // The second block is refused, and so is the open that would put the old x.gif back (the
    // opens: the backup's, the upload's, the putting back's): the phone keeps the first block.
    rig.api->addTrap(PhoneCall::SendCmd, 2, RecordingPhone::TrapAction::Fail, kFsacWrite);
    rig.api->addTrap(PhoneCall::SendCmd, 3, RecordingPhone::TrapAction::Fail, kFsacOpen);
    EXPECT_FALSE(rig.model.upload({rig.local("x.gif")}, rig.batches()));
    EXPECT_EQ(rig.model.rows()[0].size, "1024");
    EXPECT_EQ(rig.model.rows()[0].attributes, "[]");

    // A file gone from the phone since the listing goes from the list when its download fails.
    std::filesystem::remove(rig.phoneFile("/a/mobile/picture/y.gif"));
    rig.model.setSelection({1});
    EXPECT_EQ(rig.model.downloadOne(rig.local("y.gif")).error(), "Error reading /a/mobile/picture/y.gif");
    EXPECT_EQ(rowNames(rig.model), (Names{"x.gif", "z.gif"}));
    const Names listed = listPaths(rig.state);
    EXPECT_EQ(std::count(listed.begin(), listed.end(), "/a/mobile/picture/y.gif"), 0);
}

TEST(FileBrowserUpload, MissingLocalFileShowsTheFileErrorAndSendsNothing)
{
    BrowserRig rig;
    rig.select("/c");
    const Status sent = rig.model.upload({rig.local("gone.gif")}, rig.batches());
    EXPECT_EQ(sent.failure().kind, ErrorKind::Io);
    EXPECT_FALSE(sent.error().empty());
    EXPECT_TRUE(rig.commands().empty());
}

// Uploading x.gif, y.gif (both on the phone) and n.gif (new) with the answers in turn.
struct OverwriteCase {
    std::vector<Answer> answers;
    Names asked;     // the files the question named
    Names written;   // the files that reached the phone
};

class FileBrowserUploadOverwrite : public ::testing::TestWithParam<OverwriteCase> {};

TEST_P(FileBrowserUploadOverwrite, AsksBeforeWritingOverAPhoneFile)
{
    BrowserRig rig;
    for (const char* name : {"x.gif", "y.gif", "n.gif"})
        writeBytes(rig.local(name), patternBytes(77));
    rig.select("/a/mobile/picture");
    rig.prompter.answers.assign(GetParam().answers.begin(), GetParam().answers.end());
    ASSERT_TRUE(rig.model.upload({rig.local("x.gif"), rig.local("y.gif"), rig.local("n.gif")}, rig.batches()));

    Names asked;
    for (const Prompt& p : rig.prompter.prompts) {
        EXPECT_EQ(p.caption, "Confirmation");
        asked.push_back(p.text);
    }
    Names expected;
    for (const std::string& name : GetParam().asked)
        expected.push_back("File /a/mobile/picture/" + name + " already exists\r\nOverwrite it?");
    EXPECT_EQ(asked, expected);
    EXPECT_EQ(rig.prompter.questionButtons, std::vector<Buttons>(asked.size(), Buttons::YesAllNoCancel));
    for (const char* name : {"x.gif", "y.gif", "n.gif"}) {
        const bool written = std::count(GetParam().written.begin(), GetParam().written.end(), name) > 0;
        const std::string path = "/a/mobile/picture/" + std::string(name);
        if (written) {
            EXPECT_EQ(readBytes(rig.phoneFile(path)), patternBytes(77)) << name;
        } else if (std::string(name) != "n.gif") {
            EXPECT_NE(readBytes(rig.phoneFile(path)).size(), 77u) << name;
        }
        // Written over or not, a file has one list entry and one row.
        const Names listed = listPaths(rig.state);
        const Names rows = rowNames(rig.model);
        const bool there = written || std::string(name) != "n.gif";
        EXPECT_EQ(std::count(listed.begin(), listed.end(), path), there ? 1 : 0) << name;
        EXPECT_EQ(std::count(rows.begin(), rows.end(), name), there ? 1 : 0) << name;
    }
    if (std::count(GetParam().written.begin(), GetParam().written.end(), "x.gif") > 0) {
        EXPECT_EQ(rig.model.rows()[0].size, "77");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, FileBrowserUploadOverwrite,
    ::testing::Values(OverwriteCase{{Answer::Yes, Answer::No}, {"x.gif", "y.gif"}, {"x.gif", "n.gif"}},
                      OverwriteCase{{Answer::YesToAll}, {"x.gif"}, {"x.gif", "y.gif", "n.gif"}},
                      OverwriteCase{{Answer::No, Answer::Cancel}, {"x.gif", "y.gif"}, {}}));

TEST(FileBrowserUpload, OneFileOverAPhoneFileAsksYesNo)
{
    BrowserRig rig;
    writeBytes(rig.local("w.gif"), patternBytes(3));
    rig.select("/c");
    rig.prompter.answers = {Answer::No};
    ASSERT_TRUE(rig.model.upload({rig.local("w.gif")}, rig.batches()));
    EXPECT_EQ(rig.prompter.texts(), (Names{"File /c/w.gif already exists\r\nOverwrite it?"}));
    EXPECT_EQ(rig.prompter.questionButtons, std::vector<Buttons>{Buttons::YesNo});
    EXPECT_TRUE(rig.api->requests().empty());
}

TEST(FileBrowserDownload, SeveralFilesAskBeforeReplacingLocalFiles)
{
    BrowserRig rig;
    writeBytes(rig.local("x.gif"), {9});
    rig.select("/a/mobile/picture");
    rig.model.setSelection({0, 2});
    rig.prompter.answers = {Answer::No};
    ASSERT_TRUE(rig.model.downloadSelected((rig.temp.path() / "pc").string(), rig.batches()));
    EXPECT_EQ(rig.prompter.texts(), (Names{"File " + rig.local("x.gif") + " already exists\r\nOverwrite it?"}));
    EXPECT_EQ(rig.prompter.questionButtons, std::vector<Buttons>{Buttons::YesAllNoCancel});
    EXPECT_EQ(readBytes(rig.local("x.gif")), (std::vector<uint8_t>{9}));
    EXPECT_EQ(readBytes(rig.local("z.gif")), patternBytes(5));

    rig.prompter.prompts.clear();
    rig.prompter.answers = {Answer::Cancel};
    ASSERT_TRUE(rig.model.downloadSelected((rig.temp.path() / "pc").string(), rig.batches()));
    EXPECT_EQ(rig.prompter.prompts.size(), 1u);   // x.gif; z.gif is not asked for any more
    EXPECT_EQ(readBytes(rig.local("x.gif")), (std::vector<uint8_t>{9}));
}

TEST(FileBrowserDownload, OneFileUsesTheListedSizeAndItsOwnLabel)
{
    BrowserRig rig;
    rig.select("/a/mobile/picture");
    rig.model.setSelection({0});
    ASSERT_TRUE(rig.model.downloadOne(rig.local("copy.gif")));
    EXPECT_EQ(readBytes(rig.local("copy.gif")), patternBytes(300));
    EXPECT_EQ(rig.progress.captions().front(), "Downloading copy.gif 0%");
}

TEST(FileBrowserDownload, SeveralFilesGoIntoTheFolderWhichIsRemembered)
{
    BrowserRig rig;
    rig.select("/a/mobile/picture");
    rig.model.setSelection({2, 0});
    EXPECT_EQ(rig.model.selectedSize(), 305u);
    const std::string folder = (rig.temp.path() / "pc").string();
    ASSERT_TRUE(rig.model.downloadSelected(folder, rig.batches()));
    EXPECT_EQ(readBytes(rig.local("x.gif")), patternBytes(300));
    EXPECT_EQ(readBytes(rig.local("z.gif")), patternBytes(5));
    EXPECT_EQ(rig.state.lastDownloadFolder, folder);
    EXPECT_EQ(rig.batchEvents->back(), "close");
}

TEST(FileBrowserDownload, FailureShowsTheMessageAndForgetsNoFolder)
{
    BrowserRig rig;
    rig.select("/a/mobile/picture");
    rig.model.selectAll();
    rig.api->addTrap(PhoneCall::SendCmd, 1, RecordingPhone::TrapAction::Fail, kFsacSeek);
    EXPECT_EQ(rig.model.downloadSelected(rig.local(""), rig.batches()).error(),
              "Error reading /a/mobile/picture/x.gif");
    EXPECT_EQ(rig.state.lastDownloadFolder, "");
}

// The delete walk over three selected files with the dialog's answers in turn.
struct DeleteCase {
    std::vector<DeleteAnswer> answers;
    Names asked;   // texts the dialog was shown
    Names left;    // rows left
};

class FileBrowserDeleteWalk : public ::testing::TestWithParam<DeleteCase> {};

TEST_P(FileBrowserDeleteWalk, AnswersDecideFileByFile)
{
    BrowserRig rig;
    rig.select("/a/mobile/picture");
    rig.model.selectAll();
    auto answers = GetParam().answers;
    Names asked;
    ASSERT_TRUE(rig.model.deleteSelected([&](const std::string& text) {
        asked.push_back(text);
        const auto a = answers.front();
        answers.erase(answers.begin());
        return a;
    }));
    EXPECT_EQ(asked, GetParam().asked);
    EXPECT_EQ(rowNames(rig.model), GetParam().left);
    EXPECT_EQ(rig.folder("/a/mobile/picture").files, GetParam().left);
    for (const char* name : {"x.gif", "y.gif", "z.gif"}) {
        const bool kept = std::count(GetParam().left.begin(), GetParam().left.end(), name) > 0;
        EXPECT_EQ(std::filesystem::exists(rig.phoneFile("/a/mobile/picture/" + std::string(name))), kept);
        const Names listed = listPaths(rig.state);
        EXPECT_EQ(std::count(listed.begin(), listed.end(), "/a/mobile/picture/" + std::string(name)) > 0, kept);
    }
    EXPECT_TRUE(rig.prompter.prompts.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Answers, FileBrowserDeleteWalk,
    ::testing::Values(
        // Skip keeps the file and asks again for the next.
        DeleteCase{{DeleteAnswer::Skip, DeleteAnswer::Yes, DeleteAnswer::Skip},
                   {"Delete x.gif?", "Delete y.gif?", "Delete z.gif?"},
                   {"x.gif", "z.gif"}},
        // Yes to all deletes the rest without asking.
        DeleteCase{{DeleteAnswer::Skip, DeleteAnswer::YesToAll}, {"Delete x.gif?", "Delete y.gif?"}, {"x.gif"}},
        // Cancel stops at once.
        DeleteCase{{DeleteAnswer::Yes, DeleteAnswer::Cancel}, {"Delete x.gif?", "Delete y.gif?"}, {"y.gif", "z.gif"}}));

TEST(FileBrowserDelete, OneFileAsksYesNoAndClearsItsIconPath)
{
    BrowserRig rig;
    rig.select("/a/mobile/picture");
    rig.model.setSelection({1});
    rig.model.clickFile();
    rig.prompter.answers = {Answer::No, Answer::Yes};
    const auto never = [](const std::string&) -> DeleteAnswer { ADD_FAILURE(); return DeleteAnswer::Cancel; };
    ASSERT_TRUE(rig.model.deleteSelected(never));
    EXPECT_EQ(rowNames(rig.model), (Names{"x.gif", "y.gif", "z.gif"}));
    ASSERT_TRUE(rig.model.deleteSelected(never));
    EXPECT_EQ(rowNames(rig.model), (Names{"x.gif", "z.gif"}));
    EXPECT_EQ(rig.model.iconPath(), "");
    EXPECT_EQ(rig.prompter.prompts[0], (Prompt{MessageIcon::Question, "Confirmation", "Delete y.gif?", true}));
}

TEST(FileBrowserDelete, FailureStopsWithItsMessage)
{
    BrowserRig rig;
    rig.select("/a/mobile/picture");
    rig.model.selectAll();
    rig.api->addTrap(PhoneCall::FileDelete, 2, RecordingPhone::TrapAction::Fail);
    EXPECT_EQ(rig.model.deleteSelected([](const std::string&) { return DeleteAnswer::YesToAll; }).error(),
              "Error deleting /a/mobile/picture/y.gif");
    EXPECT_EQ(rowNames(rig.model), (Names{"y.gif", "z.gif"}));
}

TEST(FileBrowserAttributes, PresetAndOneChoiceForSeveralFiles)
{
    BrowserRig rig;
    rig.state.files[0].attributes = 2;
    rig.select("/a/mobile/picture");
    rig.model.setSelection({0});
    EXPECT_EQ(rig.model.attributePreset(), 2);
    rig.model.setSelection({0, 2});
    EXPECT_EQ(rig.model.attributePreset(), 0);
    ASSERT_TRUE(rig.model.applyAttributes(1 | 4));
    EXPECT_EQ(rig.model.rows()[0].attributes, "[RS]");
    EXPECT_EQ(rig.model.rows()[1].attributes, "[]");
    EXPECT_EQ(rig.model.rows()[2].attributes, "[RS]");
    Names set;
    for (const auto& r : rig.api->requests())
        if (r.call == PhoneCall::FileCreate)
            set.push_back(r.text + " " + std::to_string(r.args.at(0)));
    EXPECT_EQ(set, (Names{"/a/mobile/picture/x.gif 5", "/a/mobile/picture/z.gif 5"}));
}

TEST(FileBrowserAttributes, FailureStopsWithItsMessage)
{
    BrowserRig rig;
    rig.select("/a/mobile/picture");
    rig.model.selectAll();
    rig.api->addTrap(PhoneCall::FileCreate, 1, RecordingPhone::TrapAction::Fail);
    EXPECT_EQ(rig.model.applyAttributes(2).error(), "Error changing attributes for /a/mobile/picture/x.gif");
    EXPECT_EQ(rig.model.rows()[0].attributes, "[]");
}

TEST(FileBrowserFolders, CreateAddsAndSelectsTheNode)
{
    BrowserRig rig;
    rig.select("/a/mobile");
    ASSERT_TRUE(rig.model.createFolder("audio"));
    EXPECT_TRUE(std::filesystem::is_directory(rig.phoneFile("/a/mobile/audio")));
    EXPECT_EQ(childNames(rig.folder("/a/mobile")), (Names{"audio", "picture"}));
    EXPECT_EQ(rig.model.selectedFolder(), &rig.folder("/a/mobile/audio"));
    EXPECT_EQ(rig.model.currentFolderPath(), "/a/mobile/audio/");
    EXPECT_TRUE(rig.model.rows().empty());
}

TEST(FileBrowserFolders, CreateFailureIsShown)
{
    BrowserRig rig;
    rig.select("/c");
    rig.api->addTrap(PhoneCall::FileCreateDir, 1, RecordingPhone::TrapAction::Fail);
    EXPECT_EQ(rig.model.createFolder("d").error(), "Error creating /c/d");
    EXPECT_TRUE(rig.folder("/c").children.empty());
}

TEST(FileBrowserFolders, DeleteAsksWithWhatTheFolderHoldsAndGoesDepthFirst)
{
    BrowserRig rig;
    // Not an icon: the listing did not show it, the deletion must find it.
    rig.putPhoneFile("/a/mobile/picture/sub/notes.txt", patternBytes(3));
    rig.select("/a/mobile/picture");
    ASSERT_TRUE(rig.model.createFolder("empty")); // known to the browser only
    rig.select("/a/mobile/picture");
    rig.api->clearRequests();
    rig.api->addTrap(PhoneCall::FileDeleteDir, 2, RecordingPhone::TrapAction::Fail);
    rig.prompter.answers = {Answer::Yes};

    EXPECT_EQ(rig.model.deleteFolder().error(), "Error deleting /a/mobile/picture/sub\r\n"
                                                "Deleted: 1 file and 1 folder.\r\n"
                                                "Left on the phone: 3 files and 2 folders.");
    ASSERT_EQ(rig.prompter.prompts.size(), 1u);
    EXPECT_EQ(rig.prompter.prompts[0],
              (Prompt{MessageIcon::Warning, "Warning",
                      "Delete folder /a/mobile/picture with its 4 files and 2 folders?", true}));
    Names deletions;
    for (const PhoneRequest& r : rig.api->requests())
        if (r.call == PhoneCall::FileDelete || r.call == PhoneCall::FileDeleteDir)
            deletions.push_back(r.text + " " + std::to_string(r.result));
    EXPECT_EQ(deletions,
              (Names{"/a/mobile/picture/empty 0", "/a/mobile/picture/sub/notes.txt 0", "/a/mobile/picture/sub -1"}));
    EXPECT_FALSE(std::filesystem::exists(rig.phoneFile("/a/mobile/picture/empty")));
    // What is left stays in the tree, the rows and the list.
    EXPECT_EQ(childNames(rig.folder("/a/mobile/picture")), (Names{"sub"}));
    EXPECT_TRUE(rig.folder("/a/mobile/picture/sub").files.empty());
    EXPECT_EQ(rowNames(rig.model), (Names{"x.gif", "y.gif", "z.gif"}));
    EXPECT_EQ(listPaths(rig.state),
              (Names{"/a/mobile/picture/x.gif", "/a/mobile/picture/y.gif", "/a/mobile/picture/z.gif", "/c/w.gif"}));

    // Asked again, the rest goes, the folder last.
    rig.prompter.answers = {Answer::Yes};
    ASSERT_TRUE(rig.model.deleteFolder());
    EXPECT_EQ(rig.prompter.prompts.back().text, "Delete folder /a/mobile/picture with its 3 files and 1 folder?");
    EXPECT_EQ(rig.api->requests().back().text, "/a/mobile/picture");
    EXPECT_FALSE(std::filesystem::exists(rig.phoneFile("/a/mobile/picture")));
    EXPECT_TRUE(rig.folder("/a/mobile").children.empty());
    EXPECT_EQ(listPaths(rig.state), (Names{"/c/w.gif"}));
    EXPECT_FALSE(rig.model.hasFolder());
}

TEST(FileBrowserFolders, DeleteDoesNothingWhenTheAnswerIsNoOrTheFolderIsAVolume)
{
    BrowserRig rig;
    rig.select("/a/mobile");
    rig.prompter.answers = {Answer::No};
    EXPECT_TRUE(rig.model.deleteFolder().cancelled());
    EXPECT_EQ(rig.prompter.prompts.back().text, "Delete folder /a/mobile with its 3 files and 1 folder?");
    rig.select("/c");
    const Status volume = rig.model.deleteFolder();
    EXPECT_EQ(volume.failure().kind, ErrorKind::Refused);
    EXPECT_EQ(volume.error(), "A volume of the phone cannot be deleted: /c");
    for (const PhoneRequest& r : rig.api->requests())
        EXPECT_TRUE(r.call != PhoneCall::FileDelete && r.call != PhoneCall::FileDeleteDir) << r.text;
    EXPECT_EQ(listPaths(rig.state).size(), 4u);
    EXPECT_EQ(rig.prompter.prompts.size(), 1u);
}

TEST(FileBrowserListing, UpdateRunsTheListingOfTheMode)
{
    BrowserRig rig;
    rig.putPhoneFile("/a/t.txt", patternBytes(3));
    ASSERT_TRUE(listPhoneFiles(rig.phone(), rig.state, ListingMode::AllFiles));
    const Names listed = listPaths(rig.state);
    EXPECT_NE(std::count(listed.begin(), listed.end(), "/a/t.txt"), 0);
    rig.state.maskVolumes = "c";
    rig.state.maskExtension = ".gif";
    ASSERT_TRUE(listPhoneFiles(rig.phone(), rig.state, ListingMode::ByMask));
    EXPECT_EQ(listPaths(rig.state), (Names{"/c/w.gif"}));
    // Each listed volume tells its free space.
    EXPECT_EQ(rig.state.freeBytes.count('c'), 1u);
}

TEST(MaskDialogRules, OpeningTwiceListsEachVolumeOnceAllChecked)
{
    BrowserState state;
    const std::vector<char> volumes{'a', 'b', 'c'};
    auto list = openMaskVolumes(volumes, state, {});
    list[1].checked = false;
    list = openMaskVolumes(volumes, state, list);
    ASSERT_EQ(list.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(list[i].letter, volumes[i]);
        EXPECT_TRUE(list[i].checked);
    }
    EXPECT_EQ(state.maskVolumes, "abc");
    // Without known volumes the shown list stays.
    EXPECT_EQ(openMaskVolumes({}, state, {{'e', false}}).size(), 1u);
}

TEST(MaskDialogRules, ExtensionShownWithoutTheDotAndKeptWithIt)
{
    BrowserState state;
    auto list = openMaskVolumes({'a', 'c'}, state, {});
    applyMask(state, list, "gif");
    EXPECT_EQ(state.maskExtension, ".gif");
    EXPECT_EQ(state.mode, ListingMode::ByMask);
    EXPECT_EQ(maskExtensionText(state), "gif");
    list = openMaskVolumes({'a', 'c'}, state, list);
    applyMask(state, list, maskExtensionText(state));
    EXPECT_EQ(state.maskExtension, ".gif");
    applyMask(state, list, "");
    EXPECT_EQ(state.maskExtension, "");
}

TEST(MaskDialogRules, CheckedLettersInListOrderAndNoneGivesEmpty)
{
    BrowserState state;
    applyMask(state, {{'a', true}, {'b', false}, {'e', true}}, "");
    EXPECT_EQ(state.maskVolumes, "ae");
    applyMask(state, {{'a', false}, {'b', false}}, "png");
    EXPECT_EQ(state.maskVolumes, "");
}

} // namespace
} // namespace tessaro::testing
