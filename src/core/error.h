#pragma once

#include <stdexcept>
#include <string>

namespace infotrakon {

// The numbers the system's errors carry. Hosts tell errors apart by number, so each is the
// number that the host's language runtime, ADO or Jet gives the same failure; later modules
// add their own.
namespace error_number {
inline constexpr int kOverflow = 6;
inline constexpr int kOutOfMemory = 7;
inline constexpr int kSubscriptOutOfRange = 9;
inline constexpr int kTypeMismatch = 13;
inline constexpr int kFileNotFound = 53;
inline constexpr int kPathFileAccess = 75;
inline constexpr int kInvalidUseOfNull = 94;
inline constexpr int kInvalidProcedureCall = 5;
inline constexpr int kInvalidPropertyValue = 380;
inline constexpr int kObjectNotSet = 91;
inline constexpr int kInternalError = 51;
inline constexpr int kObjectClosed = 3704;
// What ADO reports for a provider's own failure, and for a command that ran out of time.
inline constexpr int kProviderError = -2147467259;
inline constexpr int kTimeout = -2147217871;
inline constexpr int kItemNotFound = 3265;
inline constexpr int kNoCurrentRecord = 3021;
inline constexpr int kProviderNotSupported = 3706;
inline constexpr int kDatabaseFormat = 3343;
inline constexpr int kUnsupportedRecordSource = 3001;
inline constexpr int kInvalidFilter = 3001;
inline constexpr int kConnectionKeyNotAllowed = 3001;
inline constexpr int kCannotOpenDatabase = 3051;
inline constexpr int kCouldNotFindFile = 3024;
inline constexpr int kInvalidPassword = 3031;
inline constexpr int kNoSuchTable = 3078;
}  // namespace error_number

// Every error the system raises: a number and a message saying what went wrong where.
class Error : public std::runtime_error {
  public:
    Error(int number, const std::string& message) : std::runtime_error(message), number_(number) {}
    int number() const noexcept { return number_; }

  private:
    int number_;
};

}  // namespace infotrakon
