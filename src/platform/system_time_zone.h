#pragma once

namespace tarn {

class SystemTimeZone {
 public:
  virtual ~SystemTimeZone() = default;
  // Minutes to add to local standard time to get UTC (UTC+05:30 gives -330); daylight saving is
  // left out.
  virtual int StandardBiasMinutes() const = 0;
};

// The time zone the operating system is set to. Elsewhere than on Windows the C library's zone
// (TZ or the system setting) is asked for its offsets in January and July of the current year;
// the smaller one is standard time, whichever hemisphere has its summer in which month.
class OsTimeZone : public SystemTimeZone {
 public:
  int StandardBiasMinutes() const override;
};

}  // namespace tarn
