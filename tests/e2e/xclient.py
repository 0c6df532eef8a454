"""Pointer, keys and window queries straight through libX11 and libXtst (ctypes), for the monkey
run: an xdotool process costs some 40 ms to start on this machine, which would be most of the time
of a thousand small events. Input goes through the XTEST extension, as xdotool's does, so Wine
sees the same events. Text is still typed with xdotool, which knows how to type any character.
"""

import ctypes
import ctypes.util
import os

_IS_VIEWABLE = 2
_ANY_PROPERTY_TYPE = 0

# keysym names the monkey uses that are not single characters
_KEYSYMS = {
    "Tab": 0xFF09, "Return": 0xFF0D, "Escape": 0xFF1B, "space": 0x20, "Up": 0xFF52,
    "Down": 0xFF54, "Left": 0xFF51, "Right": 0xFF53, "Home": 0xFF50, "End": 0xFF57,
    "Delete": 0xFFFF, "F4": 0xFFC1, "Next": 0xFF56, "Prior": 0xFF55, "BackSpace": 0xFF08,
    "shift": 0xFFE1, "ctrl": 0xFFE3, "alt": 0xFFE9,
}


class _WindowAttributes(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int),
                ("height", ctypes.c_int), ("border_width", ctypes.c_int), ("depth", ctypes.c_int),
                ("visual", ctypes.c_void_p), ("root", ctypes.c_ulong), ("c_class", ctypes.c_int),
                ("bit_gravity", ctypes.c_int), ("win_gravity", ctypes.c_int),
                ("backing_store", ctypes.c_int), ("backing_planes", ctypes.c_ulong),
                ("backing_pixel", ctypes.c_ulong), ("save_under", ctypes.c_int),
                ("colormap", ctypes.c_ulong), ("map_installed", ctypes.c_int),
                ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
                ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
                ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p)]


_ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)


class BadWindow(Exception):
    """The window does not exist (any more)."""


