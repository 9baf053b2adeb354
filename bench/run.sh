#!/usr/bin/env bash
# The whole benchmark: builds (Release), makes sure a private server named "bench" runs, makes
# the data, runs every stage and prints a summary. One function per stage; a new stage is a
# function stage_NAME that calls need_server if it talks to the server, appends lines to the
# summary with `report`, and has its name in STAGES.
#   bench/run.sh [stage...]        default: every stage in STAGES
# Environment: BENCH_RUNS (default 5), BENCH_MODE lib|direct|both (default both),
# BENCH_DB (default bench), BENCH_BUILD (build folder, default build-bench), BENCH_JOBS (-j, 1),
# BENCH_TABLES (tables of the dump stage, default "erp_rows narrow_rows blob_rows"),
# BENCH_DUMP_RUNS / BENCH_ALL_RUNS (runs of the dump / all stages, default BENCH_RUNS),
# BENCH_OUT (scratch folder for the scripts written, default /tmp; a folder of our own is made
# inside and removed afterwards).
# The server is left running (its data took time to make); stop it with
#   scripts/mariadb-sandbox stop bench
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

STAGES=(build server data fetch dump all)

runs=${BENCH_RUNS:-5}
mode=${BENCH_MODE:-both}
database=${BENCH_DB:-bench}
build=${BENCH_BUILD:-$root/build-bench}
jobs=${BENCH_JOBS:-1}
summary=$(mktemp)
scratch=
cleanup() {
  rm -f "$summary"
  [ -z "$scratch" ] || rm -rf "$scratch"
}
trap cleanup EXIT

report() { printf '%s\n' "$*" >> "$summary"; }
say() { printf '\n== %s\n' "$*"; }

stage_build() {
  say "build ($build, Release)"
  mkdir -p "$build"
  # The windows are not needed here; a half-finished one must not stop the bench.
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTARVIX_BUILD_GUI=OFF > "$build/configure.log" 2>&1 ||
    { cat "$build/configure.log" >&2; return 1; }
  cmake --build "$build" -j"$jobs" --target fetch_bench dump_floor timeit tarvix-dump
}

# The address always comes from our own sandbox, never from an inherited TARVIX_TEST_* (which
# may name the tests' server).
server_up=
need_server() {
  [ -n "$server_up" ] && return
  # Starts the sandbox only when it is not running; prints its export line either way.
  eval "$(scripts/mariadb-sandbox start bench)"
  server_up=1
}

stage_server() {
  say "server"
  need_server
  echo "server on $TARVIX_TEST_HOST:$TARVIX_TEST_PORT"
  report "server bench on $TARVIX_TEST_HOST:$TARVIX_TEST_PORT"
}

stage_data() {
  say "data ($database)"
  need_server
  bench/make-data.sh "$database"
}

stage_fetch() {
  local table out rc
  need_server
  for table in erp_rows narrow_rows; do
    say "fetch $table ($runs runs, mode $mode)"
    out=$(mktemp)
    rc=0
    "$build/bench/fetch_bench" --host "$TARVIX_TEST_HOST" --port "$TARVIX_TEST_PORT" \
      --database "$database" --table "$table" --runs "$runs" --mode "$mode" | tee "$out" || rc=$?
    # A failing variant (e.g. the direct mode) is reported, not fatal: the others still count.
    sed -n 's/^RESULT /fetch /p' "$out" | while read -r line; do report "$line"; done
    [ "$rc" = 0 ] || report "fetch table=$table exit=$rc (a variant failed or differed, see above)"
    rm -f "$out"
  done
}

# --- dump and all: whole processes timed by timeit (wall, CPU, peak RSS of the process itself)

password=vbr7463
tables=(${BENCH_TABLES:-erp_rows narrow_rows blob_rows})

# A folder of the bench's own for the scripts written; removed on exit.
need_scratch() {
  [ -n "$scratch" ] && return
  scratch=$(mktemp -d "${BENCH_OUT:-/tmp}/tarvix-bench.XXXXXX")
}

sql() {
  mariadb --no-defaults --protocol=TCP -h"$TARVIX_TEST_HOST" -P"$TARVIX_TEST_PORT" -uroot -p"$password" -N -B "$@"
}

