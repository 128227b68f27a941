// CReportCheckCode: digest characters 3 and 10 as "%X" text, mixed.
#include "report/ReportCheckCode.h"

#include "core/RegularFile.h"
#include "server/HlException.h"
#include "server/Md5.h"

#include <cctype>
#include <cstdio>

namespace {

std::string hexOfCharacter(char c)
{
    char text[8];
    std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(static_cast<unsigned char>(c)));
    return text;
}

char lower(char c)
{
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

} // namespace

std::string CReportCheckCode::fromDigest(const std::string& digest)
{
    if (digest.size() < 11)
        return {};
    const std::string x = hexOfCharacter(digest[3]);
    const std::string y = hexOfCharacter(digest[10]);
    if (x.size() < 2 || y.size() < 2)
        return {};
    return std::string{lower(y[1]), lower(x[0]), lower(y[0])};
}

std::string CReportCheckCode::ofFile(const std::string& path)
{
    // Only a regular file has a code; reading anything else could block.
    std::string why;
    if (!CRegularFile::fits(path, kMaxStoreBytes, why))
        return {};
    try {
        return fromDigest(md5HexOfFile(path));
    } catch (const hlException&) {
        return {};
    }
}
