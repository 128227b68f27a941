// The integrity code of data-changing requests: three digits of the MD5 of
// the request text, appended as "&code=".
#pragma once

#include <string>
#include <string_view>

// d = md5Hex(text); the code is d[10], d[5], d[2].
std::string requestCode(std::string_view text);
// text + "&code=" + requestCode(text).
std::string withRequestCode(const std::string& text);
