#!/usr/bin/env bash
# Builds the statement benchmark (Release, in build-bench/ unless BUILD is
# set), generates the 200,000-row goods table, runs the C++ benchmark and the
# plain Python reader on the same file, and prints the figures side by side.
#
#   bench/run.sh [STATEMENT-NUMBER 0-4]
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${BUILD:-$ROOT/build-bench}
STATEMENT=${1:-0}

if [ ! -f "$BUILD/CMakeCache.txt" ]; then
  cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DZELTAR_BUILD_GUI=OFF >/dev/null
fi
cmake --build "$BUILD" --target bench_statements -j "$(nproc 2>/dev/null || echo 2)" >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$BUILD/bench/bench_statements" --generate "$work" >/dev/null

echo "== C++ (store::DbfTable + store::Statement), 200000 rows, $(stat -c %s "$work/mercbi.dbf") bytes"
ZELTAR_BENCH_DIR="$work" "$BUILD/bench/bench_statements" \
  --benchmark_out="$work/cpp.json" --benchmark_out_format=json --benchmark_counters_tabular=true

echo
echo "== Python reader (bench/pyread.py), statement $STATEMENT"
python3 "$ROOT/bench/pyread.py" "$work/mercbi.dbf" "$STATEMENT" --json >"$work/py.json"

python3 - "$work/cpp.json" "$work/py.json" "$STATEMENT" <<'PY'
import json, sys
cpp = json.load(open(sys.argv[1]))["benchmarks"]
py = json.load(open(sys.argv[2]))
n = sys.argv[3]
def secs(name, field="real_time"):
    b = next(b for b in cpp if b["name"] == name)
    scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[b["time_unit"]]
    return b[field] * scale
# Wall time and CPU time: on a busy machine the CPU figures compare better.
for label, field, pykey in (("wall", "real_time", "seconds"), ("cpu", "cpu_time", "cpu_seconds")):
    read = secs("BM_ReadFileBytes", field)
    opened = secs("BM_OpenTable", field)
    stmt = secs("BM_OpenAndEvaluate/%s" % n, field)
    refresh = secs("BM_Evaluate/%s" % n, field)
    pys = py[pykey]
    print("[%s time] %s" % (label, py["statement"]))
    print("  python reader     : %8.3f s  (%d rows answered)" % (pys, py["result_rows"]))
    print("  C++ open+evaluate : %8.3f s" % stmt)
    print("  C++ evaluate only : %8.3f s  (table already open, a refresh)" % refresh)
    print("  plain file read   : %8.3f s ; table open: %.3f s" % (read, opened))
    print("  ratio python / C++ open+evaluate     : %6.1fx" % (pys / stmt))
    print("  ratio python / C++ evaluate only     : %6.1fx" % (pys / refresh))
    print("  ratio C++ open+evaluate / plain read : %6.2fx" % (stmt / read))
PY
