"""Sends colour bars sliding sideways through the camera:
python -m orvanecam.send [--size WxH] [--seconds S] [--fps N] [--module PATH]"""

import argparse
import sys
import time

import numpy as np

from . import Camera, OrvaneCamError

# White, yellow, cyan, green, magenta, red, blue, black, in B, G, R.
_BARS = np.array([[255, 255, 255], [0, 255, 255], [255, 255, 0], [0, 255, 0],
                  [255, 0, 255], [0, 0, 255], [255, 0, 0], [0, 0, 0]], dtype=np.uint8)


def bar_strip(width, height):
    """Two picture widths of bars: each frame is a view into it, sent without a copy."""
    columns = np.arange(2 * width) * len(_BARS) // width % len(_BARS)
    return np.ascontiguousarray(np.broadcast_to(_BARS[columns], (height, 2 * width, 3)))


def _size(text):
    try:
        width, height = (int(side) for side in text.lower().split("x"))
    except ValueError:
        raise argparse.ArgumentTypeError("expected WxH, such as 1280x720") from None
    return width, height


def main(argv=None):
    parser = argparse.ArgumentParser(prog="python -m orvanecam.send", description=__doc__)
    parser.add_argument("--size", type=_size, default=(1280, 720), help="WxH (default 1280x720)")
    parser.add_argument("--seconds", type=float, default=5.0)
    parser.add_argument("--fps", type=float, default=30.0)
    parser.add_argument("--module", help="the camera module (default: the installed one)")
    options = parser.parse_args(argv)
    width, height = options.size
    try:
        camera = Camera(module=options.module, size=options.size, fps=options.fps)
        strip = bar_strip(width, height)
        frames = 0
        ends_at = time.monotonic() + options.seconds
        while time.monotonic() < ends_at:
            offset = frames * 4 % width
            camera.send(strip[:, offset:offset + width])
            frames += 1
            camera.wait_for_next_frame()
    except (OSError, ValueError) as error:
        print("orvanecam.send: %s" % error, file=sys.stderr)
        return 1
    print("sent %d frames of %dx%d" % (frames, width, height))
    return 0


if __name__ == "__main__":
    sys.exit(main())
