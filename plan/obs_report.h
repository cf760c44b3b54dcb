// The plan report of the observation experiments, printed on the inner
// picture of the heliocentric picture (0..20 across, 0..120 up): each item at
// (x, 120 − r); a line break inside a text continues at the left edge, so the
// continuation is an item of its own at x = 0.
#pragma once

#include <string>
#include <vector>

#include "plan/obs_planfile.h"

namespace torvik {

struct ReportItem {
  double x = 0, y = 0;
  std::string text;
};

// ShowPlanReport. `title` is the first line of the plan loaded last (empty
// after the plan was created anew); the Earth's elements are those of `s`
// (degrees, radians per 100 years), the velocity in m/s.
std::vector<ReportItem> ObsPlanReport(const ObsPlanState& s, const std::string& title, double MK = 1000000.0);

}  // namespace torvik
