// bench_load_batch_file [--tree|--stream] FILE [LISTED]: loads the batch as
// Marlo opens a .hdb file, through the archive's tree or streaming (the
// default), and prints its item count; with LISTED, the creation time of a
// batch in the list, prints "refused" when the window would refuse the file
// as listed already. Reports the peak memory on stderr.
#include <cstdio>
#include <cstdlib>

#include "route_option.h"

int main(int argc, char** argv) {
    const EBatchFileRoute route = TakeRouteOption(argc, argv);
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s [--tree|--stream] FILE [LISTED]\n", argv[0]);
        return 2;
    }
    if (argc == 3) {
        const bool refused = RefuseListedBatch(argv[1], std::strtoll(argv[2], nullptr, 10), route);
        std::printf("%s\n", refused ? "refused" : "not refused");
        ReportPeakMemory();
        return 0;
    }
    STLedgermill batch;
    if (!LoadBatch(argv[1], batch, route)) {
        std::fprintf(stderr, "%s: no batch in %s\n", argv[0], argv[1]);
        return 1;
    }
    std::printf("%zu\n", batch.m_itemVector.size());
    ReportPeakMemory();
    return 0;
}
