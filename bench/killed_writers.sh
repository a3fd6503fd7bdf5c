#!/bin/sh
# Every writer killed 1,000 times (or KILLS times) mid-write; one table row per writer, and
# the failures when a file came out broken. Usage: bench/killed_writers.sh [BUILD_FOLDER]
build=${1:-build}
program="$build/tests/test_kill"
[ -x "$program" ] || { echo "killed_writers: build $program first (make all)" >&2; exit 2; }
out=$(TM_KILLS=${KILLS:-1000} "$program" --gtest_brief=1 2>&1)
status=$?
echo "| writer                 | kills |   old |   new | broken | temps removed |"
echo "|------------------------|-------|-------|-------|--------|----------------|"
printf '%s\n' "$out" | grep '^| '
[ $status -eq 0 ] || printf '%s\n' "$out" | grep -v '^| '
exit $status
