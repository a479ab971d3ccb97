#include <mutex>

#include "core/lock.h"

CCriticalSection::CCriticalSection() : section(new std::recursive_mutex) {
}

CCriticalSection::~CCriticalSection() {
    delete (std::recursive_mutex*)section;
}

void CCriticalSection::Enter() {
    ((std::recursive_mutex*)section)->lock();
}

void CCriticalSection::Leave() {
    ((std::recursive_mutex*)section)->unlock();
}

bool CCriticalSection::TryEnter() {
    return ((std::recursive_mutex*)section)->try_lock();
}
