#include "app/AppDelegate.h"

// The agent setup is not built yet: bridge requests for it are accepted and
// have no effect.
namespace pelko {

void AppDelegate::setupIMessageAgent(const std::string& /*pairingCode*/, const std::string& /*apiBase*/) {}

void AppDelegate::disconnectIMessageAgent() {}

}  // namespace pelko
