#ifndef CORE_THREAD_H
#define CORE_THREAD_H

#include <atomic>
#include <string>

struct ThreadStart;

// Values of SetThreadPriority's priority argument.
enum {
    ThreadPriorityNormal = 0,
    ThreadPriorityAboveNormal = 1,
    ThreadPriorityHighest = 2
};

// A named worker thread. The thread function polls StopRequested() and returns
// when it is set. The destroying thread owns the handle: it asks the worker to
// stop, waits for it in 25 ms slices and only then closes the handle.
class CThread {
public:
    typedef void (*ThreadFunction)(CThread* thread, void* argument);

    CThread(ThreadFunction function, const std::string& name, void* argument);
    virtual ~CThread();

    bool StopRequested() const { return stopFlag.load(); }
    bool IsFinished() const { return finished.load(); }
    bool IsValid() const { return handle.load() != nullptr; }
    const std::string& GetName() const { return name; }

    void SetPriority(int priority);
    void Resume();
    void Suspend();

private:
    CThread(const CThread&) = delete;
    CThread& operator=(const CThread&) = delete;

    friend void ThreadStartRoutine(ThreadStart* start);

    std::atomic<void*> handle;
    std::atomic<bool> stopFlag;
    std::atomic<bool> finished;
    std::string name;
};

// What a new thread needs; freed by the thread when its function returns.
struct ThreadStart {
    CThread* thread;
    CThread::ThreadFunction function;
    void* argument;
};

void ThreadStartRoutine(ThreadStart* start);

// Platform bodies (core/win32, core/native). The handle is opaque here.
void* PlatformStartThread(ThreadStart* start);
void PlatformResumeThread(void* handle);
void PlatformSuspendThread(void* handle);
void PlatformSetThreadPriority(void* handle, int priority);
bool PlatformWaitThread(void* handle, unsigned milliseconds);  // true once ended
void PlatformCloseThread(void* handle);

#endif
