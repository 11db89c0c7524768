// bench_write_batch_file FILE [ITEMS]: saves a batch of ITEMS (10000)
// tester items as FILE, for compare_xmllint.sh.
#include <cstdio>
#include <cstdlib>

#include "batch_fixture.h"

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s FILE [ITEMS]\n", argv[0]);
        return 2;
    }
    const std::size_t items = argc == 3 ? std::strtoul(argv[2], nullptr, 10) : 10000;
    if (!SaveBatch(TesterBatch(items), argv[1])) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
