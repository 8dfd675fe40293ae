#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace infotrakon {

struct CivilDate {
    int year = 0;
    int month = 0;  // 1..12
    int day = 0;    // 1..31
    friend bool operator==(const CivilDate&, const CivilDate&) = default;
};

// A calendar date, with or without a time of day, held as a day number counted from
// 30 December 1899 (the epoch of OLE automation dates) and seconds since midnight.
class Date {
  public:
    Date() = default;
    static Date FromCivil(int year, int month, int day);
    static Date FromCivil(int year, int month, int day, int hour, int minute, int second);
    static Date FromDayNumber(std::int64_t dayNumber);
    // A day number and seconds since midnight (0..86399) as dayNumber() and secondsOfDay() give.
    static Date FromDayNumber(std::int64_t dayNumber, int secondsOfDay);
    // An OLE automation date: whole days from the epoch, the fraction the time of day
    // (for days before the epoch the fraction still counts forwards from midnight).
    static Date FromOle(double oleDate);
    // Parses "YYYY-MM-DD" or "YYYY-MM-DDTHH:MM:SS"; nullopt if it is not such a date.
    static std::optional<Date> FromIso(const std::string& text);
    static bool IsValidCivil(int year, int month, int day);

    std::int64_t dayNumber() const { return dayNumber_; }
    bool hasTime() const { return hasTime_; }
    int secondsOfDay() const { return secondsOfDay_; }
    CivilDate civil() const;
    int year() const { return civil().year; }
    double ToOle() const;
    Date WholeDay() const { return FromDayNumber(dayNumber_); }
    Date AddDays(std::int64_t days) const;
    std::string ToIso() const;

    friend bool operator==(const Date& a, const Date& b) {
        return a.dayNumber_ == b.dayNumber_ && a.secondsOfDay_ == b.secondsOfDay_;
    }
    friend auto operator<=>(const Date& a, const Date& b) {
        if (a.dayNumber_ != b.dayNumber_) return a.dayNumber_ <=> b.dayNumber_;
        return a.secondsOfDay_ <=> b.secondsOfDay_;
    }

  private:
    std::int64_t dayNumber_ = 0;
    int secondsOfDay_ = 0;
    bool hasTime_ = false;
};

}  // namespace infotrakon
