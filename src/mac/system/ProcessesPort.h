#pragma once

#include "platform/Processes.h"

namespace pelko::mac {

// One NSTask per program started; its standard streams are left as they
// are, so the child shares the application's.
class ProcessesPort : public Processes {
public:
    bool isExecutableFileAtPath(const std::string& path) const override;
    std::optional<int> runAndWait(const std::string& executable, const std::vector<std::string>& arguments,
                                  std::chrono::milliseconds timeout) override;
    bool launch(const std::string& executable, const std::vector<std::string>& arguments) override;
    unsigned realUserId() const override;
};

}  // namespace pelko::mac
