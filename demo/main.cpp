// pelko-demo: serves the local demo of the Pelko service.
//   pelko-demo --port 8421 [--version 0.2.0]
// The update manifest names the app's own version unless told otherwise, so
// the demo offers no update until its page publishes one.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "DemoService.h"

namespace {

void usage() { std::fprintf(stderr, "usage: pelko-demo [--port N] [--version V] [--bench]\n"); }

}  // namespace

int main(int argc, char** argv) {
    int port = 8421;
    std::string version = PELKO_DEMO_APP_VERSION;
    bool bench = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--bench") {
            bench = true;
        } else if ((argument == "--port" || argument == "--version") && i + 1 < argc) {
            const std::string value = argv[++i];
            if (argument == "--version") {
                version = value;
                continue;
            }
            char* end = nullptr;
            const long number = std::strtol(value.c_str(), &end, 10);
            if (*end != '\0' || number < 0 || number > 65535) {
                usage();
                return 2;
            }
            port = static_cast<int>(number);
        } else {
            usage();
            return 2;
        }
    }

    // Signals are taken by sigwait below, not by a handler.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    pelko::demo::DemoService service(version);
    service.setBenchMode(bench);
    service.setLogger([](const pelko::demo::DemoService::Request& request, int status) {
        std::printf("%s %s %d\n", request.method.c_str(), request.path.c_str(), status);
        std::fflush(stdout);
    });
    if (!service.start(port)) {
        std::fprintf(stderr, "pelko-demo: cannot listen on 127.0.0.1:%d\n", port);
        return 1;
    }
    std::printf("Pelko demo service on http://127.0.0.1:%d (update manifest announces %s)\n", service.port(),
                version.c_str());
    std::fflush(stdout);

    int received = 0;
    sigwait(&signals, &received);
    service.stop();
    return 0;
}
