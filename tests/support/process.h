#pragma once

#include <csignal>
#include <string>
#include <utility>
#include <vector>

namespace kenvo::test {

struct ProcessResult {
    int exitCode = -1;  // -1 when killed or not started
    std::string out;
    std::string err;
};

// Runs a program to completion (killed after `timeoutSeconds`), capturing its output.
// `environment` entries are NAME=VALUE added to the current environment.
ProcessResult runProcess(const std::vector<std::string>& argv,
                         const std::vector<std::string>& environment = {}, double timeoutSeconds = 30.0);

// A program left running in the background, with its standard output readable line by line.
class BackgroundProcess {
public:
    explicit BackgroundProcess(const std::vector<std::string>& argv);
    ~BackgroundProcess();  // terminates it
    BackgroundProcess(const BackgroundProcess&) = delete;
    BackgroundProcess& operator=(const BackgroundProcess&) = delete;

    // The next line of standard output, or empty after `timeoutSeconds` or at its end.
    std::string readLine(double timeoutSeconds = 10.0);
    // Sends `signal` and waits; returns the exit code (-1 when it ended by a signal or had to
    // be killed).
    int stop(int signal = SIGTERM);
    int pid() const { return pid_; }

private:
    int pid_ = -1;
    int out_ = -1;
    std::string buffered_;
};

}  // namespace kenvo::test
