// A text blackbox value (aircraft type, destination, closest airport). Texts
// compare byte for byte; ordered comparisons never hold.
#pragma once

#include "core/DebugLog.h"
#include "monitor/blackbox/ValueBase.h"

namespace Blackbox {

class CStringValue final : public CValueBase {
public:
    explicit CStringValue(std::string text = {});

    void assign(const CValueBase& other) override;
    bool isEqual(const CValueBase& other) const override;
    bool isNotEqual(const CValueBase& other) const override;
    bool isGreater(const CValueBase&) const override { return false; }
    bool isLess(const CValueBase&) const override { return false; }
    bool isGreaterOrEqual(const CValueBase&) const override { return false; }
    bool isLessOrEqual(const CValueBase&) const override { return false; }
    bool setFromText(const std::string& text) override;
    bool isText() const override { return true; }

    // Keeps the buffer, so refreshing a short text never allocates.
    void set(const char* text, std::size_t length) { value.assign(text, length); }
    const std::string& get() const { return value; }

private:
    static const std::string& of(const CValueBase& other);

    std::string value;
    CDebugLog log;
};

} // namespace Blackbox
