#include "Page.h"

#include <gtest/gtest.h>
#include <webkit/webkit.h>

#include <fstream>
#include <sstream>

namespace pelko::e2e {

namespace {

std::unique_ptr<Page> thePage;

// The app goes while the world it runs in is still there.
struct Closer : ::testing::Environment {
    void TearDown() override { thePage.reset(); }
};
[[maybe_unused]] ::testing::Environment* const kCloser = ::testing::AddGlobalTestEnvironment(new Closer);

}  // namespace

Page& Page::shared() {
    if (!thePage) {
        thePage.reset(new Page);
        if (!thePage->app_.launch()) ADD_FAILURE() << "the app did not launch";
    }
    return *thePage;
}

bool Page::load() {
    static const std::string html = [] {
        std::stringstream text;
        text << std::ifstream(PELKO_PAGE_FIXTURE).rdbuf();
        return text.str();
    }();
    const std::string uri = World::get().origin() + "/page";
    const bool loaded = !html.empty() && app_.loads([&] { webkit_web_view_load_html(app_.webView(), html.c_str(), uri.c_str()); }, "/page");
    firstMessage_ = app_.delegate().scriptMessages.size();  // the previous page's are not this one's
    return loaded;
}

std::vector<nlohmann::json> Page::messages() {
    // What the page posted before the marker arrives before it.
    const nlohmann::json marker = {{"marker", ++markers_}};
    app_.eval("window.webkit.messageHandlers.pelko.postMessage(" + marker.dump() + ")");
    const auto& posted = app_.delegate().scriptMessages;
    if (!runUntil([&] { return posted.size() > firstMessage_ && posted.back().body == marker; }))
        ADD_FAILURE() << "the bridge lost a message";
    std::vector<nlohmann::json> bodies;
    for (std::size_t i = firstMessage_; i < posted.size(); ++i)
        if (!posted[i].body.contains("marker")) bodies.push_back(posted[i].body);
    return bodies;
}

}  // namespace pelko::e2e
