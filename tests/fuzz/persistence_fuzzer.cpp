// libFuzzer entry: every input through the persistence readers; a round trip
// that does not hold aborts, so libFuzzer keeps the input like a crash.
#include <cstdlib>

#include "fuzz/persistence_fuzz_body.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!FuzzPersistenceInput(data, size)) {
        std::abort();
    }
    return 0;
}
