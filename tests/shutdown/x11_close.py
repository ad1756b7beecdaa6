"""Asks an X11 window to close, as a window manager's close button does: a
WM_DELETE_WINDOW client message sent to the window. Works under a bare X
server with no window manager, for Qt (xcb) and Wine windows alike."""
import ctypes
import ctypes.util

_CLIENT_MESSAGE = 33


class _ClientMessageData(ctypes.Union):
    _fields_ = [("b", ctypes.c_char * 20), ("s", ctypes.c_short * 10), ("l", ctypes.c_long * 5)]


class _ClientMessageEvent(ctypes.Structure):
    _fields_ = [
        ("type", ctypes.c_int),
        ("serial", ctypes.c_ulong),
        ("send_event", ctypes.c_int),
        ("display", ctypes.c_void_p),
        ("window", ctypes.c_ulong),
        ("message_type", ctypes.c_ulong),
        ("format", ctypes.c_int),
        ("data", _ClientMessageData),
    ]


class _Event(ctypes.Union):
    # XEvent is a union padded to 24 longs.
    _fields_ = [("xclient", _ClientMessageEvent), ("pad", ctypes.c_long * 24)]


_xlib = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
_xlib.XOpenDisplay.restype = ctypes.c_void_p
_xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
_xlib.XInternAtom.restype = ctypes.c_ulong
_xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
_xlib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                             ctypes.POINTER(_Event)]
_xlib.XFlush.argtypes = [ctypes.c_void_p]
_xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]


def close_window(display_name: str, window: int) -> bool:
    display = _xlib.XOpenDisplay(display_name.encode())
    if not display:
        return False
    try:
        event = _Event()
        event.xclient.type = _CLIENT_MESSAGE
        event.xclient.window = window
        event.xclient.message_type = _xlib.XInternAtom(display, b"WM_PROTOCOLS", 0)
        event.xclient.format = 32
        event.xclient.data.l[0] = _xlib.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
        event.xclient.data.l[1] = 0  # CurrentTime
        sent = _xlib.XSendEvent(display, window, 0, 0, ctypes.byref(event)) != 0
        _xlib.XFlush(display)
        return sent
    finally:
        _xlib.XCloseDisplay(display)
