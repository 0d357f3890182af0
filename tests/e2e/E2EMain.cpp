// The end-to-end test program. Besides the tests, it plays two helper
// roles when a test runs it again as a separate process:
//   --helper=second-launch      a second launch of the application: it finds
//                               the running instance on the session bus,
//                               hands it the activation and exits (status 0),
//                               or exits with 3 when it found none;
//   --helper=cookie-set:<value> / --helper=cookie-check:<value>
//                               a whole launch of the app over the data
//                               folders it is given, which sets the demo
//                               cookie, or checks that the service sees it.
#include <gio/gio.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "Helpers.h"
#include "World.h"
#include "gtk/LinuxPlatform.h"

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.rfind("--helper=", 0) == 0) return pelko::e2e::runHelper(argument.substr(std::strlen("--helper=")));
    }
    pelko::e2e::makeTemporaryHome();
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    pelko::e2e::World::shutdown();
    pelko::e2e::removeTemporaryHome();
    return result;
}
