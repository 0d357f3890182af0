#include "platform/Alerts.h"

#include <utility>

#include "platform/MainQueue.h"

namespace pelko {

void queueAlert(MainQueue& mainQueue, Alerts& alerts, std::string title, std::string message) {
    mainQueue.async([&alerts, title = std::move(title), message = std::move(message)] {
        alerts.runModal(AlertSpec{title, message, {}});
    });
}

}  // namespace pelko
