"""Frames, settings and files sent through the package reach a real capture client."""

import os
import subprocess
import threading

import numpy as np
import pytest
from conftest import HEIGHT, WIDTH, last_captured_frame, python_command, run_capture

import orvanecam
from orvanecam import pyvirtualcam

# The four quadrants of the test picture, in R, G, B: red, green / blue, grey.
QUADRANT_RGB = [(255, 0, 0), (0, 255, 0), (0, 0, 255), (128, 128, 128)]


def bt601(red, green, blue):
    """Limited-range BT.601 Y, U, V of a colour."""
    y = 16 + (65.481 * red + 128.553 * green + 24.966 * blue) / 255
    u = 128 + (-37.797 * red - 74.203 * green + 112.0 * blue) / 255
    v = 128 + (112.0 * red - 93.786 * green - 18.214 * blue) / 255
    return round(y), round(u), round(v)


QUADRANT_YUV = [bt601(*rgb) for rgb in QUADRANT_RGB]


def quadrants(picture, height=HEIGHT, width=WIDTH):
    """An array of height x width with each quadrant filled from picture's four values."""
    top = np.concatenate([np.full((height // 2, width // 2) + np.shape(picture[i]), picture[i])
                          for i in (0, 1)], axis=1)
    bottom = np.concatenate([np.full((height // 2, width // 2) + np.shape(picture[i]), picture[i])
                             for i in (2, 3)], axis=1)
    return np.concatenate([top, bottom]).astype(np.uint8)


def nv12_frame():
    yuv = quadrants(QUADRANT_YUV)
    uv = yuv[::2, ::2, 1:].reshape(HEIGHT // 2, WIDTH)
    return np.concatenate([yuv[:, :, 0], uv])


def yuy2_frame():
    yuv = quadrants(QUADRANT_YUV)
    packed = np.empty((HEIGHT, WIDTH, 2), np.uint8)
    packed[:, :, 0] = yuv[:, :, 0]
    packed[:, 0::2, 1] = yuv[:, 0::2, 1]
    packed[:, 1::2, 1] = yuv[:, 0::2, 2]
    return packed


def bgr_frame():
    return quadrants([rgb[::-1] for rgb in QUADRANT_RGB])


def bgra_frame():
    return np.concatenate([bgr_frame(), np.full((HEIGHT, WIDTH, 1), 7, np.uint8)], axis=2)


def cropped_bgr_view():
    # Junk around the picture: only the view's rows and columns may be read.
    larger = np.full((HEIGHT + 10, WIDTH + 22, 3), 99, np.uint8)
    larger[5:5 + HEIGHT, 7:7 + WIDTH] = bgr_frame()
    return larger[5:5 + HEIGHT, 7:7 + WIDTH]


def bottom_up_bgra_view():
    # Stored bottom row first, as Windows bitmaps are; the reversed view is the picture.
    stored = np.ascontiguousarray(bgra_frame()[::-1])
    return stored[::-1]


def shown_quadrants(planes):
    """The Y, U, V a client shows at the centre of each quadrant."""
    y, u, v = planes
    at = [(HEIGHT // 4, WIDTH // 4), (HEIGHT // 4, WIDTH * 3 // 4),
          (HEIGHT * 3 // 4, WIDTH // 4), (HEIGHT * 3 // 4, WIDTH * 3 // 4)]
    return [(int(y[r, c]), int(u[r // 2, c // 2]), int(v[r // 2, c // 2])) for r, c in at]


def assert_shows(planes, expected_yuv):
    for shown, expected in zip(shown_quadrants(planes), expected_yuv):
        assert np.abs(np.subtract(shown, expected)).max() <= 3, (shown_quadrants(planes),
                                                                 expected_yuv)


@pytest.mark.parametrize("make_frame, format", [
    (nv12_frame, None),
    (lambda: yuy2_frame().reshape(HEIGHT, 2 * WIDTH), "yuy2"),
    (yuy2_frame, "yuy2"),
    (bgra_frame, None),
    (bgr_frame, None),
    (cropped_bgr_view, None),
    (bottom_up_bgra_view, None),
], ids=["nv12", "yuy2-rows", "yuy2-pairs", "bgra", "bgr", "bgr-cropped", "bgra-bottom-up"])
def test_a_client_shows_the_frame_sent(capture, make_frame, format):
    assert_shows(capture(make_frame(), format), QUADRANT_YUV)


def test_mirror_flip_and_rotation_reach_the_client(camera, capture):
    tl, tr, bl, br = QUADRANT_YUV
    try:
        camera.mirror = True
        assert_shows(capture(bgr_frame()), [tr, tl, br, bl])
        camera.flip = True
        assert_shows(capture(bgr_frame()), [br, bl, tr, tl])
        camera.mirror = camera.flip = False
        camera.rotate(180)
        assert_shows(capture(bgr_frame()), [br, bl, tr, tl])
    finally:
        camera.mirror = camera.flip = False
        camera.rotate(180)
    assert (camera.mirror, camera.flip) == (False, False)


def write_grey_bitmap(path, width=16, height=8, level=128):
    row = bytes([level]) * (width * 3)
    pixels = row * height
    header = b"BM" + (54 + len(pixels)).to_bytes(4, "little") + bytes(4) + (54).to_bytes(4, "little")
    info = b"".join(value.to_bytes(4, "little") for value in (40, width, height))
    info += (1).to_bytes(2, "little") + (24).to_bytes(2, "little") + bytes(24)
    path.write_bytes(header + info + pixels)


def test_the_camera_switched_off_shows_the_vacant_image(camera, capture, tmp_path):
    write_grey_bitmap(tmp_path / "grey.bmp")
    camera.vacant_image(tmp_path / "grey.bmp")
    try:
        camera.camera_on = False
        grey = bt601(128, 128, 128)
        assert_shows(capture(bgr_frame()), [grey] * 4)
    finally:
        camera.camera_on = True
    assert_shows(capture(bgr_frame()), QUADRANT_YUV)


def test_a_new_name_is_listed_cleaned(bin_dir, camera):
    try:
        camera.name = " Py: Cam? "
        listed = subprocess.run([str(bin_dir / "orvanecam-capture"), "--list"], check=True,
                                capture_output=True, text=True).stdout
        assert "  Py Cam" in listed.splitlines()
        assert camera.name == " Py: Cam? "
    finally:
        camera.name = "OrvaneCam"


def test_refusals_raise_with_their_reason(camera, tmp_path):
    frame = bgr_frame()
    with pytest.raises(ValueError, match="uint8"):
        camera.send(frame.astype(np.uint16))
    with pytest.raises(ValueError, match="adjacent"):
        camera.send(frame[:, ::2])
    with pytest.raises(ValueError, match="NV12"):
        camera.send(np.zeros((HEIGHT + 1, WIDTH), np.uint8))
    with pytest.raises(ValueError, match="forwards"):
        camera.send(nv12_frame()[::-1])
    with pytest.raises(TypeError):
        camera.send([[0, 0], [0, 0]])
    with pytest.raises(ValueError):  # 87 from the module: an empty frame
        camera.send(np.zeros((0, WIDTH, 4), np.uint8))
    with pytest.raises(orvanecam.OrvaneCamError) as refused:
        camera.send(np.zeros((3, 5, 4), np.uint8))
    assert refused.value.errno == 13
    with pytest.raises(orvanecam.OrvaneCamError) as missing:
        camera.vacant_image(tmp_path / "missing.bmp")
    assert missing.value.errno == 2 and isinstance(missing.value, OSError)
    with pytest.raises(ValueError):
        camera.rotate(45)
    with pytest.raises(ValueError):
        camera.name = "???"
    with pytest.raises(ValueError):
        orvanecam.Camera(module=camera.module_path, size=(1, 1))


def _microphone_ring():
    """The camera's sound ring as the module maps it on Linux: its write position and samples."""
    name = "/dev/shm/OrvaneCam2_Audio_SharedMemory" + os.environ["ORVANECAM_OBJECT_SUFFIX"]
    with open(name, "rb") as ring:
        data = ring.read()
    position = int.from_bytes(data[24:32], "little")
    return position, np.frombuffer(data[40:], np.int16).reshape(-1, 2)


def test_send_audio_takes_numpy_sound_and_refuses_what_it_cannot(camera):
    rate = 44100
    tone = (np.sin(2 * np.pi * 1000 * np.arange(rate) / rate) * 8000).astype(np.int16)
    camera.send_audio(np.zeros((480, 2), np.int16))  # the ring exists from here on
    before, _ = _microphone_ring()
    camera.send_audio(np.stack([tone, tone], axis=1), rate=rate)
    after, samples = _microphone_ring()
    assert 47800 <= after - before <= 48000
    newest = np.take(samples, np.arange(after - 4800, after) % len(samples), axis=0)
    assert 7600 <= np.abs(newest).max() <= 8400
    camera.send_audio(np.zeros(480, np.float32))  # mono float
    with pytest.raises(ValueError, match="int16 or float32"):
        camera.send_audio(np.zeros(480, np.float64))
    with pytest.raises(ValueError, match="channels"):
        camera.send_audio(np.zeros((480, 9), np.int16))
    with pytest.raises(ValueError, match="out of range"):
        camera.send_audio(np.zeros(480, np.int16), rate=7999)


def test_a_plays_sound_is_routed_by_name_and_its_output_named(camera):
    camera.route_sound("mic")
    camera.route_sound("speakers")
    with pytest.raises(ValueError, match="speakers, mic, both"):
        camera.route_sound("headphones")
    camera.audio_output(None)
    with pytest.raises(orvanecam.OrvaneCamError, match="no audio output device"):
        camera.audio_output("No Such Output Device")


def test_a_url_is_played_as_a_live_source_not_as_a_path(camera):
    with pytest.raises(orvanecam.OrvaneCamError, match="refused"):
        camera.play("tcp://127.0.0.1:1")
    with pytest.raises(orvanecam.OrvaneCamError, match="cannot read that kind"):
        camera.play("gopher://127.0.0.1/")


def test_stop_from_another_thread_ends_a_playing_file(bin_dir, camera):
    outcome = []
    player = threading.Thread(
        target=lambda: outcome.append(camera.play(bin_dir / "test-media" / "clip.mp4")))
    player.start()
    player.join(timeout=0.5)
    assert player.is_alive(), "the clip ended or failed before it could be stopped: %s" % outcome
    camera.stop()
    player.join(timeout=10)
    assert not player.is_alive() and outcome == [False]
    camera.stop()  # with nothing playing: nothing happens


def test_the_send_demo_shows_moving_bars(bin_dir, tmp_path):
    command, environment = python_command(
        "-m", "orvanecam.send", "--size", "%dx%d" % (WIDTH, HEIGHT), "--seconds", "5",
        "--module", str(bin_dir / "liborvanecam.so"))
    demo = subprocess.Popen(command, env=environment, stdout=subprocess.PIPE, text=True)
    try:
        run_capture(bin_dir, tmp_path, "--frames", "30")
    finally:
        output, _ = demo.communicate(timeout=60)
    assert demo.returncode == 0 and output.startswith("sent ")
    summary = dict(line.split(": ", 1) for line in
                   (tmp_path / "summary.txt").read_text().splitlines() if ": " in line)
    assert int(summary["live"].split()[0]) >= 15, summary


def test_a_second_camera_shows_its_own_frames(bin_dir, camera, capture):
    module = bin_dir / "liborvanecam.so"
    with pytest.raises(ValueError):
        orvanecam.Camera(module=module, camera=17)
    with pytest.raises(ValueError):  # not registered
        orvanecam.Camera(module=module, camera=2)
    register = str(bin_dir / "orvanecam-register")
    subprocess.run([register, "--cameras", "2"], check=True, stdout=subprocess.DEVNULL)
    try:
        second = orvanecam.Camera(module=module, size=(WIDTH, HEIGHT), camera=2)
        second.mirror = True
        assert_shows(capture(bgr_frame(), producer=second, device="OrvaneCam 2"),
                     [QUADRANT_YUV[1], QUADRANT_YUV[0], QUADRANT_YUV[3], QUADRANT_YUV[2]])
        assert_shows(capture(bgr_frame()), QUADRANT_YUV)
    finally:
        subprocess.run([register, "--cameras", "1"], check=True, stdout=subprocess.DEVNULL)


# A program as pyvirtualcam's users write it, with only its import changed.
PYVIRTUALCAM_PROGRAM = """
import numpy as np
from orvanecam import pyvirtualcam

red, green, blue, grey = (255, 0, 0), (0, 255, 0), (0, 0, 255), (128, 128, 128)
frame = np.zeros((48, 64, 3), np.uint8)  # RGB
frame[:24, :32], frame[:24, 32:], frame[24:, :32], frame[24:, 32:] = red, green, blue, grey
with pyvirtualcam.Camera(width=64, height=48, fps=60) as cam:
    print(f'Using virtual camera: {cam.device}', flush=True)
    for _ in range(240):
        cam.send(frame)
        cam.sleep_until_next_frame()
    print(cam.frames_sent, round(cam.current_fps))
"""


def test_a_pyvirtualcam_program_runs_with_its_import_changed(bin_dir, tmp_path):
    command, environment = python_command("-c", PYVIRTUALCAM_PROGRAM)
    environment["ORVANECAM_MODULE"] = str(bin_dir / "liborvanecam.so")
    program = subprocess.Popen(command, env=environment, stdout=subprocess.PIPE, text=True)
    try:
        assert program.stdout.readline().strip() == "Using virtual camera: OrvaneCam"
        run_capture(bin_dir, tmp_path, "--frames", "60")
    finally:
        output, _ = program.communicate(timeout=60)
    assert program.returncode == 0
    frames_sent, current_fps = map(int, output.split())
    assert frames_sent == 240 and 50 <= current_fps <= 62, output
    summary = (tmp_path / "summary.txt").read_text()
    assert "64x48 at 60.0 fps offered" in summary, summary
    # RGB means R, G, B: the quadrants arrive in their own colours.
    assert_shows(last_captured_frame(tmp_path), QUADRANT_YUV)


def test_pyvirtualcam_formats_and_refusals(bin_dir, monkeypatch):
    monkeypatch.setenv("ORVANECAM_MODULE", str(bin_dir / "liborvanecam.so"))
    formats = pyvirtualcam.PixelFormat
    shapes = {formats.RGB: (48, 64, 3), formats.BGR: (48, 64, 3), formats.RGBA: (48, 64, 4),
              formats.GRAY: (48, 64), formats.I420: (72, 64), formats.NV12: (72, 64),
              formats.YUYV: (48, 64, 2), formats.UYVY: (48, 128)}
    for fmt, shape in shapes.items():
        with pyvirtualcam.Camera(64, 48, 30, fmt=fmt) as cam:
            cam.send(np.full(shape, 128, np.uint8))
            assert (cam.fmt, cam.frames_sent, cam.native_fmt) == (fmt, 1, formats.NV12)
            with pytest.raises(ValueError):
                cam.send(np.zeros((48, 64, 5), np.uint8))
        with pytest.raises(RuntimeError):
            cam.send(np.full(shape, 128, np.uint8))  # closed
    with pytest.raises(ValueError):
        pyvirtualcam.Camera(64, 48, 200)
    with pytest.raises(RuntimeError):
        pyvirtualcam.Camera(64, 48, 30, device="No Such Camera")
    with pytest.raises(ValueError):
        pyvirtualcam.Camera(64, 48, 30, backend="obs")
