#pragma once

#include <functional>
#include <optional>

#include "core/error.h"

namespace infotrakon {

// The one error policy of every boundary where the panel meets its host: a COM method, a
// window procedure, the C interface, the Qt view and widget, a program's main. Runs `action`
// and gives what it raised as an Error: the panel's own Error unchanged, an exhausted memory
// as error 7, anything else as error 51 with what is known of it. Nothing escapes, so each
// boundary only turns the Error into its own form (an HRESULT, a return code, a signal).
std::optional<Error> Guarded(const std::function<void()>& action) noexcept;

}  // namespace infotrakon
