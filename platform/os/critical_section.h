#pragma once

// Recursive critical sections and their scoped guard.
//
// CRITICAL_SECTION with Initialize/Enter/Leave/Delete for code written in
// that style; CCriticalSection (Lock/Unlock) and CriticalSectionGuard (RAII) for
// the class-based style. All are recursive: the owning thread may enter again
// and must leave as many times.

#include <mutex>

#include "platform/files/win_types.h"

namespace win {

struct CRITICAL_SECTION {
    std::recursive_mutex mutex;
};

void InitializeCriticalSection(CRITICAL_SECTION* section);
void DeleteCriticalSection(CRITICAL_SECTION* section);
void EnterCriticalSection(CRITICAL_SECTION* section);
void LeaveCriticalSection(CRITICAL_SECTION* section);
BOOL TryEnterCriticalSection(CRITICAL_SECTION* section);

class CCriticalSection {
public:
    CCriticalSection() = default;
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    void Lock() { mutex_.lock(); }
    void Unlock() { mutex_.unlock(); }
    bool TryLock() { return mutex_.try_lock(); }

    // BasicLockable, so std::lock_guard and std::unique_lock work too.
    void lock() { Lock(); }
    void unlock() { Unlock(); }
    bool try_lock() { return TryLock(); }

private:
    std::recursive_mutex mutex_;
};

// Holds a critical section for its scope.
class CriticalSectionGuard {
public:
    explicit CriticalSectionGuard(CCriticalSection& section) : section_(&section), raw_(nullptr) { section_->Lock(); }
    explicit CriticalSectionGuard(CRITICAL_SECTION* section) : section_(nullptr), raw_(section) {
        EnterCriticalSection(raw_);
    }
    ~CriticalSectionGuard() {
        if (section_ != nullptr) {
            section_->Unlock();
        } else {
            LeaveCriticalSection(raw_);
        }
    }
    CriticalSectionGuard(const CriticalSectionGuard&) = delete;
    CriticalSectionGuard& operator=(const CriticalSectionGuard&) = delete;

private:
    CCriticalSection* section_;
    CRITICAL_SECTION* raw_;
};

}  // namespace win
