// Fuzz binaries of the lambda reader only: sleeping returns at once, so the reader's 1 ms
// receive polls cost no wall time. The call order the reader sees is unchanged.
#include <sched.h>
#include <time.h>

extern "C" int nanosleep(const struct timespec*, struct timespec* rem) {
    if (rem)
        rem->tv_sec = rem->tv_nsec = 0;
    sched_yield();
    return 0;
}

extern "C" int clock_nanosleep(clockid_t, int, const struct timespec*, struct timespec* rem) {
    if (rem)
        rem->tv_sec = rem->tv_nsec = 0;
    sched_yield();
    return 0;
}
