#!/usr/bin/env python3
"""Makes packaging/mac/Pelko.icns from the project's icon (the Linux
package's SVG), with rsvg-convert (Debian's librsvg2-bin).

    tools/make-icns.py [svg] [icns]

The artwork is drawn at 824 of 1024 points, centred, as macOS app icons
are, so the Dock shows it at the size of its neighbours. Each entry is a
PNG of one of the sizes iconutil writes: 16 to 512 points, at 1x and 2x.
The result is committed; run this again when the SVG changes.
"""
import re
import struct
import subprocess
import sys
import tempfile
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
# (type, pixels), as in an .iconset turned into .icns by iconutil.
ENTRIES = [
    (b"icp4", 16), (b"ic11", 32),   # 16 pt, 1x and 2x
    (b"icp5", 32), (b"ic12", 64),   # 32 pt
    (b"ic07", 128), (b"ic13", 256),  # 128 pt
    (b"ic08", 256), (b"ic14", 512),  # 256 pt
    (b"ic09", 512), (b"ic10", 1024),  # 512 pt
]
ARTWORK = 824 / 1024


def padded_svg(svg: str) -> str:
    match = re.search(r'viewBox="([-\d.]+) ([-\d.]+) ([\d.]+) ([\d.]+)"', svg)
    if not match:
        sys.exit("the SVG has no viewBox")
    x, y, w, h = (float(v) for v in match.groups())
    side = max(w, h) / ARTWORK
    box = f'viewBox="{x - (side - w) / 2:g} {y - (side - h) / 2:g} {side:g} {side:g}"'
    return svg[:match.start()] + box + svg[match.end():]


def main() -> None:
    source = Path(sys.argv[1]) if len(sys.argv) > 1 else ROOT / "packaging/linux/ai.pelko.Desktop.svg"
    target = Path(sys.argv[2]) if len(sys.argv) > 2 else ROOT / "packaging/mac/Pelko.icns"
    with tempfile.TemporaryDirectory() as work:
        svg = Path(work) / "icon.svg"
        svg.write_text(padded_svg(source.read_text()))
        body = b""
        for kind, pixels in ENTRIES:
            png = subprocess.run(["rsvg-convert", "-w", str(pixels), "-h", str(pixels), str(svg)],
                                 check=True, capture_output=True).stdout
            body += kind + struct.pack(">I", 8 + len(png)) + png
    target.write_bytes(b"icns" + struct.pack(">I", 8 + len(body)) + body)
    print(f"{target}: {8 + len(body)} bytes")


if __name__ == "__main__":
    main()
