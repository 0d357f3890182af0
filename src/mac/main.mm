// The process entry of the macOS build.
#import <AppKit/AppKit.h>

#include <cstdio>
#include <memory>
#include <string>
#include <variant>
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
    mac::Platform platform;
    std::shared_ptr<AppDelegate> delegate;
};

}  // namespace

int main(int argc, const char* argv[]) {
    // From a terminal, Pelko.app/Contents/MacOS/Pelko --version.
    switch (readCommandLine(std::vector<std::string>(argv + 1, argv + argc))) {
    case LaunchRequest::printVersion: std::printf("%s\n", build::kVersion); return 0;
    case LaunchRequest::printUsage: std::fputs(usageText("Pelko").c_str(), stdout); return 0;
    case LaunchRequest::openWindow: break;
    }
    @autoreleasepool {
        auto config = buildAppConfig(mac::UrlsPort(), HostPlatform::mac, true);
        if (const auto* error = std::get_if<ConfigError>(&config)) {
            std::fprintf(stderr, "Pelko: %s\n", error->message.c_str());
            return 1;
        }

        NSApplication* application = [NSApplication sharedApplication];
        [application setActivationPolicy:NSApplicationActivationPolicyRegular];

        static Process* const process = new Process{std::get<AppConfig>(std::move(config)), {}, nullptr};
        const Ports ports = process->platform.ports();
        if (const auto problem = portsProblem(ports)) {
            std::fprintf(stderr, "Pelko: %s\n", problem->c_str());
            return 1;
        }
        process->delegate = std::make_shared<AppDelegate>(ports, process->config);
        PelkoDelegateProxy* proxy = process->platform.proxy();
        proxy.applicationDelegate = process->delegate.get();
        proxy.downloadDelegate = process->delegate.get();
        application.delegate = proxy;

        [application run];
    }
    return 0;
}
