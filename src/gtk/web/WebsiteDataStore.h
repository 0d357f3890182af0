#pragma once

#include "gtk/system/DataDirectories.h"
#include "gtk/system/GObjectRef.h"

typedef struct _WebKitNetworkSession WebKitNetworkSession;

namespace pelko::gtk {

class DownloadRelay;

// The network sessions web views are made with. The persistent one is made
// once per process, as there is one default data store on every platform;
// it keeps website data under the data folder, the cache under the cache
// folder and cookies in an SQLite file, since a network session alone does
// not keep cookies.
class WebsiteDataStore {
public:
    WebsiteDataStore(DataDirectories directories, DownloadRelay& downloads);
    WebKitNetworkSession* persistentSession();
    // A fresh session that keeps nothing on disk.
    GObjectRef<WebKitNetworkSession> makeEphemeralSession();

private:
    DataDirectories directories_;
    DownloadRelay& downloads_;
    GObjectRef<WebKitNetworkSession> persistent_;
};

}  // namespace pelko::gtk
