// Sets and clears type flags (TYPEFLAGS) of named type descriptions in a type library of the
// MSFT format that Wine's IDL compiler writes, for the flags it does not write itself:
// nonextensible on a dual interface, and a coclass that is a control and nothing else.
// Usage: typelib_flags IN.tlb OUT.tlb NAME SET CLEAR [NAME SET CLEAR]...  (SET, CLEAR in hex)
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kMagic = 0x5446534d;  // "MSFT"
constexpr std::size_t kHeaderSize = 0x54;
constexpr std::uint32_t kHelpDllFlag = 0x100;
constexpr std::size_t kSegmentCount = 15;
constexpr std::size_t kTypeInfoSegment = 0;
constexpr std::size_t kNameSegment = 7;
constexpr std::size_t kTypeInfoSize = 0x64;
constexpr std::size_t kFlagsAt = 12 * 4;  // in a type description
constexpr std::size_t kNameAt = 13 * 4;
constexpr std::size_t kNameTextAt = 12;  // in a name entry: type, next in its hash, length

class Library {
  public:
    explicit Library(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {
        if (Word(0) != kMagic) throw std::runtime_error("not a type library of the MSFT format");
        const std::uint32_t varFlags = Word(5 * 4);
        types_ = Word(8 * 4);
        const std::size_t segments =
            kHeaderSize + ((varFlags & kHelpDllFlag) ? 4 : 0) + std::size_t{types_} * 4;
        typeTable_ = Word(segments + kTypeInfoSegment * 16);
        nameTable_ = Word(segments + kNameSegment * 16);
        if (segments + kSegmentCount * 16 > bytes_.size() ||
            typeTable_ + std::size_t{types_} * kTypeInfoSize > bytes_.size())
            throw std::runtime_error("the type library is cut short");
    }

    // Changes the flags of every type description of that name; how many there were.
    int Change(const std::string& name, std::uint32_t set, std::uint32_t clear) {
        int changed = 0;
        for (std::uint32_t type = 0; type < types_; ++type) {
            const std::size_t at = typeTable_ + std::size_t{type} * kTypeInfoSize;
            if (NameAt(nameTable_ + Word(at + kNameAt)) != name) continue;
            PutWord(at + kFlagsAt, (Word(at + kFlagsAt) | set) & ~clear);
            ++changed;
        }
        return changed;
    }

    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

  private:
    std::uint32_t Word(std::size_t at) const {
        if (at + 4 > bytes_.size()) throw std::runtime_error("the type library is cut short");
        std::uint32_t word = 0;
        for (int i = 3; i >= 0; --i) word = word << 8 | bytes_[at + static_cast<std::size_t>(i)];
        return word;
    }
    void PutWord(std::size_t at, std::uint32_t word) {
        for (std::size_t i = 0; i < 4; ++i)
            bytes_[at + i] = static_cast<std::uint8_t>(word >> (8 * i));
    }
    std::string NameAt(std::size_t at) const {
        const std::size_t length = Word(at + 8) & 0xFF;
        if (at + kNameTextAt + length > bytes_.size())
            throw std::runtime_error("a name lies outside the type library");
        return std::string(bytes_.begin() + static_cast<std::ptrdiff_t>(at + kNameTextAt),
                           bytes_.begin() + static_cast<std::ptrdiff_t>(at + kNameTextAt + length));
    }

    std::vector<std::uint8_t> bytes_;
    std::uint32_t types_ = 0;
    std::size_t typeTable_ = 0;
    std::size_t nameTable_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 6 || (argc - 3) % 3 != 0) {
        std::fprintf(stderr, "usage: typelib_flags IN.tlb OUT.tlb NAME SET CLEAR...\n");
        return 2;
    }
    try {
        std::ifstream in(argv[1], std::ios::binary);
        if (!in) throw std::runtime_error(std::string("cannot read ") + argv[1]);
        Library library(std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {}));
        for (int i = 3; i < argc; i += 3) {
            const auto set = static_cast<std::uint32_t>(std::stoul(argv[i + 1], nullptr, 16));
            const auto clear = static_cast<std::uint32_t>(std::stoul(argv[i + 2], nullptr, 16));
            if (library.Change(argv[i], set, clear) == 0)
                throw std::runtime_error(std::string("no type named ") + argv[i]);
        }
        std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(library.bytes().data()),
                  static_cast<std::streamsize>(library.bytes().size()));
        if (!out) throw std::runtime_error(std::string("cannot write ") + argv[2]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "typelib_flags: %s: %s\n", argv[1], error.what());
        return 1;
    }
    return 0;
}
