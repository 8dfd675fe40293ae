#include <windows.h>

#include "core/clock.h"

namespace infotrakon {

Date SystemClock::Today() const {
    SYSTEMTIME local{};
    GetLocalTime(&local);
    return Date::FromCivil(local.wYear, local.wMonth, local.wDay);
}

}  // namespace infotrakon
