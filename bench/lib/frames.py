"""Frames that reach the screen, counted by the X server: a DAMAGE report on a window for every area
drawn into it. Whatever draws the window (the program's widgets, Chromium's compositor), a frame is one
burst of drawing; reports less than GAP_MS apart belong to the same frame."""

import ctypes
import threading
import time

GAP_MS = 4
REPORT_RAW_RECTANGLES = 0
DAMAGE_NOTIFY = 0


class XRectangle(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short), ("width", ctypes.c_ushort),
                ("height", ctypes.c_ushort)]


class XDamageNotifyEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("drawable", ctypes.c_ulong), ("damage", ctypes.c_ulong),
                ("level", ctypes.c_int), ("more", ctypes.c_int), ("timestamp", ctypes.c_ulong),
                ("area", XRectangle), ("geometry", XRectangle)]


class XEvent(ctypes.Union):
    _fields_ = [("damage", XDamageNotifyEvent), ("pad", ctypes.c_long * 24)]


class FrameCounter:
    """Counts the frames drawn into window (an X window id) from start() to stop(): frames, and the
    pixels drawn per frame on average."""

    def __init__(self, window):
        self.window = int(window)
        self.frames = 0
        self.pixels = 0
        self._stop = threading.Event()
        self._ready = threading.Event()
        self._thread = threading.Thread(target=self._run, daemon=True)
        self.error = None

    def start(self):
        self._thread.start()
        self._ready.wait(5)
        if self.error:
            raise RuntimeError(self.error)
        return self

    def stop(self):
        self._stop.set()
        self._thread.join(5)
        return {"frames": self.frames,
                "pixels_per_frame": round(self.pixels / self.frames) if self.frames else 0}

    def _run(self):
        x11 = ctypes.CDLL("libX11.so.6")
        damage = ctypes.CDLL("libXdamage.so.1")
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x11.XPending.argtypes = [ctypes.c_void_p]
        x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(XEvent)]
        x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        damage.XDamageQueryExtension.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_int),
                                                 ctypes.POINTER(ctypes.c_int)]
        damage.XDamageCreate.restype = ctypes.c_ulong
        damage.XDamageCreate.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int]
        display = x11.XOpenDisplay(None)
        if not display:
            self.error = "no X display"
            self._ready.set()
            return
        base, error_base = ctypes.c_int(), ctypes.c_int()
        if not damage.XDamageQueryExtension(display, ctypes.byref(base), ctypes.byref(error_base)):
            self.error = "the X server has no DAMAGE extension"
            self._ready.set()
            return
        damage.XDamageCreate(display, self.window, REPORT_RAW_RECTANGLES)
        x11.XSync(ctypes.c_void_p(display), 0)
        self._ready.set()
        event = XEvent()
        last = None
        while not self._stop.is_set():
            while x11.XPending(display):
                x11.XNextEvent(display, ctypes.byref(event))
                if event.damage.type != base.value + DAMAGE_NOTIFY:
                    continue
                stamp = event.damage.timestamp
                if last is None or stamp - last >= GAP_MS:
                    self.frames += 1
                last = stamp
                self.pixels += event.damage.area.width * event.damage.area.height
            time.sleep(0.001)
        x11.XCloseDisplay(display)
