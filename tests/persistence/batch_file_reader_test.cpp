// The streaming batch file reader against the tree it replaces: for every
// file, sound or damaged, and every way of cutting it into chunks, it must
// give the batch that CSerializer::OpenForRead and ReadBatch give.
#include "persistence/batch_file_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <future>
#include <random>
#include <thread>
#include <vector>

#include "persistence/batch_file.h"
#include "persistence/field_text.h"
#include "persistence/item_name_index.h"
#include "persistence/serializer.h"
#include "persistence/text_file.h"
#include "persistence/xml_parser.h"
#include "support/batch_difference.h"
#include "support/temp_folder.h"

using namespace std::string_literals;
namespace fs = std::filesystem;

namespace {

constexpr std::int64_t kBaseTime = 1234;

std::string FileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Golden() {
    return FileBytes(fs::path(MARLO_TEST_DATA) / "worked_example.hdb");
}

// What a load starts from: a fixed time, and an item already there, so that
// appending is checked too.
STLedgermill BaseBatch() {
    STLedgermill batch;
    batch.m_time = kBaseTime;
    auto item = std::make_unique<STLedgermillItem>();
    item->m_values = {1.0};
    batch.AddItem(std::move(item));
    return batch;
}

// The tree's load of bytes, as OpenForRead reads a file holding them; false
// when it is no archive.
bool TreeLoad(const std::string& bytes, STLedgermill& batch) {
    std::string text = bytes;
    CollapseCrLf(text);
    XmlDocument document;
    CXmlParser().ParseDocument(text, document);
    if (document.empty() || document.front()->m_strName != kRootName) {
        return false;
    }
    ReadBatch(document.front().get(), kBatchInstanceName, batch);
    return true;
}

STBatchLoadOptions WithChunk(std::size_t chunkBytes) {
    STBatchLoadOptions options;
    options.m_nChunkBytes = chunkBytes;
    return options;
}

// Chunks of 1 to 7 bytes split every token, CR LF pair and name somewhere.
const std::vector<std::size_t> kChunkSizes{1, 2, 3, 4, 5, 6, 7, 64, kBatchFileChunkBytes};

void ExpectStreamedAsTree(const std::string& bytes, const std::string& label,
                          const std::vector<std::size_t>& chunkSizes = kChunkSizes) {
    const STLedgermill base = BaseBatch();
    STLedgermill tree = base;
    const bool archive = TreeLoad(bytes, tree);
    for (const std::size_t chunk : chunkSizes) {
        STLedgermill streamed = base;
        const EBatchLoadResult result = LoadBatchBytes(bytes, streamed, WithChunk(chunk));
        EXPECT_EQ(result, archive ? EBatchLoadResult::kLoaded : EBatchLoadResult::kNotArchive)
            << label << ", chunks of " << chunk;
        EXPECT_EQ(BatchDifference(streamed, tree), "") << label << ", chunks of " << chunk;
    }
}

// Element text as the writer lays it out, without the indentation.
std::string El(const std::string& name, const std::string& text = "",
               const std::string& inner = "") {
    return "<" + name + ">\r\n" + (text.empty() ? "" : text + "\r\n") + inner + "</" +
           std::string(TagName(name)) + ">\r\n";
}

std::string Archive(const std::string& inner) {
    return El("SerializationObject", "", inner);
}

std::string Hex(std::u16string_view text) {
    return HexEncode(text);
}

std::string Entry(const std::string& name, std::u16string_view key, std::u16string_view value) {
    return El(name, "", El("map_key", Hex(key)) + El("map_value", Hex(value)));
}

// An item named name with an average, a NAME entry and two readings.
std::string Item(const std::string& name, const std::string& average,
                 const std::string& reading = "440.5") {
    return El(name + " class = \"STLedgermillItem\"", "",
              El("m_dAverage", average) + El("m_subItem", "", Entry("item0", u"NAME", u"T1")) +
                  El("m_values", "", El("item0", reading) + El("item1", "450")));
}

std::string Vector(const std::string& items) {
    return El("m_itemVector", "", items);
}

std::string Batch(const std::string& fields) {
    return El("STLedgermill class = \"STLedgermill\"", "", fields);
}

std::string Items() {
    return Vector(Item("item0", "445") + Item("item1", "446"));
}

// A batch created at 77 with count items.
std::string ItemsAfterTime77(int count) {
    std::string items;
    for (int i = 0; i < count; ++i) {
        items += Item("item" + std::to_string(i), "445");
    }
    return Archive(Batch(El("m_time", "77") + Vector(items)));
}

std::string InOneItem(const std::string& fields) {
    return Archive(Batch(Vector(El("item0", "", fields))));
}

// More values than a container's reader compares directly, names repeating.
std::string ManyValues() {
    std::string values;
    for (int i = 0; i < 40; ++i) {
        values += El("v" + std::to_string(i % 13), std::to_string(i) + ".25");
    }
    return values;
}

struct STCase {
    std::string m_strLabel;
    std::string m_strBytes;
};

std::vector<STCase> DamagedCases() {
    const std::string time = El("m_time", "1450000000");
    const std::string model = El("m_nTestModel", "1");
    const std::string limit = El("m_dUpperLimit", "600.5");
    const std::string golden = Golden();
    std::string lfOnly = golden;
    std::erase(lfOnly, '\r');
    return {
        {"worked example", golden},
        {"LF line ends", lfOnly},
        {"text before the first <", "junk > text\r\n" + golden},
        {"nothing after the root", golden.substr(0, golden.find("\t<STLedgermill"))},
        {"fields in order", Archive(Batch(model + limit + time + Items()))},
        {"fields in reverse order", Archive(Batch(Items() + time + limit + model))},
        {"time after the items", Archive(Batch(model + Items() + time))},
        {"no time", Archive(Batch(model + Items()))},
        {"time that is no number", Archive(Batch(El("m_time", "abc") + Items()))},
        {"time with trailing text", Archive(Batch(El("m_time", " -5xyz") + Items()))},
        {"second time", Archive(Batch(time + El("m_time", "7") + Items()))},
        {"time inside an item only",
         Archive(Batch(Vector(El("item0", "", El("m_time", "99") + El("m_dMax", "1")))))},
        {"second batch",
         Archive(Batch(model + time + Items()) + Batch(El("m_nTestModel", "5") + Items()))},
        {"second item vector", Archive(Batch(Items() + Vector(Item("item0", "1"))))},
        {"item vector beside the batch", Archive(Vector(Item("item0", "1")) + Batch(time))},
        {"batch below another element", Archive(El("x", "", Batch(time + Items())))},
        {"duplicate item names",
         Archive(Batch(time + Vector(Item("item0", "445") + Item("item0", "999", "1") +
                                     Item("item1", "446") + Item("item0", "3"))))},
        {"items with any names",
         Archive(Batch(Vector(Item("x", "1") + Item("item7", "2") + Item("x y=\"1\"", "3") +
                              Item("zz", "4") + El("bare") + El("item7", "text"))))},
        {"names differing in CR LF only",
         Archive(Batch(Vector(Item("a\r\nb", "1") + Item("a\nb", "2") + Item("a\rb", "3"))))},
        {"names differing in entities only",
         Archive(Batch(Vector(Item("a&amp;b", "1") + Item("a&b", "2"))))},
        {"values repeating names, with no number",
         InOneItem(El("m_values", "",
                      El("a", "12.5") + El("b", "abc") + El("c", "12.5") + El("b", "99") +
                          El("a b", "7") + El("d", "1e999") + El("e", "-inf") +
                          El("f", "nan")))},
        {"many values repeating names", InOneItem(El("m_values", "", ManyValues()))},
        {"map entries damaged",
         InOneItem(El("m_subItem", "",
                      Entry("item0", u"NAME", u"A") + El("item1", "", El("map_key", "4100410")) +
                          El("item2", "", El("map_value", "4200")) +
                          Entry("item0", u"NAME", u"B") +
                          El("item3", "", El("map_key", "41\r\n00") + El("map_value", "4\r\n200")) +
                          El("item4", "", El("map_key", "", El("map_key", "4300")))) +
                   El("m_subItem", "", Entry("item0", u"X", u"Y")))},
        {"fields repeated in an item",
         InOneItem(El("m_dMax", "1") + El("m_dMax", "2") + El("m_values", "", El("item0", "3")) +
                   El("m_values", "", El("item0", "4")))},
        {"numbers split by CR LF",
         Archive(Batch(El("m_time", "14\r\n5") + El("m_dMax", "4\r\n4.5") + Items()))},
        {"entities and NUL bytes in texts",
         Archive(Batch(El("m_dMax", "&#52;2") + El("m_dMin", "-&amp;1") +
                       El("m_bUseLimit", "false") + El("m_nTestMethod", "\0" "7"s) +
                       El("m_dAverage", "3\0" "5"s) + Items()))},
        {"tokens with two >", Archive(Batch(time + "<m_dMax>>5</m_dMax>" + Items()))},
        {"empty and slash tags",
         Archive(Batch(time + "<>< >" + Items() + "</>" + El("m_dMin", "9")))},
        {"unclosed", Archive(Batch(time + Vector(Item("item0", "1")))).substr(0, 400)},
        {"missing end tags", "<SerializationObject><STLedgermill><m_time>5<m_itemVector><item0>"
                             "<m_dMax>3</m_dMax><m_values><item0>4"},
        {"self-closing tags", Archive(Batch(time + "<m_dMax/>9</m_dMax>" + Items()))},
        {"root with attributes", El("SerializationObject a = \"1\"", "", Batch(time + Items()))},
        {"root with text", El("SerializationObject", "text", Batch(time + Items()))},
        {"root named otherwise", El("serializationobject", "", Batch(time + Items()))},
        {"root name with a TAB", El("SerializationObject\tx", "", Batch(time))},
        {"root name with CR LF", El("Serialization\r\nObject", "", Batch(time))},
        {"first token closes", "</a>" + Archive(Batch(time))},
        {"empty", ""},
        {"no markup", "no markup\r\n"},
        {"lone <", "<"},
        {"root only", "<SerializationObject>"},
        {"root closed at once", "<SerializationObject></SerializationObject>" + Batch(time)},
        {"CR at the end", Archive(Batch(time + Items())) + "\r"},
        {"bare CRs", Archive(Batch("<m_time>\r5\r\r\n</m_time>\r\r" + Items()))},
    };
}

class StreamedAsTree : public testing::TestWithParam<STCase> {};

std::string CaseName(const testing::TestParamInfo<STCase>& info) {
    std::string name;
    for (const char c : info.param.m_strLabel) {
        name.push_back(std::isalnum(static_cast<unsigned char>(c)) ? c : '_');
    }
    return name;
}

}  // namespace

