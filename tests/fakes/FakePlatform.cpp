#include "fakes/FakePlatform.h"

namespace pelko::test {

std::optional<Url> FakeUrls::urlFromString(const std::string& text) const {
    const auto sep = text.find(':');
    if (sep == std::string::npos || sep == 0 || text.find(' ') != std::string::npos) return std::nullopt;
    Url url;
    url.absoluteString = text;
    url.scheme = text.substr(0, sep);
    std::string rest = text.substr(sep + 1);
    if (rest.rfind("//", 0) == 0) {
        rest = rest.substr(2);
        const auto end = rest.find_first_of("/?#");
        std::string authority = rest.substr(0, end);
        rest = end == std::string::npos ? "" : rest.substr(end);
        const auto colon = authority.rfind(':');
        if (colon != std::string::npos) {
            url.port = std::stoi(authority.substr(colon + 1));
            authority.resize(colon);
        }
        url.host = authority;
    }
    url.path = rest.substr(0, rest.find_first_of("?#"));
    return url;
}

std::optional<nlohmann::json> FakeBundle::objectForInfoDictionaryKey(const std::string& key) const {
    const auto it = info.find(key);
    if (it == info.end()) return std::nullopt;
    return *it;
}

void FakeWindow::setTitle(const std::string& title) {
    title_ = title;
    log_.add("window.setTitle " + title);
}
void FakeWindow::setFrameAutosaveName(const std::string& name) { log_.add("window.setFrameAutosaveName " + name); }
void FakeWindow::setContentView(WebView& view) {
    contentView = &view;
    log_.add("window.setContentView");
}
void FakeWindow::setMinSize(Size size) {
    minSize = size;
    log_.add("window.setMinSize");
}
void FakeWindow::setDelegate(WindowDelegate* d) {
    delegate = d;
    log_.add("window.setDelegate");
}
void FakeWindow::makeKeyAndOrderFront() {
    visible_ = true;
    log_.add("window.makeKeyAndOrderFront");
}
void FakeWindow::orderOut() {
    visible_ = false;
    log_.add("window.orderOut");
}

void FakeWebView::setNavigationDelegate(NavigationDelegate* d) {
    navigationDelegate = d;
    log_.add("webView.setNavigationDelegate");
}
void FakeWebView::setUIDelegate(UIDelegate* d) {
    uiDelegate = d;
    log_.add("webView.setUIDelegate");
}
void FakeWebView::setAllowsBackForwardNavigationGestures(bool allow) {
    log_.add(std::string("webView.setAllowsBackForwardNavigationGestures ") + (allow ? "true" : "false"));
}
void FakeWebView::setCustomUserAgent(const std::string& ua) {
    userAgent = ua;
    log_.add("webView.setCustomUserAgent");
}
void FakeWebView::loadRequest(const UrlRequest& request) {
    loads.push_back(request);
    log_.add("webView.loadRequest " + request.url.absoluteString);
}
void FakeWebView::goBack() {
    --backItems;
    log_.add("webView.goBack");
}
void FakeWebView::goForward() {
    --forwardItems;
    log_.add("webView.goForward");
}
void FakeWebView::evaluateJavaScript(const std::string& script, ScriptCompletion completion) {
    evaluations.push_back({script, std::move(completion)});
    log_.add("webView.evaluateJavaScript");
}

void FakeWebViewConfiguration::setJavaScriptCanOpenWindowsAutomatically(bool allow) {
    log_.add(std::string("configuration.javaScriptCanOpenWindowsAutomatically ") + (allow ? "true" : "false"));
}
void FakeWebViewConfiguration::setMediaTypesRequiringUserActionForPlayback(unsigned mediaTypes) {
    log_.add("configuration.mediaTypesRequiringUserAction " + std::to_string(mediaTypes));
}
void FakeWebViewConfiguration::addUserScript(const UserScript& script) {
    userScripts.push_back(script);
    log_.add("configuration.addUserScript");
}
void FakeWebViewConfiguration::addScriptMessageHandler(ScriptMessageHandler* handler, const std::string& name) {
    handlers[name] = handler;
    log_.add("configuration.addScriptMessageHandler " + name);
}

std::unique_ptr<WebViewConfiguration> FakeToolkit::makeWebViewConfiguration() {
    log_.add("toolkit.makeWebViewConfiguration");
    auto made = std::make_unique<FakeWebViewConfiguration>(log_);
    configuration = made.get();
    return made;
}
std::unique_ptr<WebView> FakeToolkit::makeWebView(Rect frame, WebViewConfiguration& /*configuration*/) {
    log_.add("toolkit.makeWebView");
    auto made = std::make_unique<FakeWebView>(log_);
    made->frame = frame;
    webView = made.get();
    return made;
}
std::unique_ptr<Window> FakeToolkit::makeWindow(Rect contentRect, unsigned styleMask) {
    log_.add("toolkit.makeWindow");
    auto made = std::make_unique<FakeWindow>(log_);
    made->contentRect = contentRect;
    made->styleMask = styleMask;
    window = made.get();
    return made;
}

void FakeApplication::setMainMenu(std::shared_ptr<Menu> menu) {
    mainMenu = std::move(menu);
    log_.add("application.setMainMenu");
}

namespace {
class FakeMonitorToken : public MonitorToken {};

std::shared_ptr<MenuItem> findItem(const Menu& menu, const std::string& title) {
    for (const auto& item : menu.items()) {
        if (item->title() == title) return item;
        if (item->submenu())
            if (auto found = findItem(*item->submenu(), title)) return found;
    }
    return nullptr;
}
}  // namespace

std::unique_ptr<MonitorToken> FakeApplication::addLocalMonitorForKeyDownEvents(KeyEventMonitor handler) {
    monitors.push_back(std::move(handler));
    log_.add("application.addLocalMonitorForKeyDownEvents");
    return std::make_unique<FakeMonitorToken>();
}

bool FakeApplication::sendKeyDown(const KeyEvent& event) {
    for (auto& monitor : monitors)
        if (!monitor(event)) return false;
    return true;
}

std::shared_ptr<MenuItem> FakeApplication::menuItem(const std::string& title) const {
    return mainMenu ? findItem(*mainMenu, title) : nullptr;
}

}  // namespace pelko::test
