// Waiting for a frame's deadline precisely. A plain sleep wakes on the system's timer tick:
// on Windows that is 15.6 ms unless the process asks for a finer one (since Windows 10 2004
// one process's request no longer serves the others), and MinGW's sleep_until rounds to
// whole milliseconds, waking up to one early; a 60 Hz frame would land on 64 Hz ticks, a
// tick late every few frames. So the coarse sleep here ends a margin before the deadline,
// the margin being that sleep's own error, and the rest is spent reading the clock (the
// steady clock is QueryPerformanceCounter under MinGW). That last stretch spins rather than
// yields: on a busy machine a yield hands the processor to another program for its whole
// time slice, several milliseconds, where the spin costs at most the margin once a frame.
#include "platform/shared/pacing_wait.h"

#include <thread>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <timeapi.h>
#endif

namespace {

using std::chrono::microseconds;

#ifdef _WIN32
// Older MinGW headers lack it; Windows 10 1803 and later know it.
constexpr DWORD kCreateWaitableTimerHighResolution = 0x2;
constexpr UINT kTimerPeriodMs = 1;

// The coarse sleep on Windows: a high-resolution waitable timer where the system has one,
// which wakes within about half a millisecond whatever the timer tick; elsewhere Sleep with
// the timer tick raised to 1 ms for as long as the process lives.
class CoarseSleep {
public:
    CoarseSleep()
        : timer(CreateWaitableTimerExW(nullptr, nullptr, kCreateWaitableTimerHighResolution, TIMER_ALL_ACCESS)) {
        if (!timer) periodRaised = timeBeginPeriod(kTimerPeriodMs) == TIMERR_NOERROR;
    }
    ~CoarseSleep() {
        if (timer) CloseHandle(timer);
        if (periodRaised) timeEndPeriod(kTimerPeriodMs);
    }
    CoarseSleep(const CoarseSleep&) = delete;
    CoarseSleep& operator=(const CoarseSleep&) = delete;

    // How early before a deadline the sleep must end to never overshoot it.
    PacingClock::duration Margin() const { return timer ? microseconds(1000) : microseconds(2000); }
    const char* Name() const {
        return timer ? "high-resolution waitable timer" : periodRaised ? "Sleep at 1 ms timer resolution" : "Sleep";
    }
    // Sleeps for about span (whole milliseconds, rounded down, without the timer).
    void Sleep(PacingClock::duration span) {
        const auto hundredNs = std::chrono::duration_cast<std::chrono::duration<long long, std::ratio<1, 10000000>>>(span);
        LARGE_INTEGER due;
        due.QuadPart = -hundredNs.count();  // negative: relative to now
        if (timer && SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE)) {
            WaitForSingleObject(timer, INFINITE);
            return;
        }
        ::Sleep(DWORD(std::chrono::duration_cast<std::chrono::milliseconds>(span).count()));
    }

private:
    HANDLE timer;
    bool periodRaised = false;
};
#else
// Elsewhere the C++ sleep wakes within about a tenth of a millisecond of its deadline.
class CoarseSleep {
public:
    PacingClock::duration Margin() const { return microseconds(500); }
    const char* Name() const { return "std::this_thread::sleep_for"; }
    void Sleep(PacingClock::duration span) { std::this_thread::sleep_for(span); }
};
#endif

CoarseSleep& Coarse() {
    static CoarseSleep sleep;
    return sleep;
}

}  // namespace

void WaitUntil(PacingClock::time_point deadline) {
    CoarseSleep& coarse = Coarse();
    const PacingClock::duration span = deadline - PacingClock::now() - coarse.Margin();
    if (span > PacingClock::duration::zero()) coarse.Sleep(span);
    while (PacingClock::now() < deadline) {
    }
}

const char* CoarseSleepName() { return Coarse().Name(); }