TEST_P(StreamedAsTree, AtEveryChunkSize) {
    ExpectStreamedAsTree(GetParam().m_strBytes, GetParam().m_strLabel);
}

INSTANTIATE_TEST_SUITE_P(Damaged, StreamedAsTree, testing::ValuesIn(DamagedCases()), CaseName);

TEST(StreamedAsTreeOnFiles, EveryFileOfTheTestsAndTheFuzzCorpus) {
    std::vector<fs::path> files;
    for (const char* folder :
         {MARLO_TEST_DATA, MARLO_TEST_DATA "/fuzz-regressions", MARLO_FUZZ_CORPUS}) {
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (entry.is_regular_file()) {
                files.push_back(entry.path());
            }
        }
    }
    ASSERT_GE(files.size(), 10u);
    for (const fs::path& file : files) {
        ExpectStreamedAsTree(FileBytes(file), file.string());

        // And from the file itself, against CSerializer reading it.
        STLedgermill tree = BaseBatch();
        CSerializer archive;
        const bool isArchive = archive.OpenForRead(file.string());
        if (isArchive) {
            ReadBatch(archive.GetRoot(), kBatchInstanceName, tree);
        }
        STLedgermill streamed = BaseBatch();
        EXPECT_EQ(LoadBatchFile(file.string(), streamed),
                  isArchive ? EBatchLoadResult::kLoaded : EBatchLoadResult::kNotArchive)
            << file;
        EXPECT_EQ(BatchDifference(streamed, tree), "") << file;
    }
}

