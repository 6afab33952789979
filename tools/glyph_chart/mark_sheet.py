#!/usr/bin/python3
"""Draws the marks over short, tall and descending letters in both phonetic
fonts, shaped by HarfBuzz (hb-view, Debian package libharfbuzz-bin): once
with mark positioning, as Qt, office suites and browsers draw them, and once
without, as a renderer that leaves each mark where its outline is drawn.

    /usr/bin/python3 tools/glyph_chart/mark_sheet.py [--fonts DIR] [output.png]

Each row is one diacritic, each letter carries the variant of it that the
composition types on that letter. Needs python3-pil; keep the picture out of git.
"""

import argparse
import os
import subprocess
import tempfile

from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))
FONTS = os.path.join(HERE, "..", "..", "data", "fonts")
FACES = (("Lautbild Serif", "LautbildSerif.ttf"), ("Lautbild Sans Serif", "LautbildSansSerif.ttf"))

# Letters: a n o e ø, dotless i, b d h k l t θ ð ʃ ʔ ǀ, p ŋ dotless j.
SHORT = (97, 110, 111, 101, 246, 238)
TALL = (98, 100, 104, 107, 108, 116, 223, 240, 83, 255, 124)
DESCENDING = (112, 78, 206)
NARROW = {33, 73, 74, 102, 105, 106, 108, 116, 168, 206, 207, 208, 209, 237, 238, 239}
TALL_SET = {68, 83, 98, 100, 102, 104, 107, 108, 116, 148, 155, 168, 170, 200, 201, 202, 203,
            204, 205, 208, 209, 222, 223, 240, 245, 247, 248, 252, 253, 254, 255}
DESCENDER = {70, 71, 72, 74, 75, 77, 78, 83, 88, 99, 103, 106, 112, 113, 121, 150, 153, 154,
             168, 169, 170, 199, 200, 203, 204, 206, 207, 208, 222, 241, 245, 251}

# Each row: a name and a function from the base to the mark code typed on it.
ROWS = (
    ("nasal", lambda b: 158 if b in NARROW else 123),
    ("centralized", lambda b: 190 if b in NARROW else 51),
    ("mid-centralized", lambda b: 174 if b in NARROW else 38),
    ("extra short", lambda b: 156 if b in NARROW else 48),
    ("high tone", lambda b: {(0, 0): 127, (1, 0): 142, (0, 1): 143, (1, 1): 144}[
        (b in NARROW, b in TALL_SET)]),
    ("voiceless", lambda b: {(0, 0): 36, (1, 0): 182, (0, 1): 183, (1, 1): 184}[
        (b in NARROW, b in DESCENDER)]),
    ("voiced", lambda b: 171 if b in NARROW else 54),
    ("nasal + high", lambda b: [158 if b in NARROW else 123,
                                {(0, 0): 127, (1, 0): 142, (0, 1): 143, (1, 1): 144}[
                                    (b in NARROW, b in TALL_SET)]]),
)


def line(marks):
    text = ""
    for group in (SHORT, TALL, DESCENDING):
        for base in group:
            typed = marks(base)
            typed = typed if isinstance(typed, list) else [typed]
            text += chr(0xF000 + base) + "".join(chr(0xF000 + m) for m in typed) + chr(0xF020)
        text += chr(0xF020) * 2
    return text


def render(font, text, features, path):
    subprocess.run(["hb-view", "--font-size=56", "--margin=6", "--background=#ffffff",
                    "--foreground=#000000", f"--features={features}", "-O", "png",
                    "-o", path, font, text], check=True)
    return Image.open(path).convert("RGB")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--fonts", default=FONTS, help="folder of the fonts (default: data/fonts)")
    parser.add_argument("out", nargs="?", default="/tmp/mark_sheet.png")
    args = parser.parse_args()
    out = args.out
    panels = []
    with tempfile.TemporaryDirectory() as tmp:
        for family, file_name in FACES:
            font = os.path.join(args.fonts, file_name)
            for title, features in (("with mark positioning", ""), ("without", "-mark,-mkmk")):
                rows = []
                for number, (name, marks) in enumerate(ROWS):
                    image = render(font, line(marks), features, os.path.join(tmp, f"{number}.png"))
                    labelled = Image.new("RGB", (image.width + 160, image.height), "white")
                    labelled.paste(image, (160, 0))
                    ImageDraw.Draw(labelled).text((6, image.height // 2), name, fill="black")
                    rows.append(labelled)
                heading = Image.new("RGB", (max(r.width for r in rows), 24), (230, 230, 240))
                ImageDraw.Draw(heading).text((6, 6), f"{family}, {title}", fill="black")
                rows.insert(0, heading)
                panel = Image.new("RGB", (max(r.width for r in rows), sum(r.height for r in rows)), "white")
                y = 0
                for row in rows:
                    panel.paste(row, (0, y))
                    y += row.height
                panels.append(panel)
    sheet = Image.new("RGB", (max(p.width for p in panels), sum(p.height for p in panels)), "white")
    y = 0
    for panel in panels:
        sheet.paste(panel, (0, y))
        y += panel.height
    sheet.save(out)
    print(out)


if __name__ == "__main__":
    main()
