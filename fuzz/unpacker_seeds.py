#!/usr/bin/env python3
"""Turns archives into unpacker_fuzzer inputs: each archive's compressed members in order, each as a
4-byte word (unpacked size in the low 22 bits, bit 31 set for a solid continuation), a 3-byte packed length
and the packed bytes. Usage: unpacker_seeds.py OUTPUT_FOLDER ARCHIVE..."""
import os
import struct
import sys


def compressed_members(archive):
    if len(archive) < 20:
        return
    position = 7 + struct.unpack_from("<H", archive, 12)[0]
    while position + 7 <= len(archive):
        kind, flags, head_size = struct.unpack_from("<BHH", archive, position + 2)
        if head_size < 7 or position + head_size > len(archive):
            return  # damaged or cut short: the members before it are the seed
        data_size = struct.unpack_from("<I", archive, position + 7)[0] if flags & 0x8000 else 0
        if kind == 0x74 and head_size >= 32:
            unpacked = struct.unpack_from("<I", archive, position + 11)[0]
            method = archive[position + 25]
            packed = archive[position + head_size:position + head_size + data_size]
            if method != 0x30:
                yield unpacked, bool(flags & 0x10), packed
        position += head_size + data_size


def main():
    output = sys.argv[1]
    os.makedirs(output, exist_ok=True)
    for path in sys.argv[2:]:
        with open(path, "rb") as file:
            archive = file.read()
        seed = bytearray()
        for unpacked, solid, packed in compressed_members(archive):
            seed += struct.pack("<I", (unpacked & 0x3FFFFF) | (0x80000000 if solid else 0))
            seed += struct.pack("<I", len(packed))[:3] + packed
        if seed:
            with open(os.path.join(output, os.path.basename(path) + ".seed"), "wb") as file:
                file.write(seed)


if __name__ == "__main__":
    main()
