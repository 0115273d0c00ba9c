#include "platform/processors.h"

#include <windows.h>

namespace platform {

int processorCount() {
  DWORD_PTR process = 0;
  DWORD_PTR system = 0;
  if (GetProcessAffinityMask(GetCurrentProcess(), &process, &system) && process != 0) {
    int count = 0;
    for (; process != 0; process &= process - 1) ++count;
    return count;
  }
  const DWORD all = GetActiveProcessorCount(ALL_PROCESSOR_GROUPS);
  return all > 0 ? static_cast<int>(all) : 1;
}

}  // namespace platform
