// The real alerts: GtkMessageDialogs run modally.
#include <gtk/gtk.h>
#include <gtest/gtest.h>

#include "Harness.h"
#include "gtk/GtkAlerts.h"

namespace pelko::e2e {
namespace {

// The message dialog on screen, if any.
GtkDialog* shownDialog() {
    GListModel* toplevels = gtk_window_get_toplevels();
    for (guint i = 0; i < g_list_model_get_n_items(toplevels); ++i) {
        auto* window = static_cast<GtkWindow*>(g_list_model_get_item(toplevels, i));
        g_object_unref(window);
        if (GTK_IS_MESSAGE_DIALOG(window) && gtk_widget_get_visible(GTK_WIDGET(window))) return GTK_DIALOG(window);
    }
    return nullptr;
}

std::string property(GtkDialog* dialog, const char* name) {
    gchar* value = nullptr;
    g_object_get(dialog, name, &value, nullptr);
    std::string out = value ? value : "";
    g_free(value);
    return out;
}

struct Seen {
    std::string text;
    std::string secondary;
    std::vector<std::string> buttons;
    int defaultResponse = 0;
};

// Runs the alert; once its dialog shows, records it and lets `act` answer.
int runAlert(const AlertSpec& alert, Seen& seen, std::function<void(GtkDialog*)> act) {
    struct Watch {
        Seen* seen;
        std::function<void(GtkDialog*)> act;
        bool done = false;
        GtkDialog* dialog = nullptr;  // one reference held
        bool rescued = false;
    } watch{&seen, std::move(act)};
    seen = Seen{};
    const guint poll = g_timeout_add(20, [](gpointer data) -> gboolean {
        auto* w = static_cast<Watch*>(data);
        GtkDialog* dialog = shownDialog();
        if (!dialog) return G_SOURCE_CONTINUE;
        w->done = true;
        w->dialog = GTK_DIALOG(g_object_ref(dialog));
        w->seen->text = property(dialog, "text");
        w->seen->secondary = property(dialog, "secondary-text");
        for (int response = kAlertFirstButtonReturn; response < kAlertFirstButtonReturn + 8; ++response) {
            if (GtkWidget* button = gtk_dialog_get_widget_for_response(dialog, response)) {
                w->seen->buttons.push_back(gtk_button_get_label(GTK_BUTTON(button)));
                if (gtk_widget_has_default(button)) w->seen->defaultResponse = response;
            }
        }
        w->act(dialog);
        return G_SOURCE_REMOVE;
    }, &watch);
    // An alert that does not end when it should is ended here, and the test fails.
    const guint rescue = g_timeout_add(5000, [](gpointer data) -> gboolean {
        auto* w = static_cast<Watch*>(data);
        w->rescued = true;
        if (w->dialog) gtk_dialog_response(w->dialog, GTK_RESPONSE_NONE);
        return G_SOURCE_CONTINUE;
    }, &watch);
    gtk::GtkAlerts alerts(World::get().application);
    const int answer = alerts.runModal(alert);
    g_source_remove(rescue);
    if (!watch.done) g_source_remove(poll);
    if (watch.dialog) g_object_unref(watch.dialog);
    EXPECT_FALSE(watch.rescued) << "the alert did not end by itself";
    return answer;
}

TEST(Alerts, ButtonsKeepTheirOrderAndAnswerFrom1000) {
    Seen seen;
    const int answer = runAlert({"Microphone access is off", "Allow it in Settings.", {"Open Settings", "Not Now"}},
                                seen, [](GtkDialog* dialog) { gtk_dialog_response(dialog, kAlertFirstButtonReturn + 1); });
    EXPECT_EQ(answer, 1001);
    EXPECT_EQ(seen.text, "Microphone access is off");
    EXPECT_EQ(seen.secondary, "Allow it in Settings.");
    EXPECT_EQ(seen.buttons, (std::vector<std::string>{"Open Settings", "Not Now"}));
    EXPECT_EQ(seen.defaultResponse, 1000);
    EXPECT_FALSE(shownDialog());

    EXPECT_EQ(runAlert({"Update", "", {"Download", "Later"}}, seen,
                       [](GtkDialog* dialog) { gtk_dialog_response(dialog, kAlertFirstButtonReturn); }),
              1000);
}

TEST(Alerts, NoButtonsGiveOneOkButton) {
    Seen seen;
    EXPECT_EQ(runAlert({"Download failed", "The network connection was lost.", {}}, seen,
                       [](GtkDialog* dialog) { gtk_dialog_response(dialog, kAlertFirstButtonReturn); }),
              1000);
    EXPECT_EQ(seen.buttons, std::vector<std::string>{"OK"});
}

TEST(Alerts, ClosingWithoutAButtonAnswersAsTheCancelButton) {
    Seen seen;
    EXPECT_EQ(runAlert({"Move to Applications?", "", {"Move", "Not Now", "Never"}, 1}, seen,
                       [](GtkDialog* dialog) { gtk_window_close(GTK_WINDOW(dialog)); }),
              1001);
    // Even when the dialog is destroyed from elsewhere.
    EXPECT_EQ(runAlert({"Update available", "", {"Download", "Later"}, 1}, seen,
                       [](GtkDialog* dialog) { gtk_window_destroy(GTK_WINDOW(dialog)); }),
              1001);
}

}  // namespace
}  // namespace pelko::e2e
