// 1,000 goods rows pasted into the annexes window's first goods grid, ten of
// them refused by the row check: rows per second, each row checked and
// written to mercbi.dbf as typing it would.
//
//   bench_paste [benchmark flags]      (runs on Qt's offscreen platform)
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <filesystem>
#include <memory>

#include "annexes/anexos.h"
#include "store/database.h"
#include "store/datadir.h"
#include "store/dbf.h"
#include "store/schema.h"
#include "ui/datagrid.h"
#include "ui/mainwindow.h"

namespace {

constexpr int kRows = 1000;
constexpr int kBad = 10;

struct Main : ui::MainWindow {
    ui::MainWindowState shown;
    ui::MainWindowState state() const override { return shown; }
};

// What a spreadsheet puts on the clipboard: fraction and description, CR LF.
QString block() {
    QString text;
    for (int i = 0; i < kRows; ++i) {
        const bool bad = i % (kRows / kBad) == 7;
        text += QString::number(bad ? 1234567 : 84713000 + i) + u'\t'
                + QStringLiteral("PARTES Y COMPONENTES PARA ENSAMBLE NUMERO %1\r\n").arg(i);
    }
    return text;
}

void BM_PasteGoods(benchmark::State& state) {
    const QString text = block();
    Main main;
    main.shown.TipoProg = QStringLiteral("1");
    main.shown.Combo1Index = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir tmp;
        const std::filesystem::path dir = tmp.path().toStdU16String();
        store::ensureDataDirectory(dir);
        store::DbfTable::open(dir / "sector.dbf")
            ->append({store::Value(1), store::Value("X"), store::Value("ELECTRONICA")});
        store::Database db(dir);
        auto window = std::make_unique<annexes::Anexos>(db, main);
        ui::DataGrid* grid = window->dbganexo1;
        grid->setCurrentIndex(grid->model()->index(0, 3));
        state.ResumeTiming();
        const ui::DataGrid::PastedRows r = grid->pasteRows(text);
        state.PauseTiming();
        if (r.added != kRows - kBad || int(r.refused.size()) != kBad)
            state.SkipWithError("the wrong rows went in");
        window.reset();
        state.ResumeTiming();
    }
    state.counters["renglones/s"] = benchmark::Counter(double(kRows), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_PasteGoods)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
