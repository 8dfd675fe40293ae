// Helpers that many test suites share.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>

#include "core/error.h"
#include "core/text_encoding.h"
#include "core/text_form.h"
#include "core/variant.h"

namespace infotrakon {

// How gtest shows a Variant in a failed expectation: its kind and its value.
inline void PrintTo(const Variant& value, std::ostream* out) {
    *out << value.kindName();
    std::visit(
        [&](const auto& v) {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::string>) {
                *out << " \"" << v << '"';
            } else if constexpr (std::is_same_v<T, std::int64_t> || std::is_same_v<T, bool>) {
                *out << ' ' << v;
            } else if constexpr (std::is_same_v<T, double>) {
                char text[32];
                std::snprintf(text, sizeof text, "%.17g", v);
                *out << ' ' << text;
            } else if constexpr (std::is_same_v<T, Single>) {
                char text[32];
                std::snprintf(text, sizeof text, "%.9g", static_cast<double>(v.value));
                *out << ' ' << text;
            } else if constexpr (std::is_same_v<T, Date>) {
                *out << ' ' << v.ToIso();
            } else if constexpr (std::is_same_v<T, Currency>) {
                *out << ' ' << CurrencyDigits(v);
            } else if constexpr (std::is_same_v<T, Decimal> || std::is_same_v<T, Guid>) {
                *out << ' ' << v.text;
            } else if constexpr (std::is_same_v<T, Binary>) {
                *out << ' ' << v.bytes.size() << " bytes";
            }
        },
        value.value());
}

}  // namespace infotrakon

namespace infotrakon::testing {

// A file or folder of the shared test files kept beside the repository (../shared), which a
// user's lone clone does not have.
inline std::filesystem::path SharedPath(const std::string& relative) {
    return std::filesystem::path(INFOTRAKON_SHARED_DIR) / relative;
}

// Skips the running test, naming the missing folder, when the shared test files of `folder`
// ("mdb", "registry") are not there.
#define INFOTRAKON_SKIP_WITHOUT_SHARED(folder)                                            \
    if (!std::filesystem::is_directory(::infotrakon::testing::SharedPath(folder)))        \
    GTEST_SKIP() << "the shared test files " << ::infotrakon::testing::SharedPath(folder) \
                 << " are not beside the repository"

// The number of the Error that `action` raises, 0 when it raises none; the message too.
inline int ErrorNumberOf(const std::function<void()>& action, std::string* message = nullptr) {
    try {
        action();
    } catch (const Error& error) {
        if (message) *message = error.what();
        return error.number();
    }
    return 0;
}

// A text file's bytes as the platform writes it in UTF-16: the byte order mark, then
// little-endian units.
inline std::string Utf16File(const std::string& utf8) {
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : Utf8ToUtf16(utf8)) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

// A fresh folder laid out as a Wine prefix, drive C linked as Wine links it, with a folder
// C:\Agenda; removed with the object. Named after the running test, so suites may run side
// by side.
class TemporaryWinePrefix {
  public:
    explicit TemporaryWinePrefix(const std::string& kind) {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::filesystem::temp_directory_path() /
                ("infotrakon-" + kind + "-" + std::to_string(::getpid()) + "-" +
                 (test ? test->name() : "suite"));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_ / "dosdevices");
        std::filesystem::create_directories(path_ / "drive_c" / "Agenda");
        std::filesystem::create_directory_symlink("../drive_c", path_ / "dosdevices" / "c:");
    }
    ~TemporaryWinePrefix() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TemporaryWinePrefix(const TemporaryWinePrefix&) = delete;
    TemporaryWinePrefix& operator=(const TemporaryWinePrefix&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // C:\Agenda
    std::filesystem::path AgendaFolder() const { return path_ / "drive_c" / "Agenda"; }

  private:
    std::filesystem::path path_;
};

}  // namespace infotrakon::testing
