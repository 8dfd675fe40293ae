#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace infotrakon {

// The single-byte code page that the registry's ANSI functions use on a Czech system.
inline constexpr const char* kCzechAnsiCodePage = "CP1250";

// The code page of the system's ANSI functions, "CP" and its number: the Windows installation's
// own on Windows; on Linux the Czech one, that of the Wine the host program runs in.
const char* SystemAnsiCodePage();

// UTF-16 code units to a single-byte code page; a character the page cannot hold becomes
// "?", as the ANSI registry functions give it, and so does each half of a surrogate pair.
std::string Utf16ToAnsi(std::u16string_view text, const char* codePage);
// Single-byte text to UTF-8; a byte the code page leaves undefined becomes the control
// character of its number (0x81 as U+0081), as the platform converts it.
std::string AnsiToUtf8(std::string_view text, const char* codePage);
// One character of UTF-8: the one at text[i], i moved past it. A byte that begins no
// well-formed sequence is taken alone, as the Latin-1 character it names.
struct Utf8Character {
    char32_t code = 0;
    bool wellFormed = false;
};
Utf8Character NextUtf8Character(std::string_view text, std::size_t& i);
// Whether every byte of the text belongs to a well-formed UTF-8 sequence.
bool IsWellFormedUtf8(std::string_view text);

// UTF-8 to UTF-16 code units; a malformed byte is taken as the Latin-1 character it names.
std::u16string Utf8ToUtf16(std::string_view text);
// UTF-16 code units to UTF-8; unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);
// Utf16ToUtf8 onto the end of `out`, for a caller that reuses one buffer.
void AppendUtf8(std::u16string_view text, std::string& out);
// The same conversions for the wide texts of the Windows functions, UTF-16 in wchar_t.
std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);

// Spaces and tabs, the blanks that lines of settings and filters are padded with.
inline constexpr std::string_view kBlanks = " \t";
// The text without the characters of `leading` at its start and of `trailing` at its end.
std::string_view Trim(std::string_view text, std::string_view leading = kBlanks,
                      std::string_view trailing = kBlanks);
// The text without the characters of `trailing` at its end.
std::string_view TrimEnd(std::string_view text, std::string_view trailing = kBlanks);

// The text of a file that begins with a byte order mark, as UTF-8: UTF-16LE after FF FE (a
// dangling odd byte dropped), UTF-8 after EF BB BF. nullopt for a file without a mark, whose
// encoding the reader must know.
std::optional<std::string> TextAfterByteOrderMark(std::string_view bytes);

}  // namespace infotrakon
