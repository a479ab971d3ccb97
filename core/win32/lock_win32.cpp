#include <windows.h>

#include "core/lock.h"

CCriticalSection::CCriticalSection() {
    CRITICAL_SECTION* cs = new CRITICAL_SECTION;
    InitializeCriticalSection(cs);
    section = cs;
}

CCriticalSection::~CCriticalSection() {
    CRITICAL_SECTION* cs = (CRITICAL_SECTION*)section;
    DeleteCriticalSection(cs);
    delete cs;
}

void CCriticalSection::Enter() {
    EnterCriticalSection((CRITICAL_SECTION*)section);
}

void CCriticalSection::Leave() {
    LeaveCriticalSection((CRITICAL_SECTION*)section);
}

bool CCriticalSection::TryEnter() {
    return TryEnterCriticalSection((CRITICAL_SECTION*)section) != 0;
}
