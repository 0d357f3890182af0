#include "fakes/FakePlatform.h"

namespace pelko::test {

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
