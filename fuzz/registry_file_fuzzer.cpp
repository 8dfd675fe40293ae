// Registry text files from outside: any bytes must parse without a crash, hang or leak,
// and the lookup path through the ANSI conversion must hold up as well.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/memory_file_system.h"
#include "core/text_encoding.h"
#include "settings/module1.h"
#include "settings/registry_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace infotrakon;
    using namespace infotrakon::settings;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const RegistryFileText text(bytes, kCzechAnsiCodePage);
    for (const char16_t* path :
         {u"Software\\Velmora\\Trakon\\ProgramSeting", u"software\\a", u""}) {
        if (const auto key = text.FindKey(path)) {
            for (const auto& [name, value] : key->values) {
                if (value.type == 1 && !value.singleByteText) {
                    std::u16string units(value.data.size() / 2, u'\0');
                    for (std::size_t i = 0; i < units.size(); ++i)
                        units[i] =
                            static_cast<char16_t>(value.data[2 * i] | value.data[2 * i + 1] << 8);
                    AnsiToUtf8(Utf16ToAnsi(units, kCzechAnsiCodePage), kCzechAnsiCodePage);
                }
                (void)name;
            }
        }
    }
    Utf16ToUtf8(Utf8ToUtf16(bytes));

    // The store over the same bytes, as the panel reads the host's setting.
    const auto files = std::make_shared<MemoryFileSystem>();
    files->Add("system.reg", bytes);
    RegistryFileStore store(files, "system.reg");
    ReadRegistryValue(store, kHostSettingsKey, kLastFileValue);
    return 0;
}
