// A gear that sticks: once struck, the handle is forced on every update.
#pragma once

#include "monitor/failures/FailureBase.h"

namespace Failures {

class CGearFailure final : public CFailureBase {
public:
    using CFailureBase::CFailureBase;

protected:
    void strike() override;
    void maintain() override;
};

} // namespace Failures
