"""Keeping a producer to its frame rate."""

import time


class FrameSchedule:
    """A fixed schedule of frames at fps; a producer that fell more than a frame behind starts a
    new schedule rather than bursting."""

    def __init__(self, fps):
        self._interval = 1.0 / fps
        self._next_frame_at = None

    def sleep_until_next_frame(self):
        now = time.monotonic()
        if self._next_frame_at is None or now - self._next_frame_at > self._interval:
            self._next_frame_at = now
        else:
            time.sleep(max(0.0, self._next_frame_at - now))
        self._next_frame_at += self._interval
