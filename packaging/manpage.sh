#!/usr/bin/env bash
# Makes a program's manual page from its own --help and --version, so the
# page can never say something the program does not: help2man writes the
# page, and for zentora-cli every command's --help becomes a subsection of
# COMMANDS.
#
#   manpage.sh PROGRAM "what it is, in a few words" OUTPUT.1.gz [INCLUDE]
#
# INCLUDE is a help2man include file with the hand-written sections (SEE
# ALSO, FILES, ...). The page is compressed as Debian ships manual pages.
set -euo pipefail

program="$1"
summary="$2"
output="$3"
include="${4:-}"

name="$(basename "$program")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# Run under its plain name (the usage lines print the name they were run
# by) and in English, the language of the manual pages.
printf '#!/usr/bin/env bash\nexec -a %q %q --lang en "$@"\n' "$name" "$(realpath "$program")" \
  > "$work/$name"
chmod +x "$work/$name"
export PATH="$work:$PATH"
# The month on the page is the sources', not the build's.
export SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-$(date -r "$(realpath "$0")" +%s)}"

# Prints a roff subsection for one command from its --help: the usage as
# the synopsis, the description, then each option and argument as a tagged
# paragraph (continuation lines joined to their entry).
command_section() {
  local path="$1"
  "$name" $path --help | awk -v path="$path" -v prog="$name" '
    function roff(text) {
      gsub(/\\/, "\\e", text)
      gsub(/-/, "\\-", text)
      sub(/^[.\047]/, "\\\\\\&&", text)
      return text
    }
    function flush() {
      if (term != "") {
        print ".TP"
        print ".B " roff(term)
        print roff(desc)
      }
      term = ""; desc = ""
    }
    BEGIN { printf ".SS \"%s %s\"\n", prog, path; state = "usage" }
    state == "usage" && /^Usage: / {
      usage = substr($0, 8)
      # A command whose parser does not name it still belongs under it.
      if (index(usage, " " path) == 0) sub(prog, prog " " path, usage)
      print ".B " roff(usage)
      state = "synopsis"; next
    }
    # A synopsis too long for one line goes on indented.
    state == "synopsis" && /^ +[^ ]/ { sub(/^ +/, ""); print ".br"; print ".B " roff($0); next }
    state == "synopsis" { print ".PP"; state = "description" }
    state == "description" && /^$/ { state = "list"; next }
    state == "description" { print roff($0); next }
    /^[A-Z][A-Za-z ]*:$/ { flush(); print ".PP"; print roff($0); next }
    /^  [^ ]/ {
      flush()
      line = substr($0, 3)
      split_at = match(line, /  +/)
      if (split_at) { term = substr(line, 1, split_at - 1); desc = substr(line, split_at + RLENGTH) }
      else { term = line; desc = "" }
      # Qt adds this to every parser; it is about Qt, not the command.
      if (term == "--help-all") term = ""
      next
    }
    /^   +[^ ]/ { sub(/^ +/, ""); desc = desc " " $0; next }
    END { flush() }
  '
}

# The command paths of zentora-cli, from the command list of its --help:
# the leading lower-case words of each entry ("compile", "project create").
command_paths() {
  "$name" --help | awk '
    /^Commands:/ { inside = 1; next }
    inside && /^$/ { exit }
    inside && /^  [a-z]/ {
      path = ""
      for (i = 1; i <= NF && $i ~ /^[a-z][a-z0-9-]*$/; ++i) path = path (path == "" ? "" : " ") $i
      if (!(path in seen)) { seen[path] = 1; print path }
    }
  '
}

extra="$work/extra.h2m"
: > "$extra"
if [ "$name" = zentora-cli ]; then
  {
    echo "[COMMANDS]"
    echo "Each command also answers \\fB\\-\\-help\\fR with what follows."
    command_paths | while read -r path; do
      command_section "$path"
    done
  } >> "$extra"
fi
if [ -n "$include" ]; then
  cat "$include" >> "$extra"
fi

help2man --no-info --name="$summary" --include="$extra" --output="$work/page.1" "$name"
gzip -9n < "$work/page.1" > "$output"
