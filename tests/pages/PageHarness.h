#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "platform/WebView.h"

namespace pelko::pagetest {

// What evaluate_javascript hands back, in the core's terms: the result as
// JSON (absent for undefined) or the engine's error.
struct ScriptOutcome {
    std::optional<nlohmann::json> result;
    std::optional<ScriptError> error;
};

// The backend's own web view port (its script evaluation and JSON
// conversion) and its bridge, in a GTK window of the test process, driven by
// spinning the GLib main loop until something has happened. Never sleeps.
class PageHarness {
public:
    struct Options {
        // Register the "pelko" script-message handler in the page's world,
        // as the page bridge does.
        bool bridgeHandler = true;
    };

    PageHarness();
    explicit PageHarness(Options options);
    ~PageHarness();
    PageHarness(const PageHarness&) = delete;
    PageHarness& operator=(const PageHarness&) = delete;

    static constexpr std::chrono::milliseconds kTimeout{10000};

    // Loads tests/pages/fixtures/<name> under an https base URI and waits
    // for the load to finish. Clears the recorded messages.
    [[nodiscard]] bool loadFixture(const std::string& name);

    // Evaluates `script` in the main frame and waits for its completion.
    // A completion that never comes is reported as an error.
    ScriptOutcome evaluate(const std::string& script);

    // Evaluates and returns the result, failing the current test on an error.
    nlohmann::json eval(const std::string& script);

    // Spins the main loop until `condition` holds or `timeout` passes.
    bool spinUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = kTimeout);

    // Evaluates `expression` again and again until it yields true, or
    // `timeout` passes. For conditions only the page can see.
    bool waitForScript(const std::string& expression, std::chrono::milliseconds timeout = kTimeout);

    // Bridge messages posted by the page so far, oldest first.
    const std::vector<nlohmann::json>& messages() const;

    // Waits until every message the page posted before this call has been
    // delivered: posts a marker through the same handler and waits for it.
    [[nodiscard]] bool drainMessages();

    struct State;

private:
    std::shared_ptr<State> state_;
};

}  // namespace pelko::pagetest
