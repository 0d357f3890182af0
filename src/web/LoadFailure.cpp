#include "web/LoadFailure.h"

#include <array>
#include <climits>

#include "voice/JsStringLiteral.h"

namespace pelko {

namespace {

// What a platform's error says about the connection.
enum class Failure {
    notTheConnection,  // stopped, replaced, refused by policy, or no network fault
    noConnection,
    noAnswer,
    noSecureConnection,
};

struct FailureRow {
    const char* domain;
    long firstCode;
    long lastCode;
    Failure failure;
};

constexpr long kAnyCode = LONG_MIN;
constexpr long kLastCode = LONG_MAX;

// The platforms' error domains and codes; the first row that matches wins,
// and a domain no row names is no fault of the connection.
constexpr std::array kFailureRows{
    // macOS: the URL loading system (NSURLError.h), also as CFNetwork reports it.
    FailureRow{"NSURLErrorDomain", -999, -999, Failure::notTheConnection},            // cancelled
    FailureRow{"NSURLErrorDomain", -1000, -1000, Failure::notTheConnection},          // bad URL
    FailureRow{"NSURLErrorDomain", -1002, -1002, Failure::notTheConnection},          // unsupported URL
    FailureRow{"NSURLErrorDomain", -1013, -1012, Failure::notTheConnection},          // authentication
    FailureRow{"NSURLErrorDomain", -1009, -1009, Failure::noConnection},              // not connected
    FailureRow{"NSURLErrorDomain", -1020, -1018, Failure::noConnection},              // roaming, call, data off
    FailureRow{"NSURLErrorDomain", -1022, -1022, Failure::noSecureConnection},        // App Transport Security
    FailureRow{"NSURLErrorDomain", -1104, -1100, Failure::notTheConnection},          // files
    FailureRow{"NSURLErrorDomain", -1206, -1200, Failure::noSecureConnection},        // TLS and certificates
    FailureRow{"NSURLErrorDomain", -2000, -2000, Failure::notTheConnection},          // only from the cache
    FailureRow{"NSURLErrorDomain", kAnyCode, kLastCode, Failure::noAnswer},
    FailureRow{"kCFErrorDomainCFNetwork", -999, -999, Failure::notTheConnection},
    FailureRow{"kCFErrorDomainCFNetwork", -1009, -1009, Failure::noConnection},
    FailureRow{"kCFErrorDomainCFNetwork", -1206, -1200, Failure::noSecureConnection},
    FailureRow{"kCFErrorDomainCFNetwork", -1999, -1001, Failure::noAnswer},
    // Linux: WebKitGTK's own domains, GIO's and libsoup's.
    FailureRow{"WebKitNetworkError", 300, 300, Failure::noAnswer},                    // transport
    FailureRow{"WebKitNetworkError", 399, 399, Failure::noAnswer},                    // failed
    FailureRow{"g-io-error-quark", 19, 19, Failure::notTheConnection},                // cancelled
    FailureRow{"g-io-error-quark", 38, 38, Failure::noConnection},                    // network unreachable
    FailureRow{"g-io-error-quark", kAnyCode, kLastCode, Failure::noAnswer},
    FailureRow{"g-resolver-error-quark", kAnyCode, kLastCode, Failure::noAnswer},
    FailureRow{"g-tls-error-quark", kAnyCode, kLastCode, Failure::noSecureConnection},
    FailureRow{"soup-session-error-quark", kAnyCode, kLastCode, Failure::noAnswer},
};

Failure failureOf(const NavigationError& error) {
    for (const auto& row : kFailureRows) {
        if (error.domain == row.domain && error.code >= row.firstCode && error.code <= row.lastCode) return row.failure;
    }
    return Failure::notTheConnection;
}

constexpr std::array<Duration, 5> kRetryDelays{Duration{2000}, Duration{5000}, Duration{10000}, Duration{30000},
                                               Duration{60000}};

std::string escapeHtml(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += c;
        }
    }
    return out;
}

struct PageText {
    std::string heading;
    std::string message;
};

