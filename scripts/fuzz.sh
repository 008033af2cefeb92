#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs each for FUZZ_SECONDS (default 30)
# from its seed corpus. New inputs stay in the build folder; crashes fail.
set -euo pipefail
cd "$(dirname "$0")/.."

SECONDS_EACH="${FUZZ_SECONDS:-30}"
DIR=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZENTORA_CORE_ONLY=ON -DZENTORA_FUZZ=ON -DZENTORA_SANITIZE=address,undefined > /dev/null
cmake --build "$DIR" -j2 --target project_file_fuzzer picture_decode_fuzzer wave_fuzzer \
  resource_reader_fuzzer png_reducer_fuzzer png_rows_fuzzer

for target in project_file picture_decode wave resource_reader png_reducer png_rows; do
  case "$target" in
    project_file) seeds=fuzz/corpus/project_file ;;
    picture_decode) seeds=fuzz/corpus/picture ;;
    wave) seeds=fuzz/corpus/wave ;;
    resource_reader) seeds=fuzz/corpus/resource_reader ;;
    png_reducer) seeds=fuzz/corpus/png_reducer ;;
    png_rows) seeds=fuzz/corpus/png_rows ;;
  esac
  work="$DIR/corpus/$target"
  mkdir -p "$work" "$DIR/artifacts"
  echo "== fuzzing $target for ${SECONDS_EACH}s"
  ASAN_OPTIONS=detect_leaks=1 "$DIR/fuzz/${target}_fuzzer" "$work" "$seeds" \
    -max_total_time="$SECONDS_EACH" -rss_limit_mb=4096 -timeout=20 \
    -artifact_prefix="$DIR/artifacts/${target}-" -print_final_stats=1 2>&1 | tail -n 12
  test "${PIPESTATUS[0]}" -eq 0
done
