#include "TestApp.h"

#include <gtk/gtk.h>
#include <webkit/webkit.h>

#include "gtk/GtkWindowPort.h"
#include "gtk/LinuxPlatform.h"
#include "gtk/WebKitViewPort.h"

namespace pelko::e2e {

void RecordingAppDelegate::didReceiveScriptMessage(const ScriptMessage& message) {
    scriptMessages.push_back(message);
    AppDelegate::didReceiveScriptMessage(message);
}

void RecordingAppDelegate::decidePolicyForNavigationAction(const NavigationAction& action,
                                                           NavigationActionDecision decision) {
    navigationActions.push_back(action);
    if (onNavigationAction) return onNavigationAction(action, std::move(decision));
    AppDelegate::decidePolicyForNavigationAction(action, std::move(decision));
}

void RecordingAppDelegate::decidePolicyForNavigationResponse(const NavigationResponse& response,
                                                             NavigationResponseDecision decision) {
    navigationResponses.push_back(response);
    if (onNavigationResponse) return onNavigationResponse(response, std::move(decision));
    AppDelegate::decidePolicyForNavigationResponse(response, std::move(decision));
}

void RecordingAppDelegate::createWebViewForNavigationAction(const NavigationAction& action) {
    popupRequests.push_back(action);
    AppDelegate::createWebViewForNavigationAction(action);
}

void RecordingAppDelegate::runOpenPanel(const OpenPanelParameters& parameters, OpenPanelCompletion completion) {
    openPanels.push_back(parameters);
    if (onOpenPanel) return onOpenPanel(parameters, std::move(completion));
    AppDelegate::runOpenPanel(parameters, std::move(completion));
}

void RecordingAppDelegate::navigationDidBecomeDownload(const DownloadRef& download) {
    becameDownloads.push_back(download);
    AppDelegate::navigationDidBecomeDownload(download);
}

void RecordingAppDelegate::decideDestination(const DownloadRef& download, const std::string& suggestedFilename,
                                             DownloadDestinationCompletion completion) {
    suggestedFilenames.push_back(suggestedFilename);
    if (onDecideDestination) return onDecideDestination(download, suggestedFilename, std::move(completion));
    AppDelegate::decideDestination(download, suggestedFilename, std::move(completion));
}

void RecordingAppDelegate::downloadDidFinish(const DownloadRef& download) {
    finishedDownloads.push_back(download);
    AppDelegate::downloadDidFinish(download);
}

void RecordingAppDelegate::downloadDidFail(const DownloadRef& download, const std::string& localizedDescription) {
    failedDownloads.push_back(localizedDescription);
    AppDelegate::downloadDidFail(download, localizedDescription);
}

bool RecordingAppDelegate::applicationShouldHandleReopen(bool hasVisibleWindows) {
    ++reopens;
    return AppDelegate::applicationShouldHandleReopen(hasVisibleWindows);
}

void RecordingAppDelegate::setupIMessageAgent(const std::string& pairingCode, const std::string& apiBase) {
    agentCalls.push_back("setup " + pairingCode + " " + apiBase);
}

void RecordingAppDelegate::disconnectIMessageAgent() { agentCalls.push_back("disconnect"); }

TestApp::TestApp(DesktopInfo desktopInfo) {
    World& world = World::get();
    Ports ports = world.platform().ports();
    ports.alerts = &alerts_;
    ports.workspace = &workspace_;
    AppConfig config{world.origin(),
                     {"google.com", "github.com", "githubusercontent.com", "apple.com"},
                     kUserAgent,
                     std::move(desktopInfo)};
    auto values = makeProcessValues(world.platform().urls(), config.serviceOrigin);
    delegate_ = std::make_shared<RecordingAppDelegate>(ports, config, *values);
    world.platform().downloads().setDelegate(delegate_);
    lifecycle_ = std::make_unique<gtk::ApplicationLifecycle>(world.application(), world.platform().application(),
                                                             *delegate_);
}

TestApp::~TestApp() {
    if (WebKitWebView* view = webView()) g_signal_handlers_disconnect_by_data(view, &loadsEnded_);
    lifecycle_.reset();
    // The menus and the key monitors point at this controller: they go first.
    World::get().platform().application().setMainMenu(nullptr);
    delegate_.reset();
    // Lets GTK finish destroying the window before the next test.
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
}

void TestApp::launch() { g_application_activate(G_APPLICATION(World::get().application())); }

void TestApp::launchAndWaitForHome() {
    launch();
    if (!webView()) return;
    g_signal_connect(webView(), "load-changed", G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent event, gpointer ended) {
                         if (event == WEBKIT_LOAD_FINISHED) ++*static_cast<int*>(ended);
                     }),
                     &loadsEnded_);
    runUntil([this] { return loadsEnded_ > 0 && currentURL() == World::get().origin() + "/"; });
}

GtkWindow* TestApp::window() const {
    auto* port = dynamic_cast<gtk::GtkWindowPort*>(delegate_->window());
    return port ? port->gtkWindow() : nullptr;
}

WebKitWebView* TestApp::webView() const {
    auto* port = dynamic_cast<gtk::WebKitViewPort*>(delegate_->webView().get());
    return port ? port->webKitView() : nullptr;
}

std::string TestApp::currentURL() const {
    const char* uri = webView() ? webkit_web_view_get_uri(webView()) : nullptr;
    return uri ? uri : "";
}

bool TestApp::loads(const std::function<void()>& action, const std::string& pathOrURL) {
    const std::string url = pathOrURL.rfind("http", 0) == 0 ? pathOrURL : World::get().origin() + pathOrURL;
    const int before = loadsEnded_;
    action();
    return runUntil([&] { return loadsEnded_ > before && currentURL() == url; });
}

bool TestApp::load(const std::string& pathOrURL) {
    const std::string url = pathOrURL.rfind("http", 0) == 0 ? pathOrURL : World::get().origin() + pathOrURL;
    return loads([&] { webkit_web_view_load_uri(webView(), url.c_str()); }, url);
}

TestApp::Result TestApp::evaluate(const std::string& script) {
    auto outcome = std::make_shared<std::optional<Result>>();
    delegate_->webView()->evaluateJavaScript(
        script, [outcome](const std::optional<nlohmann::json>& value, const std::optional<ScriptError>& error) {
            Result result;
            result.value = value;
            if (error) result.error = error->message;
            *outcome = result;
        });
    runUntil([&] { return outcome->has_value(); });
    if (!outcome->has_value()) return Result{std::nullopt, std::string("timed out")};
    return **outcome;
}

bool TestApp::waitForValue(const std::string& script, const nlohmann::json& expected,
                           std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        const Result result = evaluate(script);
        if (result.value && *result.value == expected) return true;
        runUntil([] { return false; }, 20ms);
    }
    return false;
}

}  // namespace pelko::e2e
