#pragma once

#include "core/date.h"

namespace infotrakon {

// Today's local date, without a time of day.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual Date Today() const = 0;
};

class SystemClock final : public Clock {
  public:
    Date Today() const override;
};

// A clock that always tells the same day; tests and the --today option pin it.
class FixedClock final : public Clock {
  public:
    explicit FixedClock(Date today) : today_(today.WholeDay()) {}
    Date Today() const override { return today_; }

  private:
    Date today_;
};

}  // namespace infotrakon
