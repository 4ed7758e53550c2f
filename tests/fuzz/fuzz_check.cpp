#include <cstdio>
#include <cstdlib>

#include "fuzz_targets.h"

namespace veltrano::fuzz {

void Check(bool ok, const char* what) {
    if (ok)
        return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

}  // namespace veltrano::fuzz
