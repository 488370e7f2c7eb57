"""pyvirtualcam's documented API over OrvaneCam: a program written for pyvirtualcam runs with
`import pyvirtualcam` replaced by `from orvanecam import pyvirtualcam` and nothing else changed.

The camera is set to the program's size and rate, frames go in the program's pixel format (RGB
means R, G, B) and are converted in the module, and `device` picks an OrvaneCam camera by the
name capture clients list it under."""

import ctypes
import enum
import time

import numpy as np

from ._library import CAMERAS, Module, default_module, raise_for
from ._schedule import FrameSchedule

__all__ = ["Camera", "PixelFormat"]

_NAME_UNITS = 65  # the longest device name and its terminator


class PixelFormat(enum.Enum):
    """The layouts send() takes, as pyvirtualcam names them."""

    RGB = "RGB"
    BGR = "BGR"
    RGBA = "RGBA"
    GRAY = "GRAY"
    I420 = "I420"
    NV12 = "NV12"
    YUYV = "YUYV"
    UYVY = "UYVY"


# Each format's code in the module's SendFrame, and the frame shapes it comes in for a picture
# of height h and width w.
_LAYOUTS = {
    PixelFormat.RGB: (5, lambda h, w: [(h, w, 3)]),
    PixelFormat.BGR: (4, lambda h, w: [(h, w, 3)]),
    PixelFormat.RGBA: (6, lambda h, w: [(h, w, 4)]),
    PixelFormat.GRAY: (9, lambda h, w: [(h, w)]),
    PixelFormat.I420: (7, lambda h, w: [(h * 3 // 2, w)]),
    PixelFormat.NV12: (1, lambda h, w: [(h * 3 // 2, w)]),
    PixelFormat.YUYV: (2, lambda h, w: [(h, w, 2), (h, w * 2)]),
    PixelFormat.UYVY: (8, lambda h, w: [(h, w, 2), (h, w * 2)]),
}


def _device_name(module, camera):
    """The name camera is listed under, or None when it is not registered."""
    buffer = ctypes.create_string_buffer(2 * _NAME_UNITS)
    if module.call(camera, "GetFriendlyName", ctypes.addressof(buffer), _NAME_UNITS) != 0:
        return None
    return buffer.raw.decode("utf-16-le").split("\0", 1)[0]


class Camera:
    """A virtual camera of width x height at fps, fed frames of fmt.

    device: the name a camera is listed under ("OrvaneCam", "OrvaneCam 2", or the name it was
    given); None takes camera 1. backend: None or "orvanecam". print_fps prints the rate every
    second."""

    _closed = True  # until the camera is open

    def __init__(self, width, height, fps, *, fmt=PixelFormat.RGB, device=None, backend=None,
                 print_fps=False, **kw):
        if backend not in (None, "orvanecam"):
            raise ValueError("the only backend here is 'orvanecam', not %r" % (backend,))
        if kw:
            raise TypeError("unexpected arguments for the orvanecam backend: %s" % ", ".join(kw))
        if fmt not in _LAYOUTS:
            raise ValueError("unknown pixel format %r" % (fmt,))
        if not 1 <= fps <= 120:
            raise ValueError("fps must be within 1..120, not %r" % (fps,))
        self._module = Module(default_module())
        self._camera, self._device = self._find_camera(device)
        self._width, self._height, self._fps, self._fmt = int(width), int(height), fps, fmt
        self._check("InitVcam")
        self._check("SetOutputFormat", self._width, self._height, 1)
        self._check("SetOutputFrameRate", int(round(fps)))
        self._print_fps = print_fps
        self._frames_sent = 0
        self._schedule = FrameSchedule(fps)
        self._rate_started = time.perf_counter()
        self._rate_frames = 0
        self._current_fps = None
        self._closed = False

    def _find_camera(self, device):
        if device is None:
            return 1, _device_name(self._module, 1)
        for camera in CAMERAS:
            if _device_name(self._module, camera) == device:
                return camera, device
        raise RuntimeError("no OrvaneCam camera is listed as %r" % (device,))

    def _check(self, name, *arguments):
        raise_for(self._module.call(self._camera, name, *arguments), name)

    def __enter__(self):
        return self

    def __exit__(self, *exception):
        self.close()

    def __del__(self):
        self.close()

    def close(self):
        """Ends the use of the camera; send() refuses frames after it."""
        self._closed = True

    @property
    def backend(self):
        return "orvanecam"

    @property
    def device(self):
        return self._device

    @property
    def native_fmt(self):
        """The layout the camera keeps its frames in."""
        return PixelFormat.NV12

    @property
    def width(self):
        return self._width

    @property
    def height(self):
        return self._height

    @property
    def fps(self):
        return self._fps

    @property
    def fmt(self):
        return self._fmt

    @property
    def frames_sent(self):
        return self._frames_sent

    @property
    def current_fps(self):
        """Frames sent a second, over the last whole second; None before one has passed."""
        return self._current_fps

    def send(self, frame):
        """Shows frame, a uint8 array of the shape fmt has at the camera's size."""
        if self._closed:
            raise RuntimeError("the camera is closed")
        code, shapes = _LAYOUTS[self._fmt]
        array = np.asarray(frame)
        if array.dtype != np.uint8:
            raise ValueError("frames are uint8 arrays, not %s" % array.dtype)
        if array.shape not in shapes(self._height, self._width):
            raise ValueError("a %s frame of %dx%d is %s, not %s" % (
                self._fmt.value, self._width, self._height,
                " or ".join(map(str, shapes(self._height, self._width))), array.shape))
        array = np.ascontiguousarray(array)
        stride = array.nbytes // array.shape[0]
        if self._fmt in (PixelFormat.I420, PixelFormat.NV12):
            stride = self._width
        self._check("SendFrame", code, array.ctypes.data, self._width, self._height, stride)
        self._frames_sent += 1
        self._count_rate()

    def _count_rate(self):
        self._rate_frames += 1
        elapsed = time.perf_counter() - self._rate_started
        if elapsed >= 1.0:
            self._current_fps = self._rate_frames / elapsed
            self._rate_frames = 0
            self._rate_started += elapsed
            if self._print_fps:
                print("%.1f fps" % self._current_fps)

    def sleep_until_next_frame(self):
        """Sleeps until the next frame is due at fps, on a fixed schedule; a program that fell
        more than a frame behind starts a new schedule rather than bursting."""
        self._schedule.sleep_until_next_frame()
