#include "settings/registry_file.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "core/case_fold.h"
#include "core/error.h"
#include "core/text_encoding.h"

namespace infotrakon::settings {
namespace {

constexpr std::string_view kWineHeader = "WINE REGISTRY Version 2";
// Far more than the hive of any installation; a file past it is no registry file to read.
constexpr std::size_t kMaxRegistryFileSize = std::size_t{256} << 20;
constexpr std::string_view kExport5Header = "Windows Registry Editor Version 5.00";
constexpr std::string_view kExport4Header = "REGEDIT4";

int HexDigit(char16_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads an escaped text up to the unescaped `terminator`, starting after the opening
// character; returns false if the line ends first. Wine's escapes: \\ \" \a \b \e \f \n
// \r \t \v, \x with one to four hex digits of a UTF-16 code unit, \ with one to three
// octal digits; any other escaped character stands for itself (\[ and \] in key names).
bool ReadEscaped(std::u16string_view line, std::size_t& i, char16_t terminator,
                 std::u16string& out) {
    while (i < line.size()) {
        const char16_t c = line[i++];
        if (c == terminator) return true;
        if (c != '\\') {
            out += c;
            continue;
        }
        if (i >= line.size()) return false;
        const char16_t e = line[i++];
        switch (e) {
            case 'a':
                out += u'\a';
                break;
            case 'b':
                out += u'\b';
                break;
            case 'e':
                out += char16_t{27};
                break;
            case 'f':
                out += u'\f';
                break;
            case 'n':
                out += u'\n';
                break;
            case 'r':
                out += u'\r';
                break;
            case 't':
                out += u'\t';
                break;
            case 'v':
                out += u'\v';
                break;
            case 'x': {
                unsigned value = 0;
                int digits = 0;
                while (digits < 4 && i < line.size() && HexDigit(line[i]) >= 0) {
                    value = value * 16 + static_cast<unsigned>(HexDigit(line[i++]));
                    ++digits;
                }
                out += digits == 0 ? u'x' : static_cast<char16_t>(value);
                break;
            }
            default:
                if (e >= '0' && e <= '7') {
                    unsigned value = e - u'0';
                    for (int digits = 1;
                         digits < 3 && i < line.size() && line[i] >= '0' && line[i] <= '7';
                         ++digits)
                        value = value * 8 + (line[i++] - u'0');
                    out += static_cast<char16_t>(value);
                } else {
                    out += e;
                }
        }
    }
    return false;
}

void SkipBlanks(std::u16string_view line, std::size_t& i) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
}

bool StartsWithFolded(std::u16string_view text, std::u16string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (FoldCaseUnit(text[i]) != FoldCaseUnit(prefix[i])) return false;
    return true;
}

// Reads comma-separated hex bytes; false on anything else.
bool ReadHexBytes(std::u16string_view text, std::vector<std::uint8_t>& out) {
    std::size_t i = 0;
    SkipBlanks(text, i);
    if (i == text.size()) return true;
    while (true) {
        SkipBlanks(text, i);
        if (i >= text.size()) return false;
        int high = i < text.size() ? HexDigit(text[i]) : -1;
        int low = i + 1 < text.size() ? HexDigit(text[i + 1]) : -1;
        if (high < 0) return false;
        if (low < 0) {
            out.push_back(static_cast<std::uint8_t>(high));
            i += 1;
        } else {
            out.push_back(static_cast<std::uint8_t>(high * 16 + low));
            i += 2;
        }
        SkipBlanks(text, i);
        if (i == text.size()) return true;
        if (text[i] != ',') return false;
        ++i;
        SkipBlanks(text, i);
        if (i == text.size()) return true;  // a trailing comma before the line's end
    }
}

std::vector<std::uint8_t> Utf16Bytes(const std::u16string& text) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() * 2 + 2);
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

class Lines {
  public:
    explicit Lines(std::string_view text) : text_(text) {}
    bool Next(std::string_view& line) {
        if (position_ >= text_.size()) return false;
        std::size_t end = text_.find('\n', position_);
        if (end == std::string_view::npos) end = text_.size();
        line = text_.substr(position_, end - position_);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        position_ = end + 1;
        return true;
    }

