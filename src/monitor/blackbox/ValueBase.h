// A typed blackbox variable value: the current value of a flight variable,
// or a rule's comparison or previous value. The other operand is always a
// value of the same kind.
#pragma once

#include <string>

namespace Blackbox {

class CValueBase {
public:
    virtual ~CValueBase() = default;
    virtual void assign(const CValueBase& other) = 0;
    virtual bool isEqual(const CValueBase& other) const = 0;
    virtual bool isNotEqual(const CValueBase& other) const = 0;
    virtual bool isGreater(const CValueBase& other) const = 0;
    virtual bool isLess(const CValueBase& other) const = 0;
    virtual bool isGreaterOrEqual(const CValueBase& other) const = 0;
    virtual bool isLessOrEqual(const CValueBase& other) const = 0;
    // False when the text does not read as a value of this kind; the value is then unchanged.
    virtual bool setFromText(const std::string& text) = 0;
    virtual bool isText() const = 0;
};

} // namespace Blackbox
