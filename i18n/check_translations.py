#!/usr/bin/env python3
"""Fails when a text the user reads has no English translation.

Runs lupdate over the sources into a copy of the .ts, so that a text added
to the code but not to the .ts shows up as unfinished, and lists every
unfinished or empty translation. Then looks for Chinese string literals in
the sources that lupdate did not gather: a text that never goes through the
translation functions.

usage: check_translations.py LUPDATE TS SOURCE_LIST [LUPDATE_OPTION...]
"""

import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree
from pathlib import Path

# Literals that are names, not texts to translate: the font family the
# windows draw with, the product's own name (also the settings folder), and
# the sample the font preview draws.
NOT_TEXTS = {"宋体", "Zentora助手", "中文", "中"}

CHINESE = re.compile(r"[\u3000-\u303f\u4e00-\u9fff\uff00-\uffef]")
# A string or character literal, or a comment; adjacent string literals are
# joined afterwards as the compiler joins them.
TOKEN = re.compile(
    r'//[^\n]*|/\*.*?\*/|(?:u8|u|U|L)?"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'', re.S
)


def gathered_texts(ts_file):
    """(unfinished messages, every source text) of an updated .ts."""
    unfinished, sources = [], set()
    for context in ElementTree.parse(ts_file).getroot().iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            source = message.findtext("source")
            translation = message.find("translation")
            kind = translation.get("type") if translation is not None else "unfinished"
            if kind in ("vanished", "obsolete"):
                continue
            sources.add(source)
            forms = [translation.text] if translation is not None else []
            if message.get("numerus") == "yes" and translation is not None:
                forms = [form.text for form in translation.iter("numerusform")]
            if kind == "unfinished" or not forms or not all((f or "").strip() for f in forms):
                unfinished.append(f"{name}: {source!r}")
    return unfinished, sources


def unescape(body):
    """A literal's text as lupdate records it: the common escapes resolved."""
    escapes = {"n": "\n", "t": "\t", '"': '"', "'": "'", "\\": "\\"}
    return re.sub(r"\\(.)", lambda m: escapes.get(m.group(1), m.group(0)), body)


def literals(path):
    """(line, text) of each string literal of a source file, joined."""
    text = path.read_text(encoding="utf-8")
    joined, line, end = None, 0, 0
    for match in TOKEN.finditer(text):
        token = match.group()
        if not token.endswith('"') or token.startswith("/"):
            if joined is not None and not token.startswith("/"):
                yield line, joined
                joined = None
            continue
        body = unescape(token[token.index('"') + 1 : -1])
        if joined is not None and text[end : match.start()].strip() == "":
            joined += body
        else:
            if joined is not None:
                yield line, joined
            joined, line = body, text.count("\n", 0, match.start()) + 1
        end = match.end()
    if joined is not None:
        yield line, joined


def untranslated_literals(source_files, sources):
    known = set(sources)
    for name in source_files:
        path = Path(name)
        for line, literal in literals(path):
            if CHINESE.search(literal) and literal not in known and literal not in NOT_TEXTS:
                yield f"{path}:{line}: {literal!r} is not passed through a translation function"


def main():
    lupdate, ts_file, source_list, *options = sys.argv[1:]
    source_files = [s for s in Path(source_list).read_text().split("\n") if s]
    with tempfile.TemporaryDirectory() as folder:
        updated = Path(folder) / Path(ts_file).name
        shutil.copyfile(ts_file, updated)
        subprocess.run(
            [lupdate, *options, *source_files, "-ts", str(updated)],
            check=True,
            stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL,
        )
        unfinished, sources = gathered_texts(updated)
    problems = [f"no English for {m}" for m in unfinished]
    problems += list(untranslated_literals(source_files, sources))
    for problem in problems:
        print(problem)
    if problems:
        print(f"{len(problems)} texts without English; add them to {ts_file} "
              "(the target update_translations gathers them)")
        return 1
    print(f"all {len(sources)} texts have English")
    return 0


if __name__ == "__main__":
    sys.exit(main())
