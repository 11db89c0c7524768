// bench_write_batch_file [--tree|--stream] FILE [ITEMS]: saves a batch of
// ITEMS (10000) tester items created at 1462357230 as FILE, through the
// archive's tree or streaming (the default), and reports the peak memory on
// stderr; for compare_xmllint.sh and compare_batch_routes.sh.
#include <cstdio>
#include <cstdlib>

#include "route_option.h"

int main(int argc, char** argv) {
    const EBatchFileRoute route = TakeRouteOption(argc, argv);
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s [--tree|--stream] FILE [ITEMS]\n", argv[0]);
        return 2;
    }
    const std::size_t items = argc == 3 ? std::strtoul(argv[2], nullptr, 10) : 10000;
    STLedgermill batch = TesterBatch(items);
    batch.m_time = 1462357230;
    if (!SaveBatch(batch, argv[1], route)) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    ReportPeakMemory();
    return 0;
}
