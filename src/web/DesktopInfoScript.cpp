#include "web/DesktopInfoScript.h"

#include "voice/JsStringLiteral.h"

namespace pelko {

std::string desktopInfoScript(const std::string& version, const DesktopInfo& info) {
    auto flag = [](bool value) { return value ? "true" : "false"; };
    return "window.__pelkoDesktop = { version: " + jsStringLiteral(version, '"') +
           ", platform: " + jsStringLiteral(info.platform, '"') + ", canSetupIMessage: " + flag(info.canSetupIMessage) +
           ", canDictate: " + flag(info.canDictate) + " };";
}

}  // namespace pelko
