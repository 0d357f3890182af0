#include "gtk/web/WebViewPort.h"

#include <webkit/webkit.h>

#include <utility>

#include "gtk/app/StartupTrace.h"
#include "gtk/web/DecisionAnswers.h"
#include "gtk/web/JscJson.h"
#include "gtk/web/WebViewConfigurationPort.h"

namespace pelko::gtk {

namespace {

constexpr const char* kPortKey = "pelko-web-view-port";

NavigationType navigationTypeFrom(WebKitNavigationType type) {
    switch (type) {
    case WEBKIT_NAVIGATION_TYPE_LINK_CLICKED: return NavigationType::linkActivated;
    case WEBKIT_NAVIGATION_TYPE_FORM_SUBMITTED: return NavigationType::formSubmitted;
    case WEBKIT_NAVIGATION_TYPE_BACK_FORWARD: return NavigationType::backForward;
    case WEBKIT_NAVIGATION_TYPE_RELOAD: return NavigationType::reload;
    case WEBKIT_NAVIGATION_TYPE_FORM_RESUBMITTED: return NavigationType::formResubmitted;
    case WEBKIT_NAVIGATION_TYPE_OTHER: return NavigationType::other;
    }
    return NavigationType::other;
}

struct Evaluation {
    ScriptCompletion completion;
};

void onEvaluated(GObject* source, GAsyncResult* result, gpointer data) {
    std::unique_ptr<Evaluation> evaluation(static_cast<Evaluation*>(data));
    GError* error = nullptr;
    JSCValue* value = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, &error);
    std::optional<nlohmann::json> json;
    std::optional<ScriptError> scriptError;
    if (error) {
        scriptError = ScriptError{error->message ? error->message : ""};
        g_error_free(error);
    } else {
        JscConversion conversion = jsonFromJscValue(value);
        if (conversion.unsupported) {
            scriptError = ScriptError{kUnsupportedResultType};
        } else {
            json = std::move(conversion.value);
        }
    }
    if (value) g_object_unref(value);
    if (evaluation->completion) evaluation->completion(json, scriptError);
}

}  // namespace

WebViewPort::WebViewPort(WebViewConfigurationPort& configuration, const Urls& urls) : urls_(urls) {
    GtkWidget* view = GTK_WIDGET(g_object_new(WEBKIT_TYPE_WEB_VIEW, "network-session", configuration.networkSession(),
                                              "settings", configuration.settings(), "user-content-manager",
                                              configuration.userContentManager(), nullptr));
    view_ = GObjectRef<WebKitWebView>::adopt(WEBKIT_WEB_VIEW(g_object_ref_sink(view)));
    g_object_set_data(G_OBJECT(view), kPortKey, this);
    g_signal_connect(view, "decide-policy", G_CALLBACK(&WebViewPort::onDecidePolicy), this);
    g_signal_connect(view, "create", G_CALLBACK(&WebViewPort::onCreate), this);
    g_signal_connect(view, "run-file-chooser", G_CALLBACK(&WebViewPort::onRunFileChooser), this);
    g_signal_connect(view, "load-changed", G_CALLBACK(&WebViewPort::onLoadChanged), this);
    g_signal_connect(view, "load-failed", G_CALLBACK(&WebViewPort::onLoadFailed), this);
    g_signal_connect(webkit_web_view_get_context(view_.get()), "initialize-web-process-extensions",
                     G_CALLBACK(+[](WebKitWebContext*, gpointer) { traceStartup("web-process-launch"); }), nullptr);
    traceStartup("web-view-created");
}

WebViewPort::~WebViewPort() {
    cancelLoadTimeout();
    g_signal_handlers_disconnect_by_data(view_.get(), this);
    g_object_set_data(G_OBJECT(view_.get()), kPortKey, nullptr);
    // The page stops here; the widget itself goes with its window.
    webkit_web_view_stop_loading(view_.get());
}

WebViewPort* WebViewPort::fromWebView(WebKitWebView* view) {
    if (!view) return nullptr;
    return static_cast<WebViewPort*>(g_object_get_data(G_OBJECT(view), kPortKey));
}

