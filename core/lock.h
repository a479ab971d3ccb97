#ifndef CORE_LOCK_H
#define CORE_LOCK_H

// A critical section that its owning thread may enter again; it counts entries.
class CCriticalSection {
public:
    CCriticalSection();
    ~CCriticalSection();

    void Enter();
    void Leave();
    bool TryEnter();

private:
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    void* section;  // CRITICAL_SECTION on Windows, a recursive mutex natively
};

// Enters the section for the lifetime of the object.
class CAutoLock {
public:
    explicit CAutoLock(CCriticalSection* section) : section(section) { section->Enter(); }
    ~CAutoLock() { section->Leave(); }

private:
    CAutoLock(const CAutoLock&) = delete;
    CAutoLock& operator=(const CAutoLock&) = delete;

    CCriticalSection* section;
};

#endif
