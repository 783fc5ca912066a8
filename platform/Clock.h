#pragma once

#include <ctime>
#include <functional>

// The current time, as libc's time() gives it; tests may set the clock.
std::time_t CurrentTime();
void SetClockForTests(std::function<std::time_t()> clock);