TEST(StreamedAsTreeOnFiles, WorkedExampleCutOffAtEveryByte) {
    const std::string golden = Golden();
    for (std::size_t size = 0; size <= golden.size(); ++size) {
        ExpectStreamedAsTree(golden.substr(0, size), "first " + std::to_string(size) + " bytes",
                             {1 + size % 7, kBatchFileChunkBytes});
    }
}

// Small random damage to a sound file: bytes that matter to the parser
// dropped, doubled or put in, and whole lines repeated or dropped.
TEST(StreamedAsTreeOnFiles, RandomlyDamagedFiles) {
    const std::string sound = Archive(Batch(El("m_time", "1450000000") + El("m_dMax", "3") +
                                            Vector(Item("item0", "445") + Item("item1", "446") +
                                                   Item("item2", "447"))));
    std::mt19937 random(20240501);
    const auto pick = [&random](std::size_t count) {
        return std::uniform_int_distribution<std::size_t>(0, count - 1)(random);
    };
    constexpr std::string_view kSpecial = "<>/ \r\n\t&=\"x";
    for (int round = 0; round < 400; ++round) {
        std::string bytes = sound;
        for (std::size_t edits = 1 + pick(4); edits > 0; --edits) {
            const std::size_t at = pick(bytes.size());
            switch (pick(5)) {
                case 0:
                    bytes.erase(at, 1);
                    break;
                case 1:
                    bytes.insert(at, 1, bytes[at]);
                    break;
                case 2:
                    bytes.insert(at, 1, kSpecial[pick(kSpecial.size())]);
                    break;
                case 3: {  // a line repeated
                    const std::size_t start = bytes.rfind('\n', at) + 1;
                    const std::size_t end = bytes.find('\n', at);
                    bytes.insert(start, bytes.substr(start, end - start + 1));
                    break;
                }
                default: {  // a line dropped
                    const std::size_t start = bytes.rfind('\n', at) + 1;
                    bytes.erase(start, bytes.find('\n', at) + 1 - start);
                    break;
                }
            }
        }
        ExpectStreamedAsTree(bytes, "round " + std::to_string(round),
                             {1 + pick(7), 16, kBatchFileChunkBytes});
    }
}

