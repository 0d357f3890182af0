#pragma once

#include "platform/WebViewDelegates.h"

typedef struct _WebKitPolicyDecision WebKitPolicyDecision;
typedef struct _WebKitFileChooserRequest WebKitFileChooserRequest;

namespace pelko::gtk {

// Decision handlers handed to the delegates. Each answers its WebKit
// request exactly once however it is used: the first call answers, later
// calls do nothing, and a handler dropped without a call (by a delegate
// that answers late and then never, or one that is gone) answers with the
// safe default: ignore the navigation, cancel the file chooser. Each holds a
// reference to its request, so a late answer is safe after the web view is
// gone.
NavigationActionDecision navigationActionDecision(WebKitPolicyDecision* decision);
NavigationResponseDecision navigationResponseDecision(WebKitPolicyDecision* decision);
OpenPanelCompletion openPanelCompletion(WebKitFileChooserRequest* request);

}  // namespace pelko::gtk
