#include "platform/os/critical_section.h"

namespace win {

// The mutex lives in the structure itself and is ready on construction;
// Initialize and Delete exist for code written against the C-style calls.
void InitializeCriticalSection(CRITICAL_SECTION*) {}
void DeleteCriticalSection(CRITICAL_SECTION*) {}

void EnterCriticalSection(CRITICAL_SECTION* section) { section->mutex.lock(); }
void LeaveCriticalSection(CRITICAL_SECTION* section) { section->mutex.unlock(); }
BOOL TryEnterCriticalSection(CRITICAL_SECTION* section) { return section->mutex.try_lock() ? TRUE : FALSE; }

}  // namespace win
