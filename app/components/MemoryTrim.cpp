#include "app/components/MemoryTrim.h"

#if defined(_WIN32)
#include <windows.h>
#elif defined(__GLIBC__)
#include <malloc.h>
#endif

void ReleaseFreedMemory()
{
#if defined(_WIN32)
    HANDLE process = OpenProcess(PROCESS_SET_QUOTA, FALSE, GetCurrentProcessId());
    if (process != nullptr) {
        // (SIZE_T)-1 for both limits asks the system to page out as much as it can.
        SetProcessWorkingSetSize(process, static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
        CloseHandle(process);
    }
#elif defined(__GLIBC__)
    malloc_trim(0);
#endif
}
