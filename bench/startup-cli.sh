#!/usr/bin/env bash
# How long flyback-calc takes to start, design the worked example and print it as JSON,
# against a bare C++ program that prints one line (bench/bare_print.cpp); prints both medians
# and their ratio. The goal is a ratio of 1.5 or less: flyback-calc loads no Qt library.
#   bench/startup-cli.sh [build-dir]     (default build/release, built beforehand)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build=${1:-build/release}

if ! command -v hyperfine >/dev/null; then
  echo "startup-cli: hyperfine is not installed (scripts/setup-deps --bench installs it); skipped"
  exit 0
fi
calc=$build/cli/flyback-calc
bare=$build/bench/bare_print
for program in "$calc" "$bare"; do
  [[ -x $program ]] || {
    echo "startup-cli: $program is not built" >&2
    exit 1
  }
done

results=$(mktemp)
trap 'rm -f "$results"' EXIT
# -N runs the programs without a shell in between, so the shell's start is not measured.
hyperfine -N --warmup 50 --runs 500 --export-csv "$results" \
  "$calc --format json" "$bare" >&2

# command,mean,stddev,median,user,system,min,max
awk -F, 'NR == 2 { calc = $4 } NR == 3 { bare = $4 }
  END {
    printf "flyback-calc --format json  median %.3f ms\n", calc * 1000
    printf "bare C++ program            median %.3f ms\n", bare * 1000
    printf "ratio                       %.2f\n", calc / bare
  }' "$results"