namespace {

struct STAsked {
    std::vector<std::int64_t> m_times;
    bool m_bAccept = true;
};

STBatchLoadOptions Asking(STAsked& asked, std::size_t chunkBytes = kBatchFileChunkBytes) {
    STBatchLoadOptions options = WithChunk(chunkBytes);
    options.m_fnAcceptTime = [&asked](std::int64_t time) {
        asked.m_times.push_back(time);
        return asked.m_bAccept;
    };
    return options;
}

struct STTimeCase {
    std::string m_strLabel;
    std::string m_strBytes;
    std::int64_t m_nAsked;
};

}  // namespace

// The creation time is offered once, with the time the loaded batch gets;
// a refusal leaves the batch as it was.
TEST(AcceptTime, IsAskedOnceWithTheTimeTheBatchGets) {
    const std::string items = Items();
    const std::vector<STTimeCase> cases{
        {"before the items", Archive(Batch(El("m_time", "77") + items)), 77},
        {"after the items", Archive(Batch(items + El("m_time", "78"))), 78},
        {"missing", Archive(Batch(items)), kBaseTime},
        {"no number", Archive(Batch(El("m_time", "x") + items + El("m_time", "9"))), kBaseTime},
        {"twice", Archive(Batch(El("m_time", "79") + El("m_time", "80") + items)), 79},
        {"no batch", Archive(El("m_time", "81")), kBaseTime},
        {"worked example", Golden(), 1450000000},
    };
    for (const STTimeCase& test : cases) {
        for (const bool accept : {true, false}) {
            for (const std::size_t chunk : {std::size_t{3}, kBatchFileChunkBytes}) {
                STAsked asked;
                asked.m_bAccept = accept;
                STLedgermill batch = BaseBatch();
                const EBatchLoadResult result =
                    LoadBatchBytes(test.m_strBytes, batch, Asking(asked, chunk));
                EXPECT_EQ(asked.m_times, std::vector<std::int64_t>{test.m_nAsked})
                    << test.m_strLabel;
                if (accept) {
                    EXPECT_EQ(result, EBatchLoadResult::kLoaded) << test.m_strLabel;
                    EXPECT_EQ(batch.m_time, test.m_nAsked) << test.m_strLabel;
                } else {
                    EXPECT_EQ(result, EBatchLoadResult::kRefused) << test.m_strLabel;
                    EXPECT_EQ(BatchDifference(batch, BaseBatch()), "") << test.m_strLabel;
                }
            }
        }
    }
}

TEST(AcceptTime, RefusalStopsReadingBeforeTheItems) {
    const std::string bytes = ItemsAfterTime77(2000);
    STAsked asked;
    asked.m_bAccept = false;
    STFileProgress progress;
    STBatchLoadOptions options = Asking(asked, 64);
    options.m_pProgress = &progress;
    STLedgermill batch = BaseBatch();
    EXPECT_EQ(LoadBatchBytes(bytes, batch, options), EBatchLoadResult::kRefused);
    EXPECT_EQ(progress.m_nTotal, bytes.size());
    EXPECT_LE(progress.m_nDone, bytes.find("<m_itemVector") + 64);
}

