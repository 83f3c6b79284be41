#!/usr/bin/env python3
"""Checks that a template written as read (printer flags 0) reads back to the same tree.

Every #data input of the tree-construction .dat files in FOLDER (an html5lib-tests checkout's
tree-construction folder) is wrapped in <HTML>, written with flags 0, and the normalised
(flags 2) writing of the input is compared with that of the flags-0 output. The line breaks
the writer puts after tags are layout, not content: they are left out of the comparison, and
the inputs that differ only in them are counted apart.
usage: scripts/html5lib_fixed_point.py QUILLET FOLDER
"""
import os
import subprocess
import sys
import tempfile


def inputs(folder):
    """Yields (file name, index, bytes) for each #data section."""
    for name in sorted(os.listdir(folder)):
        if not name.endswith(".dat"):
            continue
        with open(os.path.join(folder, name), "rb") as f:
            text = f.read()
        for i, part in enumerate(text.split(b"#data\n")[1:]):
            data = part.split(b"\n#errors", 1)[0]
            yield name, i, data


def run(quillet, *args):
    return subprocess.run([quillet, *args], capture_output=True, timeout=60)


def main():
    quillet, folder = sys.argv[1], sys.argv[2]
    total = differing = layout = unreadable = 0
    with tempfile.TemporaryDirectory() as tmp:
        source, written = os.path.join(tmp, "in.htm"), os.path.join(tmp, "out.htm")
        for name, i, data in inputs(folder):
            total += 1
            with open(source, "wb") as f:
                f.write(b"<HTML>" + data)
            expected = run(quillet, "format", "--flags", "2", source)
            if expected.returncode != 0:
                unreadable += 1
                continue
            first = run(quillet, "format", "--flags", "0", source, "-o", written)
            again = run(quillet, "format", "--flags", "2", written)
            if first.returncode == 0 and again.stdout == expected.stdout:
                continue
            if first.returncode == 0 and again.stdout.replace(b"\r\n", b"") == expected.stdout.replace(b"\r\n", b""):
                layout += 1
                continue
            differing += 1
            print(f"DIFFERS {name} #{i}: {data[:80]!r}")
    print(f"{total} inputs, {unreadable} not read as documents, {differing} read back differently, "
          f"{layout} only in line breaks after tags")
    return 1 if differing else 0


if __name__ == "__main__":
    sys.exit(main())
