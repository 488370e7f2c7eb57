"""Runs the package against a real module build: ORVANECAM_BIN names its folder, with the capture
and registration tools beside it. Each run gets a camera of its own (its own shared block and
registry store), so a camera in use on the machine is never touched."""

import os
import subprocess
import sys
import threading
import time
from pathlib import Path

import numpy as np
import pytest

import orvanecam

WIDTH, HEIGHT = 64, 48


@pytest.fixture(scope="session")
def bin_dir(tmp_path_factory):
    folder = os.environ.get("ORVANECAM_BIN")
    if not folder:
        pytest.skip("ORVANECAM_BIN names no build")
    os.environ["ORVANECAM_OBJECT_SUFFIX"] = "_py%d" % os.getpid()
    os.environ["ORVANECAM_REGISTRY_ROOT"] = str(tmp_path_factory.mktemp("registry"))
    subprocess.run([os.path.join(folder, "orvanecam-register")], check=True,
                   stdout=subprocess.DEVNULL)
    yield Path(folder)
    # The session's shared objects: nothing unlinks them once their processes are gone.
    for leftover in Path("/dev/shm").glob("*" + os.environ["ORVANECAM_OBJECT_SUFFIX"]):
        leftover.unlink(missing_ok=True)


@pytest.fixture(scope="session")
def camera(bin_dir):
    return orvanecam.Camera(module=bin_dir / "liborvanecam.so", size=(WIDTH, HEIGHT))


def last_captured_frame(folder):
    """The last frame of the capture tool's Y4M file as Y, U, V planes."""
    data = (folder / "capture.y4m").read_bytes()
    header, _, frames = data.partition(b"\n")
    fields = {field[:1]: field[1:] for field in header.split()}
    width, height = int(fields[b"W"]), int(fields[b"H"])
    frame_bytes = len(b"FRAME\n") + width * height * 3 // 2
    count = len(frames) // frame_bytes
    assert count > 0, "the capture recorded no frame"
    start = (count - 1) * frame_bytes + len(b"FRAME\n")
    luma = width * height
    planes = np.frombuffer(frames, np.uint8, width * height * 3 // 2, start)
    y = planes[:luma].reshape(height, width)
    u = planes[luma:luma * 5 // 4].reshape(height // 2, width // 2)
    v = planes[luma * 5 // 4:].reshape(height // 2, width // 2)
    return y, u, v


def run_capture(bin_dir, folder, *arguments):
    subprocess.run([str(bin_dir / "orvanecam-capture"), "--out", str(folder), *arguments],
                   check=True, timeout=120, stdout=subprocess.DEVNULL)


@pytest.fixture
def capture(bin_dir, camera, tmp_path):
    """capture(frame, format=None, producer=camera, device="OrvaneCam"): what a capture client of
    device shows while producer sends the frame over and over, as (Y, U, V) planes."""

    def shown(frame, format=None, producer=camera, device="OrvaneCam"):
        stop = threading.Event()
        failures = []

        def keep_sending():
            try:
                while not stop.is_set():
                    producer.send(frame, format)
                    time.sleep(0.01)
            except Exception as error:
                failures.append(error)

        sender = threading.Thread(target=keep_sending)
        sender.start()
        try:
            run_capture(bin_dir, tmp_path, "--frames", "6", "--device", device)
        finally:
            stop.set()
            sender.join()
        if failures:
            raise failures[0]
        return last_captured_frame(tmp_path)

    return shown


def python_command(*arguments):
    """A Python child process that finds this package where this process found it."""
    environment = dict(os.environ, PYTHONPATH=os.pathsep.join(sys.path))
    return [sys.executable, *arguments], environment
