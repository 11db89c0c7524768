// libFuzzer entry: every input through the framing of received text; a
// broken promise aborts, so libFuzzer keeps the input like a crash.
#include <cstdlib>

#include "fuzz/framer_fuzz_body.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!FuzzFramerInput(data, size)) {
        std::abort();
    }
    return 0;
}
