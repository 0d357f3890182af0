// PelkoHelper: the program the iMessage agent runs. launchd starts it as
//   PelkoHelper <bundle>/Contents/Resources/imessage-agent/dist/index.js run
// with PELKO_PAIR_CODE and PELKO_API_URL as its whole environment and its
// output going to the agent's log files. It announces this machine to the
// service once, under the page's pairing code, so the page can show the
// pairing. The relay that carries messages ships separately.
//
// An unsuccessful exit makes launchd start it again after its throttle
// interval; a successful one is final until the next login or setup. So only
// a failed announcement, which a later try may get through, exits
// unsuccessfully. A job that cannot work as it stands (its arguments, its
// entry script, its configuration) says why once and exits 0: restarted, it
// would fail the same way every ten seconds, with a line in the log each time.
#include <curl/curl.h>
#include <sys/stat.h>
#include <sysexits.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace {

constexpr const char* kName = "PelkoHelper";

int fail(int status, const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", kName, message.c_str());
    return status;
}

// A failure no retry can mend: one line, and the job stays stopped.
int refuse(const std::string& message) { return fail(EX_OK, message); }

bool isReadableFile(const char* path) {
    struct stat info {};
    return stat(path, &info) == 0 && S_ISREG(info.st_mode) && access(path, R_OK) == 0;
}

// Whether `text` begins with `prefix`, ASCII letters in either case.
bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    }
    return true;
}

// http:// or https://, the scheme in any case as URLs allow, a host after
// it, and nothing curl would have to guess about (no spaces or control
// characters).
bool isHttpUrl(std::string_view url) {
    for (const unsigned char c : url) {
        if (c <= 0x20 || c == 0x7F) return false;
    }
    for (const std::string_view scheme : {"http://", "https://"}) {
        if (startsWithIgnoringCase(url, scheme) && url.size() > scheme.size() && url[scheme.size()] != '/')
            return true;
    }
    return false;
}

std::string hostName() {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0) return "";
    return name;
}

// The answer's body is not needed; without this curl would write it into the log.
std::size_t discard(char*, std::size_t size, std::size_t count, void*) { return size * count; }

// Empty when the service took the announcement (a 2xx answer), else why not.
std::string post(const std::string& url, const std::string& body) {
    const std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), &curl_easy_cleanup);
    if (!curl) return "cannot start a transfer";
    const std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> headers(
        curl_slist_append(nullptr, "Content-Type: application/json"), &curl_slist_free_all);
    const std::string userAgent = std::string(kName) + "/" + PELKO_HELPER_VERSION;
    char error[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(curl.get(), CURLOPT_POSTFIELDS, body.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_POSTFIELDSIZE, static_cast<long>(body.size()));
    curl_easy_setopt(curl.get(), CURLOPT_USERAGENT, userAgent.c_str());
    // A service that does not answer must not hold the agent forever: launchd
    // restarts it only once it has exited.
    curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT, 10L);
    curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT, 30L);
    curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, discard);
    curl_easy_setopt(curl.get(), CURLOPT_ERRORBUFFER, error);
    const CURLcode result = curl_easy_perform(curl.get());
    if (result != CURLE_OK) return error[0] ? error : curl_easy_strerror(result);
    long status = 0;
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status);
    if (status < 200 || status > 299) return "the service answered HTTP " + std::to_string(status);
    return "";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 || std::string_view(argv[2]) != "run") return refuse(std::string("usage: ") + kName + " <script> run");
    // The entry script is not run yet; its presence says the bundle is whole.
    if (!isReadableFile(argv[1])) return refuse(std::string(argv[1]) + " is not a readable file");

    const char* api = std::getenv("PELKO_API_URL");
    if (!api) return refuse("PELKO_API_URL is not set");
    if (!isHttpUrl(api)) return refuse("PELKO_API_URL is not an http:// or https:// URL");
    const char* code = std::getenv("PELKO_PAIR_CODE");
    if (!code || !*code) return refuse("PELKO_PAIR_CODE is not set or empty: there is nothing to pair with");

    std::string url = api;
    while (url.back() == '/') url.pop_back();
    url += "/imessage/announce";
    const std::string host = hostName();
    const nlohmann::json announcement = {
        {"pairingCode", code}, {"helper", kName}, {"version", PELKO_HELPER_VERSION}, {"host", host}};
    // The environment may hold any bytes: invalid UTF-8 is replaced, not thrown on.
    const std::string body = announcement.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);

    if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) return fail(EX_SOFTWARE, "cannot initialise libcurl");
    const std::string problem = post(url, body);
    curl_global_cleanup();
    // The pairing code is a secret: neither line names it.
    if (!problem.empty()) return fail(EX_UNAVAILABLE, "announcing to " + url + " failed: " + problem);
    std::printf("%s %s: announced %s to %s\n", kName, PELKO_HELPER_VERSION, host.c_str(), url.c_str());
    return EX_OK;
}
