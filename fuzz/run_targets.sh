#!/bin/sh
# Runs every fuzz target of a fuzz build for FUZZ_SECONDS (wall time) or FUZZ_RUNS inputs,
# whichever ends first, from its saved seeds and its growing corpus, and prints one table row
# per target. Anything found (crash, hang, leak, out-of-memory) lands in
# BUILD/artifacts/NAME/ and fails the run; an input that merely took over 10 s (slow-unit-*,
# kept there too) is counted in a column of its own and fails nothing, since a stopped or
# crowded machine makes any input slow.
#   fuzz/run_targets.sh BUILD [TARGET...]      e.g. FUZZ_SECONDS=3600 FUZZ_RUNS=1000000
set -u
build=${1:?usage: run_targets.sh BUILD [TARGET...]}
shift
# Absolute: a target that changes folder mid-input must still write its finding here.
build=$(cd "$build" && pwd)
seconds=${FUZZ_SECONDS:-30}
runs=${FUZZ_RUNS:--1}
here=$(cd "$(dirname "$0")" && pwd)
if [ $# -eq 0 ]; then
    set --
    for f in "$build"/fuzz/*_fuzz; do [ -x "$f" ] && set -- "$@" "$(basename "$f" _fuzz)"; done
fi
found=0
rows=""
for name in "$@"; do
    exe="$build/fuzz/${name}_fuzz"
    [ -x "$exe" ] || { echo "no target $name" >&2; exit 2; }
    mkdir -p "$build/corpus/$name" "$build/artifacts/$name"
    log="$build/artifacts/$name.log"
    echo "== $name (${seconds} s or $runs inputs)"

    /usr/bin/time -f '%U %S' -o "$build/artifacts/$name.cpu" \
        "$exe" -max_total_time="$seconds" -runs="$runs" -print_final_stats=1 \
        -artifact_prefix="$build/artifacts/$name/" "$build/corpus/$name" "$here/corpus/$name" >"$log" 2>&1
    status=$?
    executed=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
    cpu=$(tail -1 "$build/artifacts/$name.cpu" 2>/dev/null | awk '{printf "%.0f", $1 + $2}')
    crashes=$(find "$build/artifacts/$name" -type f ! -name 'slow-unit-*' | wc -l)
    slow=$(find "$build/artifacts/$name" -type f -name 'slow-unit-*' | wc -l)
    [ "$status" -ne 0 ] && [ "$crashes" -eq 0 ] && crashes=1
    [ "$crashes" -ne 0 ] && { found=1; tail -40 "$log"; }
    rate=$(awk -v n="${executed:-0}" -v s="${cpu:-0}" 'BEGIN { printf "%.0f", (s > 0 ? n / s : n) }')
    rows="$rows$(printf '%-14s %10s %8s %11s %7s %8s %5s' "$name" "${executed:-0}" "${cpu:-0}" "$rate" "${cov:-0}" "$crashes" "$slow")
"
done
printf '%-14s %10s %8s %11s %7s %8s %5s\n' target runs "cpu s" "runs/cpu s" edges crashes slow
printf '%s' "$rows"
exit $found
