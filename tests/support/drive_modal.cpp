#include "tests/support/drive_modal.h"
#include <gtest/gtest.h>
#include <atomic>
#include "tests/support/test_support.h"

namespace qtest {

namespace {
std::atomic<bool> g_runReturned(false);
} // namespace

bool ModalRunReturned() {
    return g_runReturned;
}

ModalOutcome DriveModal(const std::function<int(int* contextCommand)>& run,
                        const std::function<void()>& steps, const std::string& what) {
    ModalOutcome outcome;
    HostWindow* host = HostWindow::Current();
    if (host) {
        if (!host->TakeForegroundAndFocus()) return outcome;
        host->ResetCounts();
    }
    g_runReturned = false;
    Watchdog watchdog(what, kWatchdogMs, false);
    const int failures = FailureCount();
    InputThread input([&] {
        steps();
        // A failed step leaves the menus or dialogs as they are: close them now.
        if (FailureCount() > failures)
            watchdog.Fire();
        else
            watchdog.Arm();
    });
    try {
        outcome.result = run(&outcome.contextCommand);
    } catch (...) {
        outcome.threw = true;
        ADD_FAILURE() << what << " ended by throwing an exception";
    }
    g_runReturned = true;
    if (host) {
        outcome.hostKeyMessages = host->KeyMessagesWhileMenuShown();
        outcome.hostWheelMessages = host->WheelMessagesWhileMenuShown();
    }
    watchdog.Disarm();
    input.Join();
    outcome.rescued = watchdog.Fired();
    ReleaseAllButtons();
    return outcome;
}

ModalOutcome DriveModal(const std::function<int()>& run, const std::function<void()>& steps,
                        const std::string& what) {
    return DriveModal([&](int*) { return run(); }, steps, what);
}

} // namespace qtest
