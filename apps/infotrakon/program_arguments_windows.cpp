#include <windows.h>
// After windows.h:
#include <shellapi.h>

#include "core/text_encoding.h"
#include "program_arguments.h"

namespace infotrakon::app {

std::vector<std::string> ProgramArguments(int, char**) {
    SetConsoleOutputCP(CP_UTF8);
    int count = 0;
    wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; words != nullptr && i < count; ++i)
        arguments.push_back(Utf16ToUtf8(reinterpret_cast<const char16_t*>(words[i])));
    if (words != nullptr) LocalFree(words);
    return arguments;
}

}  // namespace infotrakon::app
