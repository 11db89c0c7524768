// Parsing a whole transmission: records per second and cost against length;
// framing the received bytes into records as they arrive in chunks of the
// serial reader's size.
#include <benchmark/benchmark.h>

#include <string>

#include "common/utf.h"
#include "instrument/record_framer.h"
#include "instrument/record_parser.h"

namespace {

// About 100 characters per record, as a Leeb tester sends them.
std::u16string Transmission(int records) {
    std::u16string text;
    for (int i = 0; i < records; ++i) {
        const std::u16string number(u"P" + std::u16string(1, static_cast<char16_t>(u'0' + i % 10)));
        text += u"NAME:" + number + u"\r\nHD:HLD\r\nIMPACT:D\r\nDIR:90\r\n";
        text += u"VALUE:448.5,452,460.25,455,449\r\nDATE:2016-05-04 10:20:30\r\n\r\n";
    }
    return text;
}

void BM_ParseRecordText(benchmark::State& state) {
    const auto records = static_cast<int>(state.range(0));
    const std::u16string transmission = Transmission(records);
    for (auto _ : state) {
        std::u16string text = transmission;
        LedgermillItemList items;
        ParseRecordText(text, items);
        benchmark::DoNotOptimize(items.data());
    }
    state.SetItemsProcessed(state.iterations() * records);
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(transmission.size() * sizeof(char16_t)));
    state.counters["chars"] = static_cast<double>(transmission.size());
}
BENCHMARK(BM_ParseRecordText)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_LastLineStartsWith(benchmark::State& state) {
    const std::u16string transmission = Transmission(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(LastLineStartsWith(u"DATE", transmission));
    }
}
BENCHMARK(BM_LastLineStartsWith)->Arg(1000)->Arg(100000);

// 256-byte chunks, as the reader hands them over.
void BM_FrameReceivedBytes(benchmark::State& state) {
    const auto records = static_cast<int>(state.range(0));
    const std::string bytes = Utf16ToUtf8(Transmission(records));
    constexpr std::size_t kChunk = 256;
    for (auto _ : state) {
        CRecordFramer framer;
        std::vector<STFramedRecord> decided;
        for (std::size_t at = 0; at < bytes.size(); at += kChunk) {
            framer.Feed(std::string_view(bytes).substr(at, kChunk), decided);
        }
        benchmark::DoNotOptimize(decided.data());
    }
    state.SetItemsProcessed(state.iterations() * records);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_FrameReceivedBytes)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
