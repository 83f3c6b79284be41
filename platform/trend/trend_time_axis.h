// The time axis of a trend picture: a round step for the window (seconds, minutes, hours or
// days), marks on the round times of the local clock inside the window, and their labels,
// with the date under the first label and wherever a new day begins.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/trend/trend_history.h"

namespace quillet::trend {

// One time mark: seconds after the window start, the time text and the date text (empty
// where the date is the same as at the mark before).
struct time_mark {
  double offset = 0;
  std::string time;
  std::string date;
};

// The steps offered, in seconds, from one second to ninety days: 1, 2, 5, 10, 15 and 30
// seconds and minutes, 1, 2, 3, 6 and 12 hours, 1, 2, 5, 10, 15, 30 and 90 days.
const std::vector<std::int32_t>& round_time_steps();

// The smallest round step that gives at most `divisions` steps over the span; the largest
// step when none does.
std::int32_t time_step_for(double span, int divisions);

// Whether the window's start and end fall on different local days, so that labels need dates.
bool window_crosses_midnight(const trend_window& window);

// The marks of a window at the step: every local time inside the window that is a whole
// multiple of the step (steps of days fall on local midnight). Labels follow `tunits`
// when it is 0 to 3 (seconds, minutes, hours, days) and the step otherwise; dates are
// written when the window crosses a midnight or the step is a day or more.
std::vector<time_mark> time_marks(const trend_window& window, std::int32_t step, std::int16_t tunits);

}  // namespace quillet::trend
