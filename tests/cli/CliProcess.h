// The built stepctl-cli run as a child process, with its stdout and stderr kept in files of its
// own. The including target defines STEPCTL_CLI, the path of the binary.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#ifndef STEPCTL_CLI
#error "STEPCTL_CLI must name the stepctl-cli binary"
#endif

namespace stepctl::cli::test {

namespace fs = std::filesystem;

inline std::string slurp(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Where the child's stdout goes: a file of its own, a full disk, or nowhere.
enum class Stdout { File, Full, Closed };

// One run of the binary with stdout and stderr going to files of its own.
class Process {
  public:
    explicit Process(const std::vector<std::string>& args, Stdout stdoutTo = Stdout::File) {
        static int counter = 0;
        const std::string stem =
            "stepctl-cli-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
        outPath_ = fs::temp_directory_path() / (stem + ".out");
        errPath_ = fs::temp_directory_path() / (stem + ".err");

        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        if (stdoutTo == Stdout::File) {
            posix_spawn_file_actions_addopen(&files, 1, outPath_.c_str(),
                                             O_WRONLY | O_CREAT | O_TRUNC, 0600);
        } else if (stdoutTo == Stdout::Full) {
            posix_spawn_file_actions_addopen(&files, 1, "/dev/full", O_WRONLY, 0);
        } else {
            posix_spawn_file_actions_addclose(&files, 1);
        }
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

}  // namespace stepctl::cli::test