  private:
    std::string_view text_;
    std::size_t position_ = 0;
};

std::string_view TrimEnd(std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

}  // namespace

RegistryFileText::RegistryFileText(std::string bytes, const char* codePage) : codePage_(codePage) {
    // Exports of version 5 are UTF-16 with a mark; hives and REGEDIT4 exports have none.
    text_ = TextAfterByteOrderMark(bytes).value_or(std::move(bytes));
    Lines lines(text_);
    std::string_view line;
    while (lines.Next(line) && TrimEnd(line).empty()) {
    }
    line = TrimEnd(line);
    if (line == kWineHeader) {
        format_ = RegistryFileFormat::kWineHive;
        // The header lines come before the first key.
        while (lines.Next(line) && (line.empty() || line[0] != '[')) {
            if (TrimEnd(line) == "#arch=win64") win64_ = true;
        }
    } else if (line == kExport5Header) {
        format_ = RegistryFileFormat::kExport5;
    } else if (line == kExport4Header) {
        format_ = RegistryFileFormat::kExport4;
        text_ = AnsiToUtf8(text_, codePage);
    }
}

namespace {

// A key line, "[name]" ("[-name]" deleting the key in an export): the key's path below
// HKEY_LOCAL_MACHINE, folded; nullopt for a malformed line or another root.
struct KeyLine {
    std::u16string folded;
    bool deletion = false;
};

std::optional<KeyLine> ReadKeyLine(std::string_view raw, RegistryFileFormat format) {
    const std::u16string line = Utf8ToUtf16(raw);
    KeyLine key;
    std::u16string name;
    std::size_t i = 1;
    if (format == RegistryFileFormat::kWineHive) {
        if (!ReadEscaped(line, i, u']', name)) return std::nullopt;
    } else {
        if (i < line.size() && line[i] == '-') {
            key.deletion = true;
            ++i;
        }
        const std::size_t close = line.rfind(u']');
        if (close == std::u16string::npos || close < i) return std::nullopt;
        name = line.substr(i, close - i);
        const std::u16string root = u"hkey_local_machine\\";
        if (!StartsWithFolded(name, root)) return std::nullopt;
        name.erase(0, root.size());
    }
    key.folded = FoldCase(name);
    return key;
}

// A hexadecimal number of up to `maxDigits` digits, the whole of `digits`.
std::optional<std::uint32_t> HexNumber(std::u16string_view digits, std::size_t maxDigits) {
    if (digits.empty() || digits.size() > maxDigits) return std::nullopt;
    std::uint32_t number = 0;
    for (const char16_t c : digits) {
        const int digit = HexDigit(c);
        if (digit < 0) return std::nullopt;
        number = number * 16 + static_cast<std::uint32_t>(digit);
    }
    return number;
}

// A value line, its hex data continuations joined: the value's name, and its data or its
// deletion ("name"=-); nullopt for a malformed line, which hides nothing around it.
struct ValueLine {
    std::u16string name;
    RegistryValue value;
    bool deleted = false;
};

std::optional<ValueLine> ReadValueLine(const std::u16string& line, RegistryFileFormat format,
                                       const std::string& codePage) {
    ValueLine result;
    std::size_t i = 1;
    if (line[0] != '@' && !ReadEscaped(line, i, u'"', result.name)) return std::nullopt;
    SkipBlanks(line, i);
    if (i >= line.size() || line[i] != '=') return std::nullopt;
    ++i;
    SkipBlanks(line, i);
    const std::u16string_view data = std::u16string_view(line).substr(i);
    RegistryValue& value = result.value;
    auto readText = [&](std::size_t start) {
        std::size_t j = start;
        std::u16string text;
        if (j >= line.size() || line[j] != '"' || !(++j, ReadEscaped(line, j, u'"', text)))
            return false;
        if (format == RegistryFileFormat::kExport4) {
            const std::string bytes = Utf16ToAnsi(text, codePage.c_str());
            value.data.assign(bytes.begin(), bytes.end());
            value.data.push_back(0);
            value.singleByteText = true;
        } else {
            value.data = Utf16Bytes(text);
        }
        return true;
    };
    if (!data.empty() && data[0] == '"') {
        value.type = value_type::kText;
        if (!readText(i)) return std::nullopt;
    } else if (data == u"-") {
        result.deleted = true;
    } else if (data.substr(0, 4) == u"str(" && format == RegistryFileFormat::kWineHive) {
        const std::size_t close = data.find(u"):");
        if (close == std::u16string_view::npos) return std::nullopt;
        const auto type = HexNumber(data.substr(4, close - 4), 8);
        if (!type || !readText(i + close + 2)) return std::nullopt;
        value.type = *type;
    } else if (data.substr(0, 6) == u"dword:") {
        const std::u16string_view digits = data.substr(6);
        const auto number = digits.size() == 8 ? HexNumber(digits, 8) : std::nullopt;
        if (!number) return std::nullopt;
        value.type = value_type::kDword;
        for (int k = 0; k < 4; ++k)
            value.data.push_back(static_cast<std::uint8_t>(*number >> (8 * k)));
    } else if (data.substr(0, 3) == u"hex") {
        std::size_t k = 3;
        std::uint32_t type = value_type::kBinary;
        if (k < data.size() && data[k] == '(') {
            const std::size_t close = data.find(u')', k);
            if (close == std::u16string_view::npos) return std::nullopt;
            const auto given = HexNumber(data.substr(k + 1, close - k - 1), 8);
            if (!given) return std::nullopt;
            type = *given;
            k = close + 1;
        }
        if (k >= data.size() || data[k] != ':') return std::nullopt;
        if (!ReadHexBytes(data.substr(k + 1), value.data)) return std::nullopt;
        value.type = type;
        // regedit 4 writes text data as bytes of the ANSI code page, later versions in UTF-16.
        value.singleByteText = format == RegistryFileFormat::kExport4;
    } else {
        return std::nullopt;
    }
    return result;
}

// The key lines of a large hive are rejected on their raw bytes wherever they can be: the
// target's leading plain ASCII, written as the file writes it, must agree with the line's as
// far as both go. This is that leading part, with the line's opening.
std::string RawKeyPrefix(const std::u16string& target, bool wine) {
    std::string rawPrefix = wine ? "[" : "[hkey_local_machine\\";
    for (const char16_t c : target) {
        if (c >= 0x7F || c < 0x20 || c == '[' || c == ']' || c == '"') break;
        rawPrefix += static_cast<char>(c);
        if (wine && c == '\\') rawPrefix += '\\';
    }
    return rawPrefix;
}

// False where the raw key line `raw` cannot name the target or one of its ancestors.
bool RawMayMatch(std::string_view raw, const std::string& rawPrefix) {
    const std::size_t n = std::min(raw.size(), rawPrefix.size());
    for (std::size_t k = 0; k < n; ++k) {
        const char r = raw[k];
        if (r == ']' && k > 0) return true;  // the line's name ends: a possible ancestor
        const char folded = r >= 'A' && r <= 'Z' ? static_cast<char>(r + 32) : r;
        if (folded != rawPrefix[k]) return false;
    }
    return true;
}

// Whether the key `folded` lies below `above` in the tree (both folded to lower case).
bool IsBelow(const std::u16string& folded, const std::u16string& above) {
    return folded.size() > above.size() && folded.compare(0, above.size(), above) == 0 &&
           folded[above.size()] == u'\\';
}

// What a key line does to the target `found` so far: a deletion of the target or of an
// ancestor removes it, the target's own line starts it afresh, a subkey shows it exists.
// True where the values that follow are the target's.
bool ApplyKeyLine(const KeyLine& key, const std::u16string& target,
                  std::optional<RegistryKey>& found) {
    const bool exact = key.folded == target;
    if (key.deletion) {
        if (exact || IsBelow(target, key.folded)) found.reset();
        return false;
    }
    if (exact) {
        found = RegistryKey{};  // a repeated key replaces the earlier definition
        return true;
    }
    if (IsBelow(key.folded, target) && !found) found = RegistryKey{};  // a parent without values
    return false;
}

// The value line `raw` with its continuations: hex data goes on in the next line after a
// backslash at a line's end.
std::string JoinedValueLine(std::string_view raw, Lines& lines) {
    std::string joined(TrimEnd(raw));
    while (!joined.empty() && joined.back() == '\\' && joined.find("=hex") != std::string::npos) {
        std::string_view next;
        joined.pop_back();
        if (!lines.Next(next)) break;
        const std::size_t start = next.find_first_not_of(" \t");
        if (start != std::string_view::npos) joined.append(TrimEnd(next.substr(start)));
    }
    return joined;
}

}  // namespace

std::optional<RegistryKey> RegistryFileText::FindKey(std::u16string_view path) const {
    if (format_ == RegistryFileFormat::kUnknown) return std::nullopt;
    const bool wine = format_ == RegistryFileFormat::kWineHive;
    const std::u16string target = FoldCase(path);
    const std::string rawPrefix = RawKeyPrefix(target, wine);
    std::optional<RegistryKey> found;
    bool inTarget = false;
    Lines lines(text_);
    std::string_view raw;
    while (lines.Next(raw)) {
        if (raw.empty()) continue;
        if (raw[0] == '[') {
            inTarget = false;
            const bool exportDeletion = !wine && raw.size() > 1 && raw[1] == '-';
            if (!exportDeletion && !RawMayMatch(raw, rawPrefix)) continue;
            if (const std::optional<KeyLine> key = ReadKeyLine(raw, format_))
                inTarget = ApplyKeyLine(*key, target, found);
            continue;
        }
        if (!inTarget || (raw[0] != '"' && raw[0] != '@')) continue;
        const std::string joined = JoinedValueLine(raw, lines);
        std::optional<ValueLine> value = ReadValueLine(Utf8ToUtf16(joined), format_, codePage_);
        if (!value) continue;
        if (value->deleted) {
            found->values.erase(FoldCase(value->name));
        } else {
            found->values[FoldCase(value->name)] = std::move(value->value);
        }
    }
    return found;
}

RegistryFileStore::RegistryFileStore(std::shared_ptr<const FileSystem> files, std::string path,
                                     std::string codePage)
    : files_(std::move(files)), path_(std::move(path)), codePage_(std::move(codePage)) {}

long RegistryFileStore::OpenKey(const std::string& keyPath, std::uint32_t /*accessMask*/,
                                KeyHandle& handle) {
    std::string contents;
    try {
        contents =
            ReadWholeFile(*files_->OpenForReading(path_), kMaxRegistryFileSize, "a registry file");
    } catch (const Error&) {
        return status::kFileNotFound;
    }
    const RegistryFileText text(std::move(contents), codePage_.c_str());
    std::u16string path = Utf8ToUtf16(AnsiToUtf8(keyPath, codePage_.c_str()));
    while (!path.empty() && path.front() == u'\\') path.erase(0, 1);
    std::optional<RegistryKey> key;
    // A 32-bit program's HKEY_LOCAL_MACHINE\Software is redirected in a 64-bit prefix.
    const std::u16string software = u"software\\";
    if (text.isWin64Prefix() && StartsWithFolded(path, software))
        key = text.FindKey(u"Software\\Wow6432Node\\" + path.substr(software.size()));
    if (!key) key = text.FindKey(path);
    if (!key) return status::kFileNotFound;
    handle = nextHandle_++;
    open_[handle] = std::move(*key);
    return status::kSuccess;
}

long RegistryFileStore::QueryValue(KeyHandle handle, const std::string& valueName,
                                   std::uint32_t* type, std::uint8_t* data, std::uint32_t* size) {
    const auto key = open_.find(handle);
    if (key == open_.end()) return status::kInvalidHandle;
    const std::u16string name = FoldCase(Utf8ToUtf16(AnsiToUtf8(valueName, codePage_.c_str())));
    const auto found = key->second.values.find(name);
    if (found == key->second.values.end()) return status::kFileNotFound;
    const RegistryValue& value = found->second;
    std::vector<std::uint8_t> bytes = value.data;
    const bool text = value.type == value_type::kText ||
                      value.type == value_type::kExpandableText ||
                      value.type == value_type::kMultiText;
    if (text && !value.singleByteText) {
        // The ANSI function converts the stored UTF-16 units; a dangling odd byte is dropped.
        std::u16string units(bytes.size() / 2, u'\0');
        for (std::size_t i = 0; i < units.size(); ++i)
            units[i] = static_cast<char16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
        const std::string ansi = Utf16ToAnsi(units, codePage_.c_str());
        bytes.assign(ansi.begin(), ansi.end());
    }
    if (type != nullptr) *type = value.type;
    if (size == nullptr) return data == nullptr ? status::kSuccess : status::kInvalidParameter;
    const auto needed = static_cast<std::uint32_t>(bytes.size());
    if (data == nullptr) {
        *size = needed;
        return status::kSuccess;
    }
    if (*size < needed) {
        *size = needed;
        return status::kMoreData;
    }
    std::copy(bytes.begin(), bytes.end(), data);
    *size = needed;
    return status::kSuccess;
}

long RegistryFileStore::CloseKey(KeyHandle handle) {
    return open_.erase(handle) == 1 ? status::kSuccess : status::kInvalidHandle;
}

std::string DefaultWinePrefix() {
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix != nullptr && *prefix != '\0')
        return prefix;
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.wine";
}

}  // namespace infotrakon::settings