class Display:
    def __init__(self, name=None):
        x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        xtst = ctypes.CDLL(ctypes.util.find_library("Xtst") or "libXtst.so.6")
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x11.XDefaultRootWindow.restype = ctypes.c_ulong
        x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        x11.XInternAtom.restype = ctypes.c_ulong
        x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        x11.XKeysymToKeycode.restype = ctypes.c_ubyte
        x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        x11.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong,
                                             ctypes.POINTER(_WindowAttributes)]
        x11.XTranslateCoordinates.argtypes = [
            ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
            ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int),
            ctypes.POINTER(ctypes.c_ulong)]
        x11.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong,
                                   ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_ulong),
                                   ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                                   ctypes.POINTER(ctypes.c_uint)]
        x11.XGetWindowProperty.argtypes = [
            ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long, ctypes.c_long,
            ctypes.c_int, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
            ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_ulong),
            ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_void_p)]
        x11.XFree.argtypes = [ctypes.c_void_p]
        x11.XSetErrorHandler.restype = ctypes.c_void_p
        x11.XSetErrorHandler.argtypes = [_ERROR_HANDLER]
        xtst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int,
                                              ctypes.c_int, ctypes.c_ulong]
        xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                              ctypes.c_ulong]
        xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                           ctypes.c_ulong]
        self.x11, self.xtst = x11, xtst
        self.display = x11.XOpenDisplay((name or os.environ["DISPLAY"]).encode())
        if not self.display:
            raise RuntimeError("cannot open the X display")
        self.root = x11.XDefaultRootWindow(self.display)
        self.errors = 0
        # X errors (a window that went away between two calls) are counted, not fatal.
        self._handler = _ERROR_HANDLER(self._on_error)
        x11.XSetErrorHandler(self._handler)
        self.net_wm_pid = x11.XInternAtom(self.display, b"_NET_WM_PID", False)
        self.net_wm_name = x11.XInternAtom(self.display, b"_NET_WM_NAME", False)
        self.wm_name = x11.XInternAtom(self.display, b"WM_NAME", False)

    def _on_error(self, display, event):
        self.errors += 1
        return 0

    def sync(self):
        self.x11.XSync(self.display, False)

    # --- input -------------------------------------------------------------------------------

    def move(self, x, y):
        self.xtst.XTestFakeMotionEvent(self.display, -1, int(x), int(y), 0)
        self.sync()

    def button(self, button, down):
        self.xtst.XTestFakeButtonEvent(self.display, button, bool(down), 0)
        self.sync()

    def click(self, x, y, button=1):
        self.move(x, y)
        self.button(button, True)
        self.button(button, False)

    def key(self, combo):
        """One key with its modifiers, as xdotool names them: "Tab", "shift+Tab"."""
        codes = []
        for name in combo.split("+"):
            keysym = _KEYSYMS.get(name, ord(name) if len(name) == 1 else None)
            if keysym is None:
                raise ValueError(f"unknown key {name!r}")
            codes.append(self.x11.XKeysymToKeycode(self.display, keysym))
        for code in codes:
            self.xtst.XTestFakeKeyEvent(self.display, code, True, 0)
        for code in reversed(codes):
            self.xtst.XTestFakeKeyEvent(self.display, code, False, 0)
        self.sync()

    # --- windows -----------------------------------------------------------------------------

    def _attributes(self, window):
        attributes = _WindowAttributes()
        before = self.errors
        ok = self.x11.XGetWindowAttributes(self.display, window, ctypes.byref(attributes))
        self.sync()
        if not ok or self.errors != before:
            raise BadWindow(window)
        return attributes

    def geometry(self, window):
        """(x, y, width, height) of a window on the screen."""
        attributes = self._attributes(window)
        x, y, child = ctypes.c_int(), ctypes.c_int(), ctypes.c_ulong()
        before = self.errors
        self.x11.XTranslateCoordinates(self.display, window, self.root, 0, 0, ctypes.byref(x),
                                       ctypes.byref(y), ctypes.byref(child))
        self.sync()
        if self.errors != before:
            raise BadWindow(window)
        return x.value, y.value, attributes.width, attributes.height

    def viewable(self, window):
        """Whether the window is mapped and shows (a minimised Wine window is unmapped)."""
        return self._attributes(window).map_state == _IS_VIEWABLE

    def _property(self, window, atom):
        actual_type, actual_format = ctypes.c_ulong(), ctypes.c_int()
        count, after, data = ctypes.c_ulong(), ctypes.c_ulong(), ctypes.c_void_p()
        status = self.x11.XGetWindowProperty(
            self.display, window, atom, 0, 1024, False, _ANY_PROPERTY_TYPE,
            ctypes.byref(actual_type), ctypes.byref(actual_format), ctypes.byref(count),
            ctypes.byref(after), ctypes.byref(data))
        if status != 0 or not data.value:
            return None, 0
        try:
            if actual_format.value == 32:  # longs, whatever their size on this machine
                values = ctypes.cast(data, ctypes.POINTER(ctypes.c_long))
                return [values[i] for i in range(count.value)], 32
            return ctypes.string_at(data, count.value), 8
        finally:
            self.x11.XFree(data)

    def top_windows(self):
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        children, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        if not self.x11.XQueryTree(self.display, self.root, ctypes.byref(root),
                                   ctypes.byref(parent), ctypes.byref(children),
                                   ctypes.byref(count)):
            return []
        windows = [children[i] for i in range(count.value)]
        if children:
            self.x11.XFree(children)
        return windows

    def visible_windows(self, pid):
        """The viewable top-level windows whose _NET_WM_PID is pid, bottom to top."""
        found = []
        for window in self.top_windows():
            values, _ = self._property(window, self.net_wm_pid)
            if values and values[0] == pid:
                try:
                    if self._attributes(window).map_state == _IS_VIEWABLE:
                        found.append(window)
                except BadWindow:
                    pass
        return found

    def window_name(self, window):
        for atom in (self.net_wm_name, self.wm_name):
            value, _ = self._property(window, atom)
            if value:
                return value.decode("utf-8", "replace")
        return ""
