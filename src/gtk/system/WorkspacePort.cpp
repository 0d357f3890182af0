#include "gtk/system/WorkspacePort.h"

#include <gio/gio.h>

#include "gtk/system/GObjectRef.h"

namespace pelko::gtk {

namespace {

void onLaunched(GObject* /*source*/, GAsyncResult* result, gpointer data) {
    OwnedGString uri(static_cast<char*>(data));
    GError* error = nullptr;
    if (!g_app_info_launch_default_for_uri_finish(result, &error)) {
        g_warning("Could not open %s: %s", uri.get(), error->message);
        g_clear_error(&error);
    }
}

void launchDefault(const std::string& uri) {
    // Not reported to the user, who asked for nothing that failed; the log keeps it.
    g_app_info_launch_default_for_uri_async(uri.c_str(), nullptr, nullptr, onLaunched, g_strdup(uri.c_str()));
}

std::string fileUri(const std::string& path) {
    OwnedGString uri(g_filename_to_uri(path.c_str(), nullptr, nullptr));
    return uri ? uri.get() : std::string();
}

struct RevealRequest {
    std::string fallbackFolderUri;
};

void onShowItemsDone(GObject* source, GAsyncResult* result, gpointer data) {
    auto* request = static_cast<RevealRequest*>(data);
    GError* error = nullptr;
    GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &error);
    if (reply) {
        g_variant_unref(reply);
    } else {
        g_warning("The file manager did not show the download (%s); opening its folder instead", error->message);
        g_clear_error(&error);
        if (!request->fallbackFolderUri.empty()) launchDefault(request->fallbackFolderUri);
    }
    delete request;
}

}  // namespace

void WorkspacePort::openURL(const Url& url) { launchDefault(url.absoluteString); }

void WorkspacePort::activateFileViewerSelecting(const std::vector<std::string>& paths) {
    if (paths.empty()) return;
    GVariantBuilder uris;
    g_variant_builder_init(&uris, G_VARIANT_TYPE("as"));
    for (const auto& path : paths) {
        const std::string uri = fileUri(path);
        if (!uri.empty()) g_variant_builder_add(&uris, "s", uri.c_str());
    }
    OwnedGString folder(g_path_get_dirname(paths.front().c_str()));
    auto* request = new RevealRequest{fileUri(folder.get())};

    GError* error = nullptr;
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
    if (!bus) {
        g_warning("No session bus to ask the file manager (%s); opening the folder instead", error->message);
        g_clear_error(&error);
        g_variant_builder_clear(&uris);
        if (!request->fallbackFolderUri.empty()) launchDefault(request->fallbackFolderUri);
        delete request;
        return;
    }
    g_dbus_connection_call(bus, "org.freedesktop.FileManager1", "/org/freedesktop/FileManager1",
                           "org.freedesktop.FileManager1", "ShowItems", g_variant_new("(ass)", &uris, ""), nullptr,
                           G_DBUS_CALL_FLAGS_NONE, 5000, nullptr, onShowItemsDone, request);
    g_object_unref(bus);
}

void WorkspacePort::openFile(const std::string& path) {
    const std::string uri = fileUri(path);
    if (!uri.empty()) launchDefault(uri);
}

}  // namespace pelko::gtk
