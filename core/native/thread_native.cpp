#include <chrono>
#include <future>
#include <system_error>
#include <thread>

#include "core/thread.h"

// std::thread cannot be created suspended nor suspended later: the thread runs
// at once, and Suspend, Resume and the priority do nothing here.
namespace {

struct NativeThread {
    std::promise<void> done;
    std::future<void> ended;
    std::thread thread;
};

}  // namespace

void* PlatformStartThread(ThreadStart* start) {
    NativeThread* t = new NativeThread;
    t->ended = t->done.get_future();
    try {
        t->thread = std::thread([t, start]() {
            ThreadStartRoutine(start);
            t->done.set_value();
        });
    } catch (const std::system_error&) {
        delete t;
        return nullptr;
    }
    return t;
}

void PlatformResumeThread(void*) {
}

void PlatformSuspendThread(void*) {
}

void PlatformSetThreadPriority(void*, int) {
}

bool PlatformWaitThread(void* handle, unsigned milliseconds) {
    NativeThread* t = (NativeThread*)handle;
    return t->ended.wait_for(std::chrono::milliseconds(milliseconds)) == std::future_status::ready;
}

void PlatformCloseThread(void* handle) {
    NativeThread* t = (NativeThread*)handle;
    t->thread.join();
    delete t;
}
