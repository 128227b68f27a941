// A numeric blackbox value (speeds, heights, switch positions, the phase code).
#pragma once

#include "core/DebugLog.h"
#include "monitor/blackbox/ValueBase.h"

namespace Blackbox {

class CDoubleValue final : public CValueBase {
public:
    explicit CDoubleValue(double value = 0.0);

    void assign(const CValueBase& other) override;
    bool isEqual(const CValueBase& other) const override;
    bool isNotEqual(const CValueBase& other) const override;
    bool isGreater(const CValueBase& other) const override;
    bool isLess(const CValueBase& other) const override;
    bool isGreaterOrEqual(const CValueBase& other) const override;
    bool isLessOrEqual(const CValueBase& other) const override;
    // The whole text must be a number (C notation, a point as decimal separator).
    bool setFromText(const std::string& text) override;
    bool isText() const override { return false; }

    void set(double v) { value = v; }
    double get() const { return value; }

private:
    static double of(const CValueBase& other);

    double value;
    CDebugLog log;
};

} // namespace Blackbox
