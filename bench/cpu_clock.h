// CPU time for the benchmarks that report it beside wall time: the process's
// or the calling thread's, in milliseconds.
#pragma once
#include <time.h>

inline double CpuMs(clockid_t clock = CLOCK_PROCESS_CPUTIME_ID) {
  timespec t{};
  clock_gettime(clock, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}
