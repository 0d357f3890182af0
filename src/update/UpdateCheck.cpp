#include "app/AppDelegate.h"

// The update checks are not built yet: neither makes a request.
namespace pelko {

void AppDelegate::checkForUpdate() {}

void AppDelegate::checkForUpdateManual() {}

}  // namespace pelko
