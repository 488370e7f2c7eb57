"""How a numpy array of sound is handed to the module in place: its address, frames, channels
and sample type."""

from collections import namedtuple

import numpy as np

SoundCall = namedtuple("SoundCall", "address frames channels sample_type array")

_SAMPLE_TYPES = {np.dtype(np.int16): 1, np.dtype(np.float32): 2}


def sound_call(samples):
    """The arguments of SendAudio for samples: shape (frames, channels) or (frames,) for mono,
    int16 or float32. The array is kept in the result so that it outlives the call."""
    array = np.ascontiguousarray(samples)
    sample_type = _SAMPLE_TYPES.get(array.dtype)
    if sample_type is None:
        raise ValueError("sound must be int16 or float32, not %s" % array.dtype)
    if array.ndim == 1:
        channels = 1
    elif array.ndim == 2 and 1 <= array.shape[1] <= 8:
        channels = array.shape[1]
    else:
        raise ValueError("sound is (frames,) or (frames, 1..8 channels), not %s" % (array.shape,))
    if array.shape[0] < 1 or array.shape[0] > 2**31 - 1:
        raise ValueError("sound must hold 1 to 2**31 - 1 frames, not %d" % array.shape[0])
    return SoundCall(array.ctypes.data, array.shape[0], channels, sample_type, array)
