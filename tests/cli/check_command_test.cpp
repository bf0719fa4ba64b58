#include <gtest/gtest.h>

#include "cli/virtual_phone_cli.h"
#include "drm/cg15_builder.h"
#include "drm/gif_writer.h"
#include "support/menu_builder.h"
#include "support/virtual_phone_rig.h"

namespace tessaro {
namespace {

using testing::CliRun;

// A menu whose Tools item names a list icon on the phone and whose Games item names DRM icon 9.
class CheckCommand : public testing::VirtualPhoneCliTest {
protected:
    void SetUp() override
    {
        testing::makePhoneFolder(phoneDir());
        testing::MenuBuilder menu;
        menu.add(testing::MenuBuilder::kRoot, "Tools", 0,
                 testing::iconRecord(12, 2, u"/a/mobile/picture/star.gif", ByteOrder::Big));
        menu.add(testing::MenuBuilder::kRoot, "Games", 0, testing::drmRecord(15, 0x12, 9, ByteOrder::Big));
        testing::writeBytes(file(), menu.bytes());
        std::filesystem::create_directories(phoneDir() / "a/mobile/picture");
        testing::writeBytes(phoneDir() / "a/mobile/picture/star.gif",
                            convertToGif(ArgbImage{2, 2, std::vector<uint32_t>(4, 0xFF0000FF)}).value());
    }
    std::string file() const { return temp.file("mma_ucp"); }
    // tessaro-cli with the virtual phone plugged in: check FILE ARGS.
    CliRun checkOnPhone(std::vector<std::string> args)
    {
        args.insert(args.begin(), {"--virtual-phone", phoneDir().string(), "check", file()});
        return cli(args);
    }
};

TEST_F(CheckCommand, ExitsZeroWhenThePhoneHasEveryIcon)
{
    const CliRun run = checkOnPhone({});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
}

TEST_F(CheckCommand, ExitsOneWithALinePerMissingIcon)
{
    std::filesystem::remove(phoneDir() / "a/mobile/picture/star.gif");
    testing::Cg15Builder pack;
    pack.stored = {{'G', 'I', 'F'}, {'G', 'I', 'F'}};
    testing::writeBytes(temp.file("pack.smg"), pack.build());
    const CliRun run = checkOnPhone({"--drm", temp.file("pack.smg")});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.out, "Tools: list icon: /a/mobile/picture/star.gif is not on the phone\n"
                       "Games: list icon: DRM icon 9 is beyond the firmware image's 2 icons\n");
}

TEST_F(CheckCommand, ExitsTwoWhenTheMenuCannotBeRead)
{
    std::filesystem::remove(file());
    const CliRun run = cli({"check", file(), "--icons", phoneDir().string()});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
}

} // namespace
} // namespace tessaro
