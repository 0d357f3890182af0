#include "gtk/web/OpenPanelsPort.h"

#include <gtk/gtk.h>

#include <cstdlib>
#include <memory>

#include "gtk/app/WindowPort.h"
#include "gtk/system/GObjectRef.h"

namespace pelko::gtk {

namespace {

struct PendingChooser {
    OpenPanelCompletion completion;
    bool resolvesLinks = true;
    GObjectRef<GtkWindow> window;  // gets the keyboard back when the chooser goes
};

// A link's target when asked for; a dangling link stays as the user chose it.
std::string chosenPath(const char* path, bool resolvesLinks) {
    if (!resolvesLinks) return path;
    std::unique_ptr<char, decltype(&std::free)> resolved(realpath(path, nullptr), &std::free);
    return resolved ? resolved.get() : path;
}

std::optional<std::vector<std::string>> chosenFiles(GtkFileChooser* chooser, bool resolvesLinks) {
    GListModel* files = gtk_file_chooser_get_files(chooser);
    std::vector<std::string> paths;
    for (guint i = 0; files && i < g_list_model_get_n_items(files); ++i) {
        GObjectRef<GFile> file = GObjectRef<GFile>::adopt(G_FILE(g_list_model_get_item(files, i)));
        // A location with no local path (a remote share not mounted as a folder) cannot be handed over.
        OwnedGString path(g_file_get_path(file.get()));
        if (path) paths.push_back(chosenPath(path.get(), resolvesLinks));
    }
    if (files) g_object_unref(files);
    if (paths.empty()) return std::nullopt;
    return paths;
}

void onResponse(GtkNativeDialog* dialog, int response, gpointer data) {
    auto* pending = static_cast<PendingChooser*>(data);
    // Cancel, the close button and Escape all answer "no files".
    pending->completion(response == GTK_RESPONSE_ACCEPT ? chosenFiles(GTK_FILE_CHOOSER(dialog), pending->resolvesLinks)
                                                        : std::nullopt);
    if (WindowPort* port = WindowPort::fromGtkWindow(pending->window.get())) port->returnFocusToContent();
    // The reference it was made with; its state goes with it.
    g_object_unref(dialog);
}

}  // namespace

void OpenPanelsPort::beginSheetModalForWindow(Window& window, const OpenPanelOptions& options,
                                             OpenPanelCompletion completion) {
    auto* port = dynamic_cast<WindowPort*>(&window);
    GtkFileChooserNative* chooser = gtk_file_chooser_native_new(
        options.allowsMultipleSelection ? "Choose Files" : "Choose a File", port ? port->gtkWindow() : nullptr,
        GTK_FILE_CHOOSER_ACTION_OPEN, "_Open", "_Cancel");
    gtk_native_dialog_set_modal(GTK_NATIVE_DIALOG(chooser), TRUE);
    gtk_file_chooser_set_select_multiple(GTK_FILE_CHOOSER(chooser), options.allowsMultipleSelection);
    // Dropped unanswered (the chooser finalized without a response), the completion answers none itself.
    g_signal_connect_data(
        chooser, "response", G_CALLBACK(onResponse), new PendingChooser{std::move(completion), options.resolvesAliases,
                           GObjectRef<GtkWindow>::retain(port ? port->gtkWindow() : nullptr)},
        [](gpointer data, GClosure*) { delete static_cast<PendingChooser*>(data); }, GConnectFlags(0));
    // The reference it was made with keeps it alive until it answers.
    gtk_native_dialog_show(GTK_NATIVE_DIALOG(chooser));
}

}  // namespace pelko::gtk
