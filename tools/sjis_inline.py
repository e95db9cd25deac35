#!/usr/bin/env python3
"""Turns UTF-8 Japanese inside C++ string literals into code page 932 escapes.

Authoring aid: write a page line as it reads, run this over the file, and
each literal holding non-ASCII text becomes its escaped bytes, with the text
as it reads kept in a comment on the line above.
    tools/sjis_inline.py src/sjis_pages/personal_page.cpp
"""
import re
import sys

sys.path.insert(0, __import__("os").path.dirname(__file__))
from sjis_literal import literal  # noqa: E402

LITERAL = re.compile(r'"((?:[^"\\]|\\.)*)"')


def convert_line(line: str):
    if line.isascii():
        return [line]
    stripped = line.lstrip()
    if stripped.startswith("//"):
        return [line]
    indent = line[: len(line) - len(stripped)]
    shown = []

    def repl(m):
        body = m.group(1)
        if body.isascii():
            return m.group(0)
        shown.append(body)
        # Keep existing escapes (\t, \n, \", \\) as they are.
        parts = re.split(r'(\\.)', body)
        out = ""
        for part in parts:
            if part.startswith("\\") and len(part) == 2:
                out += part
            elif part:
                out += literal(part)[1:-1]
        out = re.sub(r'(\\x[0-9a-f]{2})([0-9a-fA-F])', r'\1" "\2', out)
        return '"' + out + '"'

    converted = LITERAL.sub(repl, line)
    comment = [indent + "// " + s.replace("\\t", " ").replace("\\n", "").replace('\\"', '"') + "\n"
               for s in shown]
    return comment + [converted]


def main():
    for path in sys.argv[1:]:
        with open(path, encoding="utf-8") as f:
            lines = f.readlines()
        out = []
        for line in lines:
            out.extend(convert_line(line))
        with open(path, "w", encoding="utf-8") as f:
            f.writelines(out)


if __name__ == "__main__":
    main()
