"""A Windows PE file read with nothing but the standard library: the
headers, the sections, the import tables and the resource tree. Used by the
checks of tools/ on the built exes."""
import struct

IMAGE_FILE_MACHINE_I386 = 0x014C
PE32_MAGIC = 0x10B
PE32PLUS_MAGIC = 0x20B


class PeError(Exception):
    pass


class PeFile:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise PeError("not an MZ/PE file")
        (pe_off,) = struct.unpack_from("<I", data, 0x3C)
        if data[pe_off:pe_off + 4] != b"PE\0\0":
            raise PeError("no PE signature")
        coff = pe_off + 4
        (self.machine, nsections, self.timestamp, _, _, opt_size, self.characteristics) = struct.unpack_from(
            "<HHIIIHH", data, coff)
        opt = coff + 20
        (self.magic,) = struct.unpack_from("<H", data, opt)
        if self.magic not in (PE32_MAGIC, PE32PLUS_MAGIC):
            raise PeError(f"unknown optional header magic {self.magic:#x}")
        # Fields at the same offsets in PE32 and PE32+.
        (self.major_os, self.minor_os, _, _, self.major_subsys, self.minor_subsys) = struct.unpack_from(
            "<HHHHHH", data, opt + 40)
        (self.subsystem,) = struct.unpack_from("<H", data, opt + 68)
        if self.magic == PE32_MAGIC:
            (self.image_base,) = struct.unpack_from("<I", data, opt + 28)
        else:
            (self.image_base,) = struct.unpack_from("<Q", data, opt + 24)
        dirs = opt + (96 if self.magic == PE32_MAGIC else 112)
        (ndirs,) = struct.unpack_from("<I", data, dirs - 4)
        self.dirs = [struct.unpack_from("<II", data, dirs + 8 * i) for i in range(min(ndirs, 16))]
        self.sections = []
        sec = opt + opt_size
        for i in range(nsections):
            name, vsize, va, rawsize, rawptr = struct.unpack_from("<8sIIII", data, sec + 40 * i)
            self.sections.append((va, max(vsize, rawsize), rawptr, rawsize))

    @property
    def is_pe32_i386(self):
        return self.magic == PE32_MAGIC and self.machine == IMAGE_FILE_MACHINE_I386

    def offset(self, rva):
        for va, size, rawptr, rawsize in self.sections:
            if va <= rva < va + size:
                if rva - va >= rawsize:
                    raise PeError(f"RVA {rva:#x} lies in uninitialised data")
                return rawptr + rva - va
        raise PeError(f"RVA {rva:#x} is outside every section")

    def cstr(self, rva):
        off = self.offset(rva)
        end = self.data.index(b"\0", off)
        return self.data[off:end].decode("ascii", "replace")

    def _thunks(self, rva):
        off = self.offset(rva)
        wide = self.magic == PE32PLUS_MAGIC
        fmt, size = ("<Q", 8) if wide else ("<I", 4)
        ordinal_flag = 1 << (63 if wide else 31)
        while True:
            (v,) = struct.unpack_from(fmt, self.data, off)
            if v == 0:
                return
            if v & ordinal_flag:
                yield ("#%d" % (v & 0xFFFF))
            else:
                yield self.cstr((v & 0x7FFFFFFF) + 2)  # skip the hint
            off += size

    def imports(self):
        """[(dll, [function or '#ordinal', ...], kind)] for normal and delay-load imports."""
        result = []
        if len(self.dirs) > 1 and self.dirs[1][0]:
            off = self.offset(self.dirs[1][0])
            while True:
                oft, _, _, name_rva, ft = struct.unpack_from("<IIIII", self.data, off)
                if not (oft or name_rva or ft):
                    break
                result.append((self.cstr(name_rva), list(self._thunks(oft or ft)), "import"))
                off += 20
        if len(self.dirs) > 13 and self.dirs[13][0]:
            off = self.offset(self.dirs[13][0])
            while True:
                attrs, name_rva, _, _, int_rva = struct.unpack_from("<IIIII", self.data, off)
                if not name_rva:
                    break
                # Old-style (attrs bit 0 clear) descriptors hold VAs, not RVAs.
                base = 0 if attrs & 1 else self.image_base
                result.append((self.cstr(name_rva - base), list(self._thunks(int_rva - base)), "delay-load"))
                off += 32
        return result


# --- resources ----------------------------------------------------------------

RT_VERSION = 16
RT_MANIFEST = 24


def resource_timestamp(pe):
    """The TimeDateStamp of the root resource directory (0 when there is none)."""
    if len(pe.dirs) <= 2 or not pe.dirs[2][0]:
        return 0
    (stamp,) = struct.unpack_from("<I", pe.data, pe.offset(pe.dirs[2][0]) + 4)
    return stamp


def resources(pe):
    """{(type, name): [(language, bytes), ...]} from the resource directory.
    Types and names are numbers, or strings for named entries."""
    if len(pe.dirs) <= 2 or not pe.dirs[2][0]:
        return {}
    base = pe.offset(pe.dirs[2][0])
    data = pe.data

    def entries(offset):
        named, numbered = struct.unpack_from("<HH", data, base + offset + 12)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", data, base + offset + 16 + 8 * i)
            if name & 0x80000000:
                at = base + (name & 0x7FFFFFFF)
                (length,) = struct.unpack_from("<H", data, at)
                name = data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
            yield name, target

    found = {}
    for kind, kind_dir in entries(0):
        if not kind_dir & 0x80000000:
            raise PeError("resource type %r has no directory" % (kind,))
        for name, name_dir in entries(kind_dir & 0x7FFFFFFF):
            if not name_dir & 0x80000000:
                raise PeError("resource %r/%r has no language directory" % (kind, name))
            for language, leaf in entries(name_dir & 0x7FFFFFFF):
                if leaf & 0x80000000:
                    raise PeError("resource %r/%r nests too deep" % (kind, name))
                rva, size = struct.unpack_from("<II", data, base + leaf)
                at = pe.offset(rva)
                found.setdefault((kind, name), []).append((language, data[at:at + size]))
    return found
