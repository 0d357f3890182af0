// The iMessage agent's job run as launchd runs it: the property list the app
// writes, read back with a real property-list reader, its program started
// with its arguments and nothing but its environment, against the demo
// service. PelkoHelper comes from the build's stand-in bundle, laid out as in
// Pelko.app.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <sysexits.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <sstream>
#include <string>
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

struct Exit {
    int status = -1;
    std::vector<std::string> out;  // the job's logs, by line
    std::vector<std::string> err;
};

std::vector<std::string> lines(const std::string& path) {
    std::istringstream in(fileContents(path));
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

// Starts the job's program as launchd does, with nothing but what the job
// names and its output appended to its log files, and waits for it. Spawned
// with posix_spawn: this process has threads, and nothing may run between
// the fork and the exec.
Exit run(const Job& job) {
    Exit exit;
    if (job.arguments.empty()) return exit;
    std::vector<char*> argv, envp;
    for (const auto& argument : job.arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    std::vector<std::string> variables;
    for (const auto& [name, value] : job.environment) variables.push_back(name + "=" + value);
    for (const auto& variable : variables) envp.push_back(const_cast<char*>(variable.c_str()));
    envp.push_back(nullptr);
    std::filesystem::create_directories(std::filesystem::path(job.standardOut).parent_path());
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, job.standardOut.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_addopen(&files, 2, job.standardError.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    pid_t pid = 0;
    const bool spawned = posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), envp.data()) == 0;
    posix_spawn_file_actions_destroy(&files);
    int status = 0;
    while (spawned && waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (spawned && WIFEXITED(status)) exit.status = WEXITSTATUS(status);
    exit.out = lines(job.standardOut);
    exit.err = lines(job.standardError);
    return exit;
}

std::string localHostName() {
    char name[256] = {};
    gethostname(name, sizeof name - 1);
    return name;
}

class Helper : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(demo_.start(0)); }

    std::string apiBase() const { return "http://127.0.0.1:" + std::to_string(demo_.port()) + "/api"; }

    // The job the app would install for this pairing, its logs under a home of its own.
    Job job(const std::string& code, const std::string& api, const std::string& homeName) const {
        const std::string home = temporaryHome() + "/helper/" + homeName;
        return test::readLaunchdJob(agentPropertyList(helperExecutablePath(kBundle), helperScriptPath(kBundle), code, api,
                                                      agentLogDirectory(home)));
    }

    demo::DemoService demo_{build::kVersion};
};

TEST_F(Helper, AnnouncesThePairingAndLogsOneLineWithoutTheCode) {
    // The scheme in any case.
    const std::string api = "HtTp" + apiBase().substr(4);
    const Exit paired = run(job(kCode, api, "paired"));

    EXPECT_EQ(paired.status, 0);
    ASSERT_EQ(paired.out.size(), 1u);
    EXPECT_NE(paired.out[0].find(api + "/imessage/announce"), std::string::npos) << paired.out[0];
    EXPECT_EQ(paired.out[0].find(kCode), std::string::npos) << paired.out[0];
    EXPECT_EQ(paired.err, std::vector<std::string>{});
    const auto announced = demo_.announcements();
    ASSERT_EQ(announced.size(), 1u);
    EXPECT_EQ(announced[0].pairingCode, kCode);
    EXPECT_EQ(announced[0].host, localHostName());
    EXPECT_EQ(announced[0].helper, "PelkoHelper");
    EXPECT_EQ(announced[0].version, build::kVersion);
}

TEST_F(Helper, AFailedAnnouncementIsAnUnsuccessfulExitWithALineInTheErrorLog) {
    // Nothing listens on port 1 of the loopback: the connection is refused.
    const std::string notFound = "http://127.0.0.1:" + std::to_string(demo_.port()) + "/no-api";
    for (const std::string& api : {std::string("http://127.0.0.1:1/api"), notFound}) {
        SCOPED_TRACE(api);
        const Exit failing = run(job(kCode, api, api == notFound ? "notFound" : "refused"));

        EXPECT_EQ(failing.status, EX_UNAVAILABLE);
        EXPECT_EQ(failing.out, std::vector<std::string>{});
        ASSERT_EQ(failing.err.size(), 1u);
        EXPECT_NE(failing.err[0].find(api + "/imessage/announce"), std::string::npos) << failing.err[0];
        EXPECT_EQ(failing.err[0].find(kCode), std::string::npos) << failing.err[0];
    }
    EXPECT_TRUE(demo_.announcements().empty());
}

// A job that no restart can make work: it says why in one line, posts
// nothing and exits successfully, so launchd leaves it stopped instead of
// starting it again every ten seconds.
struct Refusal {
    const char* name;
    const char* code;
    void (*change)(Job& job);
};

void PrintTo(const Refusal& refusal, std::ostream* out) { *out << refusal.name; }

class HelperRefuses : public Helper, public ::testing::WithParamInterface<Refusal> {};

TEST_P(HelperRefuses, WithoutPostingAnything) {
    Job refused = job(GetParam().code, apiBase(), GetParam().name);
    ASSERT_EQ(refused.arguments.size(), 3u);
    GetParam().change(refused);

    const Exit exit = run(refused);

    EXPECT_EQ(exit.status, EX_OK);
    EXPECT_EQ(exit.out, std::vector<std::string>{});
    EXPECT_EQ(exit.err.size(), 1u);
    EXPECT_TRUE(demo_.requests().empty());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Jobs, HelperRefuses, ::testing::Values(
    Refusal{"notRun", kCode, [](Job& job) { job.arguments[2] = "start"; }},
    Refusal{"scriptIsAFolder", kCode, [](Job& job) { job.arguments[1] = helperDirectory(kBundle); }},
    Refusal{"apiUrlNotHttp", kCode, [](Job& job) { job.environment["PELKO_API_URL"] = "ftp://127.0.0.1/api"; }},
    Refusal{"apiUrlMissing", kCode, [](Job& job) { job.environment.erase("PELKO_API_URL"); }},
    Refusal{"emptyCode", "", [](Job&) {}}),
    [](const auto& row) { return std::string(row.param.name); });
// clang-format on

}  // namespace
}  // namespace pelko::e2e
