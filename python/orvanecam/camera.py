"""The camera as a producer sees it: frames, picture settings and files played through it."""

import os
import re

from ._frames import frame_call
from ._library import CAMERAS, ERROR_CANCELLED, Module, default_module, raise_for, utf16_text
from ._schedule import FrameSchedule
from ._sound import sound_call

_QUARTER_TURNS = {90: 0, 180: 1, 270: 2}


def _switch(export, initial, doc):
    def get(camera):
        return camera._switches.get(export, initial)

    def change(camera, on):
        camera._check(export, 1 if on else 0)
        camera._switches[export] = bool(on)

    return property(get, change, doc=doc)


class Camera:
    """Loads the camera module and opens the camera's frame exchange.

    module: the module's path (default: see orvanecam.default_module()).
    camera: the camera's number, 1..16 (cameras above 1 once registered, see the README).
    size: (width, height) the camera shows; None leaves the size other producers set.
    fps: the rate wait_for_next_frame() keeps; None makes it return at once.
    nv12_first: whether clients are offered NV12 (True) or YUY2 first, with size.
    """

    def __init__(self, module=None, size=None, fps=None, nv12_first=True, camera=1):
        if fps is not None and fps <= 0:
            raise ValueError("fps must be positive")
        if camera not in CAMERAS:
            raise ValueError("cameras are numbered 1..16, not %r" % (camera,))
        self.camera = camera
        self._module = Module(module if module is not None else default_module())
        self._check("InitVcam")
        if size is not None:
            width, height = size
            self._check("SetOutputFormat", int(width), int(height), 1 if nv12_first else 0)
        self.size = size
        self.fps = fps
        self._schedule = FrameSchedule(fps) if fps is not None else None
        self._switches = {}
        self._name = None

    @property
    def module_path(self):
        return self._module.path

    def _check(self, name, *arguments):
        raise_for(self._module.call(self.camera, name, *arguments), name)

    def send(self, frame, format=None):
        """Shows frame (see the package's README for the shapes); scaled to the camera's size."""
        call = frame_call(frame, format)
        self._check(call.function, call.address, call.width, call.height, call.stride)

    def send_audio(self, samples, rate=48000):
        """Sends sound to the camera's microphone: a numpy array of shape (frames, channels) or
        (frames,) for mono, int16 or float32, at rate samples a second (8,000 to 192,000)."""
        call = sound_call(samples)
        self._check("SendAudio", call.address, call.frames, call.channels, int(rate),
                    call.sample_type)

    def route_sound(self, to):
        """Where the sound of later plays goes: "speakers" (the default), "mic" (the camera's
        microphone only) or "both"."""
        if to not in _SOUND_ROUTES:
            raise ValueError("sound goes to one of %s, not %r" % (", ".join(_SOUND_ROUTES), to))
        self._check("SetAudioRoute", _SOUND_ROUTES[to])

    def audio_output(self, name):
        """Makes the output device called name (as the system lists it; None for the default)
        the speakers of later plays, e.g. a virtual audio cable that applications record."""
        self._check("SetAudioOutput", utf16_text(name) if name else None)

    def wait_for_next_frame(self):
        """Sleeps until the next frame is due at fps, on a fixed schedule; a producer that fell
        behind starts a new schedule rather than bursting."""
        if self._schedule is not None:
            self._schedule.sleep_until_next_frame()

    # The switches read back what this object last set; other producers may change them too.
    mirror = _switch("SetMirrorEnabled", False, "Mirrors the picture left to right.")
    flip = _switch("SetFlipEnabled", False, "Turns the picture upside down.")
    camera_on = _switch("setVcamOn", True, "False shows the vacant picture instead of frames.")

    def rotate(self, degrees):
        """Turns the picture further clockwise by a multiple of 90 degrees."""
        turn = degrees % 360
        if turn == 0:
            return
        if turn not in _QUARTER_TURNS:
            raise ValueError("the picture turns by multiples of 90 degrees, not %r" % degrees)
        self._check("SetRotateRightDegree", _QUARTER_TURNS[turn])

    @property
    def name(self):
        """The device name last given through this object (clients list it cleaned)."""
        return self._name

    @name.setter
    def name(self, text):
        self._check("SetFriendlyName", utf16_text(text))
        self._name = text

    def vacant_image(self, path):
        """Shows a 24- or 32-bit .bmp whenever nothing is sent or the camera is off."""
        self._check("SetVacantImg", _path_text(path))

    def play(self, path):
        """Plays a media file, or a live source's URL (rtsp://, http://, udp://, ... or pipe:0),
        through the camera with its sound; returns True once it has played (a live source:
        once it has ended), False when stop() ended it."""
        return self._run_play("getMultiMediaToCamera", path)

    def show_image(self, path):
        """Shows an image file (an animated one at its pace); True, or False when stopped."""
        return self._run_play("getImageToCamera", path)

    def stop(self):
        """Ends every play() and show_image() of this camera in this process, in any thread."""
        self._check("StopMediaToCamera")

    def _run_play(self, name, path):
        code = self._module.call(self.camera, name, _path_text(path))
        if code == ERROR_CANCELLED:
            return False
        raise_for(code, name)
        return True


_SOUND_ROUTES = {"speakers": 1, "mic": 2, "both": 3}

# A live source's URL: a scheme of two or more characters, then "://"; or a pipe.
_URL = re.compile(r"[A-Za-z][A-Za-z0-9+.-]+://|pipe:")


def _path_text(path):
    text = os.fsdecode(path)
    if _URL.match(text):
        return utf16_text(text)
    # The module takes a relative path from the executable's folder: here, Python's own.
    return utf16_text(os.path.abspath(text))
