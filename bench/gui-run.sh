#!/usr/bin/env bash
# A backup run from the window against tarvix-dump over the same 1,000,000-row table: the
# window's progress display must not cost more than a tenth of the dump's time.
#   bench/gui-run.sh            (BENCH_RUNS=3, BENCH_MODE=direct|lib, BUILD=build-gui)
# Uses the private server named "gui" (started if needed, left running); the table is copied
# from bench.erp_rows (bench/make-data.sh) into a database of its own, gui_bench, which also
# holds the window's work table.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build-gui}
runs=${BENCH_RUNS:-3}
mode=${BENCH_MODE:-direct}

cmake --build "$build" -j1 --target gui_run_bench tarvix-dump >/dev/null
eval "$(scripts/mariadb-sandbox start gui)"
bench/make-data.sh bench >/dev/null

sql() {
  mariadb --no-defaults --protocol=TCP -h"$TARVIX_TEST_HOST" -P"$TARVIX_TEST_PORT" -uroot -pvbr7463 -N -B "$@"
}
if [ "$(sql -e "SELECT COUNT(*) FROM information_schema.TABLES WHERE TABLE_SCHEMA='gui_bench' AND TABLE_NAME='erp_rows'")" != 1 ]; then
  sql -e "CREATE DATABASE IF NOT EXISTS gui_bench CHARACTER SET utf8mb4;
          CREATE TABLE gui_bench.erp_rows LIKE bench.erp_rows;
          INSERT INTO gui_bench.erp_rows SELECT * FROM bench.erp_rows;
          CREATE TABLE gui_bench.tabelasbackup (id INT AUTO_INCREMENT PRIMARY KEY, descricao VARCHAR(50))"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
direct_key=N; direct_flag=()
[ "$mode" = direct ] && { direct_key=S; direct_flag=(--direct); }
printf '[LOCAL]\r\nSERVIDOR=%s\r\nPORTA=%s\r\nBANCO=gui_bench\r\nDIRECT=%s\r\n' \
  "$TARVIX_TEST_HOST" "$TARVIX_TEST_PORT" "$direct_key" > "$work/Admin.ini"

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
fastest() { sort -n | head -1; }
tool_times=(); window_times=()
for ((i = 1; i <= runs; i++)); do
  rm -rf "$work/out" && mkdir -p "$work/out"
  start=$(date +%s.%N)
  "$build/tools/tarvix-dump" --host "$TARVIX_TEST_HOST" --port "$TARVIX_TEST_PORT" --password vbr7463 \
    --database gui_bench --tables erp_rows --output "$work/tool.sql" "${direct_flag[@]}"
  tool_times+=("$(echo "$(date +%s.%N) - $start" | bc -l)")
  window_times+=("$(QT_QPA_PLATFORM=offscreen "$build/tests/gui/gui_run_bench" "$work" "$work/out" 2>/dev/null)")
done
window_file=$(find "$work/out" -name erp_rows.sql)
cmp -s "$work/tool.sql" "$window_file" && same=yes || same=NO

# The fastest run is the one least disturbed by other work on the machine; both are shown.
for stat in median fastest; do
  tool=$(printf '%s\n' "${tool_times[@]}" | $stat)
  window=$(printf '%s\n' "${window_times[@]}" | $stat)
  echo "mode $mode, $runs runs, $stat: tarvix-dump ${tool}s, window ${window}s," \
       "ratio $(echo "scale=3; $window / $tool" | bc -l)"
done
echo "same erp_rows.sql bytes: $same"
