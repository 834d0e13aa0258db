// Small helpers shared by the benchmarks.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

inline double NowMs() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return 1000.0 * static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

inline double TimeMs(const std::function<void()>& f) {
  const double start = NowMs();
  f();
  return NowMs() - start;
}

inline double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

inline double ProcessCpuMs() {
  FILETIME c, e, k, u;
  GetProcessTimes(GetCurrentProcess(), &c, &e, &k, &u);
  auto ms = [](FILETIME t) {
    return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 1e4;
  };
  return ms(k) + ms(u);
}

// One line per figure: what, the figure, the target, the baseline beside it.
inline void Report(const char* what, double figure, const char* unit, const char* target, double baseline,
                   const char* baselineWhat) {
  std::printf("%-44s %10.1f %-3s target %-10s baseline %10.1f %-3s (%s)%s\n", what, figure, unit, target,
              baseline, unit, baselineWhat, baseline > 0 ? "" : "");
  if (baseline > 0 && figure > 0) std::printf("%-44s ratio baseline/figure %.1fx\n", "", baseline / figure);
  std::fflush(stdout);
}
