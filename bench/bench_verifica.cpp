// zeltar-verifica's checks over 1,000 generated disks: disks per second on
// one thread and on every core of the machine.
//
//   bench_verifica [benchmark flags]
//
// The disks (an application with 3 plants, 8 sectors, 60 goods, 5 producers
// and the shipped activities; one disk in ten with a fault) are written into
// a temporary directory, removed at the end.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "store/datadir.h"
#include "store/dbf.h"
#include "store/schema.h"
#include "tools/verify.h"

namespace fs = std::filesystem;

namespace {

constexpr int kDisks = 1000;

struct Disks {
    fs::path root = fs::temp_directory_path() / ("zeltar-bench-verifica-" + std::to_string(std::random_device()()));
    std::vector<fs::path> dirs;

    Disks() {
        std::mt19937 gen(20240101);
        const fs::path shipped = root / "catalogos";
        store::ensureDataDirectory(shipped);
        const char* sectors[] = {"I", "IIa", "V", "X", "XIXc", "XVb", "L", "XXa"};
        for (int d = 0; d < kDisks; ++d) {
            const fs::path dir = root / ("disco" + std::to_string(d));
            fs::create_directories(dir);
            const bool faulty = d % 10 == 0;
            auto rows = [](const char* table) { return store::Row(store::tableLayout(table).fields.size()); };
            store::Row app = rows("datoprov");
            const char* rfc = faulty ? " ABC851301XY1" : " ABC850101XY1";
            const std::pair<std::size_t, store::Value> values[] = {
                {0, rfc},
                {1, "2001"},
                {2, "15"},
                {4, "EMPRESA SA DE CV"},
                {8, "AV REFORMA 100"},
                {9, "CENTRO"},
                {10, "06600"},
                {14, "55"},
                {15, 2},
                {19, "ANA"},
                {20, "14"},
                {21, 3},
                {23, "DIRECTORA"},
                {24, "5552"},
                {26, "ana@empresa.mx"},
                {28, 20},
            };
            for (const auto& [pos, v] : values)
                app[pos] = v;
            store::DbfTable::createWithRows(dir / "datoprov.dbf", store::tableLayout("datoprov").fields, {app});
            std::vector<store::Row> plants(3, rows("catdirpl"));
            for (auto& p : plants)
                p[0] = store::Value("CALLE " + std::to_string(gen() % 100)), p[1] = store::Value("06600");
            store::DbfTable::createWithRows(dir / "catdirpl.dbf", store::tableLayout("catdirpl").fields, plants);
            std::vector<store::Row> sectorRows;
            for (int i = 0; i < 8; ++i)
                sectorRows.push_back({store::Value(1 + i % 2), store::Value(sectors[i]), store::Value("SECTOR")});
            store::DbfTable::createWithRows(dir / "Sector.dbf", store::tableLayout("sector").fields, sectorRows);
            std::vector<store::Row> goods;
            for (int i = 0; i < 60; ++i) {
                store::Row g = rows("mercbi");
                const int grid = i % 3;
                g[0] = store::Value(grid == 0 ? "X" : sectors[gen() % 8]);
                g[1] = store::Value(grid == 2 ? 2 : 1);
                g[2] = store::Value(std::to_string(10000000 + gen() % 89999999));
                g[3] = store::Value(grid == 2 ? 2 : 1);
                g[4] = store::Value("PARTES Y COMPONENTES " + std::to_string(i));
                g[12] = store::Value(grid == 0 ? 1 : 2);
                goods.push_back(g);
            }
            store::DbfTable::createWithRows(dir / "mercbi.dbf", store::tableLayout("mercbi").fields, goods);
            std::vector<store::Row> producers(5, rows("prodabas"));
            for (auto& p : producers)
                p[1] = store::Value("PROVEEDOR SA"), p[2] = store::Value(" PUN850101AB1");
            store::DbfTable::createWithRows(dir / "prodabas.dbf", store::tableLayout("prodabas").fields, producers);
            fs::copy_file(shipped / "activida.dbf", dir / "activida.dbf");
            dirs.push_back(dir);
        }
    }
    ~Disks() {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
};

const Disks& disks() {
    static const Disks d;
    return d;
}

void BM_VerifyDisks(benchmark::State& state) {
    const auto& d = disks();
    const unsigned threads = unsigned(state.range(0));
    for (auto _ : state) {
        auto reports = verify::checkDirectories(d.dirs, threads);
        benchmark::DoNotOptimize(reports);
        if (verify::exitStatus(reports) != 1)
            state.SkipWithError("a faulty disk was not found, or a disk could not be read");
    }
    state.counters["discos/s"] = benchmark::Counter(double(kDisks), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_VerifyDisks)
    ->Arg(1)
    ->Arg(std::max(2u, std::thread::hardware_concurrency()))
    ->ArgName("hilos")
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
