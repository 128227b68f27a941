// requestCode: three characters picked from the hex digest.
#include "server/RequestCode.h"

#include "server/Md5.h"

std::string requestCode(std::string_view text)
{
    const std::string d = md5Hex(text);
    return std::string{d[10], d[5], d[2]};
}

std::string withRequestCode(const std::string& text)
{
    return text + "&code=" + requestCode(text);
}
