"""Finding and loading the Zarvo32 engine library, and its C interface."""

import ctypes
import ctypes.util
import glob
import os
import sys
import threading

_WINDOWS = sys.platform == "win32"


class EngineNotFoundError(RuntimeError):
    """No Zarvo32 engine library could be loaded."""


class Record(ctypes.Structure):
    """The result record the engine fills: three zero-ended Shift-JIS texts."""

    _fields_ = [
        ("extension", ctypes.c_char * 512),
        ("description", ctypes.c_char * 256),
        ("detail", ctypes.c_char * 512),
    ]


def _places():
    """The libraries to try, in order: OXTARN_LIBRARY alone when it is set;
    else one beside this package, then the system's."""
    given = os.environ.get("OXTARN_LIBRARY")
    if given:
        return [given]
    here = os.path.dirname(os.path.abspath(__file__))
    if _WINDOWS:
        return [os.path.join(here, "Zarvo32.dll"), "Zarvo32.dll"]
    beside = sorted(glob.glob(os.path.join(here, "libZarvo32.so*")), key=len)
    system = ctypes.util.find_library("Zarvo32")
    return beside + ([system] if system else []) + ["libZarvo32.so"]


class Engine:
    """The loaded library, with its functions looked up once."""

    def __init__(self, path):
        loader = ctypes.WinDLL if _WINDOWS else ctypes.CDLL
        self.path = path
        self._lib = lib = loader(path)

        lib.ZarvoGetInfo.argtypes = [ctypes.c_char_p, ctypes.c_int32, ctypes.POINTER(Record), ctypes.c_uint32]
        lib.ZarvoGetInfo.restype = ctypes.c_int32
        lib.ZarvoGetVersion.argtypes = []
        lib.ZarvoGetVersion.restype = ctypes.c_int32
        self.version = lib.ZarvoGetVersion()

        # Younger exports: present in the libraries that have them.
        self._from_memory = getattr(lib, "ZarvoGetInfoFromMemory", None)
        if self._from_memory is not None:
            self._from_memory.argtypes = [ctypes.c_char_p, ctypes.c_uint64, ctypes.c_char_p, ctypes.c_int32,
                                          ctypes.POINTER(Record), ctypes.c_uint32]
            self._from_memory.restype = ctypes.c_int32
        self._kind_name = getattr(lib, "ZarvoGetKindName", None)
        if self._kind_name is not None:
            self._kind_name.argtypes = [ctypes.c_char_p, ctypes.c_char_p, ctypes.c_char_p]
            self._kind_name.restype = ctypes.c_int32

    @property
    def identifies_bytes(self):
        """Whether the library identifies bytes in memory."""
        return self._from_memory is not None

    @property
    def names_kinds(self):
        """Whether the library gives kinds' names and MIME types."""
        return self._kind_name is not None

    # The calls below release the interpreter lock while the engine works.

    def get_info(self, path, sample, options):
        record = Record()
        self._lib.ZarvoGetInfo(path, sample, ctypes.byref(record), options)
        return record

    def get_info_from_memory(self, data, name, sample, options):
        if self._from_memory is None:
            raise NotImplementedError(
                f"the engine library {self.path} cannot identify bytes in memory "
                "(it has no ZarvoGetInfoFromMemory); use a newer Zarvo32")
        record = Record()
        self._from_memory(data, len(data), name, sample, ctypes.byref(record), options)
        return record

    def kind_name(self, extensions):
        """(name, MIME type) of the first candidate, or (None, None)."""
        if self._kind_name is None:
            return None, None
        name = ctypes.create_string_buffer(256)
        mime = ctypes.create_string_buffer(128)
        if not self._kind_name(extensions, name, mime):
            return None, None
        return decode(name.value), decode(mime.value)


def decode(text):
    """An engine text (Shift-JIS bytes) as str."""
    return text.decode("cp932", errors="replace")


_lock = threading.Lock()
_engine = None


def engine():
    """The engine library, loaded on first use."""
    global _engine
    with _lock:
        if _engine is None:
            tried = []
            for place in _places():
                try:
                    _engine = Engine(place)
                    break
                except (OSError, AttributeError) as e:
                    tried.append(f"{place} ({e})")
            else:
                raise EngineNotFoundError(
                    "the Zarvo32 engine library was not found; tried: " + "; ".join(tried)
                    + ". Install it, place it beside the oxtarn package, or set OXTARN_LIBRARY to its path.")
        return _engine
