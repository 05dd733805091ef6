#include "platform/desktop/Signals.h"

#include <atomic>
#include <csignal>
#include <unistd.h>

namespace {
constexpr int endingSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr unsigned longestWaitSeconds = 1;
constexpr unsigned longestFinishSeconds = 10; // a clip's encoders emptied and its end written

// Lock-free, so that the handlers may use them.
static_assert(std::atomic<int>::is_always_lock_free);
std::atomic<int> pendingSignal{0};
std::atomic<int> filesBeingWritten{0};
std::atomic<int> filesFinishing{0};

// Async-signal-safe: the default action back, then the signal again. Raised inside its own
// handler it waits until the handler returns; elsewhere it ends the program here.
void endBy(int number) {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(number, &action, nullptr);
    raise(number);
}

void onEndingSignal(int number) {
    const bool finishing = filesFinishing.load() != 0;
    if ((filesBeingWritten.load() == 0 && !finishing) || pendingSignal.load() != 0) {
        endBy(number); // nothing half written, or asked twice
        return;
    }
    pendingSignal.store(number);
    // A write that hangs does not hold the end back.
    alarm(finishing ? longestFinishSeconds : longestWaitSeconds);
}

// When the last file in the making goes, a signal that waited takes effect.
void endIfDone() {
    if (filesBeingWritten.load() == 0 && filesFinishing.load() == 0 && pendingSignal.load() != 0)
        endBy(pendingSignal.load());
}

void onAlarm(int) {
    const int number = pendingSignal.load();
    if (number != 0)
        endBy(number);
}

void handle(int number, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(number, &action, nullptr);
}
} // namespace

void catchEndingSignals() {
    for (const int number : endingSignals) {
        struct sigaction current {};
        sigaction(number, nullptr, &current);
        if (current.sa_handler != SIG_IGN)
            handle(number, onEndingSignal);
    }
    handle(SIGALRM, onAlarm);
}

WritingFile::WritingFile() {
    filesBeingWritten.fetch_add(1);
}

WritingFile::~WritingFile() {
    // A signal that comes after this finds nothing being written and ends the program itself.
    filesBeingWritten.fetch_sub(1);
    endIfDone();
}

FinishingFile::FinishingFile() {
    filesFinishing.fetch_add(1);
}

FinishingFile::~FinishingFile() {
    filesFinishing.fetch_sub(1);
    endIfDone();
}

int endingSignal() {
    return pendingSignal.load();
}
