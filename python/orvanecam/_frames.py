"""How a numpy frame is handed to the module in place: which call, and the address, size and
row stride it gets."""

from collections import namedtuple

import numpy as np

FrameCall = namedtuple("FrameCall", "function address width height stride")

_FUNCTIONS = {"nv12": "SendFrameNV12", "yuy2": "SendFrameYUY2", "bgra": "SendFrameBGRA",
              "bgr": "SendFrameBGR24"}
_CHANNELS_FORMAT = {2: "yuy2", 3: "bgr", 4: "bgra"}
_MAX_STRIDE = 2**31 - 1


def _as_array(frame):
    if isinstance(frame, np.ndarray):
        return frame
    # Any other buffer is viewed, never copied; a list or similar is refused here.
    return np.asarray(memoryview(frame))


def _format_of(array, format):
    if format is not None:
        if format not in _FUNCTIONS:
            raise ValueError("format must be one of %s, not %r" % (", ".join(_FUNCTIONS), format))
        return format
    if array.ndim == 2:
        return "nv12"
    if array.ndim == 3 and array.shape[2] in _CHANNELS_FORMAT:
        return _CHANNELS_FORMAT[array.shape[2]]
    raise ValueError("cannot tell the format of a frame of shape %s" % (array.shape,))


def _picture_size(array, format):
    """(width, height, bytes a pixel takes in a row) for the shape the format expects."""
    shape = array.shape
    if format == "nv12":
        if array.ndim != 2 or shape[0] % 3 != 0:
            raise ValueError("an NV12 frame is a 2-D array of h * 3 // 2 rows, not %s" % (shape,))
        return shape[1], shape[0] * 2 // 3, 1
    if format == "yuy2":
        if array.ndim == 2 and shape[1] % 2 == 0:
            return shape[1] // 2, shape[0], 1
        if array.ndim == 3 and shape[2] == 2:
            return shape[1], shape[0], 2
        raise ValueError("a YUY2 frame is (h, w, 2) or (h, 2 * w), not %s" % (shape,))
    channels = 4 if format == "bgra" else 3
    if array.ndim != 3 or shape[2] != channels:
        raise ValueError("a %s frame is (h, w, %d), not %s" % (format.upper(), channels, shape))
    return shape[1], shape[0], channels


def frame_call(frame, format=None):
    """The call that sends frame without copying it; ValueError when the module cannot read the
    array where it lies."""
    array = _as_array(frame)
    if array.dtype != np.uint8:
        raise ValueError("frames are uint8 arrays, not %s" % array.dtype)
    format = _format_of(array, format)
    width, height, pixel_step = _picture_size(array, format)
    rows = array.shape[0]
    # A step over a dimension of one element never matters.
    if array.ndim == 3 and array.shape[2] > 1 and array.strides[2] != 1:
        raise ValueError("the bytes of a pixel are not adjacent in memory; pass a copy")
    if array.shape[1] > 1 and array.strides[1] != pixel_step:
        raise ValueError("the pixels of a row are not adjacent in memory; pass a copy")
    row_bytes = array.shape[1] * pixel_step
    stride = array.strides[0] if rows > 1 else row_bytes
    address = array.ctypes.data
    if stride < 0:
        # Rows running backwards are a bottom-up frame, which the RGB calls take as they lie.
        if format not in ("bgra", "bgr"):
            raise ValueError("%s rows must run forwards in memory; pass a copy" % format.upper())
        address += (rows - 1) * stride
        stride, height = -stride, -height
    if stride < row_bytes:
        raise ValueError("the rows of the frame overlap in memory; pass a copy")
    if stride > _MAX_STRIDE:
        raise ValueError("the rows of the frame are too far apart in memory")
    return FrameCall(_FUNCTIONS[format], address, width, height, stride)
