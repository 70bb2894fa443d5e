// Speed of the statements the annex grids and the questionnaire run over the
// goods table, beside a plain read of the same file.
//
//   bench_statements [--generate DIR] [benchmark flags]
//
// The 200,000-row mercbi.dbf is generated into $ZELTAR_BENCH_DIR (kept, and
// reused when present) or into a temporary directory removed at the end.
// With --generate DIR it only writes DIR/mercbi.dbf and exits.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "store/dbf.h"
#include "store/platform/memory.h"
#include "store/schema.h"
#include "store/sql.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kRows = 200000;

fs::path g_file;
std::uintmax_t g_bytes = 0;

// Sector keys as the annexes window writes them, a blank key now and then.
const char* const kSectors[] = {"I",    "IIa",  "IIb",  "III", "IV",   "V",   "VI",   "VII", "VIII",
                                "IX",   "X",    "XI",   "XII", "XIII", "XIV", "XVa",  "XVb", "XVI",
                                "XVII", "XIXa", "XIXc", "XXa", "XXb",  "XXI", "XXII", ""};

void generate(const fs::path& file) {
    std::mt19937 gen(20240101);
    const auto& fields = store::tableLayout("mercbi").fields;
    std::vector<store::Row> rows;
    rows.reserve(kRows);
    for (std::size_t i = 0; i < kRows; ++i) {
        store::Row row(fields.size());
        const char* sector = kSectors[gen() % std::size(kSectors)];
        row[0] = *sector ? store::Value(std::string(sector)) : store::Value();
        const int programme = 1 + static_cast<int>(gen() % 2);
        const int annex = programme == 2 && gen() % 2 ? 2 : 1;
        row[1] = store::Value(programme);
        char fraction[9];
        std::snprintf(fraction, sizeof fraction, "%08u", static_cast<unsigned>(gen() % 100000000u));
        row[2] = store::Value(std::string(fraction));
        row[3] = store::Value(annex);
        row[4] = store::Value("PARTES Y COMPONENTES PARA ENSAMBLE NÚMERO " + std::to_string(gen() % 5000));
        row[12] = store::Value(annex == 2 ? 2 : 1 + static_cast<int>(gen() % 2));
        rows.push_back(std::move(row));
    }
    store::DbfTable::createWithRows(file, fields, rows);
}

// The plain read: the file's bytes into fresh memory, as any reader must.
void BM_ReadFileBytes(benchmark::State& state) {
    for (auto _ : state) {
        std::ifstream in(g_file, std::ios::binary);
        // Filled the same way the table reader fills its buffer.
        std::string buffer;
        buffer.reserve(g_bytes);
        store::platform::preferLargePages(buffer.data(), g_bytes);
        buffer.resize(g_bytes);
        in.read(buffer.data(), static_cast<std::streamsize>(g_bytes));
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kRows));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * g_bytes));
}

// Opening the table: the file read and its header and records checked.
void BM_OpenTable(benchmark::State& state) {
    for (auto _ : state) {
        auto table = store::DbfTable::open(g_file);
        benchmark::DoNotOptimize(table->recordCount());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kRows));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * g_bytes));
}

// Opening the table and decoding every field of every row.
void BM_OpenAndDecodeEveryRow(benchmark::State& state) {
    for (auto _ : state) {
        auto table = store::DbfTable::open(g_file);
        for (std::size_t r = 0; r < table->recordCount(); ++r) {
            store::Row row = table->read(r);
            benchmark::DoNotOptimize(row.data());
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kRows));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * g_bytes));
}

const char* const kStatements[] = {
    // Annex grids.
    "select * from mercbi where anexo=1 and tipobien = 1 order by idsector, fraccion",
    "select * from mercbi where anexo=1 and tipobien = 2 order by idsector, fraccion",
    "select * from mercbi where tipo_progr = 2 and anexo=2 and tipobien = 2 order by idsector, fraccion ",
    // Questionnaire goods lists.
    "select * from mercbi where idsector <> ' ' and anexo = 1 and tipo_progr <> 0 and anexo <> 0 and tipobien <> 0 "
    "order by idsector, tipo_progr, anexo, tipobien, fraccion",
    "select * from mercbi where idsector <> ' ' and anexo = 2 and tipo_progr = 2 and tipobien = 2 "
    "order by idsector, tipo_progr, anexo, tipobien, fraccion",
};

// A data source's first open: read the file, then answer the statement.
void BM_OpenAndEvaluate(benchmark::State& state) {
    const store::Statement st = store::Statement::parse(kStatements[state.range(0)]);
    std::size_t found = 0;
    for (auto _ : state) {
        auto table = store::DbfTable::open(g_file);
        found = st.evaluate(*table).records.size();
        benchmark::DoNotOptimize(found);
    }
    state.counters["result_rows"] = static_cast<double>(found);
    state.SetLabel(kStatements[state.range(0)]);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kRows));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * g_bytes));
}

// A re-read (refresh) over the table already open.
void BM_Evaluate(benchmark::State& state) {
    const store::Statement st = store::Statement::parse(kStatements[state.range(0)]);
    auto table = store::DbfTable::open(g_file);
    std::size_t found = 0;
    for (auto _ : state) {
        found = st.evaluate(*table).records.size();
        benchmark::DoNotOptimize(found);
    }
    state.counters["result_rows"] = static_cast<double>(found);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kRows));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * g_bytes));
}

BENCHMARK(BM_ReadFileBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenTable)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAndDecodeEveryRow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAndEvaluate)->DenseRange(0, std::size(kStatements) - 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Evaluate)->DenseRange(0, std::size(kStatements) - 1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--generate") == 0) {
        const fs::path file = fs::path(argv[2]) / "mercbi.dbf";
        fs::create_directories(argv[2]);
        fs::remove(file);
        generate(file);
        std::cout << file.string() << "\n";
        return 0;
    }

    fs::path dir;
    bool temporary = false;
    if (const char* env = std::getenv("ZELTAR_BENCH_DIR"); env && *env) {
        dir = env;
        fs::create_directories(dir);
    } else {
        dir = fs::temp_directory_path() / ("zeltar-bench-" + std::to_string(std::random_device{}()));
        fs::create_directories(dir);
        temporary = true;
    }
    g_file = dir / "mercbi.dbf";
    if (!fs::exists(g_file))
        generate(g_file);
    g_bytes = fs::file_size(g_file);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::AddCustomContext("rows", std::to_string(kRows));
    benchmark::AddCustomContext("file_bytes", std::to_string(g_bytes));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (temporary)
        fs::remove_all(dir);
    return 0;
}
