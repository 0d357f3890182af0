#include "DemoService.h"

#include <httplib.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <random>
#include <string_view>
#include <vector>

#include "SiteFiles.h"

namespace pelko::demo {

namespace {

constexpr const char* kCookieName = "pelko_demo";
// What a signed-in user's browser keeps: set on the chat page, sent with every request.
constexpr const char* kSessionCookieName = "pelko_session";
// The Linux package's manifest for the architecture the demo was built for.
constexpr const char* kLinuxUpdateManifest = PELKO_DEMO_LINUX_UPDATE_MANIFEST;
constexpr const char* kNotes =
    "Pelko demo notes\n"
    "================\n\n"
    "This file comes from the local demo service. The desktop app saves it in\n"
    "your Downloads folder under a name no other file has, then shows it.\n";

const SiteFile* findSiteFile(std::string_view path) {
    for (const auto& file : siteFiles()) {
        if (file.path == path) return &file;
    }
    return nullptr;
}

std::string escapeHtml(std::string_view text) {
    std::string out;
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

std::string escapeJson(std::string_view text) {
    std::string out;
    for (const unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
            out += buffer;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

// Letters, digits, '-' and '_' only: a cookie value that needs no quoting.
std::string cookieSafe(std::string_view text) {
    std::string out;
    for (const unsigned char c : text) {
        if (std::isalnum(c) || c == '-' || c == '_') out += static_cast<char>(c);
    }
    return out.substr(0, 64);
}

std::string cookieValue(const httplib::Request& request, const char* name = kCookieName) {
    const std::string header = request.get_header_value("Cookie");
    const std::string prefix = std::string(name) + "=";
    std::size_t start = 0;
    while (start < header.size()) {
        std::size_t end = header.find(';', start);
        if (end == std::string::npos) end = header.size();
        std::string part = header.substr(start, end - start);
        while (!part.empty() && part.front() == ' ') part.erase(part.begin());
        if (part.rfind(prefix, 0) == 0) return part.substr(prefix.size());
        start = end + 1;
    }
    return {};
}

std::string cookiePage(const std::string& serverSeen) {
    return "<!doctype html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>Cookie · Pelko demo</title>"
           "<link rel=\"stylesheet\" href=\"/app.css\"></head>\n"
           "<body class=\"plain\"><main class=\"plain-page\"><h1>Cookie check</h1>"
           "<p>The service saw: <code id=\"server-cookie\">" + escapeHtml(serverSeen) + "</code></p>"
           "<p>The page sees: <code id=\"page-cookie\"></code></p>"
           "<p><a href=\"/\">Back to the chat</a></p></main>\n"
           "<script>document.getElementById('page-cookie').textContent = document.cookie;</script>"
           "</body></html>\n";
}

// What another site shows: how it was reached, and what was posted to it.
std::string elsewherePage(const httplib::Request& request) {
    std::string page =
        "<!doctype html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>Elsewhere · Pelko demo</title>"
        "<link rel=\"stylesheet\" href=\"/app.css\"></head>\n"
        "<body class=\"plain\"><main class=\"plain-page\"><h1>Another site</h1>"
        "<p><code id=\"reached\">" + escapeHtml(request.method + " " + request.path) + "</code></p>";
    if (request.has_param("note")) {
        page += "<p>Posted: <code id=\"posted\">" + escapeHtml(request.get_param_value("note")) + "</code></p>";
    }
    return page + "</main></body></html>\n";
}

// "0.1.0" → "0.2.0", "3" → "4": the minor number up by one, what follows it zero.
std::string nextMinorVersion(const std::string& version) {
    std::vector<long> pieces;
    std::size_t start = 0;
    while (start <= version.size()) {
        const std::size_t end = std::min(version.find('.', start), version.size());
        pieces.push_back(std::strtol(version.substr(start, end - start).c_str(), nullptr, 10));
        start = end + 1;
    }
    const std::size_t minor = pieces.size() > 1 ? 1 : 0;
    ++pieces[minor];
    std::fill(pieces.begin() + static_cast<std::ptrdiff_t>(minor) + 1, pieces.end(), 0);
    std::string next;
    for (const long piece : pieces) {
        // Appended piece by piece: GCC 12 at -O3 takes "." + std::string for an overlapping copy.
        if (!next.empty()) next += '.';
        next += std::to_string(piece);
    }
    return next;
}

// A validator that changes whenever the file does (FNV-1a of the body).
std::string entityTag(std::string_view body) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const unsigned char c : body) hash = (hash ^ c) * 1099511628211ull;
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "\"%016llx\"", static_cast<unsigned long long>(hash));
    return buffer;
}

// Site files may be kept, and are checked again before each use: a cache
// that still holds the file gets 304 and no body.
void serveSiteFile(const SiteFile& file, const httplib::Request& request, httplib::Response& response) {
    const std::string tag = entityTag(file.body);
    response.set_header("Cache-Control", "no-cache");
    response.set_header("ETag", tag);
    if (request.get_header_value("If-None-Match") == tag) {
        response.status = 304;
        return;
    }
    response.set_content(std::string(file.body), std::string(file.contentType));
}

}  // namespace

DemoService::DemoService(std::string version) : version_(std::move(version)), server_(std::make_unique<httplib::Server>()) {
    addRoutes();
}

DemoService::~DemoService() { stop(); }

void DemoService::addRoutes() {
    httplib::Server& server = *server_;
    // Idle connections are let go soon, so stopping never waits long for them.
    server.set_keep_alive_timeout(1);

    server.set_logger([this](const httplib::Request& request, const httplib::Response& response) {
        Request record{request.method, request.path, request.get_header_value("User-Agent")};
        {
            std::lock_guard lock(mutex_);
            requests_.push_back(record);
        }
        if (logger_) logger_(record, response.status);
    });

    server.Get("/", [](const httplib::Request& request, httplib::Response& response) {
        if (cookieValue(request, kSessionCookieName).empty()) {
            char session[24];
            std::snprintf(session, sizeof session, "%016llx",
                          static_cast<unsigned long long>(std::random_device()()) << 32 | std::random_device()());
            response.set_header("Set-Cookie", std::string(kSessionCookieName) + "=" + session +
                                                  "; Max-Age=2592000; Path=/; HttpOnly; SameSite=Lax");
        }
        serveSiteFile(*findSiteFile("/index.html"), request, response);
    });

    // The update manifests: the macOS application's names a disk image, the
    // Linux package's (one per Debian architecture) a Debian package.
    const auto manifest = [this](const httplib::Request& request, httplib::Response& response,
                                 const std::string& latest, const std::string& package) {
        response.set_header("Cache-Control", "no-store");
        bool available = false;
        {
            std::lock_guard lock(mutex_);
            available = manifestAvailable_;
        }
        if (!available) {
            response.status = 503;
            response.set_content("Service Unavailable\n", "text/plain; charset=utf-8");
            return;
        }
        const std::string url = "http://" + request.get_header_value("Host") + "/files/" + package;
        response.set_content("{\"version\": \"" + escapeJson(latest) + "\", \"url\": \"" + escapeJson(url) + "\"}\n",
                             "application/json");
    };
    server.Get("/desktop-latest.json", [this, manifest](const httplib::Request& request, httplib::Response& response) {
        const std::string latest = version();
        manifest(request, response, latest, "Pelko-" + latest + ".dmg");
    });
    server.Get(R"(/desktop-latest-linux-([a-z0-9]+)\.json)",
               [this, manifest](const httplib::Request& request, httplib::Response& response) {
                   const std::string latest = version();
                   manifest(request, response, latest, "pelko_" + latest + "_" + std::string(request.matches[1]) + ".deb");
               });

    // The page's "Publish a newer version" control: the next minor version,
    // which the next update check offers.
    server.Post("/api/demo/publish", [this](const httplib::Request&, httplib::Response& response) {
        std::string published;
        {
            std::lock_guard lock(mutex_);
            version_ = nextMinorVersion(version_);
            published = version_;
        }
        response.set_header("Cache-Control", "no-store");
        response.set_content("{\"latestDesktopVersion\": \"" + escapeJson(published) + "\"}\n", "application/json");
    });

    server.Get("/api", [this](const httplib::Request&, httplib::Response& response) {
        response.set_header("Cache-Control", "no-store");
        response.set_content("{\"service\": \"pelko-demo\", \"status\": \"ok\", \"latestDesktopVersion\": \"" +
                                 escapeJson(version()) + "\", \"linuxUpdateManifest\": \"" + kLinuxUpdateManifest + "\"" +
                                 (benchMode_ ? ", \"bench\": true" : "") + "}\n",
                             "application/json");
    });

    // The bench's channel to the page. A command is one JSON object, handed
    // to the page as it is; the page reports back to /bench/done.
    server.Post("/bench/command", [this](const httplib::Request& request, httplib::Response& response) {
        const auto command = nlohmann::json::parse(request.body, nullptr, false);
        if (!benchMode_) {
            response.status = 404;
        } else if (!command.is_object()) {
            response.status = 400;
        } else if (!bench_.post(command.dump())) {
            response.status = 409;  // no page listens yet
        } else {
            response.status = 202;
        }
    });
    server.Get("/bench/commands", [this](const httplib::Request&, httplib::Response& response) {
        if (!benchMode_) {
            response.status = 404;
            return;
        }
        response.set_header("Cache-Control", "no-store");
        response.set_chunked_content_provider("text/event-stream", [this](std::size_t, httplib::DataSink& sink) {
            // One call holds the stream for as long as the page listens.
            bench_.listen([&sink](const std::string& event) { return sink.write(event.data(), event.size()); });
            return false;
        });
    });
    server.Post("/bench/done", [this](const httplib::Request&, httplib::Response& response) {
        response.status = benchMode_ ? 204 : 404;
    });

    // A helper pairs by announcing itself under the page's code; the page
    // then finds the pairing through the status.
    server.Post("/api/imessage/announce", [this](const httplib::Request& request, httplib::Response& response) {
        response.set_header("Cache-Control", "no-store");
        const auto body = nlohmann::json::parse(request.body, nullptr, false);
        const auto text = [&](const char* key) {
            const auto item = body.find(key);
            return item != body.end() && item->is_string() ? item->get<std::string>() : std::string();
        };
        if (!body.is_object() || text("pairingCode").empty()) {
            response.status = 400;
            response.set_content("{\"error\": \"a non-empty pairingCode is needed\"}\n", "application/json");
            return;
        }
        {
            std::lock_guard lock(mutex_);
            announcements_.push_back({text("pairingCode"), text("host"), text("helper"), text("version")});
        }
        response.set_content("{\"paired\": true}\n", "application/json");
    });

    server.Get("/api/imessage/status", [this](const httplib::Request& request, httplib::Response& response) {
        response.set_header("Cache-Control", "no-store");
        const std::string code = request.get_param_value("code");
        nlohmann::json status = {{"paired", false}, {"host", nullptr}};
        {
            std::lock_guard lock(mutex_);
            // The latest pairing under the code tells where it is paired now.
            const auto latest =
                std::find_if(announcements_.rbegin(), announcements_.rend(),
                             [&](const Announcement& announced) { return announced.pairingCode == code; });
            if (latest != announcements_.rend()) status = {{"paired", true}, {"host", latest->host}};
        }
        response.set_content(status.dump() + "\n", "application/json");
    });

    server.Get("/ua", [](const httplib::Request& request, httplib::Response& response) {
        response.set_header("Cache-Control", "no-store");
        response.set_content("{\"userAgent\": \"" + escapeJson(request.get_header_value("User-Agent")) + "\"}\n",
                             "application/json");
    });

    server.Get("/cookie", [](const httplib::Request& request, httplib::Response& response) {
        std::string seen = cookieValue(request);
        if (request.has_param("set")) {
            const std::string value = cookieSafe(request.get_param_value("set"));
            response.set_header("Set-Cookie", std::string(kCookieName) + "=" + value +
                                                  "; Max-Age=31536000; Path=/; SameSite=Lax");
        }
        response.set_header("Cache-Control", "no-store");
        response.set_content(cookiePage(seen), "text/html; charset=utf-8");
    });

    server.Get("/files/pelko-notes.txt", [](const httplib::Request&, httplib::Response& response) {
        response.set_header("Content-Disposition", "attachment; filename=\"pelko-notes.txt\"");
        response.set_content(kNotes, "text/plain; charset=utf-8");
    });

    // An attachment whose suggested name tries to climb out of the Downloads folder.
    server.Get("/files/attachment", [](const httplib::Request&, httplib::Response& response) {
        response.set_header("Content-Disposition", "attachment; filename=\"../../.bashrc\"");
        response.set_content("echo 'a file that names itself ../../.bashrc'\n", "application/octet-stream");
    });

    // A script: saved and shown, never opened.
    server.Get("/files/tool.sh", [](const httplib::Request&, httplib::Response& response) {
        response.set_header("Content-Disposition", "attachment; filename=\"tool.sh\"");
        response.set_content("#!/bin/sh\necho 'the demo tool ran'\n", "application/x-sh");
    });

    server.Get(R"(/files/(Pelko-[0-9A-Za-z.\-]+\.dmg))", [](const httplib::Request& request, httplib::Response& response) {
        response.set_header("Content-Disposition", "attachment; filename=\"" + std::string(request.matches[1]) + "\"");
        response.set_content(std::string("Not a real disk image: the demo's stand-in for an update.\n"),
                             "application/x-apple-diskimage");
    });
    server.Get(R"(/files/(pelko_[0-9A-Za-z.\-]+_[a-z0-9]+\.deb))", [](const httplib::Request& request,
                                                                     httplib::Response& response) {
        response.set_header("Content-Disposition", "attachment; filename=\"" + std::string(request.matches[1]) + "\"");
        response.set_content(std::string("Not a real Debian package: the demo's stand-in for an update.\n"),
                             "application/vnd.debian.binary-package");
    });

    // Another site when reached as http://localhost:<port>: not the service's host, 127.0.0.1.
    const auto elsewhere = [](const httplib::Request& request, httplib::Response& response) {
        response.set_header("Cache-Control", "no-store");
        response.set_content(elsewherePage(request), "text/html; charset=utf-8");
    };
    server.Get(R"(/elsewhere/[a-z]+)", elsewhere);
    server.Post(R"(/elsewhere/[a-z]+)", elsewhere);

    server.Get(R"(/.+)", [](const httplib::Request& request, httplib::Response& response) {
        const SiteFile* file = findSiteFile(request.path);
        if (!file) {
            response.status = 404;
            response.set_content("Not found\n", "text/plain; charset=utf-8");
            return;
        }
        serveSiteFile(*file, request, response);
    });
}

bool DemoService::start(int port) {
    if (thread_.joinable()) return false;
    if (port == 0) {
        port_ = server_->bind_to_any_port("127.0.0.1");
        if (port_ <= 0) return false;
    } else {
        if (!server_->bind_to_port("127.0.0.1", port)) return false;
        port_ = port;
    }
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    return true;
}

void DemoService::stop() {
    if (!thread_.joinable()) return;
    // The server waits for every request it serves, event streams too.
    bench_.close();
    server_->stop();
    thread_.join();
}

void DemoService::setManifestVersion(std::string version) {
    std::lock_guard lock(mutex_);
    version_ = std::move(version);
}

void DemoService::setManifestAvailable(bool available) {
    std::lock_guard lock(mutex_);
    manifestAvailable_ = available;
}

std::string DemoService::version() const {
    std::lock_guard lock(mutex_);
    return version_;
}

std::vector<DemoService::Request> DemoService::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

std::vector<DemoService::Announcement> DemoService::announcements() const {
    std::lock_guard lock(mutex_);
    return announcements_;
}

}  // namespace pelko::demo
