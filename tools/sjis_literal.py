#!/usr/bin/env python3
"""Prints a C++ string literal holding the code page 932 bytes of each argument.

Used when writing the program's Japanese texts: the source keeps the escaped
bytes and the UTF-8 text beside them in a comment.
    tools/sjis_literal.py 対戦を開始しました
"""
import sys


def literal(text: str) -> str:
    out, prev_hex = [], False
    for ch in text:
        if ch.isascii() and ch.isprintable() and ch not in '"\\':
            if prev_hex and ch in "0123456789abcdefABCDEF":
                out.append('" "')  # a hex escape would swallow this digit
            out.append(ch)
            prev_hex = False
        else:
            # Both bytes of a double-byte character are escaped, so an
            # ASCII-range trail byte never reads as a letter.
            out.extend("\\x%02x" % b for b in ch.encode("cp932"))
            prev_hex = True
    return '"' + "".join(out) + '"'


if __name__ == "__main__":
    for arg in sys.argv[1:]:
        print(f"{literal(arg)}  // {arg}")
