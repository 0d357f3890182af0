#import <Foundation/Foundation.h>
#include <dispatch/dispatch.h>

#include <signal.h>
#include <unistd.h>

#include "mac/system/CocoaValues.h"
#include "mac/system/ProcessesPort.h"

namespace pelko::mac {

namespace {

// Started, or nil when it could not be. A path or an argument that is not
// UTF-8 has no NSString form: such a program is not started at all rather
// than with a changed argument. `onExit`, when given, runs on a queue of
// the system's once the program has exited.
NSTask* _Nullable launchedTask(const std::string& executable, const std::vector<std::string>& arguments,
                               void (^_Nullable onExit)(NSTask*) = nil) {
    NSString* path = stringFromUTF8(executable);
    if (!path) return nil;
    NSMutableArray<NSString*>* list = [NSMutableArray arrayWithCapacity:arguments.size()];
    for (const std::string& argument : arguments) {
        NSString* text = stringFromUTF8(argument);
        if (!text) return nil;
        [list addObject:text];
    }
    NSTask* task = [[NSTask alloc] init];
    task.executableURL = [NSURL fileURLWithPath:path];
    task.arguments = list;
    task.terminationHandler = onExit;
    // A program that cannot start is an error here, not an exception.
    if (![task launchAndReturnError:nil]) return nil;
    return task;
}

}  // namespace

bool ProcessesPort::isExecutableFileAtPath(const std::string& path) const {
    NSString* text = stringFromUTF8(path);
    return text && [[NSFileManager defaultManager] isExecutableFileAtPath:text];
}

std::optional<int> ProcessesPort::runAndWait(const std::string& executable, const std::vector<std::string>& arguments,
                                             std::chrono::milliseconds timeout) {
    // A true block: waitUntilExit would run the main run loop meanwhile, and
    // a page message or a timer handled in there would re-enter the caller.
    dispatch_semaphore_t exited = dispatch_semaphore_create(0);
    NSTask* task = launchedTask(executable, arguments, ^(NSTask*) {
      dispatch_semaphore_signal(exited);
    });
    if (!task) return std::nullopt;
    const auto nanoseconds = static_cast<int64_t>(timeout.count()) * static_cast<int64_t>(NSEC_PER_MSEC);
    if (dispatch_semaphore_wait(exited, dispatch_time(DISPATCH_TIME_NOW, nanoseconds)) != 0) {
        // Still running: ended, and waited for until the system has reaped
        // it, so that nothing of it outlives this call.
        kill(task.processIdentifier, SIGKILL);
        dispatch_semaphore_wait(exited, DISPATCH_TIME_FOREVER);
        return std::nullopt;
    }
    return task.terminationStatus;
}

bool ProcessesPort::launch(const std::string& executable, const std::vector<std::string>& arguments) {
    // Letting go of the task does not stop the program, which may outlive
    // this process.
    return launchedTask(executable, arguments) != nil;
}

unsigned ProcessesPort::realUserId() const { return getuid(); }

}  // namespace pelko::mac
