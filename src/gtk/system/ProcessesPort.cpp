#include "gtk/system/ProcessesPort.h"

#include <glib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

namespace pelko::gtk {

namespace {

// argv for GLib: the program, then the arguments as they are.
std::vector<char*> argumentVector(const std::string& executable, const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(executable.c_str()));
    for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    return argv;
}

}  // namespace

bool ProcessesPort::isExecutableFileAtPath(const std::string& path) const {
    // A searchable folder passes the executable test alone.
    return g_file_test(path.c_str(), G_FILE_TEST_IS_REGULAR) && g_file_test(path.c_str(), G_FILE_TEST_IS_EXECUTABLE);
}

std::optional<int> ProcessesPort::runAndWait(const std::string& executable, const std::vector<std::string>& arguments,
                                             std::chrono::milliseconds timeout) {
    auto argv = argumentVector(executable, arguments);
    GPid child = 0;
    // The child writes where the application does; it is reaped here, not by GLib.
    if (!g_spawn_async(nullptr, argv.data(), nullptr,
                       static_cast<GSpawnFlags>(G_SPAWN_CHILD_INHERITS_STDIN | G_SPAWN_DO_NOT_REAP_CHILD), nullptr,
                       nullptr, &child, nullptr)) {
        return std::nullopt;
    }
    // Polled rather than waited for in the main loop, which would handle
    // other events meanwhile.
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int waitStatus = 0;
    pid_t reaped = 0;
    while ((reaped = waitpid(child, &waitStatus, WNOHANG)) == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    if (reaped == 0) {
        kill(child, SIGKILL);
        waitpid(child, &waitStatus, 0);
        return std::nullopt;
    }
    if (reaped < 0) return std::nullopt;
    if (WIFEXITED(waitStatus)) return WEXITSTATUS(waitStatus);
    // Killed by a signal: a failure, told apart from any exit status.
    return 128 + WTERMSIG(waitStatus);
}

bool ProcessesPort::launch(const std::string& executable, const std::vector<std::string>& arguments) {
    auto argv = argumentVector(executable, arguments);
    return g_spawn_async(nullptr, argv.data(), nullptr, G_SPAWN_CHILD_INHERITS_STDIN, nullptr, nullptr, nullptr,
                         nullptr);
}

unsigned ProcessesPort::realUserId() const { return getuid(); }

}  // namespace pelko::gtk
