#pragma once

#include <string>
#include <string_view>

namespace infotrakon {

// Lower-case folding as the platform compares names (registry keys, table and field
// names): ASCII, Latin-1 and Latin Extended-A, which hold every Czech letter.
char16_t FoldCaseUnit(char16_t c);
std::u16string FoldCase(std::u16string_view text);
// Two UTF-8 names equal after folding.
bool EqualsIgnoringCase(std::string_view left, std::string_view right);

}  // namespace infotrakon
