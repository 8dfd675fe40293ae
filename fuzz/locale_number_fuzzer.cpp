// Numbers read from database texts and captions: any text must read or be refused cleanly,
// and the amount format must take whatever the reading accepts.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/text_form.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace infotrakon;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const Locale locale = Locale::Czech();
    if (const auto number = locale.ParseNumber(text)) NumberText(*number, 15, locale);
    FormatAmount(text, locale);
    return 0;
}
