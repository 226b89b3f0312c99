// The built stepctl-cli run as a process, as a shell or a script runs it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "CliHarness.h"

namespace stepctl::cli::test {
namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// One run of the binary with stdout and stderr going to files of its own.
class Process {
  public:
    explicit Process(const std::vector<std::string>& args) {
        static int counter = 0;
        const std::string stem =
            "stepctl-cli-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
        outPath_ = fs::temp_directory_path() / (stem + ".out");
        errPath_ = fs::temp_directory_path() / (stem + ".err");

        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 1, outPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        posix_spawn_file_actions_addopen(&files, 2, errPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        std::vector<std::string> all{STEPCTL_CLI};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : all)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        spawned_ = posix_spawn(&pid_, STEPCTL_CLI, &files, nullptr, argv.data(), environ) == 0;
        posix_spawn_file_actions_destroy(&files);
    }
    ~Process() {
        if (spawned_ && !reaped_) {
            kill(pid_, SIGKILL);
            wait();
        }
        fs::remove(outPath_);
        fs::remove(errPath_);
    }

    bool spawned() const { return spawned_; }
    void signal(int sig) const { kill(pid_, sig); }
    // The exit code, or -1 when it ended any other way.
    int wait() {
        int status = 0;
        waitpid(pid_, &status, 0);
        reaped_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string out() const { return slurp(outPath_); }
    std::string err() const { return slurp(errPath_); }

  private:
    pid_t pid_ = -1;
    bool spawned_ = false;
    bool reaped_ = false;
    fs::path outPath_;
    fs::path errPath_;
};

TEST(CliProcess, SendsToTheSimulatedBoardAndExitsZero) {
    Process p(
        {"send", "--board", "sim", "--device", "ZMG-A4", "--interface", "serial", "--db", "10.7"});
    ASSERT_TRUE(p.spawned());
    EXPECT_EQ(p.wait(), 0);
    EXPECT_EQ(p.out(),
              "sent code 21 (10.50 dB) to ZMG-A4 (row 3) over serial: serial-6 frame\n"
              "sim: attenuator: code 21 (10.50 dB)\n");
    EXPECT_EQ(p.err(), "");
}

TEST(CliProcess, ExitCodesReachTheShell) {
    Process bad({"send", "--device", "3", "--interface", "serial", "--db", "abc"});
    EXPECT_EQ(bad.wait(), 2);
    EXPECT_EQ(lineCount(bad.err()), 1);
    Process absent({"probe", "--serial", "NO-SUCH-CHIP-0"});
    EXPECT_EQ(absent.wait(), 3);
    Process failing({"send", "--board", "sim", "--sim-fault", "write", "--device", "3",
                     "--interface", "serial", "--db", "1"});
    EXPECT_EQ(failing.wait(), 4);
}

TEST(CliProcess, CtrlCStopsASweepBetweenStepsWithTheDeviceClosed) {
    Process p({"sweep", "--board", "sim", "--device", "3", "--interface", "serial", "--from", "0",
               "--to", "31.5", "--step", "0.5", "--dwell-ms", "100"});
    ASSERT_TRUE(p.spawned());
    // Wait for the second progress line, so that the sweep is under way.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (p.out().find("step 2/64") == std::string::npos &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    p.signal(SIGINT);
    EXPECT_EQ(p.wait(), 130);
    const std::string out = p.out();
    EXPECT_EQ(out.find("step 64/64"), std::string::npos) << out;
    EXPECT_NE(out.find("sim: attenuator: code"), std::string::npos) << out;
    EXPECT_NE(p.err().find("sweep stopped by Ctrl-C after"), std::string::npos) << p.err();
    EXPECT_NE(p.err().find("the device is closed"), std::string::npos);
}

}  // namespace
}  // namespace stepctl::cli::test
