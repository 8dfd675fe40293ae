#include "core/guarded.h"

#include <new>
#include <string>

namespace infotrakon {
namespace {

// Made when the library loads: without memory, no message could be made any more. Copying
// an Error allocates nothing.
const Error kOutOfMemoryError(error_number::kOutOfMemory, "Out of memory");
const Error kUnknownError(error_number::kInternalError,
                          "Internal error: an exception of an unknown kind");

Error Unexpected(const char* what) noexcept {
    try {
        return Error(error_number::kInternalError, std::string("Internal error: ") + what);
    } catch (...) {
        return kOutOfMemoryError;
    }
}

}  // namespace

std::optional<Error> Guarded(const std::function<void()>& action) noexcept {
    try {
        action();
        return std::nullopt;
    } catch (const Error& error) {
        return error;
    } catch (const std::bad_alloc&) {
        return kOutOfMemoryError;
    } catch (const std::exception& error) {
        return Unexpected(error.what());
    } catch (...) {
        return kUnknownError;
    }
}

}  // namespace infotrakon
