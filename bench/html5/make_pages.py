#!/usr/bin/env python3
"""Writes the HTML5 pages of bench/html5: the real ones under /usr/share/doc
(<!DOCTYPE html> or no doctype, at most 2 MB, which the checker's size limit
takes), then generated ones up to COUNT.
Usage: make_pages.py FOLDER COUNT"""
import os
import random
import re
import sys

folder, count = sys.argv[1], int(sys.argv[2])
os.makedirs(folder, exist_ok=True)
doctype = re.compile(rb"^\s*(<!--.*?-->\s*)*(<!doctype\s+html\s*>|<html)", re.I | re.S)
real = []
for top, _, names in sorted(os.walk("/usr/share/doc")):
    for name in sorted(names):
        path = os.path.join(top, name)
        if not name.endswith((".html", ".htm")) or os.path.islink(path):
            continue
        try:
            if os.path.getsize(path) > 2 * 1024 * 1024:
                continue
            with open(path, "rb") as f:
                head = f.read(4096)
        except OSError:
            continue
        if doctype.match(head):
            real.append(path)
real = real[: count * 3 // 4]
for index, path in enumerate(real):
    with open(path, "rb") as source, open(os.path.join(folder, "real%03d.html" % index), "wb") as copy:
        copy.write(source.read())

rng = random.Random(26)
words = ["検査", "文書", "要素", "属性", "validator", "page", "section", "日本語", "example"]
for index in range(len(real), count):
    body = []
    for paragraph in range(rng.randint(20, 60)):
        text = " ".join(rng.choice(words) for _ in range(rng.randint(5, 30)))
        kind = rng.random()
        if kind < 0.05:
            body.append("<p>%s<div>%s</p></div>" % (text, text))  # misnested
        elif kind < 0.10:
            body.append('<img src="a.png"><center>%s</center>' % text)  # no alt, obsolete
        elif kind < 0.15:
            body.append('<span id="x">%s</span><span id="x"></span>' % text)  # duplicate id
        else:
            body.append("<p>%s</p>" % text)
    page = ("<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n"
            "<title>page %d</title>\n</head>\n<body>\n%s\n</body>\n</html>\n"
            % (index, "\n".join(body)))
    with open(os.path.join(folder, "made%03d.html" % index), "w", encoding="utf-8") as f:
        f.write(page)
print("%d real, %d generated" % (len(real), count - len(real)))
