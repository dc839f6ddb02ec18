#!/usr/bin/env python3
"""Generates the duplicate-finder benchmark tree under DIR: unique background files (many sharing a
length), duplicate groups under 1 KiB (below every tool's limit), of 1-64 KiB, of exactly 100 KiB,
10 MiB and 200 MiB, pairs of 10 MiB files equal in head and tail but different in the middle,
hard-linked files and copies inside a hidden folder. No symbolic links: the tools treat those
differently and the point is to compare the same work.
With --wide N it makes instead N unique files under 1 KiB, none of them a candidate, for the memory
check: the search's memory must follow its candidates, not the size of the tree.
Other shapes, each instead of the mixed tree:
  --unique-sizes N   N files of nearly all different lengths (sparse, never read), 2 % of them in
                     pairs of equal random content;
  --all-different N  N files of 4 KiB, all of one length and all different;
  --giant SIZE_MIB   four files of SIZE_MIB: an identical pair, and a pair that differs only in
                     the middle byte;
  --files N          N files like a home folder's: 40 % under 1 KiB, 55 % of 1-4 KiB with
                     different content, 5 % in groups of two to four copies;
  --hundreds N       N files of 1-40 KiB, 100 to a folder, so that nearly every length is shared
                     by several files; every 25th file is a copy of a file in another folder;
  --copies N [MIB]   N copies of one random file of MIB mebibytes (default 32), side by side."""
import os
import random
import sys

root = sys.argv[1]
shape = sys.argv[2] if len(sys.argv) > 3 else None
count = int(sys.argv[3]) if shape else 0
wide = count if shape == "--wide" else 0
rng = random.Random(20240607)
per_folder = 10 if not shape else max(1, count // 2000) if shape not in ("--giant", "--hundreds") else 1
folders = [os.path.join(root, f"d{i:03}", f"s{j:02}") for i in range(200) for j in range(min(per_folder, 500))]
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


def sparse(path, size):
    with open(path, "wb") as out:
        out.truncate(size)


if wide:
    for _ in range(wide):
        write(place("small"), os.urandom(rng.randrange(1, 1024)))
    sys.exit(0)

if shape == "--unique-sizes":
    pairs = count // 100
    lengths = rng.sample(range(1024, 1024 + 8 * count), count - 2 * pairs)
    for length in lengths:
        sparse(place("unique"), length)
    for _ in range(pairs):
        copies("pair", os.urandom(rng.randrange(8 * count + 1100, 8 * count + 64 * 1024)), 2)
    sys.exit(0)

if shape == "--all-different":
    for _ in range(count):
        write(place("different"), os.urandom(4096))
    sys.exit(0)

if shape == "--giant":
    chunk = 64 * 1024 * 1024
    middle = count * 1024 * 1024 // 2
    names = [os.path.join(root, name) for name in ("same-1", "same-2", "middle-1", "middle-2")]
    outs = [open(name, "wb") for name in names]
    written = 0
    while written < count * 1024 * 1024:
        same, other = os.urandom(chunk), bytearray(os.urandom(chunk))
        outs[0].write(same)
        outs[1].write(same)
        outs[2].write(other)
        if written <= middle < written + chunk:
            other[middle - written] ^= 0xFF
        outs[3].write(other)
        written += chunk
    for out in outs:
        out.close()
    sys.exit(0)

if shape == "--copies":
    data = os.urandom((int(sys.argv[4]) if len(sys.argv) > 4 else 32) * 1024 * 1024)
    for i in range(count):
        write(os.path.join(root, f"copy-{i:03}"), data)
    sys.exit(0)

if shape == "--hundreds":
    from multiprocessing import Pool

    # A file's content comes from its own seed, so a copy is written without reading its original.
    def make_folder(job):
        folder, files = job
        os.makedirs(folder, exist_ok=True)
        for name, size, seed in files:
            write(os.path.join(folder, name), random.Random(seed).randbytes(size))

    total = count // 100 * 100
    sizes = [rng.randrange(1024, 40 * 1024 + 1) for _ in range(total)]

    def original_elsewhere(n):
        while True:
            m = rng.randrange(total)
            if m // 100 != n // 100 and m % 25 != 24:
                return m

    jobs = []
    for first in range(0, total, 100):
        files = []
        for n in range(first, first + 100):
            source = original_elsewhere(n) if n % 25 == 24 else n
            files.append((f"f{n % 100:02}", sizes[source], source))
        jobs.append((os.path.join(root, f"h{first // 100:04}"), files))
    with Pool(8) as pool:
        pool.map(make_folder, jobs, chunksize=8)
    sys.exit(0)

if shape == "--files":
    from multiprocessing import Pool

    def make(job):
        seed, stems = job
        r = random.Random(seed)
        for stem, size in stems:
            write(stem, os.urandom(size))

    jobs = []
    for i in range(count):
        p = rng.random()
        if p < 0.40:
            jobs.append((place("tiny"), rng.randrange(1, 1024)))
        elif p < 0.95:
            jobs.append((place("file"), rng.randrange(1024, 4096)))
    with Pool(8) as pool:
        pool.map(make, [(n, jobs[n::64]) for n in range(64)])
    while counter < count:
        copies("copy", os.urandom(rng.randrange(1024, 64 * 1024)), rng.randrange(2, 5))
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
