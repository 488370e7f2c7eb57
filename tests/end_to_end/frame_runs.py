#!/usr/bin/python3
"""Prints the runs of a raw capture's frames, as the capture tool's summary does: "live" for the
producer tool's vertical colour bars, "vacant" for the black vacant picture, "other" else.
Usage: frame_runs.py FILE WIDTH HEIGHT nv12|i420|yuy2"""

import sys

import numpy as np

BAR_LUMA = np.array([235, 210, 170, 145, 106, 81, 41, 16])


def kind(luma):
    # Every fourth row and column; black rows are letterboxing.
    rows = luma[::4, ::4].astype(int)
    lit = rows[(rows > 20).any(axis=1)]
    if len(lit) == 0:
        return "vacant"
    if np.abs(lit - lit[0]).max() > 6:
        return "other"
    seen = sum(np.abs(lit[0] - level).min() <= 4 for level in BAR_LUMA)
    return "live" if seen >= 6 else "other"


def main(path, width, height, layout):
    width, height = int(width), int(height)
    planar = layout in ("nv12", "i420")  # the luma plane first, in both
    frame_bytes = width * height * 3 // 2 if planar else width * height * 2
    data = np.fromfile(path, np.uint8)
    frames = data[: len(data) // frame_bytes * frame_bytes].reshape(-1, frame_bytes)
    kinds = []
    for frame in frames:
        if planar:
            luma = frame[: width * height].reshape(height, width)
        else:
            luma = frame.reshape(height, width * 2)[:, 0::2]
        kinds.append(kind(luma))
    runs = []
    for index, name in enumerate(kinds):
        if runs and runs[-1][2] == name:
            runs[-1][1] = index + 1
        else:
            runs.append([index + 1, index + 1, name])
    print("frames: %d" % len(kinds))
    print("runs: " + ", ".join("%d-%d %s" % tuple(run) for run in runs))


if __name__ == "__main__":
    main(*sys.argv[1:])
