// bench_load_batch_file FILE: loads the batch as Marlo opens a .hdb file and
// prints its item count, for compare_xmllint.sh.
#include <cstdio>

#include "batch_fixture.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    STLedgermill batch;
    if (!LoadBatch(argv[1], batch)) {
        std::fprintf(stderr, "%s: no batch in %s\n", argv[0], argv[1]);
        return 1;
    }
    std::printf("%zu\n", batch.m_itemVector.size());
    return 0;
}
