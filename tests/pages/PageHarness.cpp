#include "PageHarness.h"

#include <gtest/gtest.h>
#include <webkit/webkit.h>

#include <fstream>
#include <sstream>

#include "gtk/DownloadRelay.h"
#include "gtk/GUriUrls.h"
#include "gtk/WebKitConfigurationPort.h"
#include "gtk/WebKitViewPort.h"
#include "gtk/WebsiteDataStore.h"

#ifndef PELKO_PAGE_FIXTURE_DIR
#error "PELKO_PAGE_FIXTURE_DIR must name the fixture folder"
#endif

namespace pelko::pagetest {

namespace {

constexpr const char* kMarkerKey = "__pageHarnessMarker";

bool gtkReady() {
    static const bool ready = gtk_init_check();
    return ready;
}

}  // namespace

// The backend's own web view port on an ephemeral session, with the bridge
// registered through its configuration port as the application does.
struct PageHarness::State : ScriptMessageHandler {
    explicit State(bool bridge) {
        if (bridge) configuration.addScriptMessageHandler(this, "pelko");
    }
    void didReceiveScriptMessage(const ScriptMessage& message) override {
        if (message.body.is_object() && message.body.contains(kMarkerKey)) {
            lastMarkerSeen = message.body.value(kMarkerKey, 0);
        } else {
            messages.push_back(message.body);
        }
    }

    gtk::DownloadRelay downloads;
    gtk::WebsiteDataStore dataStore{gtk::DataDirectories{}, downloads};
    gtk::WebKitConfigurationPort configuration{dataStore};
    gtk::GUriUrls urls;
    gtk::WebKitViewPort view{configuration, urls};
    GtkWidget* window = nullptr;
    bool loadFinished = false;
    std::vector<nlohmann::json> messages;
    int markersSent = 0;
    int lastMarkerSeen = 0;
};

PageHarness::PageHarness() : PageHarness(Options{}) {}

PageHarness::PageHarness(Options options) {
    if (!gtkReady()) {
        // Without a display nothing here can run; say so instead of skipping.
        ADD_FAILURE() << "GTK could not open a display; run the page tests under xvfb-run -a";
        std::abort();
    }
    state_ = std::make_shared<State>(options.bridgeHandler);
    g_signal_connect(state_->view.webKitView(), "load-changed",
                     G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent event, gpointer finished) {
                         if (event == WEBKIT_LOAD_FINISHED) *static_cast<bool*>(finished) = true;
                     }),
                     &state_->loadFinished);
    state_->window = gtk_window_new();
    gtk_window_set_default_size(GTK_WINDOW(state_->window), 800, 600);
    gtk_window_set_child(GTK_WINDOW(state_->window), state_->view.widget());
    gtk_window_present(GTK_WINDOW(state_->window));
}

PageHarness::~PageHarness() {
    g_signal_handlers_disconnect_by_data(state_->view.webKitView(), &state_->loadFinished);
    gtk_window_destroy(GTK_WINDOW(state_->window));
    state_.reset();
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
}

bool PageHarness::spinUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    bool expired = false;
    const guint source = g_timeout_add(
        static_cast<guint>(timeout.count()),
        [](gpointer data) -> gboolean {
            *static_cast<bool*>(data) = true;
            return G_SOURCE_REMOVE;
        },
        &expired);
    while (!condition() && !expired) {
        g_main_context_iteration(nullptr, TRUE);
    }
    if (!expired) {
        g_source_remove(source);
    }
    return condition();
}

bool PageHarness::loadFixture(const std::string& name) {
    std::ifstream file(std::string(PELKO_PAGE_FIXTURE_DIR) + "/" + name, std::ios::binary);
    if (!file) {
        ADD_FAILURE() << "no fixture named " << name;
        return false;
    }
    std::stringstream html;
    html << file.rdbuf();
    state_->loadFinished = false;
    webkit_web_view_load_html(state_->view.webKitView(), html.str().c_str(), "https://pelko.test/");
    const bool finished = spinUntil([&] { return state_->loadFinished; });
    // Messages from the page before this one are not this page's.
    state_->messages.clear();
    return finished;
}

ScriptOutcome PageHarness::evaluate(const std::string& script) {
    // The completion may outlive a spin that timed out; it holds the outcome, not the harness.
    auto outcome = std::make_shared<std::optional<ScriptOutcome>>();
    state_->view.evaluateJavaScript(
        script, [outcome](const std::optional<nlohmann::json>& result, const std::optional<ScriptError>& error) {
            *outcome = ScriptOutcome{result, error};
        });
    if (!spinUntil([&] { return outcome->has_value(); })) {
        return ScriptOutcome{std::nullopt, ScriptError{"the script did not complete in time"}};
    }
    return **outcome;
}

nlohmann::json PageHarness::eval(const std::string& script) {
    ScriptOutcome outcome = evaluate(script);
    if (outcome.error) {
        ADD_FAILURE() << "script failed: " << outcome.error->message << "\n" << script;
        return nullptr;
    }
    return outcome.result.value_or(nlohmann::json());
}

bool PageHarness::waitForScript(const std::string& expression, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const ScriptOutcome outcome = evaluate(expression);
        if (outcome.result == nlohmann::json(true)) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
    }
}

const std::vector<nlohmann::json>& PageHarness::messages() const { return state_->messages; }

bool PageHarness::drainMessages() {
    const int marker = ++state_->markersSent;
    const ScriptOutcome posted = evaluate("window.webkit.messageHandlers.pelko.postMessage({ " +
                                          std::string(kMarkerKey) + ": " + std::to_string(marker) + " }); true");
    if (posted.error) {
        ADD_FAILURE() << "could not post the marker: " << posted.error->message;
        return false;
    }
    return spinUntil([&] { return state_->lastMarkerSeen >= marker; });
}

}  // namespace pelko::pagetest
