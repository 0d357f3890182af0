#pragma once

#include <memory>

#include "platform/WebViewDelegates.h"

typedef struct _WebKitNetworkSession WebKitNetworkSession;

namespace pelko::gtk {

// Hands the downloads of the network sessions to the application's
// download delegate: the web view's navigation delegate hears that a
// navigation became a download, then the download delegate chooses its
// destination and hears how it ended. A download the delegate declined is
// not reported back to it as failed: WebKit's cancellation is its answer
// echoed, not news.
class DownloadRelay {
public:
    DownloadRelay();
    ~DownloadRelay();
    DownloadRelay(const DownloadRelay&) = delete;
    DownloadRelay& operator=(const DownloadRelay&) = delete;

    void setDelegate(std::weak_ptr<DownloadDelegate> delegate);
    void attach(WebKitNetworkSession* session);

    struct Shared;

private:
    std::shared_ptr<Shared> shared_;
};

}  // namespace pelko::gtk
