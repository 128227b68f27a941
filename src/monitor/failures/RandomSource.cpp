// CProcessRandom: the process's pseudo-random generator (seeded by the front-end's main).
#include "monitor/failures/RandomSource.h"

#include <cstdlib>

namespace Failures {

int CProcessRandom::nextInt()
{
    return std::rand();
}

} // namespace Failures
