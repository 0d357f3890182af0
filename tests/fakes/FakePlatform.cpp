#include "fakes/FakePlatform.h"

namespace pelko::test {

std::optional<Url> FakeUrls::urlFromString(const std::string& text) const {
    const auto sep = text.find(':');
    if (sep == std::string::npos || sep == 0 || text.find(' ') != std::string::npos) return std::nullopt;
    Url url{text, text.substr(0, sep), "", std::nullopt, ""};
    std::string rest = text.substr(sep + 1);
    if (rest.starts_with("//")) {
        const auto end = rest.find_first_of("/?#", 2);
        std::string authority = rest.substr(2, end == std::string::npos ? std::string::npos : end - 2);
        rest = end == std::string::npos ? "" : rest.substr(end);
        if (const auto colon = authority.rfind(':'); colon != std::string::npos) {
            url.port = std::stoi(authority.substr(colon + 1));
            authority.resize(colon);
        }
        url.host = authority;
    }
    url.path = rest.substr(0, rest.find_first_of("?#"));
    return url;
}

std::unique_ptr<WebViewConfiguration> FakeToolkit::makeWebViewConfiguration() {
    auto made = std::make_unique<FakeWebViewConfiguration>();
    configuration = made.get();
    return made;
}

std::unique_ptr<WebView> FakeToolkit::makeWebView(Rect frame, WebViewConfiguration& /*configuration*/) {
    auto made = std::make_unique<FakeWebView>();
    made->frame = frame;
    webView = made.get();
    return made;
}

std::unique_ptr<Window> FakeToolkit::makeWindow(Rect contentRect, unsigned styleMask) {
    auto made = std::make_unique<FakeWindow>();
    made->contentRect = contentRect;
    made->styleMask = styleMask;
    window = made.get();
    return made;
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
