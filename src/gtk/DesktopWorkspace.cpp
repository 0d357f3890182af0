#include "gtk/DesktopWorkspace.h"

#include <gio/gio.h>

#include <array>

#include "gtk/GObjectRef.h"

namespace pelko::gtk {

namespace {

// Content types (and their subtypes) that a default application would run.
constexpr std::array<const char*, 12> kRunnableTypes{
    "application/x-executable",  "application/x-sharedlib",   "application/x-desktop",
    "application/x-shellscript", "application/x-ms-dos-executable", "application/x-msi",
    "application/vnd.appimage",  "application/x-perl",        "text/x-python",
    "application/x-ruby",        "application/x-java-archive", "application/x-deb",
};

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

bool fileMayRunCode(const std::string& path) {
    GObjectRef<GFile> file = GObjectRef<GFile>::adopt(g_file_new_for_path(path.c_str()));
    GObjectRef<GFileInfo> info = GObjectRef<GFileInfo>::adopt(
        g_file_query_info(file.get(), G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE "," G_FILE_ATTRIBUTE_UNIX_MODE "," G_FILE_ATTRIBUTE_STANDARD_TYPE,
                          G_FILE_QUERY_INFO_NONE, nullptr, nullptr));
    // What cannot be examined is not opened.
    if (!info) return true;
    if (g_file_info_get_file_type(info.get()) == G_FILE_TYPE_DIRECTORY) return false;
    if (g_file_info_has_attribute(info.get(), G_FILE_ATTRIBUTE_UNIX_MODE) &&
        (g_file_info_get_attribute_uint32(info.get(), G_FILE_ATTRIBUTE_UNIX_MODE) & 0111) != 0)
        return true;
    const char* type = g_file_info_get_content_type(info.get());
    if (!type) return true;
    for (const char* runnable : kRunnableTypes) {
        if (g_content_type_is_a(type, runnable)) return true;
    }
    // Guessing by name alone as well: content sniffing may call a script plain text.
    OwnedGString byName(g_content_type_guess(path.c_str(), nullptr, 0, nullptr));
    for (const char* runnable : kRunnableTypes) {
        if (byName && g_content_type_is_a(byName.get(), runnable)) return true;
    }
    return false;
}

void DesktopWorkspace::openURL(const Url& url) { launchDefault(url.absoluteString); }

void DesktopWorkspace::activateFileViewerSelecting(const std::vector<std::string>& paths) {
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

void DesktopWorkspace::openFile(const std::string& path) {
    if (fileMayRunCode(path)) return;
    const std::string uri = fileUri(path);
    if (!uri.empty()) launchDefault(uri);
}

}  // namespace pelko::gtk
