"""Finds and loads the camera module and turns its Win32 error codes into exceptions."""

import ctypes
import os
import sys
from pathlib import Path

_CAMERA_CLASS_ID = "{5B2E9C47-81D3-4F6A-9C1E-3A7D0B64E2F9}"
ERROR_INVALID_PARAMETER = 87
ERROR_CANCELLED = 1223

_REASONS = {
    2: "the file does not exist",
    5: "the setting could not be stored",
    8: "no room for the camera's shared frame block",
    13: "the frame or file cannot be used",
    21: "the camera's registration could not be updated",
    29: "the frame could not be published",
    50: "this build cannot read that kind of URL",
    87: "an argument is out of range",
    110: "the camera or the file could not be opened",
    161: "the path cannot be resolved",
    170: "another producer's sound is being sent to this camera",
    1223: "stopped",
    1168: "no audio output device has that name",
    1225: "the source refused the connection",
    1232: "the source cannot be reached",
    1460: "the source did not answer in time",
    1630: "the file has no video the camera can decode",
}

_U32, _I32, _TEXT, _DATA = ctypes.c_uint32, ctypes.c_int32, ctypes.c_char_p, ctypes.c_void_p
# The exports' arguments after the camera number: each is called through its twin, which takes
# the camera number first and returns its code.
_ARGUMENTS = {
    "InitVcam": [],
    "SetOutputFormat": [_I32, _I32, _I32],
    "SetOutputFrameRate": [_I32],
    "SendFrameNV12": [_DATA, _I32, _I32, _I32],
    "SendFrameYUY2": [_DATA, _I32, _I32, _I32],
    "SendFrameBGRA": [_DATA, _I32, _I32, _I32],
    "SendFrameBGR24": [_DATA, _I32, _I32, _I32],
    "SetMirrorEnabled": [_I32],
    "SetFlipEnabled": [_I32],
    "setVcamOn": [_I32],
    "SetRotateRightDegree": [_I32],
    "SetFriendlyName": [_TEXT],
    "GetFriendlyName": [_DATA, _I32],
    "SendFrame": [_I32, _DATA, _I32, _I32, _I32],
    "SendAudio": [_DATA, _I32, _I32, _I32, _I32],
    "SetAudioRoute": [_I32],
    "SetAudioOutput": [_TEXT],
    "SetVacantImg": [_TEXT],
    "getMultiMediaToCamera": [_TEXT],
    "getImageToCamera": [_TEXT],
    "StopMediaToCamera": [],
}
CAMERAS = range(1, 17)


class OrvaneCamError(OSError):
    """A call into the camera module failed; errno is its Win32 error code."""


def raise_for(code, call):
    """Raises the exception a non-zero code of call stands for."""
    if code == 0:
        return
    reason = _REASONS.get(code, "error %d" % code)
    if code == ERROR_INVALID_PARAMETER:
        raise ValueError("%s: %s" % (call, reason))
    raise OrvaneCamError(code, "%s: %s" % (call, reason))


def utf16_text(text):
    """NUL-terminated UTF-16 (the module's text on every system; ctypes' wide strings are
    32-bit on Linux)."""
    if "\0" in text:
        raise ValueError("text must not contain NUL characters")
    return (text + "\0").encode("utf-16-le")


def _registered_module():
    import winreg

    key_path = "CLSID\\%s\\InprocServer32" % _CAMERA_CLASS_ID
    try:
        with winreg.OpenKey(winreg.HKEY_CLASSES_ROOT, key_path) as key:
            path, _ = winreg.QueryValueEx(key, "")
    except OSError:
        raise OrvaneCamError(
            2, "the camera is not registered (install it, or pass module=)"
        ) from None
    return os.path.expandvars(path)


def default_module():
    """$ORVANECAM_MODULE; else on Windows the registered DLL of this Python's bitness; else the
    project's Linux build beside this package's source, or the library search path."""
    chosen = os.environ.get("ORVANECAM_MODULE")
    if chosen:
        return chosen
    if sys.platform == "win32":
        return _registered_module()
    built = Path(__file__).resolve().parents[2] / "build" / "linux" / "bin" / "liborvanecam.so"
    return str(built) if built.is_file() else "liborvanecam.so"


class Module:
    """The loaded module, called through the exports' camera twins."""

    def __init__(self, path):
        self.path = os.fspath(path)
        # CDLL: the module's exports use the C convention in both bitnesses, and ctypes lets go
        # of the GIL for every call.
        self._library = ctypes.CDLL(self.path)
        for name, arguments in _ARGUMENTS.items():
            function = getattr(self._library, name + "ForCamera")
            function.restype = _U32
            function.argtypes = [_I32] + arguments

    def call(self, camera, name, *arguments):
        """The code of export name's twin for camera."""
        return getattr(self._library, name + "ForCamera")(camera, *arguments)
