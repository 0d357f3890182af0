#include "gtk/web/WebsiteDataStore.h"

#include <glib/gstdio.h>
#include <webkit/webkit.h>

#include "gtk/web/DownloadRelay.h"

namespace pelko::gtk {

WebsiteDataStore::WebsiteDataStore(DataDirectories directories, DownloadRelay& downloads)
    : directories_(std::move(directories)), downloads_(downloads) {}

WebKitNetworkSession* WebsiteDataStore::persistentSession() {
    if (!persistent_) {
        g_mkdir_with_parents(directories_.data.c_str(), 0700);
        g_mkdir_with_parents(directories_.cache.c_str(), 0700);
        persistent_ = GObjectRef<WebKitNetworkSession>::adopt(
            webkit_network_session_new(directories_.data.c_str(), directories_.cache.c_str()));
        webkit_cookie_manager_set_persistent_storage(webkit_network_session_get_cookie_manager(persistent_.get()),
                                                     directories_.cookieFile().c_str(),
                                                     WEBKIT_COOKIE_PERSISTENT_STORAGE_SQLITE);
        downloads_.attach(persistent_.get());
    }
    return persistent_.get();
}

GObjectRef<WebKitNetworkSession> WebsiteDataStore::makeEphemeralSession() {
    auto session = GObjectRef<WebKitNetworkSession>::adopt(webkit_network_session_new_ephemeral());
    downloads_.attach(session.get());
    return session;
}

}  // namespace pelko::gtk
