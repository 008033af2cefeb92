#!/usr/bin/env bash
# What dithering adds to the 60-picture compile at 16 bits: `zentora-cli
# compile` of the benchmark's 60 pictures without a dither, ordered and with
# diffusion, alternating, ROUNDS times each; prints the medians and each
# dither's share of the time without one.
#   bench/dither_compile_cost.sh [BUILD_DIR] [ROUNDS]
set -euo pipefail

BUILD="${1:-build}"
ROUNDS="${2:-15}"
CLI="${ZENTORA_CLI:-$BUILD/src/cli/zentora-cli}"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT

# shellcheck source=bench/cli_bench_lib.sh
source "$(dirname "$0")/cli_bench_lib.sh"
make_bench_project

DITHERS=(none ordered diffusion)
compile() {
  "$CLI" compile "$WORK/project/bench.zentoraprj" --out "$WORK/out" --dither "$1" > /dev/null
}

compile none # warm the page cache and the output files
for dither in "${DITHERS[@]}"; do
  : > "$WORK/$dither"
done
for _ in $(seq "$ROUNDS"); do
  for dither in "${DITHERS[@]}"; do
    seconds compile "$dither" >> "$WORK/$dither"
  done
done

NONE=$(median < "$WORK/none")
printf 'zentora-cli compile, 16 bits, none:      %.3f s (median of %d)\n' "$NONE" "$ROUNDS"
for dither in ordered diffusion; do
  TIME=$(median < "$WORK/$dither")
  printf '%-41s %.3f s, %+.0f %%\n' "  $dither:" "$TIME" \
    "$(echo "scale=6; ($TIME / $NONE - 1) * 100" | bc)"
done
