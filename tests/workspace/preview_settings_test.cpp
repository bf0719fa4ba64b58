#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "workspace/preview_settings.h"

namespace tessaro {
namespace {

TEST(PreviewSettings, ComeBackAsWrittenBesideTheOtherSections)
{
    testing::TempDir dir;
    const std::string path = dir.file("tessaro.ini");
    testing::writeText(path, "[setup]\r\nLogEnabled=1\r\n");
    EXPECT_EQ(loadPreviewSettings(path), PreviewSettings{});

    PreviewSettings settings;
    settings.shown = true;
    settings.list = true;
    settings.screen = "240x320";
    settings.language = 35;
    settings.iconFolder = "/home/user/phone copy";
    settings.profileScreens = {{"TX100", "176x220"}};
    ASSERT_TRUE(savePreviewSettings(path, settings).ok());
    EXPECT_EQ(loadPreviewSettings(path), settings);
    EXPECT_NE(testing::readText(path).find("[setup]\r\nLogEnabled=1\r\n"), std::string::npos);

    testing::writeText(path, "[preview]\r\nLanguage=99\r\nShown=yes\r\n");
    EXPECT_EQ(loadPreviewSettings(path), PreviewSettings{});
}

} // namespace
} // namespace tessaro
