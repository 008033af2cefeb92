#!/usr/bin/env bash
# The Debian package as a user meets it: made from the build folder, its file
# list and control fields, lintian, the desktop entry and AppStream
# validators and the file type's database, then the programs run from the
# unpacked package: both answer --version (without a display), zentora-cli
# compiles the sample project to the very files kept beside it, and its bash
# completion completes.
#
#   package_test.sh BUILD_DIR SOURCE_DIR VERSION
set -euo pipefail

build="$1"
source="$2"
version="$3"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

echo "== cpack"
(cd "$work" && cpack --config "$build/CPackConfig.cmake" -B "$work/out" > cpack.log) ||
  { cat "$work/cpack.log"; fail "cpack"; }
deb="$work/out/zentora_${version}_amd64.deb"
[ -f "$deb" ] || fail "no $(basename "$deb") among: $(ls "$work/out")"

echo "== file list"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $6 }' | sort > "$work/files.txt"
diff -u "$source/tests/package/expected_files.txt" "$work/files.txt" || fail "file list"

echo "== control fields"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Version)" = "$version" ] || fail "Version $(field Version)"
[ "$(field Recommends)" = fonts-arphic-uming ] || fail "Recommends $(field Recommends)"
# Computed from the binaries, so it names the libraries they link.
for library in libqt6core6 libqt6widgets6 libxml2 libusb-0.1-4 libimagequant0; do
  field Depends | grep -q "\b$library\b" || fail "Depends lacks $library: $(field Depends)"
done

echo "== lintian"
lintian --fail-on error "$deb" || fail "lintian"

echo "== unpacked"
root="$work/root"
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/zentora.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.zentora.zentora.metainfo.xml" ||
  fail "AppStream"
mkdir -p "$work/mime"
cp -r "$root/usr/share/mime/packages" "$work/mime/"
! update-mime-database "$work/mime" 2>&1 | grep -i error || fail "file type"
cli="$root/usr/bin/zentora-cli"
[ "$("$cli" --version)" = "zentora-cli $version" ] || fail "zentora-cli --version"
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/zentora" --version)" = \
  "zentora $version" ] || fail "zentora --version"

# Every command of the help has its part in the manual page.
page="$(zcat "$root/usr/share/man/man1/zentora-cli.1.gz")"
for command in compile download build export adjust "project create" "project show" fonts \
  glyphs fontlib fontview inspect preview; do
  grep -qF ".SS \"zentora-cli $command\"" <<< "$page" || fail "manual page lacks $command"
done

echo "== compile of the sample project"
cp -r "$source/samples/demo" "$work/demo"
"$cli" compile "$work/demo/Demo.zentoraprj" --out "$work/compiled"
for file in image.bin image.idx wave.bin wave.idx; do
  cmp "$source/samples/demo/output/$file" "$work/compiled/$file" || fail "$file differs"
done

echo "== bash completion"
PATH="$root/usr/bin:$PATH" bash -c '
  source "$1/usr/share/bash-completion/completions/zentora-cli"
  cd "$2"
  complete_line() {
    COMP_WORDS=("$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _zentora_cli 2> /dev/null
    # Files come in directory order.
    printf "%s\n" "${COMPREPLY[@]}" | sort | paste -sd " "
  }
  expect() {
    local want="$1"
    shift
    local got
    got="$(complete_line zentora-cli "$@")"
    [ "$got" = "$want" ] || { echo "completing [$*]: got [$got], want [$want]" >&2; exit 1; }
  }
  expect "compile" co
  expect "create show" project ""
  expect "--picture" project create --pic
  expect "--depfile --depth" compile --dep
  expect "16 24" compile --depth ""
  expect "gb2312 gbk" glyphs --charset gb
  expect "Demo.zentoraprj" glyphs --header De
  expect "Demo.zentoraprj" compile De
  expect "output" compile Demo.zentoraprj --out o
  expect "splash.png stripes.tif" adjust alert.png --width 8 s
' bash "$root" "$work/demo" || fail "bash completion"

echo "package ok: $(basename "$deb"), $(wc -l < "$work/files.txt") files"
