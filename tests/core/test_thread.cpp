#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "core/error.h"
#include "core/lock.h"
#include "core/thread.h"

namespace {

void ReturnAtOnce(CThread*, void* argument) {
    ((std::atomic<int>*)argument)->fetch_add(1);
}

void RunUntilStopped(CThread* thread, void* argument) {
    std::atomic<int>* rounds = (std::atomic<int>*)argument;
    while (!thread->StopRequested()) {
        rounds->fetch_add(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void IgnoreStopFor80ms(CThread*, void* argument) {
    std::this_thread::sleep_for(std::chrono::milliseconds(80));
    ((std::atomic<int>*)argument)->store(1);
}

struct Shared {
    CCriticalSection section;
    int counter = 0;
};

void CountUnderLock(CThread*, void* argument) {
    Shared* shared = (Shared*)argument;
    for (int i = 0; i < 10000; i++) {
        CAutoLock outer(&shared->section);
        CAutoLock inner(&shared->section);  // the owner may enter again
        shared->counter++;
    }
}

}  // namespace

TEST(Thread, FinishedFunctionEndsAtOnce) {
    std::atomic<int> calls(0);
    CThread* t = new CThread(ReturnAtOnce, "quick", &calls);
    EXPECT_TRUE(t->IsValid());
    EXPECT_EQ(t->GetName(), "quick");
    while (!t->IsFinished()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    delete t;
    EXPECT_EQ(calls.load(), 1);
}

TEST(Thread, DestructorStopsAPollingWorker) {
    std::atomic<int> rounds(0);
    CThread* t = new CThread(RunUntilStopped, "poller", &rounds);
    t->SetPriority(ThreadPriorityAboveNormal);
    t->Suspend();
    t->Resume();
    while (rounds.load() < 3) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    delete t;
    int after = rounds.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(rounds.load(), after);
}

TEST(Thread, DestructorWaitsForASlowWorker) {
    std::atomic<int> done(0);
    int reports = ErrorReportCount();
    CThread* t = new CThread(IgnoreStopFor80ms, "slow", &done);
    delete t;
    EXPECT_EQ(done.load(), 1);
    EXPECT_EQ(ErrorReportCount(), reports);
}

TEST(Lock, ReentrantAndExclusive) {
    Shared shared;
    {
        CThread a(CountUnderLock, "a", &shared);
        CThread b(CountUnderLock, "b", &shared);
    }
    EXPECT_EQ(shared.counter, 20000);

    CCriticalSection section;
    section.Enter();
    EXPECT_TRUE(section.TryEnter());  // same thread
    section.Leave();
    bool otherGotIt = true;
    std::thread other([&]() { otherGotIt = section.TryEnter(); });
    other.join();
    EXPECT_FALSE(otherGotIt);
    section.Leave();
    std::thread again([&]() {
        otherGotIt = section.TryEnter();
        if (otherGotIt) {
            section.Leave();
        }
    });
    again.join();
    EXPECT_TRUE(otherGotIt);
}
