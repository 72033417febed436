#!/usr/bin/env python3
"""Puts a benchmark's section into docs/benchmarks.md, leaving the others alone.

usage: replace_section.py <benchmarks.md> <section text starting with "## <title>">
The section replaces the one with the same "## " heading (up to the next one),
or is appended when there is none yet.
"""
import os
import re
import sys

path, section = sys.argv[1], sys.argv[2]
title = section.splitlines()[0]
text = open(path).read() if os.path.exists(path) else "# Benchmarks\n"
pattern = re.compile("^" + re.escape(title) + r"\n.*?(?=^## |\Z)", re.S | re.M)
if pattern.search(text):
    text = pattern.sub(lambda m: section + "\n", text)
else:
    text = text.rstrip("\n") + "\n\n" + section + "\n"
open(path, "w").write(text)
