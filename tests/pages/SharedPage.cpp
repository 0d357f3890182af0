#include "SharedPage.h"

#include <gtest/gtest.h>

#include <memory>

namespace pelko::pagetest {

namespace {

std::unique_ptr<PageHarness>& slot() {
    static std::unique_ptr<PageHarness> page;
    return page;
}

// Closes the window while GTK is still alive, before static destruction.
class SharedPageEnvironment : public ::testing::Environment {
public:
    void TearDown() override { slot().reset(); }
};

[[maybe_unused]] ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new SharedPageEnvironment);

}  // namespace

PageHarness& sharedPage() {
    if (!slot()) {
        slot() = std::make_unique<PageHarness>();
    }
    return *slot();
}

}  // namespace pelko::pagetest
