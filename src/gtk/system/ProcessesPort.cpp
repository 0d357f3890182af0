#include "gtk/system/ProcessesPort.h"

#include <glib.h>
#include <sys/wait.h>
#include <unistd.h>

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

std::optional<int> ProcessesPort::runAndWait(const std::string& executable, const std::vector<std::string>& arguments) {
    auto argv = argumentVector(executable, arguments);
    int waitStatus = 0;
    // No output pointers: the child writes where the application does.
    if (!g_spawn_sync(nullptr, argv.data(), nullptr, G_SPAWN_CHILD_INHERITS_STDIN, nullptr, nullptr, nullptr, nullptr,
                      &waitStatus, nullptr)) {
        return std::nullopt;
    }
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
