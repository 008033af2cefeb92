#!/usr/bin/env bash
# The 60-picture compile (30 PNG and 30 JPEG photographs of 800 × 480, 24-bit,
# MSB first) against ImageMagick flattening the same files onto blue and
# writing them as raw RGB in one process: the two alternate, ROUNDS times
# each, and the medians and their ratio are printed. The compile returns
# only once its files are on the disk; ImageMagick leaves its output in the
# page cache, so it is also timed with a sync of that file after it, the
# like-for-like comparison. Also the peak memory of one compile.
#   bench/compile_vs_imagemagick.sh [BUILD_DIR] [ROUNDS]
# ZENTORA_CLI names another zentora-cli to time (an older build, say).
set -euo pipefail

BUILD="${1:-build}"
ROUNDS="${2:-15}"
CLI="${ZENTORA_CLI:-$BUILD/src/cli/zentora-cli}"
MAGICK="$(command -v convert-im6.q16 || command -v convert)"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT

# shellcheck source=bench/cli_bench_lib.sh
source "$(dirname "$0")/cli_bench_lib.sh"
make_bench_project

compile() {
  "$CLI" compile "$WORK/project/bench.zentoraprj" --out "$WORK/out" --depth 24 --msb-first \
    > /dev/null
}
magick() {
  "$MAGICK" "${PICTURES[@]}" -background blue -alpha remove -depth 8 "rgb:$WORK/magick.rgb"
}
magick_synced() {
  magick
  sync "$WORK/magick.rgb"
}

compile
magick # warm both, and the page cache
: > "$WORK/ours"
: > "$WORK/theirs"
: > "$WORK/theirs-synced"
for _ in $(seq "$ROUNDS"); do
  seconds compile >> "$WORK/ours"
  seconds magick >> "$WORK/theirs"
  seconds magick_synced >> "$WORK/theirs-synced"
done
OURS=$(median < "$WORK/ours")
THEIRS=$(median < "$WORK/theirs")
SYNCED=$(median < "$WORK/theirs-synced")
PEAK=$( { /usr/bin/time -f '%M' "$CLI" compile "$WORK/project/bench.zentoraprj" \
  --out "$WORK/out" --depth 24 --msb-first > /dev/null; } 2>&1 | tail -1)

printf 'zentora-cli compile, 60 pictures: %.3f s (median of %d)\n' "$OURS" "$ROUNDS"
printf 'ImageMagick, same files:          %.3f s\n' "$THEIRS"
printf 'ratio zentora / ImageMagick:      %.2f\n' "$(echo "scale=6; $OURS / $THEIRS" | bc)"
printf 'ImageMagick, output synced:       %.3f s\n' "$SYNCED"
printf 'ratio zentora / synced:           %.2f\n' "$(echo "scale=6; $OURS / $SYNCED" | bc)"
printf 'peak memory of the compile:       %d KiB\n' "$PEAK"
