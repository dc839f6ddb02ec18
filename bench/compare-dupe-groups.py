#!/usr/bin/env python3
"""Reads the groups reported by quarnell-bench dupes, jdupes, rmlint (fdupes format) and rdfind
(its results file), given as NAME=FILE with quarnell first, and checks that all are the same sets of
paths. With --wasted N first, also checks that N, quarnell's figure, is what its copies beyond the
first of each group take on disk, those with one name, less the blocks they share with other files.
Exits 1 when anything differs."""
import fcntl
import os
import struct
import sys

FS_IOC_FIEMAP = 0xC020660B
FIEMAP_EXTENT_LAST, FIEMAP_EXTENT_SHARED = 0x1, 0x2000
EXTENTS = 128


def shared_bytes(path):
    # The file's extent map, page by page: the bytes of the extents flagged shared; 0 where the file
    # system keeps no map.
    shared, start = 0, 0
    with open(path, "rb") as file:
        while True:
            request = bytearray(struct.pack("=QQLLLL", start, 0xFFFFFFFFFFFFFFFF - start, 0, 0, EXTENTS, 0) + bytes(56 * EXTENTS))
            try:
                fcntl.ioctl(file.fileno(), FS_IOC_FIEMAP, request)
            except OSError:
                return 0
            mapped = struct.unpack_from("=L", request, 20)[0]
            if mapped == 0:
                return shared
            for i in range(min(mapped, EXTENTS)):
                logical, _, length, _, _, flags = struct.unpack_from("=QQQQQL", request, 32 + 56 * i)
                if flags & FIEMAP_EXTENT_SHARED:
                    shared += length
            if flags & FIEMAP_EXTENT_LAST or logical + length <= start:
                return shared
            start = logical + length


def blank_separated(path):
    groups, current = set(), []
    with open(path, encoding="utf-8", errors="surrogateescape") as text:
        for line in text:
            line = line.rstrip("\n")
            if line.strip():
                current.append(line)
            elif current:
                groups.add(frozenset(current))
                current = []
    if current:
        groups.add(frozenset(current))
    return groups


def rdfind_results(path):
    # "duptype id depth size device inode priority name"; the copies of a first occurrence carry
    # its id negated.
    by_id = {}
    with open(path, encoding="utf-8", errors="surrogateescape") as text:
        for line in text:
            if line.startswith("#"):
                continue
            fields = line.rstrip("\n").split(" ", 7)
            if len(fields) == 8:
                by_id.setdefault(abs(int(fields[1])), set()).add(fields[7])
    return {frozenset(group) for group in by_id.values() if len(group) > 1}


def on_disk_beyond_first(path):
    # The list names the kept copy first; a copy with another name frees nothing when moved.
    total, first = 0, True
    with open(path, encoding="utf-8", errors="surrogateescape") as text:
        for line in text:
            line = line.rstrip("\n")
            if not line:
                first = True
                continue
            if not first:
                status = os.lstat(line)
                total += max(status.st_blocks * 512 - shared_bytes(line), 0) if status.st_nlink == 1 else 0
            first = False
    return total


arguments = sys.argv[1:]
wasted = None
if arguments[:1] == ["--wasted"]:
    wasted, arguments = int(arguments[1]), arguments[2:]
found = {}
for argument in arguments:
    name, path = argument.split("=", 1)
    found[name] = rdfind_results(path) if name == "rdfind" else blank_separated(path)
reference = found["quarnell"]
same = True
for name, groups in found.items():
    copies = sum(len(group) for group in groups)
    agrees = groups == reference
    same &= agrees
    print(f"{name}: {len(groups)} groups, {copies} copies, same groups as quarnell: {'yes' if agrees else 'NO'}")
    if not agrees:
        for group in sorted(reference - groups, key=sorted)[:3]:
            print("  missing:", sorted(group))
        for group in sorted(groups - reference, key=sorted)[:3]:
            print("  extra:  ", sorted(group))
if wasted is not None:
    measured = on_disk_beyond_first(dict(argument.split("=", 1) for argument in arguments)["quarnell"])
    same &= measured == wasted
    print(f"quarnell: {wasted} bytes to free, on disk by lstat and extent map {measured}: {'same' if measured == wasted else 'DIFFERENT'}")
sys.exit(0 if same else 1)
