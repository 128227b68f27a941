// WideArguments: CommandLineToArgvW splits as the C runtime does.
#include "app/win32/WideArguments.h"

#include "platform/win32/WideText.h"

#include <windows.h>

#include <shellapi.h>

bool WideArguments::read(std::vector<std::string>& arguments, std::string& error)
{
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) {
        error = "cannot read the command line: " + windowsErrorText(GetLastError());
        return false;
    }
    arguments.clear();
    bool ok = true;
    for (int i = 0; i < count && ok; ++i) {
        std::string text;
        ok = fromWideStrict(wide[i], text);
        if (ok)
            arguments.push_back(std::move(text));
        else
            error = "argument " + std::to_string(i) + " is not valid Unicode text";
    }
    LocalFree(wide);
    return ok;
}
