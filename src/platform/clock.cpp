#include "platform/clock.h"

#include <algorithm>
#include <chrono>
#include <ctime>

namespace tarn {

DateTime SystemClock::Now() const {
  const auto now = std::chrono::system_clock::now();
  const std::time_t t = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &t);
#else
  localtime_r(&t, &local);
#endif
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()) % 1000;
  return DateTime::FromFields(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                              local.tm_min, std::min(local.tm_sec, 59),
                              static_cast<int>(ms.count()))
      .value_or(DateTime());
}

}  // namespace tarn
