#include "gtk/web/DecisionAnswers.h"

#include <webkit/webkit.h>

#include "gtk/system/GObjectRef.h"

namespace pelko::gtk {

namespace {

// WebKit's three answers to a policy decision; cancel is "ignore".
template <typename Policy>
void answerPolicy(WebKitPolicyDecision* decision, Policy policy) {
    if (policy == Policy::allow) {
        webkit_policy_decision_use(decision);
    } else if (policy == Policy::download) {
        webkit_policy_decision_download(decision);
    } else {
        webkit_policy_decision_ignore(decision);
    }
}

}  // namespace

NavigationActionDecision navigationActionDecision(WebKitPolicyDecision* decision) {
    return NavigationActionDecision(
        [request = GObjectRef<WebKitPolicyDecision>::retain(decision)](NavigationActionPolicy policy) {
            answerPolicy(request.get(), policy);
        });
}

NavigationResponseDecision navigationResponseDecision(WebKitPolicyDecision* decision) {
    return NavigationResponseDecision(
        [request = GObjectRef<WebKitPolicyDecision>::retain(decision)](NavigationResponsePolicy policy) {
            answerPolicy(request.get(), policy);
        });
}

OpenPanelCompletion openPanelCompletion(WebKitFileChooserRequest* request) {
    return OpenPanelCompletion([chooser = GObjectRef<WebKitFileChooserRequest>::retain(request)](
                                   const std::optional<std::vector<std::string>>& paths) {
        if (!paths) {
            webkit_file_chooser_request_cancel(chooser.get());
            return;
        }
        std::vector<const char*> files;
        files.reserve(paths->size() + 1);
        for (const auto& path : *paths) files.push_back(path.c_str());
        files.push_back(nullptr);
        webkit_file_chooser_request_select_files(chooser.get(), files.data());
    });
}

}  // namespace pelko::gtk