TEST(AcceptTime, IsNotAskedForAFileThatIsNoArchive) {
    for (const std::string& bytes : {""s, "text"s, "<other><m_time>5</m_time></other>"s}) {
        STAsked asked;
        STLedgermill batch = BaseBatch();
        EXPECT_EQ(LoadBatchBytes(bytes, batch, Asking(asked)), EBatchLoadResult::kNotArchive);
        EXPECT_TRUE(asked.m_times.empty());
    }
}

TEST(LoadBatch, CancelSetBeforehandLoadsNothing) {
    std::atomic<bool> cancel{true};
    STBatchLoadOptions options;
    options.m_pCancel = &cancel;
    STLedgermill batch = BaseBatch();
    EXPECT_EQ(LoadBatchBytes(Golden(), batch, options), EBatchLoadResult::kCancelled);
    EXPECT_EQ(BatchDifference(batch, BaseBatch()), "");
}

// As the window uses it: a worker loads while another thread shows the
// progress and cancels. The worker waits, when it offers the time, until the
// cancel flag is set, so that the load is in the middle of the file.
TEST(LoadBatch, AnotherThreadWatchesTheProgressAndCancels) {
    const std::string bytes = ItemsAfterTime77(500);
    STFileProgress progress;
    std::atomic<bool> cancel{false};
    std::promise<void> offered;
    std::promise<void> cancelled;
    std::shared_future<void> cancelSet = cancelled.get_future().share();
    STBatchLoadOptions options = WithChunk(256);
    options.m_pProgress = &progress;
    options.m_pCancel = &cancel;
    options.m_fnAcceptTime = [&offered, cancelSet](std::int64_t) {
        offered.set_value();
        cancelSet.wait();
        return true;
    };
    STLedgermill batch = BaseBatch();
    EBatchLoadResult result = EBatchLoadResult::kLoaded;
    std::thread worker([&] { result = LoadBatchBytes(bytes, batch, options); });

    offered.get_future().wait();
    EXPECT_EQ(progress.m_nTotal, bytes.size());
    EXPECT_GT(progress.m_nDone, 0u);
    EXPECT_LT(progress.m_nDone, bytes.size());
    cancel = true;
    cancelled.set_value();
    worker.join();
    EXPECT_EQ(result, EBatchLoadResult::kCancelled);
    EXPECT_EQ(BatchDifference(batch, BaseBatch()), "");
}

class LoadBatchFileTest : public TempFolder {};

TEST_F(LoadBatchFileTest, ReportsBytesReadAndFailsOnUnreadablePaths) {
    WriteBytes("example.hdb", Golden());
    STFileProgress progress;
    STBatchLoadOptions options;
    options.m_pProgress = &progress;
    STLedgermill batch;
    ASSERT_EQ(LoadBatchFile(PathOf("example.hdb"), batch, options), EBatchLoadResult::kLoaded);
    EXPECT_EQ(batch.m_time, 1450000000);
    EXPECT_EQ(batch.m_itemVector.size(), 1u);
    EXPECT_EQ(progress.m_nTotal, Golden().size());
    EXPECT_EQ(progress.m_nDone, progress.m_nTotal);

    STLedgermill untouched = BaseBatch();
    EXPECT_EQ(LoadBatchFile(PathOf("missing.hdb"), untouched), EBatchLoadResult::kNotArchive);
    EXPECT_EQ(LoadBatchFile(m_root.string(), untouched), EBatchLoadResult::kNotArchive);
    EXPECT_EQ(BatchDifference(untouched, BaseBatch()), "");
}

TEST(ItemNameIndex, FindsTheFirstItemOfEachNameHoweverItIsLookedUp) {
    CItemNameIndex index;
    // name, index of the item, the first item of its name
    const std::vector<std::tuple<std::string, std::size_t, std::size_t>> items{
        {"item0", 0, 0},       {"item1", 1, 1},       {"item01", 2, 2},  {"item1", 3, 1},
        {"item5000", 4, 4},    {"x", 5, 5},           {"item", 6, 6},    {"item01", 7, 2},
        {"item5000", 3000, 4}, {"item2999", 3001, 3001}, {"x", 3002, 5}, {"item-1", 3003, 3003},
        {"item1234567890", 3004, 3004}, {"item1234567890", 3005, 3004},
    };
    for (const auto& [name, at, first] : items) {
        EXPECT_EQ(index.FirstOf(name, at), std::make_pair(first, first == at)) << name << " " << at;
    }
}
