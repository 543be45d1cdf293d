"""What the tests of the Python module share: the samples, the batch tool
run on them, and readers of what it writes.

The module is found through PYTHONPATH (the build's python/ folder); the
batch tool and the samples through TESSAVORIN_BATCH and TESSAVORIN_SAMPLES,
which CTest sets, else beside this source tree.
"""

import csv
import json
import os
import pathlib
import subprocess
import zlib

import numpy as np
import pytest

SOURCE = pathlib.Path(__file__).resolve().parents[2]
SAMPLES = pathlib.Path(os.environ.get("TESSAVORIN_SAMPLES", SOURCE / "samples"))
BATCH = os.environ.get("TESSAVORIN_BATCH", str(SOURCE / "build" / "tessavorin-batch"))


def sample_paths():
    """Every sample picture, as the path string both sides are given."""
    return sorted(str(p) for p in SAMPLES.iterdir()
                  if p.suffix.lower() in (".jpg", ".bmp", ".png"))


# Each way of analysing: the batch's options, the placement and the step
# the module takes for the same analysis.
MODES = {
    "automatic": ([], "top-left", lambda s: s.find_areas()),
    "threshold": (["--threshold", "68"], "top-left", lambda s: s.find_areas(threshold=68)),
    "scan": (["--scan"], "top-left", lambda s: s.scan()),
    "plane": (["--plane", "aV"], "top-left", lambda s: s.find_areas(plane="aV")),
    "part": (["--part", "60,30"], ("part", 60, 30), lambda s: s.find_areas()),
    "fit": (["--fit", "--threshold", "120"], "fit", lambda s: s.find_areas(threshold=120)),
}


@pytest.fixture(scope="session")
def batch_results(tmp_path_factory):
    """mode -> the batch's output folder for every sample in that mode,
    with the planes written."""
    out = {}
    for mode, (options, _, _) in MODES.items():
        folder = tmp_path_factory.mktemp("batch-" + mode)
        subprocess.run([BATCH, "-q", "-j", "2", "--planes", *options, *sample_paths(),
                        "-o", str(folder)], check=True)
        out[mode] = folder
    return out


def read_areas_csv(path):
    """areas.csv as (header, rows of text fields)."""
    with open(path, newline="") as f:
        rows = list(csv.reader(f))
    return rows[0], rows[1:]


def read_json(path):
    with open(path, encoding="utf-8") as f:
        return json.load(f)


def folder_files(folder):
    """Every file below `folder`: relative path -> bytes. The result folder's
    mark is left out: it records who made the folder (the batch's options,
    or the module)."""
    folder = pathlib.Path(folder)
    return {str(p.relative_to(folder)): p.read_bytes()
            for p in sorted(folder.rglob("*")) if p.is_file() and p.name != ".tessavorin-result"}


def same_result(a, b):
    """True when two Results hold the same figures, arrays and columns."""
    keys = ("threshold", "raised_level", "rejected_last", "area_records", "plane", "score")
    return (all(getattr(a, k) == getattr(b, k) for k in keys)
            and np.array_equal(a.labels, b.labels)
            and np.array_equal(a.level_scores, b.level_scores)
            and a.areas.keys() == b.areas.keys()
            and all(np.array_equal(a.areas[k], b.areas[k]) for k in a.areas))


def read_grey_png(path):
    """An 8-bit grey PNG's pixels (as the export writes the planes), with
    zlib and the five row filters: no image library needed."""
    data = pathlib.Path(path).read_bytes()
    assert data[:8] == b"\x89PNG\r\n\x1a\n"
    at, idat, width, height = 8, b"", 0, 0
    while at < len(data):
        length = int.from_bytes(data[at:at + 4], "big")
        kind, body = data[at + 4:at + 8], data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            width, height = int.from_bytes(body[:4], "big"), int.from_bytes(body[4:8], "big")
            assert body[8:10] == b"\x08\x00", "8-bit grey"
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    raw = zlib.decompress(idat)
    out = np.zeros((height, width), np.uint8)
    previous = [0] * width
    for y in range(height):
        kind, row = raw[y * (width + 1)], list(raw[y * (width + 1) + 1:(y + 1) * (width + 1)])
        for x in range(width):
            left = row[x - 1] if x else 0
            up, upleft = previous[x], previous[x - 1] if x else 0
            if kind == 1:
                row[x] = (row[x] + left) & 255
            elif kind == 2:
                row[x] = (row[x] + up) & 255
            elif kind == 3:
                row[x] = (row[x] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - upleft
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - upleft)
                pred = left if pa <= pb and pa <= pc else up if pb <= pc else upleft
                row[x] = (row[x] + pred) & 255
        out[y] = row
        previous = row
    return out


def write_bmp(path, rgb):
    """An (h, w, 3) uint8 array as a 24-bit BMP file, bottom row first."""
    h, w, _ = rgb.shape
    stride = (w * 3 + 3) & ~3
    rows = np.zeros((h, stride), np.uint8)
    rows[:, :w * 3] = rgb[::-1, :, ::-1].reshape(h, w * 3)
    size = 54 + rows.size
    header = (b"BM" + size.to_bytes(4, "little") + bytes(4) + (54).to_bytes(4, "little")
              + (40).to_bytes(4, "little") + w.to_bytes(4, "little") + h.to_bytes(4, "little")
              + (1).to_bytes(2, "little") + (24).to_bytes(2, "little") + bytes(24))
    pathlib.Path(path).write_bytes(header + rows.tobytes())


def busy_pixels(h, w, seed=5):
    """A picture with areas to find: smooth blobs under some noise."""
    rng = np.random.default_rng(seed)
    y, x = np.mgrid[0:h, 0:w]
    base = 128 + 90 * np.sin(x / 17.0) * np.cos(y / 23.0)
    rgb = np.stack([base, 255 - base, (x * 3 + y) % 256], axis=-1)
    rgb += rng.normal(0, 12, rgb.shape)
    return np.clip(rgb, 0, 255).astype(np.uint8)
