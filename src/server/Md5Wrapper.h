// The MD5 member of the hash-wrapper family.
#pragma once

#include "server/HashWrapper.h"
#include "server/Md5.h"

class md5wrapper : public hashwrapper {
public:
    std::string hashIt() override;
    std::string convToString(const unsigned char* digest) override;
    void updateContext(const unsigned char* data, std::size_t length) override;
    void resetContext() override;

private:
    CMd5 engine;
};