# run_variant VARIANT DB TABLE OUT: one timed run; prints timeit's line.
run_variant() {
  local variant=$1 db=$2 table=$3 out=$4
  local conn=(--host "$TARVIX_TEST_HOST" --port "$TARVIX_TEST_PORT" --user root --password "$password")
  case "$variant" in
    floor) "$build/bench/timeit" --out "$out" -- "$build/bench/dump_floor" "${conn[@]}" --database "$db" --table "$table" ;;
    lib) "$build/bench/timeit" -- "$build/tools/tarvix-dump" "${conn[@]}" --database "$db" --tables "$table" --output "$out" ;;
    direct) "$build/bench/timeit" -- "$build/tools/tarvix-dump" "${conn[@]}" --database "$db" --tables "$table" --output "$out" --direct ;;
    mariadb-dump) "$build/bench/timeit" --out "$out" -- mariadb-dump --no-defaults -h"$TARVIX_TEST_HOST" -P"$TARVIX_TEST_PORT" -uroot -p"$password" \
        --no-create-info --skip-extended-insert --complete-insert --skip-add-locks --skip-disable-keys --skip-comments \
        --skip-tz-utc --quick "$db" "$table" ;;
    *) echo "run.sh: unknown variant $variant" >&2; return 2 ;;
  esac
}

field() { sed -n "s/.*\b$1=\([^ ]*\).*/\1/p" <<< "$2"; }

# medians FILE: FILE has "key variant wall cpu rss bytes" lines; prints "key variant
# median-wall median-cpu max-rss-kb bytes runs" per key and variant, in first-seen order.
medians() {
  python3 - "$1" <<'PY'
import statistics, sys
groups = {}
for line in open(sys.argv[1]):
    k, v, wall, cpu, rss, size = line.split()
    g = groups.setdefault((k, v), [[], [], 0, size])
    g[0].append(float(wall)); g[1].append(float(cpu)); g[2] = max(g[2], int(rss)); g[3] = size
for (k, v), (w, c, rss, size) in groups.items():
    print(k, v, "%.4f" % statistics.median(w), "%.4f" % statistics.median(c), rss, size, len(w))
PY
}

