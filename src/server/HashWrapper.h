// Base of the hash wrappers: a digest engine behind four operations, with the
// digest of a string and of a file built on top of them.
#pragma once

#include <cstddef>
#include <string>

class hashwrapper {
public:
    // Ends the message and returns its digest as text.
    virtual std::string hashIt() = 0;
    // Formats the 16 digest bytes as text.
    virtual std::string convToString(const unsigned char* digest) = 0;
    virtual void updateContext(const unsigned char* data, std::size_t length) = 0;
    virtual void resetContext() = 0;
    virtual ~hashwrapper() = default;

    virtual std::string getHashFromString(const std::string& text);
    // Reads the file in binary, 1024 bytes at a time; throws hlException when
    // it cannot be opened.
    virtual std::string getHashFromFile(const std::string& path);
};
