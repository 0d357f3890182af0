// The iMessage agent's job run as launchd runs it: the property list the app
// writes, read back with a real property-list reader, its program started
// with its arguments, nothing but its environment and its output in its log
// files, against the demo service. PelkoHelper comes from the build's
// stand-in bundle, laid out as in Pelko.app.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <sysexits.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "DemoService.h"
#include "Harness.h"
#include "agent/AgentFiles.h"
#include "app/BuildConfig.h"
#include "fakes/LaunchdJob.h"

namespace pelko::e2e {
namespace {

constexpr const char* kBundle = PELKO_HELPER_BUNDLE;
constexpr const char* kCode = "7QK-M4R";

using Job = test::LaunchdJob;

// Starts the job's program with nothing but what the job names, its output
// appended to its log files, and waits for it: its exit status, or -1.
int run(const Job& job) {
    if (job.arguments.empty()) return -1;
    std::vector<char*> argv;
    for (const auto& argument : job.arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    std::vector<std::string> variables;
    for (const auto& [name, value] : job.environment) variables.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (const auto& variable : variables) envp.push_back(const_cast<char*>(variable.c_str()));
    envp.push_back(nullptr);

    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, job.standardOut.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_addopen(&files, 2, job.standardError.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&files);
    if (spawned != 0) return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> linesOf(const std::string& path) {
    std::istringstream text(fileContents(path));
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return lines;
}

std::string localHostName() {
    char name[256] = {};
    gethostname(name, sizeof name - 1);
    return name;
}

// A loopback port that is bound but not listening: connecting to it is
// refused, and nothing else can take it while this lives.
class RefusingPort {
public:
    RefusingPort() : socket_(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(socket_, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
            ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            port_ = ntohs(address.sin_port);
    }
    ~RefusingPort() { ::close(socket_); }
    RefusingPort(const RefusingPort&) = delete;
    RefusingPort& operator=(const RefusingPort&) = delete;
    int port() const { return port_; }

private:
    int socket_;
    int port_ = 0;
};

class Helper : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(demo_.start(0)); }

    std::string apiBase() const { return "http://127.0.0.1:" + std::to_string(demo_.port()) + "/api"; }

    // The job the app would install for this pairing, its logs under a home
    // of its own. The installer makes the log folder; launchd does not.
    Job job(const std::string& code, const std::string& api, const std::string& homeName) const {
        const std::string home = temporaryHome() + "/helper/" + homeName;
        std::filesystem::create_directories(agentLogDirectory(home));
        return test::readLaunchdJob(agentPropertyList(helperExecutablePath(kBundle), helperScriptPath(kBundle), code, api,
                                         agentLogDirectory(home)));
    }

    demo::DemoService demo_{"9.9.9"};
};

TEST_F(Helper, AnnouncesThePairingAndLogsOneLineWithoutTheCode) {
    const Job paired = job(kCode, apiBase(), "paired");
    ASSERT_EQ(paired.arguments.size(), 3u);

    EXPECT_EQ(run(paired), 0);

    const auto log = linesOf(paired.standardOut);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find(apiBase() + "/imessage/announce"), std::string::npos) << log[0];
    EXPECT_EQ(log[0].find(kCode), std::string::npos) << log[0];
    EXPECT_EQ(linesOf(paired.standardError), std::vector<std::string>{});
    const auto announced = demo_.announcements();
    ASSERT_EQ(announced.size(), 1u);
    EXPECT_EQ(announced[0].pairingCode, kCode);
    EXPECT_EQ(announced[0].host, localHostName());
    EXPECT_EQ(announced[0].helper, "PelkoHelper");
    EXPECT_EQ(announced[0].version, build::kVersion);

    // What the page asks while it waits for the pairing.
    httplib::Client service("127.0.0.1", demo_.port());
    const auto status = [&](const std::string& code) {
        const auto answer = service.Get("/api/imessage/status?code=" + code);
        return answer ? nlohmann::json::parse(answer->body, nullptr, false) : nlohmann::json();
    };
    EXPECT_EQ(status(kCode), (nlohmann::json{{"paired", true}, {"host", localHostName()}}));
    EXPECT_EQ(status("OTHER-1"), (nlohmann::json{{"paired", false}, {"host", nullptr}}));
}

TEST_F(Helper, AFailedAnnouncementIsAnUnsuccessfulExitWithALineInTheErrorLog) {
    const RefusingPort down;
    ASSERT_NE(down.port(), 0);
    const std::pair<const char*, std::string> failures[] = {
        {"serviceDown", "http://127.0.0.1:" + std::to_string(down.port()) + "/api"},
        {"notFound", "http://127.0.0.1:" + std::to_string(demo_.port()) + "/no-api"},
    };
    for (const auto& [name, api] : failures) {
        SCOPED_TRACE(name);
        const Job failing = job(kCode, api, name);

        EXPECT_EQ(run(failing), EX_UNAVAILABLE);

        EXPECT_EQ(linesOf(failing.standardOut), std::vector<std::string>{});
        const auto errors = linesOf(failing.standardError);
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_NE(errors[0].find(api + "/imessage/announce"), std::string::npos) << errors[0];
        EXPECT_EQ(errors[0].find(kCode), std::string::npos) << errors[0];
    }
    EXPECT_TRUE(demo_.announcements().empty());
}

// A job launchd cannot make work: it exits at once, says why in one line and posts nothing.
struct Refusal {
    const char* name;
    const char* code;
    void (*change)(Job& job);
    int status;
};

void PrintTo(const Refusal& refusal, std::ostream* out) { *out << refusal.name; }

class HelperRefuses : public Helper, public ::testing::WithParamInterface<Refusal> {};

TEST_P(HelperRefuses, WithoutPostingAnything) {
    Job refused = job(GetParam().code, apiBase(), GetParam().name);
    ASSERT_EQ(refused.arguments.size(), 3u);
    GetParam().change(refused);

    EXPECT_EQ(run(refused), GetParam().status);

    EXPECT_EQ(linesOf(refused.standardOut), std::vector<std::string>{});
    EXPECT_EQ(linesOf(refused.standardError).size(), 1u);
    EXPECT_TRUE(demo_.requests().empty());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Jobs, HelperRefuses, ::testing::Values(
    Refusal{"notRun", kCode, [](Job& job) { job.arguments[2] = "start"; }, EX_USAGE},
    Refusal{"scriptIsAFolder", kCode, [](Job& job) { job.arguments[1] = helperDirectory(kBundle); }, EX_NOINPUT},
    Refusal{"apiUrlNotHttp", kCode, [](Job& job) { job.environment["PELKO_API_URL"] = "ftp://127.0.0.1/api"; }, EX_CONFIG},
    Refusal{"emptyCode", "", [](Job&) {}, EX_CONFIG}),
    [](const auto& row) { return std::string(row.param.name); });
// clang-format on

}  // namespace
}  // namespace pelko::e2e
