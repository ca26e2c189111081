// One way to run a modal loop on the test's thread (a tracked menu, a dialog,
// a press) while a second thread plays the user.
#pragma once
#include <functional>
#include <string>

namespace qtest {

// What one driven run reported, and what the host saw meanwhile.
struct ModalOutcome {
    static const int kNone = -12345;
    // What the run returned, and the second result it hands back (a tracked
    // menu's context command), kNone when it gives none.
    int result = kNone;
    int contextCommand = kNone;
    // The run did not end by itself: a watchdog closed what it had open (at
    // once when a step failed), and the test has failed.
    bool rescued = false;
    // The run ended by throwing a C++ exception (a failure of the test too).
    bool threw = false;
    // Key and wheel messages the host window's procedure received while a
    // menu window was shown; -1 without a host window.
    int hostKeyMessages = -1;
    int hostWheelMessages = -1;
};

// Runs `run` on this thread while `steps` run on a second thread, and returns
// what it reported. With a host window, the host first takes the foreground
// and the focus (the test fails at once when it cannot) and its counts start
// at zero. The steps are expected to end the run: when one of them fails, a
// watchdog closes every menu, dialog and message box of this process at once,
// so the test ends instead of hanging; once they are done without a failure,
// the run has kWatchdogMs to end before the watchdog closes it and the test
// fails with `what`. No time limit applies to the steps themselves. Leaves
// this thread's message queue as the run left it.
ModalOutcome DriveModal(const std::function<int(int* contextCommand)>& run,
                        const std::function<void()>& steps, const std::string& what);
ModalOutcome DriveModal(const std::function<int()>& run, const std::function<void()>& steps,
                        const std::string& what);

// For the steps: whether the run has returned (a run that shows nothing
// returns without any step's help).
bool ModalRunReturned();

} // namespace qtest
