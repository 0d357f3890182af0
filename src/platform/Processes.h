#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace pelko {

// Other programs, started as child processes. Arguments are passed as they
// are, one string per argument, with no shell in between; standard input,
// output and error are the application's own.
class Processes {
public:
    virtual ~Processes() = default;
    // Whether there is an executable file at `path` that this user may run.
    virtual bool isExecutableFileAtPath(const std::string& path) const = 0;
    // Starts the program and blocks, without running the main loop, until it
    // exits: its termination status (0 for success). None when it could not
    // be started, or when it was still running after `timeout`: then it has
    // been ended before this returns.
    virtual std::optional<int> runAndWait(const std::string& executable, const std::vector<std::string>& arguments,
                                          std::chrono::milliseconds timeout) = 0;
    // Starts the program and returns at once; it is never waited for and may
    // outlive the application. False when it could not be started.
    virtual bool launch(const std::string& executable, const std::vector<std::string>& arguments) = 0;
    // The real user id of this process.
    virtual unsigned realUserId() const = 0;
};

}  // namespace pelko
