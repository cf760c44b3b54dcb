// The APC library: error of the Chebyshev fit against the theory itself, and
// the cost of a century of hourly positions (the steps of an APC run).
// Usage: planety_bench
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>

#include "planpos/planety.h"

int main() {
  using torvik::planety;
  std::mt19937_64 rng(5);
  std::uniform_real_distribution<double> day(2415020.0, 2488070.0);  // 1900–2100
  std::printf("body  max fit error (arcsec, km)\n");
  for (int k = 1; k <= 9; ++k) {
    double worstA = 0.0, worstR = 0.0;
    for (int i = 0; i < 3000; ++i) {
      double jd = day(rng), a[3], b[3];
      planety(k, jd, a);
      torvik::PlanetyDirect(k, jd, b);
      double dl = std::remainder(a[0] - b[0], 360.0) * std::cos(b[1] * M_PI / 180.0);
      worstA = std::fmax(worstA, std::hypot(dl, a[1] - b[1]) * 3600.0);
      worstR = std::fmax(worstR, std::fabs(a[2] - b[2]));
    }
    std::printf("%4d  %.6f  %.4f\n", k, worstA, worstR);
  }
  for (int k : {1, 3, 5}) {
    auto t0 = std::chrono::steady_clock::now();
    double out[3], sum = 0.0;
    const double start = 2451545.0, end = start + 36525.0;
    long n = 0;
    for (double jd = start; jd < end; jd += 1.0 / 24.0, ++n) {
      planety(k, jd, out);
      sum += out[0];
    }
    double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    std::printf("body %d: %ld hourly positions over a century in %.2f s (%g)\n", k, n, s, sum * 0.0);
  }
  return 0;
}
