#pragma once

#include <deque>
#include <vector>

#include "platform/Alerts.h"

namespace pelko::test {

// Alerts answered by the test instead of a person: the queued answers in
// order, then the first button.
class FakeAlerts : public Alerts {
public:
    int runModal(const AlertSpec& alert) override {
        shown.push_back(alert);
        if (answers.empty()) return kAlertFirstButtonReturn;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::vector<AlertSpec> shown;
    std::deque<int> answers;
};

}  // namespace pelko::test
