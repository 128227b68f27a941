// CServiceForm: split at "&" and the first "="; MD5 from OpenSSL, so the
// client's own digest is checked against an independent one.
#include "ServiceForm.h"

#include <openssl/evp.h>

CServiceForm::CServiceForm(const std::string& body) : raw(body)
{
    std::size_t start = 0;
    while (start <= body.size()) {
        std::size_t end = body.find('&', start);
        if (end == std::string::npos)
            end = body.size();
        const std::string piece = body.substr(start, end - start);
        const std::size_t eq = piece.find('=');
        if (!piece.empty())
            fields.emplace_back(piece.substr(0, eq), eq == std::string::npos ? "" : piece.substr(eq + 1));
        start = end + 1;
    }
}

std::string CServiceForm::get(const std::string& key) const
{
    for (const auto& [k, v] : fields) {
        if (k == key)
            return v;
    }
    return {};
}

bool CServiceForm::has(const std::string& key) const
{
    for (const auto& f : fields) {
        if (f.first == key)
            return true;
    }
    return false;
}

std::multimap<std::string, std::string> CServiceForm::asMap() const
{
    return {fields.begin(), fields.end()};
}

std::string CServiceForm::codeOf(const std::string& text)
{
    unsigned char digest[EVP_MAX_MD_SIZE] = {};
    unsigned int length = 0;
    if (EVP_Digest(text.data(), text.size(), digest, &length, EVP_md5(), nullptr) != 1 || length != 16)
        return "???";
    static const char kHex[] = "0123456789abcdef";
    char hex[33] = {};
    for (unsigned int i = 0; i < 16; ++i) {
        hex[i * 2] = kHex[digest[i] >> 4];
        hex[i * 2 + 1] = kHex[digest[i] & 15];
    }
    return std::string{hex[10], hex[5], hex[2]};
}

bool CServiceForm::codeMatches() const
{
    const std::size_t pos = raw.rfind("&code=");
    if (pos == std::string::npos)
        return false;
    return raw.substr(pos + 6) == codeOf(raw.substr(0, pos));
}
