#!/usr/bin/env python3
"""Writes COUNT HTML 4.01 documents of about 5 KB into FOLDER, a quarter each
in Shift_JIS, EUC-JP, ISO-2022-JP and ASCII; every third has a few errors."""
import sys

folder, count = sys.argv[1], int(sys.argv[2])
encodings = ["shift_jis", "euc_jp", "iso2022_jp", "ascii"]
japanese = "日本語の文書を検査します。これは見本の段落です。"
english = "This paragraph is filler text for the benchmark documents. "

for n in range(count):
    encoding = encodings[n % 4]
    filler = english if encoding == "ascii" else japanese + english
    lines = [
        '<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN">',
        "<html>",
        "<head><title>Document %d</title></head>" % n,
        "<body>",
        "<h1>Document %d</h1>" % n,
    ]
    size = sum(len(line.encode(encoding)) + 1 for line in lines)
    paragraph = 0
    while size < 5000:
        line = "<p>%s %d</p>" % (filler, paragraph)
        if n % 3 == 0 and paragraph % 10 == 3:
            line = "<p><blink>%s</blink><img src=x.png>" % filler
        lines.append(line)
        size += len(line.encode(encoding)) + 1
        paragraph += 1
    lines += ["</body>", "</html>", ""]
    with open("%s/doc%03d.html" % (folder, n), "wb") as out:
        out.write("\n".join(lines).encode(encoding))
