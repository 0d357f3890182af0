#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/OpenPanel.h"

namespace pelko::test {

// Answers every chooser at once with `answer` (none: cancelled), and
// records how it was asked.
class FakeOpenPanels : public OpenPanels {
public:
    void beginSheetModalForWindow(Window& window, const OpenPanelOptions& options,
                                  OpenPanelCompletion completion) override {
        requests.push_back({&window, options});
        completion(answer);
    }

    struct Request {
        const Window* window;
        OpenPanelOptions options;
    };
    std::vector<Request> requests;
    std::optional<std::vector<std::string>> answer;
};

}  // namespace pelko::test
