#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace pelko {

// The answer of the first button; the second answers 1001, and so on.
inline constexpr int kAlertFirstButtonReturn = 1000;

struct AlertSpec {
    std::string title;                 // the message text
    std::string message;               // the informative text
    std::vector<std::string> buttons;  // in order; none gives the platform's single default button
    // The button that closing the alert without one (Escape, the close box)
    // stands for: the one that does nothing.
    std::size_t cancelButton = 0;

    int cancelReturn() const { return kAlertFirstButtonReturn + static_cast<int>(cancelButton); }
};

class Alerts {
public:
    virtual ~Alerts() = default;
    // Application-modal; returns when the user has answered.
    virtual int runModal(const AlertSpec& alert) = 0;
};

class MainQueue;

// An informational alert (the platform's single default button), queued on
// the main queue: it shows once the current work is done, never in the
// middle of it. Callable from any thread; returns at once.
void queueAlert(MainQueue& mainQueue, Alerts& alerts, std::string title, std::string message);

}  // namespace pelko
