#include "core/thread.h"

#include "core/error.h"

CThread::CThread(ThreadFunction function, const std::string& threadName, void* argument)
    : handle(nullptr), stopFlag(false), finished(false), name(threadName) {
    ThreadStart* start = new ThreadStart;
    start->thread = this;
    start->function = function;
    start->argument = argument;
    void* h = PlatformStartThread(start);
    if (!h) {
        delete start;
        ReportError("Error", "CThread::CThread()-Unable to create thread " + name);
        return;
    }
    handle.store(h);
}

CThread::~CThread() {
    void* h = handle.load();
    if (!h) {
        return;
    }
    int rounds = 0;
    for (;;) {
        stopFlag.store(true);
        PlatformResumeThread(h);
        if (PlatformWaitThread(h, 25)) {
            break;
        }
        if (++rounds == 600) {
            ReportError("Error", "CThread::~CThread()-Thread " + name + " does not stop");
        }
    }
    PlatformCloseThread(h);
    handle.store(nullptr);
}

void CThread::SetPriority(int priority) {
    void* h = handle.load();
    if (h) {
        PlatformSetThreadPriority(h, priority);
    }
}

void CThread::Resume() {
    void* h = handle.load();
    if (h) {
        PlatformResumeThread(h);
    }
}

void CThread::Suspend() {
    void* h = handle.load();
    if (h) {
        PlatformSuspendThread(h);
    }
}

void ThreadStartRoutine(ThreadStart* start) {
    CThread* thread = start->thread;
    start->function(thread, start->argument);
    delete start;
    thread->finished.store(true);
}
