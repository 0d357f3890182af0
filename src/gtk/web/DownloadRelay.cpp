#include "gtk/web/DownloadRelay.h"

#include <webkit/webkit.h>

#include "gtk/system/GObjectRef.h"
#include "gtk/system/UrlsPort.h"
#include "gtk/web/WebViewPort.h"
#include "platform/Url.h"

namespace pelko::gtk {

struct DownloadRelay::Shared {
    std::weak_ptr<DownloadDelegate> delegate;
    unsigned long long nextId = 1;
    bool alive = true;
};

namespace {

constexpr const char* kTrackedKey = "pelko-download";

struct TrackedDownload {
    DownloadRef ref;
    std::weak_ptr<DownloadDelegate> delegate;
    bool failed = false;
    bool ended = false;
};

// Sets the destination the delegate chose, or cancels the download when it chose none.
DownloadDestinationCompletion destinationCompletion(WebKitDownload* download, std::shared_ptr<TrackedDownload> tracked) {
    return DownloadDestinationCompletion([download = GObjectRef<WebKitDownload>::retain(download),
                                          tracked = std::move(tracked)](const std::optional<std::string>& path) {
        if (tracked->ended) return;
        if (path) {
            webkit_download_set_destination(download.get(), path->c_str());
        } else {
            webkit_download_cancel(download.get());
        }
    });
}

std::shared_ptr<TrackedDownload> trackedOf(WebKitDownload* download) {
    auto* holder = static_cast<std::shared_ptr<TrackedDownload>*>(g_object_get_data(G_OBJECT(download), kTrackedKey));
    return holder ? *holder : nullptr;
}

gboolean onDecideDestination(WebKitDownload* download, const char* suggestedFilename, gpointer /*data*/) {
    auto tracked = trackedOf(download);
    if (!tracked) return FALSE;
    DownloadDestinationCompletion completion = destinationCompletion(download, tracked);
    // With no delegate the completion is dropped here, which cancels the download.
    if (auto delegate = tracked->delegate.lock()) {
        delegate->decideDestination(tracked->ref, suggestedFilename ? suggestedFilename : "", std::move(completion));
    }
    return TRUE;
}

void onFailed(WebKitDownload* download, GError* error, gpointer /*data*/) {
    auto tracked = trackedOf(download);
    if (!tracked || tracked->ended) return;
    tracked->failed = true;
    tracked->ended = true;
    if (auto delegate = tracked->delegate.lock()) {
        const bool cancelled = g_error_matches(error, WEBKIT_DOWNLOAD_ERROR, WEBKIT_DOWNLOAD_ERROR_CANCELLED_BY_USER);
        delegate->downloadDidFail(tracked->ref,
                                  DownloadFailure{cancelled, error && error->message ? error->message : ""});
    }
}

void onFinished(WebKitDownload* download, gpointer /*data*/) {
    auto tracked = trackedOf(download);
    // WebKit ends a failed download with "finished" too; that one was reported as a failure.
    if (!tracked || tracked->failed) return;
    tracked->ended = true;
    if (auto delegate = tracked->delegate.lock()) delegate->downloadDidFinish(tracked->ref);
}

std::optional<Url> requestUrl(WebKitDownload* download) {
    WebKitURIRequest* request = webkit_download_get_request(download);
    const char* uri = request ? webkit_uri_request_get_uri(request) : nullptr;
    if (!uri) return std::nullopt;
    return UrlsPort().urlFromString(uri);
}

// The page the download came from, as the request's Referer names it.
std::optional<Url> referrerUrl(WebKitDownload* download) {
    WebKitURIRequest* request = webkit_download_get_request(download);
    SoupMessageHeaders* headers = request ? webkit_uri_request_get_http_headers(request) : nullptr;
    const char* referrer = headers ? soup_message_headers_get_one(headers, "Referer") : nullptr;
    if (!referrer) return std::nullopt;
    return UrlsPort().urlFromString(referrer);
}

void onDownloadStarted(WebKitNetworkSession* /*session*/, WebKitDownload* download, gpointer data) {
    auto shared = *static_cast<std::shared_ptr<DownloadRelay::Shared>*>(data);
    if (!shared->alive) return;
    auto tracked = std::make_shared<TrackedDownload>();
    tracked->ref.id = shared->nextId++;
    tracked->ref.originalRequestURL = requestUrl(download);
    tracked->ref.referrerURL = referrerUrl(download);
    tracked->delegate = shared->delegate;
    g_object_set_data_full(G_OBJECT(download), kTrackedKey, new std::shared_ptr<TrackedDownload>(tracked),
                           [](gpointer holder) { delete static_cast<std::shared_ptr<TrackedDownload>*>(holder); });
    g_signal_connect(download, "decide-destination", G_CALLBACK(onDecideDestination), nullptr);
    g_signal_connect(download, "failed", G_CALLBACK(onFailed), nullptr);
    g_signal_connect(download, "finished", G_CALLBACK(onFinished), nullptr);

    if (WebViewPort* port = WebViewPort::fromWebView(webkit_download_get_web_view(download))) {
        if (NavigationDelegate* navigation = port->navigationDelegate()) {
            navigation->navigationDidBecomeDownload(tracked->ref);
        }
    }
}

}  // namespace

DownloadRelay::DownloadRelay() : shared_(std::make_shared<Shared>()) {}

DownloadRelay::~DownloadRelay() { shared_->alive = false; }

void DownloadRelay::setDelegate(std::weak_ptr<DownloadDelegate> delegate) { shared_->delegate = std::move(delegate); }

void DownloadRelay::attach(WebKitNetworkSession* session) {
    g_signal_connect_data(session, "download-started", G_CALLBACK(onDownloadStarted),
                          new std::shared_ptr<Shared>(shared_),
                          [](gpointer data, GClosure*) { delete static_cast<std::shared_ptr<Shared>*>(data); },
                          GConnectFlags(0));
}

}  // namespace pelko::gtk
