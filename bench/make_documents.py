#!/usr/bin/env python3
"""Writes the JSON documents whose export memory bench/measure_memory.sh measures:
one-path.json (one closed path of 100 curved segments), b-long-path.json (one closed path of
32767 curved segments) and a-many-paths.json (16191 closed paths of 100 curved segments, the
art list's 16192 rows with the layer's root group; about 150 MB). Usage: make_documents.py DIR
"""
import json
import struct
import sys
from pathlib import Path


class Coordinates:
    """The same kind of pseudo-random coordinates as the benchmark's documents."""

    def __init__(self, seed):
        self.state = seed

    def step(self):
        self.state = (self.state * 1664525 + 1013904223) & 0xFFFFFFFF
        return self.state

    @staticmethod
    def single(value):
        """The nearest 32-bit real, written so that it reads back exactly."""
        return float("%.9g" % struct.unpack("f", struct.pack("f", value))[0])

    def next(self):
        bits = self.step()
        value = -1234.5678 + (bits >> 8) / 16777216.0 * 6234.5678
        return self.single(float(int(value)) if bits & 15 == 0 else value)

    def offset(self):
        return (self.step() >> 8) / 16777216.0 * 80.0 - 40.0


def curved_path(coordinates, segment_count):
    segments = []
    for _ in range(segment_count):
        x, y = coordinates.next(), coordinates.next()
        handle_in = [Coordinates.single(x - coordinates.offset()), Coordinates.single(y - coordinates.offset())]
        handle_out = [Coordinates.single(x + coordinates.offset()), Coordinates.single(y + coordinates.offset())]
        segments.append({"anchor": [x, y], "in": handle_in, "out": handle_out, "corner": False})
    return {"type": "path", "closed": True, "segments": segments, "style": {"fill": {"rgb": [0.2, 0.5, 0.6]}}}


def write_document(path, path_count, segment_count):
    coordinates = Coordinates(12345)
    paths = [curved_path(coordinates, segment_count) for _ in range(path_count)]
    with open(path, "w") as out:
        json.dump({"layers": [{"type": "group", "children": paths}]}, out, separators=(",", ":"))


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    directory = Path(sys.argv[1])
    directory.mkdir(parents=True, exist_ok=True)
    write_document(directory / "one-path.json", 1, 100)
    write_document(directory / "b-long-path.json", 1, 32767)
    write_document(directory / "a-many-paths.json", 16191, 100)


if __name__ == "__main__":
    main()