GtkWidget* WebViewPort::widget() const { return GTK_WIDGET(view_.get()); }

void WebViewPort::setAllowsBackForwardNavigationGestures(bool allow) {
    webkit_settings_set_enable_back_forward_navigation_gestures(webkit_web_view_get_settings(view_.get()), allow);
}

void WebViewPort::setCustomUserAgent(const std::string& userAgent) {
    webkit_settings_set_user_agent(webkit_web_view_get_settings(view_.get()), userAgent.c_str());
}

void WebViewPort::loadRequest(const UrlRequest& request) {
    WebKitURIRequest* uriRequest = webkit_uri_request_new(request.url.absoluteString.c_str());
    webkit_web_view_load_request(view_.get(), uriRequest);
    g_object_unref(uriRequest);
    traceStartup("load-issued");
    cancelLoadTimeout();
    if (request.timeout.count() > 0) {
        loadTimeout_ = g_timeout_add_seconds(static_cast<guint>(request.timeout.count()),
                                             &WebViewPort::onLoadTimeout, this);
    }
}

void WebViewPort::reload() { webkit_web_view_reload(view_.get()); }

bool WebViewPort::canGoBack() const { return webkit_web_view_can_go_back(view_.get()); }

void WebViewPort::goBack() { webkit_web_view_go_back(view_.get()); }

bool WebViewPort::canGoForward() const { return webkit_web_view_can_go_forward(view_.get()); }

void WebViewPort::goForward() { webkit_web_view_go_forward(view_.get()); }

std::optional<Url> WebViewPort::url() const {
    const char* uri = webkit_web_view_get_uri(view_.get());
    if (!uri) return std::nullopt;
    return urls_.urlFromString(uri);
}

bool WebViewPort::isLoading() const { return webkit_web_view_is_loading(view_.get()); }

void WebViewPort::loadAlternateHTML(const std::string& html, const Url& unreachableURL) {
    // Its load starts later, after the failed one has finished: no policy is asked for it.
    alternatePending_ = true;
    webkit_web_view_load_alternate_html(view_.get(), html.c_str(), unreachableURL.absoluteString.c_str(), nullptr);
}

void WebViewPort::evaluateJavaScript(const std::string& script, ScriptCompletion completion) {
    webkit_web_view_evaluate_javascript(view_.get(), script.c_str(), static_cast<gssize>(script.size()), nullptr,
                                        nullptr, nullptr, onEvaluated, new Evaluation{std::move(completion)});
}

NavigationAction WebViewPort::navigationActionFrom(void* webkitNavigationAction, bool hasTargetFrame) const {
    auto* action = static_cast<WebKitNavigationAction*>(webkitNavigationAction);
    NavigationAction out;
    out.hasTargetFrame = hasTargetFrame;
    // WebKitGTK has no download attribute flag: such clicks go straight to a download.
    out.shouldPerformDownload = false;
    if (!action) return out;
    out.navigationType = navigationTypeFrom(webkit_navigation_action_get_navigation_type(action));
    WebKitURIRequest* request = webkit_navigation_action_get_request(action);
    if (const char* uri = request ? webkit_uri_request_get_uri(request) : nullptr) {
        out.requestURL = urls_.urlFromString(uri);
    }
    return out;
}

int WebViewPort::onDecidePolicy(WebKitWebView* /*view*/, void* decisionPointer, int type, void* data) {
    auto* self = static_cast<WebViewPort*>(data);
    auto* decision = static_cast<WebKitPolicyDecision*>(decisionPointer);
    NavigationDelegate* delegate = self->navigationDelegate_;
    if (!delegate) return FALSE;
    switch (type) {
    case WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION:
    case WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION: {
        // A new-window request has no target frame yet; allowing it goes on to "create".
        auto* navigation = WEBKIT_NAVIGATION_POLICY_DECISION(decision);
        const NavigationAction action =
            self->navigationActionFrom(webkit_navigation_policy_decision_get_navigation_action(navigation),
                                       type == WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION);
        delegate->decidePolicyForNavigationAction(action, navigationActionDecision(decision));
        return TRUE;
    }
    case WEBKIT_POLICY_DECISION_TYPE_RESPONSE: {
        NavigationResponse response;
        response.canShowMIMEType =
            webkit_response_policy_decision_is_mime_type_supported(WEBKIT_RESPONSE_POLICY_DECISION(decision));
        delegate->decidePolicyForNavigationResponse(response, navigationResponseDecision(decision));
        return TRUE;
    }
    default: return FALSE;
    }
}

