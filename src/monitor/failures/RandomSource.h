// Where the failure draws come from. Production uses the process's generator,
// seeded at start-up; tests fix the draws.
#pragma once

namespace Failures {

class CRandomSource {
public:
    virtual ~CRandomSource() = default;
    // A non-negative pseudo-random integer.
    virtual int nextInt() = 0;
};

class CProcessRandom final : public CRandomSource {
public:
    int nextInt() override;
};

} // namespace Failures
