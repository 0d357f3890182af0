#include "PageHarness.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <webkit/webkit.h>

#include <fstream>
#include <sstream>

#ifndef PELKO_PAGE_FIXTURE_DIR
#error "PELKO_PAGE_FIXTURE_DIR must name the fixture folder"
#endif

namespace pelko::pagetest {

namespace {

constexpr const char* kHandlerName = "pelko";
constexpr const char* kBaseUri = "https://pelko.test/";
constexpr const char* kMarkerKey = "__pageHarnessMarker";

void ensureGtk() {
    static const bool ready = gtk_init_check();
    if (!ready) {
        // Without a display nothing here can run; say so instead of skipping.
        ADD_FAILURE() << "GTK could not open a display; run the page tests under xvfb-run -a";
        std::abort();
    }
}

std::optional<nlohmann::json> toJson(JSCValue* value) {
    if (value == nullptr || jsc_value_is_undefined(value)) {
        return std::nullopt;
    }
    gchar* text = jsc_value_to_json(value, 0);
    if (text == nullptr) {
        return std::nullopt;
    }
    auto parsed = nlohmann::json::parse(text, nullptr, false);
    g_free(text);
    if (parsed.is_discarded()) {
        return std::nullopt;
    }
    return parsed;
}

}  // namespace

struct PageHarness::State {
    GtkWidget* window = nullptr;
    WebKitWebView* webView = nullptr;
    bool loadFinished = false;
    bool loadFailed = false;
    std::vector<nlohmann::json> messages;
    int markersSent = 0;
    int lastMarkerSeen = 0;
};

namespace {

// Completions may outlive a spin that timed out; they hold the slot, not the harness.
struct PendingScript {
    bool done = false;
    ScriptOutcome outcome;
};

void onScriptFinished(GObject* source, GAsyncResult* result, gpointer data) {
    auto* slot = static_cast<std::shared_ptr<PendingScript>*>(data);
    GError* error = nullptr;
    JSCValue* value = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, &error);
    if (error != nullptr) {
        (*slot)->outcome.error = ScriptError{error->message};
        g_error_free(error);
    } else {
        (*slot)->outcome.result = toJson(value);
    }
    if (value != nullptr) {
        g_object_unref(value);
    }
    (*slot)->done = true;
    delete slot;
}

void onLoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer data) {
    if (event == WEBKIT_LOAD_FINISHED) {
        static_cast<PageHarness::State*>(data)->loadFinished = true;
    }
}

gboolean onLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar*, GError*, gpointer data) {
    static_cast<PageHarness::State*>(data)->loadFailed = true;
    return FALSE;
}

void onScriptMessage(WebKitUserContentManager*, JSCValue* value, gpointer data) {
    auto* state = static_cast<PageHarness::State*>(data);
    auto message = toJson(value);
    if (!message) {
        message = nlohmann::json("<not representable as JSON>");
    }
    if (message->is_object() && message->contains(kMarkerKey)) {
        state->lastMarkerSeen = message->value(kMarkerKey, 0);
        return;
    }
    state->messages.push_back(std::move(*message));
}

}  // namespace

PageHarness::PageHarness() : PageHarness(Options{}) {}

PageHarness::PageHarness(Options options) : state_(std::make_shared<State>()) {
    ensureGtk();
    state_->webView = WEBKIT_WEB_VIEW(webkit_web_view_new());
    WebKitUserContentManager* manager = webkit_web_view_get_user_content_manager(state_->webView);
    if (options.bridgeHandler) {
        g_signal_connect(manager, "script-message-received::pelko", G_CALLBACK(onScriptMessage), state_.get());
        if (!webkit_user_content_manager_register_script_message_handler(manager, kHandlerName, nullptr)) {
            ADD_FAILURE() << "could not register the pelko handler";
        }
    }
    g_signal_connect(state_->webView, "load-changed", G_CALLBACK(onLoadChanged), state_.get());
    g_signal_connect(state_->webView, "load-failed", G_CALLBACK(onLoadFailed), state_.get());

    state_->window = gtk_window_new();
    gtk_window_set_default_size(GTK_WINDOW(state_->window), 800, 600);
    gtk_window_set_child(GTK_WINDOW(state_->window), GTK_WIDGET(state_->webView));
    gtk_window_present(GTK_WINDOW(state_->window));
}

PageHarness::~PageHarness() {
    // Signal handlers point at the state; cut them before it goes.
    WebKitUserContentManager* manager = webkit_web_view_get_user_content_manager(state_->webView);
    g_signal_handlers_disconnect_by_data(manager, state_.get());
    g_signal_handlers_disconnect_by_data(state_->webView, state_.get());
    gtk_window_destroy(GTK_WINDOW(state_->window));
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
    state_->loadFailed = false;
    state_->messages.clear();
    webkit_web_view_load_html(state_->webView, html.str().c_str(), kBaseUri);
    const bool finished = spinUntil([&] { return state_->loadFinished || state_->loadFailed; });
    // Messages from the page before this one are not this page's.
    state_->messages.clear();
    return finished && !state_->loadFailed;
}

ScriptOutcome PageHarness::evaluate(const std::string& script) {
    auto pending = std::make_shared<PendingScript>();
    webkit_web_view_evaluate_javascript(state_->webView, script.c_str(), static_cast<gssize>(script.size()), nullptr,
                                        nullptr, nullptr, onScriptFinished,
                                        new std::shared_ptr<PendingScript>(pending));
    if (!spinUntil([&] { return pending->done; })) {
        return ScriptOutcome{std::nullopt, ScriptError{"the script did not complete in time"}};
    }
    return pending->outcome;
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
