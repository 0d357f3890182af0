// The process entry of the macOS build.
#import <AppKit/AppKit.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/AppConfig.h"
#include "app/AppDelegate.h"
#include "app/BuildConfig.h"
#include "app/CommandLine.h"
#import "mac/app/Platform.h"

namespace {

using namespace pelko;

// What the process keeps until it ends. AppKit ends the process with exit()
// from Quit, so this is never torn down.
struct Process {
    AppConfig config;
    ProcessValues values;
    mac::Platform platform;
    std::shared_ptr<AppDelegate> delegate;
};

}  // namespace

int main(int argc, const char* argv[]) {
    // From a terminal, Pelko.app/Contents/MacOS/Pelko --version.
    if (readCommandLine(std::vector<std::string>(argv + 1, argv + argc)) == LaunchRequest::printVersion) {
        std::printf("%s\n", build::kVersion);
        return 0;
    }
    @autoreleasepool {
        const AppConfig config = buildAppConfig(kMacDesktopInfo);
        // The process-wide values first: the home page, the update feed, the download extensions.
        auto values = makeProcessValues(mac::UrlsPort(), config.serviceOrigin, config.updateManifest);
        if (!values) {
            // Never run with an origin the bridge's rule could not hold to.
            std::fprintf(stderr,
                         "Pelko: the configured service origin \"%s\" is not scheme://host[:port], or the update "
                         "manifest \"%s\" is neither a path nor an http(s) URL\n",
                         config.serviceOrigin.c_str(), config.updateManifest.c_str());
            return 1;
        }

        NSApplication* application = [NSApplication sharedApplication];
        [application setActivationPolicy:NSApplicationActivationPolicyRegular];

        static Process* const process = new Process{config, std::move(*values), {}, nullptr};
        const Ports ports = process->platform.ports();
        if (const auto problem = portsProblem(ports)) {
            std::fprintf(stderr, "Pelko: %s\n", problem->c_str());
            return 1;
        }
        process->delegate = std::make_shared<AppDelegate>(ports, process->config, process->values);
        PelkoDelegateProxy* proxy = process->platform.proxy();
        proxy.applicationDelegate = process->delegate.get();
        proxy.downloadDelegate = process->delegate.get();
        application.delegate = proxy;

        [application run];
    }
    return 0;
}
