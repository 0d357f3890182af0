#pragma once

#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace pelko::pagetest {

// The backend's own web view port (its script evaluation and JSON
// conversion) and bridge, in a GTK window of the test process, driven by
// spinning the GLib main loop. One for the whole run: a web process per test
// would cost more than the tests.
class PageHarness {
public:
    static PageHarness& shared();
    ~PageHarness();

    // Loads fixtures/page.html afresh, which resets every page global and timer.
    [[nodiscard]] bool load();
    // The script's value as the backend converts it (null for undefined); an
    // error fails the test.
    nlohmann::json eval(const std::string& script);
    // Every bridge message body the page has posted since it loaded, oldest first.
    std::vector<nlohmann::json> messages();

    struct Parts;

private:
    PageHarness();
    std::unique_ptr<Parts> parts_;
};

}  // namespace pelko::pagetest
