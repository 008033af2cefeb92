#!/usr/bin/env bash
# Builds the sample project shipped with the repository and downloads it to
# the simulated display module, showing every line, then checks that the
# module received exactly the compiled files, and reads what the module
# received back into pictures and a contact sheet. The sample itself is
# never written to.
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD_DIR="${1:-build}"
CLI="$BUILD_DIR/src/cli/zentora-cli"
MODSIM="$BUILD_DIR/tools/modsim/libzentora-modsim.so"
OUT="$BUILD_DIR/demo-output"
RECEIVED="$BUILD_DIR/demo-module"
INSPECTED="$BUILD_DIR/demo-inspect"
PROJECT=samples/demo/Demo.zentoraprj

rm -rf "$OUT" "$RECEIVED" "$INSPECTED"
mkdir -p "$RECEIVED"

echo "\$ zentora-cli project show $PROJECT"
"$CLI" project show "$PROJECT"
echo
echo "\$ zentora-cli build $PROJECT --out $OUT    (module: the simulator)"
ZENTORA_MODSIM_DIR="$RECEIVED" ZENTORA_MODSIM_LOG="$BUILD_DIR/demo-module.log" \
  LD_PRELOAD="$MODSIM" "$CLI" build "$PROJECT" --out "$OUT"
echo
echo "Resource files, as compiled and as the module received them:"
for f in image.idx image.bin wave.idx wave.bin; do
  if cmp -s "$OUT/$f" "$RECEIVED/$f"; then verdict="identical"; else verdict="DIFFERENT"; fi
  printf '  %-10s %8d bytes  %s\n' "$f" "$(stat -c %s "$OUT/$f")" "$verdict"
  [ "$verdict" = identical ]
done
echo
echo "image.idx (one 16-byte entry per picture: number, address, width, height, length):"
od -A d -t x1 -w16 -v "$OUT/image.idx" | sed 's/^/  /'
echo
echo "wave.idx (one 16-byte entry per sound: number, channels, bits, rate, length, address):"
od -A d -t x1 -w16 -v "$OUT/wave.idx" | sed 's/^/  /'
if grep -q VIOLATION "$BUILD_DIR/demo-module.log"; then
  echo "The simulated module saw protocol violations:"
  grep VIOLATION "$BUILD_DIR/demo-module.log"
  exit 1
fi
echo
echo "\$ zentora-cli inspect $RECEIVED --png $INSPECTED    (what the module received)"
"$CLI" inspect "$RECEIVED" --png "$INSPECTED"
echo
echo "The pictures as the module reads them: $INSPECTED/0000.png ..."
echo "Their contact sheet: $INSPECTED/sheet.png"