GtkWidget* WebViewPort::onCreate(WebKitWebView* /*view*/, void* navigationAction, void* data) {
    auto* self = static_cast<WebViewPort*>(data);
    if (self->uiDelegate_) {
        self->uiDelegate_->createWebViewForNavigationAction(self->navigationActionFrom(navigationAction, false));
    }
    // No second web view, ever.
    return nullptr;
}

int WebViewPort::onRunFileChooser(WebKitWebView* /*view*/, void* requestPointer, void* data) {
    auto* self = static_cast<WebViewPort*>(data);
    if (!self->uiDelegate_) return FALSE;
    auto* request = static_cast<WebKitFileChooserRequest*>(requestPointer);
    OpenPanelParameters parameters;
    parameters.allowsMultipleSelection = webkit_file_chooser_request_get_select_multiple(request);
    self->uiDelegate_->runOpenPanel(parameters, openPanelCompletion(request));
    return TRUE;
}

void WebViewPort::onLoadChanged(WebKitWebView* /*view*/, int loadEvent, void* data) {
    auto* self = static_cast<WebViewPort*>(data);
    switch (loadEvent) {
    case WEBKIT_LOAD_STARTED:
        traceStartup("load-started");
        self->loadFailed_ = false;
        self->loadTimedOut_ = false;
        self->loadIsAlternate_ = std::exchange(self->alternatePending_, false);
        break;
    case WEBKIT_LOAD_COMMITTED:
        traceStartup("page-committed");
        self->cancelLoadTimeout();
        break;
    case WEBKIT_LOAD_FINISHED:
        traceStartup("load-finished");
        self->cancelLoadTimeout();
        // A failed load ends with FINISHED as well; only a completed one is reported.
        if (!self->loadFailed_ && !self->loadIsAlternate_ && self->navigationDelegate_) {
            self->navigationDelegate_->didFinishNavigation();
        }
        break;
    default: break;
    }
}

int WebViewPort::onLoadFailed(WebKitWebView* /*view*/, int /*loadEvent*/, const char* uri, void* errorPointer,
                              void* data) {
    auto* self = static_cast<WebViewPort*>(data);
    self->loadFailed_ = true;
    if (self->loadIsAlternate_ || !self->navigationDelegate_) return FALSE;
    const auto* error = static_cast<const GError*>(errorPointer);
    NavigationError failure;
    // A load this port stopped at the request's time-out timed out; WebKit only knows it was stopped.
    if (std::exchange(self->loadTimedOut_, false)) {
        failure.domain = g_quark_to_string(G_IO_ERROR);
        failure.code = G_IO_ERROR_TIMED_OUT;
    } else if (error) {
        failure.domain = g_quark_to_string(error->domain);
        failure.code = error->code;
    }
    if (uri) failure.failingURL = self->urls_.urlFromString(uri);
    // Handled: the web view shows no error page of its own over the delegate's.
    return self->navigationDelegate_->didFailNavigation(failure) ? TRUE : FALSE;
}

int WebViewPort::onLoadTimeout(void* data) {
    auto* self = static_cast<WebViewPort*>(data);
    self->loadTimeout_ = 0;
    self->loadTimedOut_ = true;
    webkit_web_view_stop_loading(self->view_.get());
    return G_SOURCE_REMOVE;
}

void WebViewPort::cancelLoadTimeout() {
    if (loadTimeout_) g_source_remove(loadTimeout_);
    loadTimeout_ = 0;
}

}  // namespace pelko::gtk
