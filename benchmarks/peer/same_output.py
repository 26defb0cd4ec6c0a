#!/usr/bin/env python3
"""Whether two builds of tessaro-batch draw the same: renders the card of every
kind and the plain text cards at several zooms, prints their sheets to PDF,
rasterises the pages with pdftoppm and counts the pixels that differ.

    benchmarks/peer/same_output.py BEFORE/tessaro-batch AFTER/tessaro-batch [--build DIR]

The designs come from the make_mixed_card and make_text_card tools of the
benchmarks build (default build-bench). Exit status 1 when any pixel differs.
"""
import argparse
import os
import subprocess
import sys
import tempfile

ZOOMS = ("0.5", "1", "1.5", "2", "3")


def differing_pixels(a, b):
    """Pixels that differ at all (ImageMagick's absolute error count); -1 for
    images of different sizes."""
    sizes = [subprocess.run(["identify", "-format", "%w %h", image], capture_output=True,
                            text=True, check=True).stdout for image in (a, b)]
    if sizes[0] != sizes[1]:
        return -1
    out = subprocess.run(["compare", "-metric", "AE", a, b, "null:"], capture_output=True,
                         text=True)
    return int(float(out.stderr.split()[0]))


def outputs(binary, designs, folder, env):
    made = []
    for design in designs:
        stem = os.path.splitext(os.path.basename(design))[0]
        for zoom in ZOOMS:
            png = os.path.join(folder, f"{stem}-z{zoom}.png")
            subprocess.run([binary, "render", design, "-o", png, "--zoom", zoom], env=env,
                           check=True, stderr=subprocess.DEVNULL)
            made.append(png)
        pdf = os.path.join(folder, f"{stem}.pdf")
        subprocess.run([binary, "print", design, "-o", pdf], env=env, check=True,
                       stderr=subprocess.DEVNULL)
        subprocess.run(["pdftoppm", "-r", "300", "-png", pdf, os.path.join(folder, stem + "-page")],
                       check=True)
        made += sorted(os.path.join(folder, f) for f in os.listdir(folder)
                       if f.startswith(stem + "-page"))
    return made


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("before")
    parser.add_argument("after")
    parser.add_argument("--build", default="build-bench")
    args = parser.parse_args()
    work = tempfile.mkdtemp(prefix="tessaro-same-")
    env = dict(os.environ, HOME=work, XDG_CONFIG_HOME=work, XDG_DATA_HOME=work,
               XDG_RUNTIME_DIR=work, QT_QPA_PLATFORM="offscreen")
    tools = os.path.join(args.build, "benchmarks")
    designs = [os.path.join(work, "mixed.TSC")]
    subprocess.run([os.path.join(tools, "make_mixed_card"), designs[0]], env=env, check=True)
    # Large cards print their sheets in several parts.
    for labels in (10, 1000, 5000):
        designs.append(os.path.join(work, f"text{labels}.TSC"))
        subprocess.run([os.path.join(tools, "make_text_card"), str(labels), designs[-1]],
                       env=env, check=True)
    folders = [os.path.join(work, "before"), os.path.join(work, "after")]
    for folder in folders:
        os.mkdir(folder)
    before = outputs(args.before, designs, folders[0], env)
    after = outputs(args.after, designs, folders[1], env)
    differing = 0
    for a, b in zip(before, after):
        count = differing_pixels(a, b)
        differing += count != 0
        print(f"{os.path.basename(a):28} {'different size' if count < 0 else count} "
              "pixels differ")
    if len(before) != len(after):
        print("the builds made different numbers of pages")
        differing += 1
    print(f"outputs in {work}")
    sys.exit(1 if differing else 0)


if __name__ == "__main__":
    main()
