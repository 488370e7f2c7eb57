"""Producer API of the OrvaneCam virtual camera for Python: numpy frames in, no copies."""

from ._library import OrvaneCamError, default_module
from .camera import Camera

__all__ = ["Camera", "OrvaneCamError", "default_module"]
