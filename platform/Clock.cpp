#include "Clock.h"

namespace {

std::function<std::time_t()>& TestClock()
{
    static std::function<std::time_t()> clock;
    return clock;
}

} // namespace

std::time_t CurrentTime()
{
    return TestClock() ? TestClock()() : std::time(nullptr);
}

void SetClockForTests(std::function<std::time_t()> clock)
{
    TestClock() = std::move(clock);
}
