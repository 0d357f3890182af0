#pragma once

#include <deque>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/Processes.h"

namespace pelko::test {

// Records every program started, as executable then arguments, and answers
// runs with the scripted statuses in order, then 0. None: it did not start.
class FakeProcesses : public Processes {
public:
    bool isExecutableFileAtPath(const std::string& path) const override { return executables.contains(path); }
    std::optional<int> runAndWait(const std::string& executable, const std::vector<std::string>& arguments,
                                  std::chrono::milliseconds timeout) override {
        runs.push_back(commandLine(executable, arguments));
        timeouts.push_back(timeout);
        if (statuses.empty()) return 0;
        const auto status = statuses.front();
        statuses.pop_front();
        return status;
    }
    bool launch(const std::string& executable, const std::vector<std::string>& arguments) override {
        launched.push_back(commandLine(executable, arguments));
        return true;
    }
    unsigned realUserId() const override { return 501; }

    std::set<std::string> executables{"/bin/launchctl"};
    std::deque<std::optional<int>> statuses;
    std::vector<std::vector<std::string>> runs;
    std::vector<std::chrono::milliseconds> timeouts;  // of each run
    std::vector<std::vector<std::string>> launched;

private:
    static std::vector<std::string> commandLine(const std::string& executable, std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), executable);
        return arguments;
    }
};

}  // namespace pelko::test
