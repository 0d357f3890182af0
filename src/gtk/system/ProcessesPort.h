#pragma once

#include "platform/Processes.h"

namespace pelko::gtk {

// Child processes through GLib's spawn functions.
class ProcessesPort : public Processes {
public:
    bool isExecutableFileAtPath(const std::string& path) const override;
    std::optional<int> runAndWait(const std::string& executable, const std::vector<std::string>& arguments,
                                  std::chrono::milliseconds timeout) override;
    // The program is left to init to reap, so nothing waits for it here.
    bool launch(const std::string& executable, const std::vector<std::string>& arguments) override;
    unsigned realUserId() const override;
};

}  // namespace pelko::gtk
