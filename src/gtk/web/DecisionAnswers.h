#pragma once

#include "platform/WebViewDelegates.h"

typedef struct _WebKitPolicyDecision WebKitPolicyDecision;
typedef struct _WebKitFileChooserRequest WebKitFileChooserRequest;

namespace pelko::gtk {

// The core's decision handlers over WebKit's requests. Each holds a
// reference to its request, so a late answer is safe after the web view is
// gone; answering once, and the answer of a dropped handler, is the
// handler's own business.
NavigationActionDecision navigationActionDecision(WebKitPolicyDecision* decision);
NavigationResponseDecision navigationResponseDecision(WebKitPolicyDecision* decision);
OpenPanelCompletion openPanelCompletion(WebKitFileChooserRequest* request);

}  // namespace pelko::gtk
