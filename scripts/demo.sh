#!/usr/bin/env bash
# Compiles the sample project shipped with the repository and shows what the
# module would receive. The sample itself is never written to.
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD_DIR="${1:-build}"
CLI="$BUILD_DIR/src/cli/zentora-cli"
OUT="$BUILD_DIR/demo-output"
PROJECT=samples/demo/Demo.zentoraprj

echo "\$ zentora-cli project show $PROJECT"
"$CLI" project show "$PROJECT"
echo
echo "\$ zentora-cli compile $PROJECT --out $OUT"
"$CLI" compile "$PROJECT" --out "$OUT"
echo
echo "Resource files:"
for f in "$OUT"/*; do
  printf '  %-12s %8d bytes\n' "$(basename "$f")" "$(stat -c %s "$f")"
done
echo
echo "image.idx (one 16-byte entry per picture: number, address, width, height, length):"
od -A d -t x1 -w16 -v "$OUT/image.idx" | sed 's/^/  /'
echo
echo "wave.idx (one 16-byte entry per sound: number, channels, bits, rate, length, address):"
od -A d -t x1 -w16 -v "$OUT/wave.idx" | sed 's/^/  /'
