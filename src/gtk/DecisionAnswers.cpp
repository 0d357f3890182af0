#include "gtk/DecisionAnswers.h"

#include <webkit/webkit.h>

#include <memory>

#include "gtk/GObjectRef.h"

namespace pelko::gtk {

namespace {

class PolicyAnswer {
public:
    explicit PolicyAnswer(WebKitPolicyDecision* decision)
        : decision_(GObjectRef<WebKitPolicyDecision>::retain(decision)) {}
    PolicyAnswer(const PolicyAnswer&) = delete;
    PolicyAnswer& operator=(const PolicyAnswer&) = delete;
    ~PolicyAnswer() {
        if (!answered_) webkit_policy_decision_ignore(decision_.get());
    }

    void use() {
        if (claim()) webkit_policy_decision_use(decision_.get());
    }
    void ignore() {
        if (claim()) webkit_policy_decision_ignore(decision_.get());
    }
    void download() {
        if (claim()) webkit_policy_decision_download(decision_.get());
    }

private:
    bool claim() { return !std::exchange(answered_, true); }

    GObjectRef<WebKitPolicyDecision> decision_;
    bool answered_ = false;
};

class FileChooserAnswer {
public:
    explicit FileChooserAnswer(WebKitFileChooserRequest* request)
        : request_(GObjectRef<WebKitFileChooserRequest>::retain(request)) {}
    FileChooserAnswer(const FileChooserAnswer&) = delete;
    FileChooserAnswer& operator=(const FileChooserAnswer&) = delete;
    ~FileChooserAnswer() { answer(std::nullopt); }

    void answer(const std::optional<std::vector<std::string>>& paths) {
        if (std::exchange(answered_, true)) return;
        if (!paths || paths->empty()) {
            webkit_file_chooser_request_cancel(request_.get());
            return;
        }
        std::vector<const char*> files;
        files.reserve(paths->size() + 1);
        for (const auto& path : *paths) files.push_back(path.c_str());
        files.push_back(nullptr);
        webkit_file_chooser_request_select_files(request_.get(), files.data());
    }

private:
    GObjectRef<WebKitFileChooserRequest> request_;
    bool answered_ = false;
};

}  // namespace

NavigationActionDecision navigationActionDecision(WebKitPolicyDecision* decision) {
    auto answer = std::make_shared<PolicyAnswer>(decision);
    return [answer](NavigationActionPolicy policy) {
        switch (policy) {
        case NavigationActionPolicy::allow: answer->use(); return;
        case NavigationActionPolicy::download: answer->download(); return;
        case NavigationActionPolicy::cancel: answer->ignore(); return;
        }
        answer->ignore();
    };
}

NavigationResponseDecision navigationResponseDecision(WebKitPolicyDecision* decision) {
    auto answer = std::make_shared<PolicyAnswer>(decision);
    return [answer](NavigationResponsePolicy policy) {
        switch (policy) {
        case NavigationResponsePolicy::allow: answer->use(); return;
        case NavigationResponsePolicy::download: answer->download(); return;
        }
        answer->ignore();
    };
}

OpenPanelCompletion openPanelCompletion(WebKitFileChooserRequest* request) {
    auto answer = std::make_shared<FileChooserAnswer>(request);
    return [answer](std::optional<std::vector<std::string>> paths) { answer->answer(paths); };
}

}  // namespace pelko::gtk
