#!/usr/bin/env python3
"""Generates a scan benchmark tree: FILES files in FOLDERS folders of a random tree, varied allocated
sizes (fallocate, so no data is written), hard links, symbolic links (also to ancestors), and one
folder with its own subtree that is closed to everyone but root (mode 000).
With --wide as the fourth argument it makes instead one folder, ROOT/wide, holding FILES small files
(FOLDERS is ignored)."""
import os
import random
import sys
from multiprocessing import Pool

root, files, folders = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
empty = len(sys.argv) > 4 and sys.argv[4] == "--small"
wide = len(sys.argv) > 4 and sys.argv[4] == "--wide"
rng = random.Random(20240601)


def size_of(r):
    if empty:  # the memory tree: mostly empty, a few small files
        return 0 if r.random() < 0.9 else r.randrange(1, 64 * 1024)
    p = r.random()
    if p < 0.40:
        return r.randrange(0, 1024)
    if p < 0.80:
        return r.randrange(1024, 8 * 1024)
    if p < 0.999:
        return r.randrange(8 * 1024, 48 * 1024)
    return r.randrange(64 * 1024, 8 * 1024 * 1024)


def make_files(job):
    seed, paths = job
    r = random.Random(seed)
    for path in paths:
        fd = os.open(path, os.O_CREAT | os.O_WRONLY | os.O_TRUNC, 0o644)
        size = size_of(r)
        if size:
            if r.random() < 0.02:
                os.ftruncate(fd, size)  # sparse: a logical length without blocks
            else:
                os.posix_fallocate(fd, 0, size)
        os.close(fd)


if wide:
    folder = os.path.join(root, "wide")
    os.makedirs(folder, exist_ok=True)
    names = [os.path.join(folder, "file-%07d.dat" % i) for i in range(files)]
    with Pool(8) as pool:
        pool.map(make_files, [(n, names[n::32]) for n in range(32)])
    sys.exit(0)

os.makedirs(root, exist_ok=True)
dirs = [root]
for i in range(1, folders):
    parent = dirs[rng.randrange(len(dirs))] if i > 40 else root
    name = ("." if rng.random() < 0.02 else "") + "folder %d-%s" % (i, "x" * rng.randrange(0, 20))
    path = os.path.join(parent, name)
    os.mkdir(path)
    dirs.append(path)

names = [os.path.join(dirs[rng.randrange(len(dirs))], "file-%07d%s" % (i, rng.choice([".txt", ".jpg", ".dat", ".PDF", "", ".tar.gz"])))
         for i in range(files)]
chunks = [(n, names[n::32]) for n in range(32)]
with Pool(8) as pool:
    pool.map(make_files, chunks)

for i in range(max(1, files // 150)):  # hard links, counted once per name
    target = names[rng.randrange(len(names))]
    os.link(target, os.path.join(dirs[rng.randrange(len(dirs))], "hardlink-%d" % i))
for i in range(max(1, files // 150)):  # symbolic links, never followed: to files, folders, ancestors
    target = rng.choice([names[rng.randrange(len(names))], dirs[rng.randrange(len(dirs))], "/usr", ".."])
    os.symlink(target, os.path.join(dirs[rng.randrange(len(dirs))], "symlink-%d" % i))

closed = os.path.join(root, "closed")
os.makedirs(os.path.join(closed, "inner"))
make_files((7, [os.path.join(closed, "inner", "secret-%d" % i) for i in range(500)]))
os.chmod(closed, 0)
