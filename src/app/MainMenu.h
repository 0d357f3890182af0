#pragma once

#include "platform/CoreGuard.h"

#include <memory>
#include <string>

#include "platform/Menu.h"

namespace pelko {

// The menu bar: the application, Edit, Voice, View and Window menus. Items
// for the controller are aimed at `controller`; the others go to the first
// responder. The Voice menu shows the check mark of `speakReplies` and ends
// with `voiceStatusItem`, disabled, titled "Status: " and `status`.
std::shared_ptr<Menu> buildMainMenu(MenuActionTarget& controller, bool speakReplies,
                                    const std::shared_ptr<MenuItem>& voiceStatusItem, const std::string& status);

}  // namespace pelko
