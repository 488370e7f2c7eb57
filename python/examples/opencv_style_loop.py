"""A producer loop as OpenCV programs write it: a BGR numpy frame each turn, drawn into, sent.

Run with the package installed (or PYTHONPATH=python): python examples/opencv_style_loop.py
With OpenCV, `ok, frame = cv2.VideoCapture(0).read()` gives frames of the same kind.
"""

import numpy as np

import orvanecam

WIDTH, HEIGHT, FPS = 1280, 720, 30

camera = orvanecam.Camera(size=(WIDTH, HEIGHT), fps=FPS)
frame = np.zeros((HEIGHT, WIDTH, 3), np.uint8)  # B, G, R, as OpenCV keeps images
for count in range(10 * FPS):
    frame[:] = (40, 30, 20)
    x = count * 8 % (WIDTH - 100)
    frame[HEIGHT // 2 - 50:HEIGHT // 2 + 50, x:x + 100] = (0, 200, 255)  # an orange square
    camera.send(frame)
    camera.wait_for_next_frame()
