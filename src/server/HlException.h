// The error of the hash wrappers: a number and a text.
#pragma once

#include <stdexcept>
#include <string>

class hlException : public std::runtime_error {
public:
    enum { ErrFileRead = 1 };
    hlException(int number, const std::string& text) : std::runtime_error(text), errorNumber(number) {}
    int error_number() const { return errorNumber; }
    std::string error_message() const { return what(); }

private:
    int errorNumber;
};