PageText pageText(UnreachableReason reason, const std::string& host, bool service) {
    const std::string what = service ? "your chats" : "the page";
    switch (reason) {
    case UnreachableReason::noConnection:
        return {"You\u2019re offline", "This computer isn\u2019t connected to the internet. Pelko will open " + what +
                                           " as soon as the connection is back."};
    case UnreachableReason::noAnswer:
        return {(service ? std::string("Pelko") : host) + " isn\u2019t answering",
                (service ? std::string("The Pelko service") : host) +
                    " didn\u2019t answer. It may be busy or briefly down. Pelko will keep trying and open " + what +
                    " as soon as it answers."};
    case UnreachableReason::noSecureConnection:
        return {"Couldn\u2019t connect securely",
                "Pelko couldn\u2019t make a secure connection to " + host +
                    ". Check that this computer\u2019s date and time are right. On a public network, you may "
                    "need to sign in to the network in your browser first."};
    }
    return {};
}

constexpr const char* kPageStyle =
    ":root{color-scheme:light dark;--fg:#1d1d1f;--muted:#6e6e73;--bg:#fbfbfd;--accent:#5b5bd6}"
    "@media (prefers-color-scheme:dark){:root{--fg:#f5f5f7;--muted:#a1a1a6;--bg:#1c1c1e;--accent:#8e8ef5}}"
    "html,body{height:100%;margin:0}"
    "body{display:flex;align-items:center;justify-content:center;background:var(--bg);color:var(--fg);"
    "font:15px/1.5 system-ui,-apple-system,\"Segoe UI\",Cantarell,sans-serif}"
    "main{max-width:30em;padding:2em;text-align:center}"
    "h1{font-size:1.6em;font-weight:600;margin:0 0 .5em}"
    "p{color:var(--muted);margin:0 0 1.5em}"
    "button{font:inherit;font-weight:600;color:#fff;background:var(--accent);border:0;border-radius:8px;"
    "padding:.55em 1.4em;cursor:pointer}"
    "button:focus-visible{outline:3px solid color-mix(in srgb,var(--accent) 45%,transparent);outline-offset:2px}";

}  // namespace

std::optional<UnreachableReason> unreachableReason(const NavigationError& error, const InAppHosts& hosts,
                                                   bool networkAvailable) {
    if (!error.failingURL || error.failingURL->host.empty() || !keepInApp(error.failingURL->host, hosts)) {
        return std::nullopt;
    }
    switch (failureOf(error)) {
    case Failure::notTheConnection: return std::nullopt;
    case Failure::noConnection: return UnreachableReason::noConnection;
    case Failure::noAnswer: return networkAvailable ? UnreachableReason::noAnswer : UnreachableReason::noConnection;
    case Failure::noSecureConnection: return UnreachableReason::noSecureConnection;
    }
    return std::nullopt;
}

Duration retryDelay(int attempt) {
    if (attempt < 0) attempt = 0;
    const auto index = static_cast<std::size_t>(attempt);
    return index < kRetryDelays.size() ? kRetryDelays[index] : kRetryDelays.back();
}

std::string unreachablePageHTML(UnreachableReason reason, const Url& url, const std::string& apexDomain) {
    const PageText text = pageText(reason, url.host, isServiceHost(url.host, apexDomain));
    // The address goes in an attribute, escaped; the script is the same for every page.
    return "<!doctype html>\n<html lang=\"en\" data-url=\"" + escapeHtml(url.absoluteString) +
           "\"><head><meta charset=\"utf-8\"><title>" + escapeHtml(text.heading) + "</title><style>" + kPageStyle +
           "</style></head>\n<body><main><h1>" + escapeHtml(text.heading) + "</h1><p>" + escapeHtml(text.message) +
           "</p><button type=\"button\" id=\"try-again\" autofocus>Try Again</button></main>\n"
           "<script>document.getElementById('try-again').addEventListener('click', function () {"
           " location.replace(document.documentElement.dataset.url); });</script></body></html>\n";
}

std::string retryScript(const Url& url) { return "location.replace(" + jsStringLiteral(url.absoluteString) + ")"; }

}  // namespace pelko
