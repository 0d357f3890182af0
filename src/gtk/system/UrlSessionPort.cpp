#include "gtk/system/UrlSessionPort.h"

#include <libsoup/soup.h>

#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace pelko::gtk {

namespace {

// A server that sends nothing for this long has not answered.
constexpr guint kTimeoutSeconds = 60;
constexpr guint kIdleConnectionSeconds = 60;
constexpr gsize kChunkBytes = 64 * 1024;

struct Task;

}  // namespace

struct UrlSessionPort::Worker {
    SoupSession* session = nullptr;
    std::set<Task*> running;  // on the worker thread only
};

namespace {

// One request, from its start on the worker thread until its completion.
struct Task {
    Task(UrlSessionPort::Worker* owner, std::string address, DataTaskCompletion done)
        : worker(owner), url(std::move(address)), completion(std::move(done)) {}
    ~Task() {
        g_clear_object(&body);
        g_clear_object(&message);
        g_object_unref(cancellable);
    }
    Task(const Task&) = delete;
    Task& operator=(const Task&) = delete;

    UrlSessionPort::Worker* worker;
    std::string url;
    DataTaskCompletion completion;
    GCancellable* cancellable = g_cancellable_new();
    SoupMessage* message = nullptr;
    GInputStream* body = nullptr;
    std::string data;
};

// A request on its way to the worker; dropped with the context if it never gets there.
struct Pending {
    std::unique_ptr<Task> task;
};

void finish(Task* task, std::optional<std::string> data, std::optional<UrlError> error) {
    std::unique_ptr<Task> owned(task);
    task->worker->running.erase(task);
    std::optional<UrlResponse> response;
    if (task->message && soup_message_get_status(task->message) != SOUP_STATUS_NONE)
        response = UrlResponse{static_cast<int>(soup_message_get_status(task->message))};
    if (task->completion) task->completion(data, response, error);
}

void fail(Task* task, GError* error) {
    std::string message = error && error->message ? error->message : "";
    g_clear_error(&error);
    finish(task, std::nullopt, UrlError{UrlError::Kind::platform, std::move(message)});
}

void readNext(Task* task);

void chunkRead(GObject* source, GAsyncResult* result, gpointer data) {
    auto* task = static_cast<Task*>(data);
    GError* error = nullptr;
    GBytes* chunk = g_input_stream_read_bytes_finish(G_INPUT_STREAM(source), result, &error);
    if (!chunk) return fail(task, error);
    gsize size = 0;
    const auto* bytes = static_cast<const char*>(g_bytes_get_data(chunk, &size));
    task->data.append(bytes ? bytes : "", size);
    g_bytes_unref(chunk);
    if (size == 0) return finish(task, std::move(task->data), std::nullopt);
    if (task->data.size() > kMaxDataTaskBytes) {
        // Cancelling drops the connection instead of reading the rest of the body.
        g_cancellable_cancel(task->cancellable);
        return finish(task, std::nullopt, UrlError{UrlError::Kind::tooLarge, {}});
    }
    readNext(task);
}

void readNext(Task* task) {
    g_input_stream_read_bytes_async(task->body, kChunkBytes, G_PRIORITY_DEFAULT, task->cancellable, chunkRead, task);
}

void sent(GObject* source, GAsyncResult* result, gpointer data) {
    auto* task = static_cast<Task*>(data);
    GError* error = nullptr;
    task->body = soup_session_send_finish(SOUP_SESSION(source), result, &error);
    if (!task->body) return fail(task, error);
    readNext(task);
}

// libsoup takes nothing else, and says so with a critical warning.
bool isHttp(GUri* uri) {
    const char* scheme = g_uri_get_scheme(uri);
    const char* host = g_uri_get_host(uri);
    return (g_ascii_strcasecmp(scheme, "http") == 0 || g_ascii_strcasecmp(scheme, "https") == 0) && host && *host;
}

gboolean start(gpointer data) {
    Task* task = static_cast<Pending*>(data)->task.release();
    task->worker->running.insert(task);
    if (GUri* uri = g_uri_parse(task->url.c_str(), static_cast<GUriFlags>(SOUP_HTTP_URI_FLAGS), nullptr)) {
        if (isHttp(uri)) task->message = soup_message_new_from_uri(SOUP_METHOD_GET, uri);
        g_uri_unref(uri);
    }
    if (!task->message) {
        finish(task, std::nullopt, UrlError{UrlError::Kind::invalidAddress, {}});
        return G_SOURCE_REMOVE;
    }
    soup_session_send_async(task->worker->session, task->message, G_PRIORITY_DEFAULT, task->cancellable, sent, task);
    return G_SOURCE_REMOVE;
}

void run(UrlSessionPort::Worker* worker, GMainContext* context, GMainLoop* loop, const std::string& userAgent) {
    g_main_context_push_thread_default(context);
    worker->session = soup_session_new_with_options("timeout", kTimeoutSeconds, "idle-timeout", kIdleConnectionSeconds,
                                                    "user-agent", userAgent.c_str(), nullptr);
    g_main_loop_run(loop);
    // Every request still running ends, cancelled, through its own callbacks.
    for (Task* task : std::vector<Task*>(worker->running.begin(), worker->running.end()))
        g_cancellable_cancel(task->cancellable);
    while (!worker->running.empty()) g_main_context_iteration(context, TRUE);
    g_clear_object(&worker->session);
    while (g_main_context_iteration(context, FALSE)) continue;
    g_main_context_pop_thread_default(context);
}

}  // namespace

UrlSessionPort::UrlSessionPort(const std::string& userAgent)
    : worker_(new Worker), context_(g_main_context_new()), loop_(g_main_loop_new(context_, FALSE)) {
    thread_ = std::thread(run, worker_, context_, loop_, userAgent);
}

UrlSessionPort::~UrlSessionPort() {
    // Quit from inside the loop: a quit that came before the loop ran would be lost.
    g_main_context_invoke(
        context_,
        [](gpointer loop) {
            g_main_loop_quit(static_cast<GMainLoop*>(loop));
            return G_SOURCE_REMOVE;
        },
        loop_);
    thread_.join();
    delete worker_;
    g_main_loop_unref(loop_);
    g_main_context_unref(context_);
}

void UrlSessionPort::dataTaskWithURL(const Url& url, DataTaskCompletion completion) {
    auto* pending = new Pending{std::make_unique<Task>(worker_, url.absoluteString, std::move(completion))};
    g_main_context_invoke_full(context_, G_PRIORITY_DEFAULT, start, pending,
                               [](gpointer data) { delete static_cast<Pending*>(data); });
}

}  // namespace pelko::gtk
