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
    87: "an argument is out of range",
    110: "the camera or the file could not be opened",
    161: "the path cannot be resolved",
    1223: "stopped",
    1630: "the file has no video the camera can decode",
}

_U32, _I32, _TEXT, _DATA = ctypes.c_uint32, ctypes.c_int32, ctypes.c_char_p, ctypes.c_void_p
_PROTOTYPES = {
    "InitVcam": (_U32, []),
    "SetOutputFormat": (_U32, [_I32, _I32, _I32]),
    "SendFrameNV12": (_U32, [_DATA, _I32, _I32, _I32]),
    "SendFrameYUY2": (_U32, [_DATA, _I32, _I32, _I32]),
    "SendFrameBGRA": (_U32, [_DATA, _I32, _I32, _I32]),
    "SendFrameBGR24": (_U32, [_DATA, _I32, _I32, _I32]),
    "SetMirrorEnabled": (None, [_I32]),
    "SetFlipEnabled": (None, [_I32]),
    "setVcamOn": (None, [_I32]),
    "SetRotateRightDegree": (None, [_I32]),
    "SetFriendlyName": (_U32, [_TEXT]),
    "SetVacantImg": (_U32, [_TEXT]),
    "getMultiMediaToCamera": (_U32, [_TEXT]),
    "getImageToCamera": (_U32, [_TEXT]),
    "StopMediaToCamera": (_U32, []),
}


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
    """The loaded module: each call returns its error code, also for the calls that report only
    through the thread's last error."""

    def __init__(self, path):
        self.path = os.fspath(path)
        windows = sys.platform == "win32"
        # CDLL: the module's exports use the C convention in both bitnesses, and ctypes lets go
        # of the GIL for every call.
        self._library = ctypes.CDLL(self.path, use_last_error=windows)
        for name, (result, arguments) in _PROTOTYPES.items():
            function = getattr(self._library, name)
            function.restype = result
            function.argtypes = arguments
        if windows:
            self._last_error = ctypes.get_last_error
        else:
            self._last_error = self._library.GetVcamLastError
            self._last_error.restype = _U32
            self._last_error.argtypes = []

    def call(self, name, *arguments):
        function = getattr(self._library, name)
        code = function(*arguments)
        return self._last_error() if function.restype is None else code
