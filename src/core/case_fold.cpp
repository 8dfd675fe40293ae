#include "core/case_fold.h"

#include "core/text_encoding.h"

namespace infotrakon {

char16_t FoldCaseUnit(char16_t c) {
    if (c >= 'A' && c <= 'Z') return static_cast<char16_t>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 32);
    // Latin Extended-A pairs capital and small letters; the two runs below put the capital
    // on the odd code point, the rest on the even one.
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
        return (c & 1) ? static_cast<char16_t>(c + 1) : c;
    if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177))
        return (c & 1) ? c : static_cast<char16_t>(c + 1);
    return c;
}

std::u16string FoldCase(std::u16string_view text) {
    std::u16string folded(text);
    for (char16_t& c : folded) c = FoldCaseUnit(c);
    return folded;
}

bool EqualsIgnoringCase(std::string_view left, std::string_view right) {
    bool ascii = left.size() == right.size();
    for (std::size_t i = 0; ascii && i < left.size(); ++i) {
        const auto a = static_cast<unsigned char>(left[i]);
        const auto b = static_cast<unsigned char>(right[i]);
        if (a >= 0x80 || b >= 0x80) {
            ascii = false;
            break;
        }
        if (FoldCaseUnit(a) != FoldCaseUnit(b)) return false;
    }
    if (ascii) return true;
    return FoldCase(Utf8ToUtf16(left)) == FoldCase(Utf8ToUtf16(right));
}

}  // namespace infotrakon
