#pragma once

#include "platform/Alerts.h"

namespace pelko::mac {

// NSAlert, run application-modally. The first button answers 1000; Escape
// answers as the alert's cancel button.
class AlertsPort : public Alerts {
public:
    int runModal(const AlertSpec& alert) override;
};

}  // namespace pelko::mac
