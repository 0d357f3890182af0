#include "gtk/app/AlertsPort.h"

#include <gtk/gtk.h>

#include "gtk/app/WindowPort.h"
#include "gtk/system/GObjectRef.h"

namespace pelko::gtk {

namespace {

struct ModalRun {
    GMainLoop* loop = nullptr;
    int response = GTK_RESPONSE_NONE;
};

void onResponse(GtkDialog* /*dialog*/, int response, gpointer data) {
    auto* run = static_cast<ModalRun*>(data);
    run->response = response;
    if (g_main_loop_is_running(run->loop)) g_main_loop_quit(run->loop);
}

void onUnrealize(GtkWidget* /*dialog*/, gpointer data) {
    auto* run = static_cast<ModalRun*>(data);
    if (g_main_loop_is_running(run->loop)) g_main_loop_quit(run->loop);
}

}  // namespace

int AlertsPort::runModal(const AlertSpec& alert) {
    GtkWindow* parent = application_ ? gtk_application_get_active_window(application_) : nullptr;
    if (parent && !gtk_widget_get_visible(GTK_WIDGET(parent))) parent = nullptr;
    // Kept to give the keyboard back to once the alert is gone.
    const auto keptParent = GObjectRef<GtkWindow>::retain(parent);

    GtkWidget* dialog = gtk_message_dialog_new(parent, GTK_DIALOG_MODAL, GTK_MESSAGE_OTHER, GTK_BUTTONS_NONE, "%s",
                                               alert.title.c_str());
    if (!alert.message.empty()) {
        gtk_message_dialog_format_secondary_text(GTK_MESSAGE_DIALOG(dialog), "%s", alert.message.c_str());
    }
    const std::vector<std::string> buttons = alert.buttons.empty() ? std::vector<std::string>{"OK"} : alert.buttons;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        gtk_dialog_add_button(GTK_DIALOG(dialog), buttons[i].c_str(),
                              kAlertFirstButtonReturn + static_cast<int>(i));
    }
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), kAlertFirstButtonReturn);
    gtk_window_set_title(GTK_WINDOW(dialog), "Pelko");
    if (application_) gtk_window_set_application(GTK_WINDOW(dialog), application_);

    ModalRun run;
    run.loop = g_main_loop_new(nullptr, FALSE);
    // Held so that it is safe to look at after someone else destroyed it;
    // a destroyed window is unrealized, which ends the nested loop as well.
    g_object_ref(dialog);
    g_signal_connect(dialog, "response", G_CALLBACK(onResponse), &run);
    g_signal_connect(dialog, "unrealize", G_CALLBACK(onUnrealize), &run);
    gtk_window_present(GTK_WINDOW(dialog));
    g_main_loop_run(run.loop);
    g_signal_handlers_disconnect_by_data(dialog, &run);
    gtk_window_destroy(GTK_WINDOW(dialog));
    g_object_unref(dialog);
    g_main_loop_unref(run.loop);
    if (WindowPort* port = WindowPort::fromGtkWindow(keptParent.get())) port->returnFocusToContent();

    const int last = kAlertFirstButtonReturn + static_cast<int>(buttons.size()) - 1;
    if (run.response >= kAlertFirstButtonReturn && run.response <= last) return run.response;
    return alert.cancelReturn();
}

}  // namespace pelko::gtk
