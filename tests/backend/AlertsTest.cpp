// The real alerts: GtkMessageDialogs run modally, answered as a person would.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include "Harness.h"
#include "gtk/app/AlertsPort.h"
#include "gtk/app/Platform.h"

namespace pelko::e2e {
namespace {

enum : int { kCloseBox = 0, kDestroyedElsewhere = -1, kApplicationQuits = -2 };

struct AlertCase {
    const char* name;
    AlertSpec alert;
    int press;                         // a button's answer, or one of the two above
    std::vector<std::string> buttons;  // as shown, in order
    int answer;
};

struct Person {
    int press;
    GtkDialog* dialog = nullptr;
    std::vector<std::string> buttons;
};

// Once the dialog shows: reads its buttons, then answers.
gboolean answerOnceShown(gpointer data) {
    auto* person = static_cast<Person*>(data);
    GList* windows = gtk_window_list_toplevels();
    for (GList* window = windows; window && !person->dialog; window = window->next) {
        if (GTK_IS_MESSAGE_DIALOG(window->data) && gtk_widget_get_visible(GTK_WIDGET(window->data)))
            person->dialog = GTK_DIALOG(window->data);
    }
    g_list_free(windows);
    if (!person->dialog) return G_SOURCE_CONTINUE;
    for (int response = kAlertFirstButtonReturn; response < kAlertFirstButtonReturn + 4; ++response) {
        if (GtkWidget* button = gtk_dialog_get_widget_for_response(person->dialog, response))
            person->buttons.push_back(gtk_button_get_label(GTK_BUTTON(button)));
    }
    if (person->press == kCloseBox) gtk_window_close(GTK_WINDOW(person->dialog));
    if (person->press == kDestroyedElsewhere) gtk_window_destroy(GTK_WINDOW(person->dialog));
    // Quit while the alert is up: the application does not wait for an answer.
    if (person->press == kApplicationQuits) World::get().platform->application().terminate();
    if (person->press >= kAlertFirstButtonReturn) gtk_dialog_response(person->dialog, person->press);
    return G_SOURCE_REMOVE;
}

class Alerts : public ::testing::TestWithParam<AlertCase> {};

TEST_P(Alerts, ShowTheirButtonsInOrderAndAnswerAsTheOnePressed) {
    Person person{GetParam().press, nullptr, {}};
    const guint watch = g_timeout_add(20, answerOnceShown, &person);
    EXPECT_EQ(gtk::AlertsPort(World::get().application).runModal(GetParam().alert), GetParam().answer);
    if (!person.dialog) g_source_remove(watch);
    EXPECT_EQ(person.buttons, GetParam().buttons);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Rows, Alerts,
    ::testing::Values(
        AlertCase{"SecondButton", {"Microphone access is off", "Allow it in Settings.", {"Open Settings", "Not Now"}},
                  1001, {"Open Settings", "Not Now"}, 1001},
        AlertCase{"NoButtonsGiveOk", {"Download failed", "The network connection was lost.", {}}, 1000, {"OK"}, 1000},
        AlertCase{"ClosedAnswersCancel", {"Move to Applications?", "", {"Move", "Not Now", "Never"}, 1}, kCloseBox,
                  {"Move", "Not Now", "Never"}, 1001},
        AlertCase{"DestroyedAnswersCancel", {"Update available", "", {"Download", "Later"}, 1}, kDestroyedElsewhere,
                  {"Download", "Later"}, 1001},
        AlertCase{"QuitAnswersCancel", {"Update available", "", {"Download", "Later"}, 1}, kApplicationQuits,
                  {"Download", "Later"}, 1001}),
    [](const ::testing::TestParamInfo<AlertCase>& param) { return std::string(param.param.name); });
// clang-format on

}  // namespace
}  // namespace pelko::e2e
