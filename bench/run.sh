#!/usr/bin/env bash
# The whole benchmark: builds (Release), makes sure a private server named "bench" runs, makes
# the data, runs every stage and prints a summary. One function per stage; a new stage is a
# function stage_NAME that calls need_server if it talks to the server, appends lines to the
# summary with `report`, and has its name in STAGES.
#   bench/run.sh [stage...]        default: every stage in STAGES
# Environment: BENCH_RUNS (default 5), BENCH_MODE lib|direct|both (default both),
# BENCH_DB (default bench), BENCH_BUILD (build folder, default build-bench), BENCH_JOBS (-j, 1).
# The server is left running (its data took time to make); stop it with
#   scripts/mariadb-sandbox stop bench
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

STAGES=(build server data fetch)

runs=${BENCH_RUNS:-5}
mode=${BENCH_MODE:-both}
database=${BENCH_DB:-bench}
build=${BENCH_BUILD:-$root/build-bench}
jobs=${BENCH_JOBS:-1}
summary=$(mktemp)
trap 'rm -f "$summary"' EXIT

report() { printf '%s\n' "$*" >> "$summary"; }
say() { printf '\n== %s\n' "$*"; }

stage_build() {
  say "build ($build, Release)"
  mkdir -p "$build"
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release > "$build/configure.log" 2>&1 ||
    { cat "$build/configure.log" >&2; return 1; }
  cmake --build "$build" -j"$jobs" --target fetch_bench
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

selected=("$@")
[ ${#selected[@]} -gt 0 ] || selected=("${STAGES[@]}")
for stage in "${selected[@]}"; do
  declare -F "stage_$stage" > /dev/null || { echo "run.sh: no stage '$stage'" >&2; exit 2; }
  "stage_$stage"
done

say "summary"
cat "$summary"
