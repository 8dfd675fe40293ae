// The infotrakon and mkagenda programs run as a user runs them, each run in a folder and a
// home of the test's own.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace infotrakon::app {

namespace fs = std::filesystem;

struct Output {
    int status;
    std::string out;
    std::string err;
};

class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // A parameterised test's name ("Test/Case") is one folder, which TearDown removes whole.
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '-');
        directory_ = fs::temp_directory_path() /
                     ("infotrakon-program-" + std::to_string(::getpid()) + "-" + name);
        fs::create_directories(directory_);
    }
    void TearDown() override { fs::remove_all(directory_); }

    // Runs `program` with `arguments` (shell words) in a home of the test's own, in the C
    // locale, so that runs side by side share no demo folder and no machine setting counts;
    // `environment` is put before the command ("VAR=value ..." or "env -u VAR").
    Output Run(const std::string& arguments, const std::string& environment = "",
               const std::string& program = INFOTRAKON_PATH) {
        const std::string err = (directory_ / "stderr").string();
        const std::string home = (directory_ / "home").string();
        fs::create_directories(home);
        const std::string command = "HOME=" + home + " XDG_CACHE_HOME=" + home +
                                    "/.cache LC_ALL=C " + environment + " " + program + " " +
                                    arguments + " 2>" + err;
        FILE* pipe = popen(command.c_str(), "r");
        Output output{};
        char buffer[4096];
        std::size_t got = 0;
        while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.out.append(buffer, got);
        output.status = WEXITSTATUS(pclose(pipe));
        std::ifstream in(err);
        output.err.assign(std::istreambuf_iterator<char>(in), {});
        return output;
    }

    std::string MakeAgenda(const std::string& description) {
        const fs::path json = directory_ / "agenda.json";
        std::ofstream(json) << description;
        const fs::path mdb = directory_ / "agenda.mdb";
        EXPECT_EQ(std::system((std::string(MKAGENDA_PATH) + " --force --from " + json.string() +
                               " " + mdb.string() + " >/dev/null")
                                  .c_str()),
                  0);
        return mdb.string();
    }

    fs::path directory_;
};

}  // namespace infotrakon::app
