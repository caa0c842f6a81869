// Storage of the shared generator.
#include "attractor/rng.h"

namespace vorticel {

Random31& SharedRandom() {
    thread_local Random31 generator;
    return generator;
}

} // namespace vorticel
