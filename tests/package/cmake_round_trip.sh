#!/usr/bin/env bash
# The CMake package as a firmware build meets it: firmware/ built with Ninja
# against the build installed under a prefix of its own, its output checked,
# then each touched input rebuilding exactly what is made from it.
#
#   cmake_round_trip.sh BUILD_DIR SOURCE_DIR
set -euo pipefail

build="$1"
source="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

echo "== install"
cmake --install "$build" --prefix "$work/prefix" > "$work/install.log" ||
  { cat "$work/install.log"; fail "cmake --install"; }

firmware="$work/firmware"
cp -r "$source/tests/package/firmware" "$firmware"
cp -r "$source/samples/demo" "$firmware/ui"
out="$work/out"
cmake -S "$firmware" -B "$out" -G Ninja -DCMAKE_PREFIX_PATH="$work/prefix" \
  -DFIRMWARE_FONT=/usr/share/fonts/truetype/arphic/uming.ttc > "$work/configure.log" ||
  { cat "$work/configure.log"; fail "configure"; }
# The tool comes from the installed tree, not from the build.
grep -qF "$work/prefix/bin/zentora-cli" "$out/build.ninja" || fail "Zentora::cli not in the prefix"

# Builds, keeping Ninja's lines in $work/last.log.
build_firmware() {
  cmake --build "$out" > "$work/last.log" 2>&1 || { cat "$work/last.log"; fail "build: $1"; }
}

# Which steps the last build ran, in a fixed order.
steps_run() {
  local step
  for step in "Exporting:header" "Compiling:resources" "Modelling:glyphs" "main.c.o:main.c"; do
    grep -qF "${step%:*}" "$work/last.log" && printf '%s ' "${step#*:}"
  done
  echo
}

# The program's output: picture 0's first bytes, as image.bin holds them,
# and the glyphs' count and codes.
check_output() {
  local first
  first="$(od -An -tx1 -N8 "$out/resources/image.bin" | tr -d ' \n')"
  [ "$("$out/firmware")" = "$first"$'\n'"$1" ] ||
    fail "output [$("$out/firmware")], want [$first / $1]"
}

echo "== first build"
build_firmware first
[ "$(steps_run)" = "header resources glyphs main.c " ] || fail "first build ran: $(steps_run)"
check_output "7 0020 0032 0035 a1e6 b6c8 caaa cec2"

# Each row: the input touched, then the steps it must run.
while IFS='|' read -r touched want; do
  echo "== after touching $touched"
  touch "$firmware/$touched"
  build_firmware "$touched"
  [ "$(steps_run)" = "$want" ] || fail "touching $touched ran [$(steps_run)], want [$want]"
  build_firmware "again after $touched"
  grep -qF "ninja: no work to do." "$work/last.log" || fail "second build after $touched did work"
done << 'EOF'
ui/alert.png|header resources main.c 
ui/beep.wav|resources 
strings.txt|glyphs main.c 
EOF

echo "== a new character"
printf '压\n' >> "$firmware/strings.txt"
build_firmware "new character"
check_output "8 0020 0032 0035 a1e6 b6c8 caaa cec2 d1b9"

echo "cmake package ok"
