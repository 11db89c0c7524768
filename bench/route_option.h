// The whole-process helpers' switch between the two ways of saving and
// loading, and their report of the process's peak memory.
#pragma once

#include <sys/resource.h>

#include <cstdio>
#include <string_view>

#include "batch_fixture.h"

// "--tree" or "--stream" (the default) as the first argument: the route,
// and the argument taken.
inline EBatchFileRoute TakeRouteOption(int& argc, char**& argv) {
    if (argc < 2) {
        return EBatchFileRoute::kStream;
    }
    const std::string_view first = argv[1];
    if (first != "--tree" && first != "--stream") {
        return EBatchFileRoute::kStream;
    }
    argv[1] = argv[0];
    ++argv;
    --argc;
    return first == "--tree" ? EBatchFileRoute::kTree : EBatchFileRoute::kStream;
}

// On stderr, so that stdout keeps only the helper's answer.
inline void ReportPeakMemory() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::fprintf(stderr, "peak RSS %ld kB\n", usage.ru_maxrss);
}
