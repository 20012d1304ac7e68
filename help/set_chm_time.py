#!/usr/bin/env python3
"""Writes a fixed time into a help file compiled by chmcmd, in place of the clock it read.

usage: set_chm_time.py FILE EPOCH

chmcmd stores the time of day it compiled at (milliseconds since midnight, local time) twice:
in the file header and in the #SYSTEM file's entry 10. It reads the clock with system calls of
its own, so neither SOURCE_DATE_EPOCH nor faketime reaches it; the two fields are set here to
the given time (seconds since 1970, UTC). Nothing else in the file depends on the clock.
"""
import struct
import sys

HEADER_TIME = 0x10
SYSTEM_TIME_CODE = 10


def encint(data, pos):
    """A CHM variable-length number at pos, and the position after it."""
    value = 0
    while True:
        byte = data[pos]
        pos += 1
        value = (value << 7) | (byte & 0x7F)
        if byte < 0x80:
            return value, pos


def find_file(data, wanted):
    """Offset and length of a file of the uncompressed section, from the directory listing."""
    if data[:4] != b"ITSF" or struct.unpack_from("<I", data, 4)[0] != 3:
        sys.exit("not a version 3 CHM file")
    directory = struct.unpack_from("<Q", data, 0x48)[0]
    content = struct.unpack_from("<Q", data, 0x58)[0]
    if data[directory : directory + 4] != b"ITSP":
        sys.exit("no CHM directory")
    header_size = struct.unpack_from("<I", data, directory + 8)[0]
    chunk_size = struct.unpack_from("<I", data, directory + 0x10)[0]
    first, last = struct.unpack_from("<ii", data, directory + 0x20)
    for index in range(first, last + 1):
        chunk = directory + header_size + index * chunk_size
        if data[chunk : chunk + 4] != b"PMGL":
            continue
        free = struct.unpack_from("<I", data, chunk + 4)[0]
        pos, end = chunk + 0x14, chunk + chunk_size - free
        while pos < end:
            size, pos = encint(data, pos)
            name = bytes(data[pos : pos + size])
            pos += size
            section, pos = encint(data, pos)
            offset, pos = encint(data, pos)
            length, pos = encint(data, pos)
            if name == wanted and section == 0:
                return content + offset, length
    sys.exit("no %s in the CHM directory" % wanted.decode())


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: set_chm_time.py FILE EPOCH")
    path, epoch = sys.argv[1], int(sys.argv[2])
    milliseconds = (epoch % 86400) * 1000
    with open(path, "rb") as stream:
        data = bytearray(stream.read())
    # The header holds it big-endian, #SYSTEM little-endian.
    struct.pack_into(">I", data, HEADER_TIME, milliseconds)
    start, length = find_file(data, b"/#SYSTEM")
    pos, end, found = start + 4, start + length, False
    while pos + 4 <= end:
        code, size = struct.unpack_from("<HH", data, pos)
        if code == SYSTEM_TIME_CODE and size == 4:
            struct.pack_into("<I", data, pos + 4, milliseconds)
            found = True
        pos += 4 + size
    if not found:
        sys.exit("no time entry in #SYSTEM")
    with open(path, "wb") as stream:
        stream.write(data)


if __name__ == "__main__":
    main()
