#!/usr/bin/env python3
"""Serves a moving checkerboard (MJPEG over RTP, 320x240 at 30 fps) at rtsp://127.0.0.1:PORT/live
on this machine's loopback only, until killed. Usage: rtsp_server.py PORT"""
import sys

import gi

gi.require_version("Gst", "1.0")
gi.require_version("GstRtspServer", "1.0")
from gi.repository import GLib, Gst, GstRtspServer  # noqa: E402

Gst.init(None)
server = GstRtspServer.RTSPServer()
server.set_address("127.0.0.1")
server.set_service(sys.argv[1])
factory = GstRtspServer.RTSPMediaFactory()
factory.set_launch(
    "( videotestsrc is-live=true pattern=checkers-8 horizontal-speed=2"
    " ! video/x-raw,format=I420,width=320,height=240,framerate=30/1 ! jpegenc ! rtpjpegpay name=pay0 pt=26 )")
factory.set_shared(True)
server.get_mount_points().add_factory("/live", factory)
server.attach(None)
GLib.MainLoop().run()
