"""Closing a top-level window the way a window manager's close box does, and
reading the hints a window manager reads from a window.

Xvfb runs no window manager, and the accessibility bus offers no way to close
a window, so the scenario sends the ICCCM WM_DELETE_WINDOW message itself,
through libX11 (no Python binding of Xlib is needed for these few calls).
"""
import ctypes

_x = ctypes.cdll.LoadLibrary("libX11.so.6")
_Window = ctypes.c_ulong
_Atom = ctypes.c_ulong
_IS_VIEWABLE = 2
_CLIENT_MESSAGE = 33


class _ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", _Window), ("message_type", _Atom),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class _Event(ctypes.Union):
    _fields_ = [("xclient", _ClientMessage), ("pad", ctypes.c_long * 24)]


class _Attributes(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int),
                ("height", ctypes.c_int), ("border_width", ctypes.c_int), ("depth", ctypes.c_int),
                ("visual", ctypes.c_void_p), ("root", _Window), ("c_class", ctypes.c_int),
                ("bit_gravity", ctypes.c_int), ("win_gravity", ctypes.c_int),
                ("backing_store", ctypes.c_int), ("backing_planes", ctypes.c_ulong),
                ("backing_pixel", ctypes.c_ulong), ("save_under", ctypes.c_int),
                ("colormap", ctypes.c_ulong), ("map_installed", ctypes.c_int),
                ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
                ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
                ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p)]


_x.XOpenDisplay.restype = ctypes.c_void_p
_x.XOpenDisplay.argtypes = [ctypes.c_char_p]
_x.XCloseDisplay.argtypes = [ctypes.c_void_p]
_x.XDefaultRootWindow.restype = _Window
_x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
_x.XInternAtom.restype = _Atom
_x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
_x.XQueryTree.argtypes = [ctypes.c_void_p, _Window, ctypes.POINTER(_Window),
                          ctypes.POINTER(_Window), ctypes.POINTER(ctypes.POINTER(_Window)),
                          ctypes.POINTER(ctypes.c_uint)]
_x.XGetWindowAttributes.argtypes = [ctypes.c_void_p, _Window, ctypes.POINTER(_Attributes)]
_x.XGetWindowProperty.argtypes = [ctypes.c_void_p, _Window, _Atom, ctypes.c_long, ctypes.c_long,
                                  ctypes.c_int, _Atom, ctypes.POINTER(_Atom),
                                  ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_ulong),
                                  ctypes.POINTER(ctypes.c_ulong),
                                  ctypes.POINTER(ctypes.c_void_p)]
_x.XSendEvent.argtypes = [ctypes.c_void_p, _Window, ctypes.c_int, ctypes.c_long,
                          ctypes.POINTER(_Event)]
_x.XFlush.argtypes = [ctypes.c_void_p]
_x.XFree.argtypes = [ctypes.c_void_p]


def _title(display, window):
    utf8 = _x.XInternAtom(display, b"UTF8_STRING", 0)
    name = _x.XInternAtom(display, b"_NET_WM_NAME", 0)
    actual, fmt = _Atom(), ctypes.c_int()
    count, after, data = ctypes.c_ulong(), ctypes.c_ulong(), ctypes.c_void_p()
    if _x.XGetWindowProperty(display, window, name, 0, 4096, 0, utf8, ctypes.byref(actual),
                             ctypes.byref(fmt), ctypes.byref(count), ctypes.byref(after),
                             ctypes.byref(data)) != 0 or not data:
        return ""
    text = ctypes.string_at(data, count.value).decode("utf-8", "replace")
    _x.XFree(data)
    return text


def _property(display, window, name, kind):
    """The 32-bit items of a window property of type `kind`, or []."""
    atom = _x.XInternAtom(display, name, 0)
    actual, fmt = _Atom(), ctypes.c_int()
    count, after, data = ctypes.c_ulong(), ctypes.c_ulong(), ctypes.c_void_p()
    if _x.XGetWindowProperty(display, window, atom, 0, 1024, 0, kind, ctypes.byref(actual),
                             ctypes.byref(fmt), ctypes.byref(count), ctypes.byref(after),
                             ctypes.byref(data)) != 0 or not data:
        return []
    items = list(ctypes.cast(data, ctypes.POINTER(ctypes.c_ulong))[:count.value])
    _x.XFree(data)
    return items


def _viewable_windows(display):
    root = _x.XDefaultRootWindow(display)
    root_ret, parent_ret = _Window(), _Window()
    children, count = ctypes.POINTER(_Window)(), ctypes.c_uint()
    if not _x.XQueryTree(display, root, ctypes.byref(root_ret), ctypes.byref(parent_ret),
                         ctypes.byref(children), ctypes.byref(count)):
        return []
    windows = [children[i] for i in range(count.value)]
    if children:
        _x.XFree(children)
    viewable = []
    for window in windows:
        attributes = _Attributes()
        if _x.XGetWindowAttributes(display, window, ctypes.byref(attributes)) and \
                attributes.map_state == _IS_VIEWABLE:
            viewable.append(window)
    return viewable


def display_ready():
    """Whether a client can connect to the X display now."""
    display = _x.XOpenDisplay(None)
    if not display:
        return False
    _x.XCloseDisplay(display)
    return True


def modal_hints(title):
    """For the mapped window titled `title`: the title of the window it is
    transient for (WM_TRANSIENT_FOR) and whether it is marked modal
    (_NET_WM_STATE_MODAL); None when no such window is mapped."""
    display = _x.XOpenDisplay(None)
    if not display:
        raise RuntimeError("cannot open the X display")
    try:
        xa_window, xa_atom = 33, 4
        modal = _x.XInternAtom(display, b"_NET_WM_STATE_MODAL", 0)
        for window in _viewable_windows(display):
            if _title(display, window) != title:
                continue
            owners = _property(display, window, b"WM_TRANSIENT_FOR", xa_window)
            owner = _title(display, owners[0]) if owners else None
            return owner, modal in _property(display, window, b"_NET_WM_STATE", xa_atom)
        return None
    finally:
        _x.XCloseDisplay(display)


def close_window(title):
    """Asks every mapped top-level window titled `title` to close; returns how many."""
    display = _x.XOpenDisplay(None)
    if not display:
        raise RuntimeError("cannot open the X display")
    try:
        protocols = _x.XInternAtom(display, b"WM_PROTOCOLS", 0)
        delete = _x.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
        sent = 0
        for window in _viewable_windows(display):
            # The X title is the caption exactly: nothing appended.
            if _title(display, window) != title:
                continue
            event = _Event()
            event.xclient.type = _CLIENT_MESSAGE
            event.xclient.window = window
            event.xclient.message_type = protocols
            event.xclient.format = 32
            event.xclient.data[0] = delete
            event.xclient.data[1] = 0  # CurrentTime
            _x.XSendEvent(display, window, 0, 0, ctypes.byref(event))
            sent += 1
        _x.XFlush(display)
        return sent
    finally:
        _x.XCloseDisplay(display)
