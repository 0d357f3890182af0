#include "PageHarness.h"

#include <gtest/gtest.h>
#include <webkit/webkit.h>

#include <fstream>
#include <functional>
#include <sstream>

#include "gtk/DownloadRelay.h"
#include "gtk/GUriUrls.h"
#include "gtk/WebKitConfigurationPort.h"
#include "gtk/WebKitViewPort.h"
#include "gtk/WebsiteDataStore.h"

namespace pelko::pagetest {

namespace {

constexpr const char* kMarkerKey = "harnessMarker";

// Spins the main loop until `done` holds or ten seconds pass.
bool spinUntil(const std::function<bool()>& done) {
    bool expired = false;
    const guint timer = g_timeout_add(
        10000,
        +[](gpointer flag) -> gboolean {
            *static_cast<bool*>(flag) = true;
            return G_SOURCE_REMOVE;
        },
        &expired);
    while (!done() && !expired) g_main_context_iteration(nullptr, TRUE);
    if (!expired) g_source_remove(timer);
    return done();
}

std::unique_ptr<PageHarness> theHarness;

// Closes the window while GTK is still alive, before static destruction.
struct Closer : ::testing::Environment {
    void TearDown() override { theHarness.reset(); }
};
[[maybe_unused]] ::testing::Environment* const kCloser = ::testing::AddGlobalTestEnvironment(new Closer);

}  // namespace

// The view on an ephemeral session, with the bridge registered as the application does.
struct PageHarness::Parts : ScriptMessageHandler {
    void didReceiveScriptMessage(const ScriptMessage& message) override {
        if (message.body.contains(kMarkerKey)) {
            markerSeen = message.body[kMarkerKey].get<int>();
        } else {
            messages.push_back(message.body);
        }
    }

    gtk::DownloadRelay downloads;
    gtk::WebsiteDataStore dataStore{gtk::DataDirectories{}, downloads};
    gtk::WebKitConfigurationPort configuration{dataStore};
    gtk::GUriUrls urls;
    gtk::WebKitViewPort view{configuration, urls};
    GtkWidget* window = gtk_window_new();
    bool loaded = false;
    std::vector<nlohmann::json> messages;
    int markersSent = 0;
    int markerSeen = 0;
};

PageHarness& PageHarness::shared() {
    if (!theHarness) {
        if (!gtk_init_check()) {
            ADD_FAILURE() << "GTK could not open a display; run the page tests under xvfb-run -a";
            std::abort();
        }
        theHarness.reset(new PageHarness);
    }
    return *theHarness;
}

PageHarness::PageHarness() : parts_(std::make_unique<Parts>()) {
    parts_->configuration.addScriptMessageHandler(parts_.get(), "pelko");
    g_signal_connect(parts_->view.webKitView(), "load-changed",
                     G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent event, gpointer loaded) {
                         if (event == WEBKIT_LOAD_FINISHED) *static_cast<bool*>(loaded) = true;
                     }),
                     &parts_->loaded);
    gtk_window_set_child(GTK_WINDOW(parts_->window), parts_->view.widget());
    gtk_window_present(GTK_WINDOW(parts_->window));
}

PageHarness::~PageHarness() {
    g_signal_handlers_disconnect_by_data(parts_->view.webKitView(), &parts_->loaded);
    gtk_window_destroy(GTK_WINDOW(parts_->window));
    parts_.reset();
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
}

bool PageHarness::load() {
    static const std::string html = [] {
        std::stringstream text;
        text << std::ifstream(PELKO_PAGE_FIXTURE_DIR "/page.html").rdbuf();
        return text.str();
    }();
    parts_->loaded = false;
    webkit_web_view_load_html(parts_->view.webKitView(), html.c_str(), "https://pelko.test/");
    const bool loaded = !html.empty() && spinUntil([&] { return parts_->loaded; });
    parts_->messages.clear();  // the previous page's are not this one's
    return loaded;
}

nlohmann::json PageHarness::eval(const std::string& script) {
    // The completion may come after a spin that gave up; it holds its outcome, not the harness.
    auto outcome = std::make_shared<std::pair<bool, nlohmann::json>>(false, nullptr);
    parts_->view.evaluateJavaScript(script, [outcome, script](const auto& result, const auto& error) {
        if (error) ADD_FAILURE() << "script failed: " << error->message << "\n" << script;
        *outcome = {true, result.value_or(nullptr)};
    });
    if (!spinUntil([&] { return outcome->first; })) ADD_FAILURE() << "script never completed:\n" << script;
    return outcome->second;
}

std::vector<nlohmann::json> PageHarness::messages() {
    // What the page posted before the marker arrives before it.
    const int marker = ++parts_->markersSent;
    eval("window.webkit.messageHandlers.pelko.postMessage({ " + std::string(kMarkerKey) + ": " +
         std::to_string(marker) + " })");
    if (!spinUntil([&] { return parts_->markerSeen == marker; })) ADD_FAILURE() << "the bridge lost a message";
    return parts_->messages;
}

}  // namespace pelko::pagetest
