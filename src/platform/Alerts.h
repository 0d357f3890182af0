#pragma once

#include <string>
#include <vector>

namespace pelko {

// The answer of the first button; the second answers 1001, and so on.
inline constexpr int kAlertFirstButtonReturn = 1000;

struct AlertSpec {
    std::string title;                 // the message text
    std::string message;               // the informative text
    std::vector<std::string> buttons;  // in order; none gives the platform's single default button
};

class Alerts {
public:
    virtual ~Alerts() = default;
    // Application-modal; returns when the user has answered.
    virtual int runModal(const AlertSpec& alert) = 0;
};

}  // namespace pelko