stage_dump() {
  local variants=(floor lib direct mariadb-dump) table variant round k line out results rc
  local dump_runs=${BENCH_DUMP_RUNS:-$runs}
  need_server
  need_scratch
  results=$scratch/dump-results
  : > "$results"
  for table in "${tables[@]}"; do
    say "dump $table ($dump_runs runs of each, alternating: ${variants[*]})"
    run_variant floor "$database" "$table" "$scratch/warm" > /dev/null  # buffer pool
    for ((round = 0; round < dump_runs; round++)); do
      for ((k = 0; k < ${#variants[@]}; k++)); do
        # The starting variant rotates, so none always meets the server just after the same one.
        variant=${variants[(k + round) % ${#variants[@]}]}
        out=$scratch/$table.$variant.sql
        # A fresh file each time: cutting the last run's 300 MB would be timed too.
        rm -f "$out"
        rc=0
        line=$(run_variant "$variant" "$database" "$table" "$out") || rc=$?
        if [ "$rc" != 0 ] || [ "$(field status "$line")" != 0 ]; then
          echo "run $((round + 1)) $variant FAILED: $line" >&2
          report "dump table=$table variant=$variant FAILED"
          continue
        fi
        printf '%s %s %s %s %s %s\n' "$table" "$variant" "$(field wall_s "$line")" "$(field cpu_s "$line")" \
          "$(field rss_kb "$line")" "$(stat -c %s "$out")" >> "$results"
        printf 'run %d  %-13s %s  %s bytes\n' $((round + 1)) "$variant" "$line" "$(stat -c %s "$out")"
        # Removed at once, so its dirty pages are dropped rather than written back during the
        # next runs; the first round keeps both modes' scripts for the comparison below.
        [ "$round" = 0 ] && { [ "$variant" = lib ] || [ "$variant" = direct ]; } || rm -f "$out"
      done
      # Both modes must write the same script; checked once per table.
      if [ "$round" = 0 ] && ! cmp -s "$scratch/$table.lib.sql" "$scratch/$table.direct.sql"; then
        echo "MISMATCH: lib and direct scripts of $table differ" >&2
        report "dump table=$table MISMATCH lib/direct"
      fi
      [ "$round" != 0 ] || rm -f "$scratch/$table.lib.sql" "$scratch/$table.direct.sql"
    done
    rm -f "$scratch/$table".*.sql "$scratch/warm"
  done
  say "dump: medians of $dump_runs runs; ratio = median wall / median wall of the floor"
  printf '%-12s %-13s %9s %7s %9s %10s %12s\n' table variant "wall s" ratio "CPU s" "peak MiB" "bytes out"
  medians "$results" | awk '
    { key[NR] = $0; if ($2 == "floor") floor[$1] = $3 }
    END { for (i = 1; i <= NR; i++) { split(key[i], f, " ")
            printf "%-12s %-13s %9.3f %7.3f %9.3f %10.1f %12d\n", f[1], f[2], f[3],
                   (floor[f[1]] > 0 ? f[3] / floor[f[1]] : 0), f[4], f[5] / 1024, f[6] } }' |
    tee "$scratch/dump-table"
  while read -r t v w r c m b; do
    report "dump table=$t variant=$v median_s=$w ratio=$r cpu_s=$c peak_rss_mib=$m bytes=$b"
  done < "$scratch/dump-table"
}

# bench_all: the three tables and nothing else, copied from $database; kept when complete.
make_bench_all() {
  local table have want other
  sql -e "CREATE DATABASE IF NOT EXISTS bench_all CHARACTER SET utf8mb4 COLLATE utf8mb4_general_ci"
  for other in $(sql -e "SELECT TABLE_NAME FROM information_schema.TABLES WHERE TABLE_SCHEMA = 'bench_all'"); do
    case " erp_rows narrow_rows blob_rows " in *" $other "*) ;; *) sql bench_all -e "DROP TABLE \`$other\`" ;; esac
  done
  for table in erp_rows narrow_rows blob_rows; do
    want=$(sql -e "SELECT COUNT(*) FROM \`$database\`.\`$table\`")
    have=$(sql -e "SELECT COUNT(*) FROM information_schema.TABLES WHERE TABLE_SCHEMA = 'bench_all' AND TABLE_NAME = '$table'")
    [ "$have" = 1 ] && have=$(sql -e "SELECT COUNT(*) FROM bench_all.\`$table\`") || have=-1
    if [ "$have" = "$want" ]; then
      echo "bench_all.$table has $want rows, kept"
      continue
    fi
    sql -e "DROP TABLE IF EXISTS bench_all.\`$table\`; CREATE TABLE bench_all.\`$table\` LIKE \`$database\`.\`$table\`;
            INSERT INTO bench_all.\`$table\` SELECT * FROM \`$database\`.\`$table\`"
    echo "bench_all.$table copied, $want rows"
  done
}

stage_all() {
  local round mode table line sum ok results dir flag
  local all_runs=${BENCH_ALL_RUNS:-$runs}
  need_server
  need_scratch
  say "all: bench_all"
  make_bench_all
  results=$scratch/all-results
  : > "$results"
  local conn=(--host "$TARVIX_TEST_HOST" --port "$TARVIX_TEST_PORT" --user root --password "$password")
  run_variant floor bench_all erp_rows "$scratch/warm" > /dev/null
  for ((round = 0; round < all_runs; round++)); do
    for mode in lib direct; do
      flag=(); [ "$mode" = direct ] && flag=(--direct)
      dir=$scratch/all-$mode
      mkdir -p "$dir"
      line=$("$build/bench/timeit" --out "$scratch/all.log" -- "$build/tools/tarvix-dump" "${conn[@]}" --database bench_all \
        --all --output-dir "$dir" "${flag[@]}") || { echo "--all $mode FAILED: $line" >&2; cat "$scratch/all.log" >&2; return 1; }
      printf 'run %d  %-6s --all         %s  %s\n' $((round + 1)) "$mode" "$line" "$(tail -1 "$scratch/all.log")"
      echo "all $mode-all $(field wall_s "$line") $(field cpu_s "$line") $(field rss_kb "$line") $(du -sb "$dir" | cut -f1)" >> "$results"
      rm -rf "$dir"
      # The same tables one run each: the sum is what --all must not exceed by much.
      sum=0 ok=1
      for table in erp_rows narrow_rows blob_rows; do
        line=$(run_variant "$mode" bench_all "$table" "$scratch/one.sql") || ok=0
        rm -f "$scratch/one.sql"
        sum=$(awk -v a="$sum" -v b="$(field wall_s "$line")" 'BEGIN { print a + b }')
      done
      rm -f "$scratch/one.sql"
      [ "$ok" = 1 ] || { echo "single-table $mode run FAILED" >&2; return 1; }
      printf 'run %d  %-6s sum of three  wall_s=%s\n' $((round + 1)) "$mode" "$sum"
      echo "all $mode-sum $sum 0 0 0" >> "$results"
    done
  done
  say "all: medians of $all_runs runs; overhead = --all / sum of the three single-table runs"
  medians "$results" | awk '
    { w[$2] = $3; r[$2] = $5 }
    END { for (m in w) if (m ~ /-all$/) { s = w[substr(m, 1, length(m) - 4) "-sum"]
            printf "%-7s --all %.3f s (peak %.1f MiB), sum of singles %.3f s, ratio %.3f\n",
                   substr(m, 1, length(m) - 4), w[m], r[m] / 1024, s, (s > 0 ? w[m] / s : 0) } }' |
    sort | tee "$scratch/all-table"
  while read -r line; do report "all $line"; done < "$scratch/all-table"
}

selected=("$@")
[ ${#selected[@]} -gt 0 ] || selected=("${STAGES[@]}")
for stage in "${selected[@]}"; do
  declare -F "stage_$stage" > /dev/null || { echo "run.sh: no stage '$stage'" >&2; exit 2; }
  "stage_$stage"
done

say "summary"
cat "$summary"
