#include "app/AppDelegate.h"

// Relocation is not built yet: the application always launches where it is.
namespace pelko {

bool AppDelegate::relocateToApplicationsIfNeeded() { return false; }

}  // namespace pelko
