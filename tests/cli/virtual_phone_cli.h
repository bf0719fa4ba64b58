#pragma once
// What the tessaro-cli phone tests share: a temporary folder with the tool's data folder
// in "pc/" and a virtual phone in "phone/", and the tool run over them.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace tessaro::testing {

class VirtualPhoneCliTest : public ::testing::Test {
protected:
    std::filesystem::path phoneDir() const { return temp.path() / "phone"; }
    std::filesystem::path pcDir() const { return temp.path() / "pc"; }

    // Runs `tessaro-cli phone ARGS` with the phone of phoneDir() plugged in, or with none.
    CliRun phone(const std::vector<std::string>& args, bool plugged = true)
    {
        std::vector<std::string> all;
        if (plugged)
            all = {"--virtual-phone", phoneDir().string()};
        all.push_back("phone");
        all.insert(all.end(), args.begin(), args.end());
        return cli(all);
    }
    // Runs tessaro-cli with ARGS, pcDir() being its data folder.
    CliRun cli(const std::vector<std::string>& args)
    {
        return runInFolder(TESSARO_CLI, pcDir().string(), temp, args);
    }

    TempDir temp;
};

} // namespace tessaro::testing
