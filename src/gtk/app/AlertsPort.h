#pragma once

#include "platform/Alerts.h"

typedef struct _GtkApplication GtkApplication;

namespace pelko::gtk {

// Modal alerts as GtkMessageDialogs run in a nested main loop. Buttons keep
// the given order and answer 1000, 1001, ...; the first is the default.
// Closing the dialog without a button (Escape, the window's close button)
// answers as the alert's cancel button.
class AlertsPort : public Alerts {
public:
    explicit AlertsPort(GtkApplication* application) : application_(application) {}
    int runModal(const AlertSpec& alert) override;

private:
    GtkApplication* application_;
};

}  // namespace pelko::gtk
