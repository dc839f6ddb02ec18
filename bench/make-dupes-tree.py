#!/usr/bin/env python3
"""Generates the duplicate-finder benchmark tree under DIR: unique background files (many sharing a
length), duplicate groups under 1 KiB (below every tool's limit), of 1-64 KiB, of exactly 100 KiB,
10 MiB and 200 MiB, pairs of 10 MiB files equal in head and tail but different in the middle,
hard-linked files and copies inside a hidden folder. No symbolic links: the tools treat those
differently and the point is to compare the same work.
With --wide N it makes instead N unique files under 1 KiB, none of them a candidate, for the memory
check: the search's memory must follow its candidates, not the size of the tree."""
import os
import random
import sys

root = sys.argv[1]
wide = int(sys.argv[3]) if len(sys.argv) > 3 and sys.argv[2] == "--wide" else 0
rng = random.Random(20240607)
folders = [os.path.join(root, f"d{i:03}", f"s{j:02}") for i in range(200) for j in range(10 if not wide else 50)]
for folder in folders:
    os.makedirs(folder, exist_ok=True)
counter = 0


def place(stem):
    global counter
    counter += 1
    return os.path.join(rng.choice(folders), f"{stem}-{counter}")


def write(path, data):
    with open(path, "wb") as out:
        out.write(data)


def copies(stem, data, count):
    for _ in range(count):
        write(place(stem), data)


if wide:
    for _ in range(wide):
        write(place("small"), os.urandom(rng.randrange(1, 1024)))
    sys.exit(0)

for _ in range(20000):
    write(place("small"), os.urandom(rng.randrange(1, 1024)))
for _ in range(20000):
    write(place("unique"), os.urandom(rng.randrange(1024, 64 * 1024)))
for _ in range(300):
    copies("tiny-dupe", os.urandom(rng.randrange(100, 1024)), 2)
for _ in range(500):
    copies("kib-dupe", os.urandom(rng.randrange(1024, 64 * 1024)), rng.randrange(2, 5))
for _ in range(300):
    copies("100k-dupe", os.urandom(100 * 1024), 3)
for _ in range(20):
    copies("10m-dupe", os.urandom(10 * 1024 * 1024), rng.randrange(2, 4))
for _ in range(2):
    copies("200m-dupe", os.urandom(200 * 1024 * 1024), 2)
for _ in range(10):
    data = bytearray(os.urandom(10 * 1024 * 1024))
    write(place("headtail-a"), data)
    data[5 * 1024 * 1024] ^= 0xFF
    write(place("headtail-b"), data)
for _ in range(50):
    first = place("hardlink")
    write(first, os.urandom(50 * 1024))
    os.link(first, place("hardlink-twin"))
hidden = os.path.join(root, ".hidden-copies")
os.makedirs(hidden)
for i in range(40):
    data = os.urandom(100 * 1024)
    write(place("shown"), data)
    write(os.path.join(hidden, f"copy-{i}"), data)
