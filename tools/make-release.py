#!/usr/bin/python3
"""Write the release zip: the exe, the Chinese user guide, the build info
and SHA256SUMS.

    tools/make-release.py --exe build/i686/Velmora.exe --guide docs/guide.zh.txt \\
        --build-info BUILD-INFO.txt --time UNIX_SECONDS --out dist/Velmora-1.05.zip

The same inputs give the same zip, byte for byte: every entry carries the
given time (scripts/release.sh passes the commit's), the entries are sorted,
their attributes are fixed (MS-DOS, archive bit only) and compressed at one
fixed level.

The guide is stored as 说明.txt, UTF-8 with a byte order mark and CR LF
line ends, which Notepad on Windows XP shows as it should. Its name is
stored in the GBK code page without the zip's UTF-8 flag, which is how
Windows' own zip folders read names on Chinese Windows (they ignore the
flag and decode with the OEM code page, 936 there), and once more in UTF-8
in an Info-ZIP Unicode Path field, which 7-Zip, WinRAR and unzip prefer.

The build info (scripts/release.sh writes it: the commit and the versions
of the tools) is stored as BUILD-INFO.txt with CR LF line ends, for Notepad
too.

SHA256SUMS lists the SHA-256 of the exe, the guide and the build info in
the format of `sha256sum -c` (UTF-8, LF line ends)."""
import argparse
import hashlib
import os
import struct
import sys
import time
import zipfile
import zlib

GUIDE_NAME = "说明.txt"
EXE_NAME = "Velmora.exe"
BUILD_INFO_NAME = "BUILD-INFO.txt"
SUMS_NAME = "SHA256SUMS"
UNICODE_PATH_FIELD = 0x7075
FILE_ATTRIBUTE_ARCHIVE = 0x20
CREATED_ON_MSDOS = 0


class EntryInfo(zipfile.ZipInfo):
    """A zip entry whose name is written in GBK, not UTF-8, when it is not ASCII."""

    def _encodeFilenameFlags(self):
        try:
            return self.filename.encode("ascii"), self.flag_bits
        except UnicodeEncodeError:
            return self.filename.encode("gbk"), self.flag_bits & ~0x800


def entry(name, date_time):
    info = EntryInfo(name, date_time)
    info.compress_type = zipfile.ZIP_DEFLATED
    info.create_system = CREATED_ON_MSDOS
    info.external_attr = FILE_ATTRIBUTE_ARCHIVE
    if not name.isascii():
        stored = name.encode("gbk")
        utf8 = name.encode("utf-8")
        body = struct.pack("<BI", 1, zlib.crc32(stored)) + utf8
        info.extra = struct.pack("<HH", UNICODE_PATH_FIELD, len(body)) + body
    return info


def notepad_text(path):
    """A UTF-8 text file with LF line ends, its lines ended with CR LF for Notepad."""
    with open(path, encoding="utf-8") as f:
        text = f.read()
    if text.startswith("\ufeff") or "\r" in text:
        raise SystemExit("%s: keep the source without a byte order mark and with LF line ends" % path)
    return text.replace("\n", "\r\n").encode("utf-8")


def guide_bytes(path):
    """The guide for Notepad on XP: UTF-8 with a byte order mark, CR LF line ends."""
    return b"\xef\xbb\xbf" + notepad_text(path)


def sums(files):
    return "".join("%s  %s\n" % (hashlib.sha256(data).hexdigest(), name) for name, data in files).encode("utf-8")


def write_zip(out, files, seconds):
    date_time = time.gmtime(seconds)[:6]
    if date_time[0] < 1980:
        raise SystemExit("a zip cannot hold dates before 1980: %r" % (date_time,))
    tmp = out + ".part"
    with zipfile.ZipFile(tmp, "w") as z:
        for name, data in sorted(files):
            z.writestr(entry(name, date_time), data, compresslevel=9)
    os.replace(tmp, out)


def main():
    ap = argparse.ArgumentParser(description="Write the release zip.")
    ap.add_argument("--exe", required=True)
    ap.add_argument("--guide", required=True)
    ap.add_argument("--build-info", required=True, help="the commit and the tools' versions (UTF-8, LF)")
    ap.add_argument("--time", type=int, required=True, help="the entries' time, Unix seconds (UTC)")
    ap.add_argument("--out", required=True)
    args = ap.parse_args()
    with open(args.exe, "rb") as f:
        files = [(EXE_NAME, f.read()), (GUIDE_NAME, guide_bytes(args.guide)),
                 (BUILD_INFO_NAME, notepad_text(args.build_info))]
    files.append((SUMS_NAME, sums(files)))
    os.makedirs(os.path.dirname(os.path.abspath(args.out)), exist_ok=True)
    write_zip(args.out, files, args.time)
    return 0


if __name__ == "__main__":
    sys.exit(main())
