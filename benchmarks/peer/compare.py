#!/usr/bin/env python3
"""Side-by-side print cost of tessaro-batch and glabels-3-batch (the Debian
peer, `apt-get install glabels`) on equivalent cards of plain text labels.

Both print a 2 x 5 Letter sheet of business cards (3.5 x 2 in, margins 0.75
and 0.5 in) holding N labels "Line i of the card" in Arial 10 pt, spread over
the card (label_place) and aligned left, centred and right in turn.  Each
size runs in pairs (ours, then the peer's) and reports medians of the whole
process's CPU time (user + system), its peak memory and the PDF bytes per
printed item.

    benchmarks/peer/compare.py [--build DIR] [--runs R] [--sizes 10,1000,5000]
"""
import argparse
import os
import resource
import statistics
import subprocess
import sys
import tempfile

POSITIONS = 10  # 2 x 5 on the sheet
PT_PER_PX = 72.0 / 96.0  # the card's pixels are 1/96 inch
JUSTIFY = ("Left", "Center", "Right")


def label_place(i):
    """As TextCardPlace in TextCardPlaces.h: spread over the card."""
    return 2 + i * 37 % 181, 2 + (i * 53 + i // 181) % 165, 150, 24


def write_peer_card(path, labels):
    objects = []
    for i in range(labels):
        x, y, w, h = (v * PT_PER_PX for v in label_place(i))
        objects.append(
            f'    <Object-text x="{x}pt" y="{y}pt" w="{w}pt" h="{h}pt" justify="{JUSTIFY[i % 3]}" '
            'valign="Top" auto_shrink="False" a0="1" a1="0" a2="0" a3="1" a4="0" a5="0">\n'
            '      <Span font_family="Arial" font_size="10" font_weight="Regular" '
            f'font_italic="False" color="0x000000ff" line_spacing="1">Line {i + 1} of the card'
            '</Span>\n    </Object-text>')
    with open(path, "w", encoding="utf-8") as out:
        out.write(
            '<?xml version="1.0"?>\n'
            '<Glabels-document xmlns="http://glabels.org/xmlns/3.0/">\n'
            '  <Template brand="Avery" part="5371" size="US-Letter" description="Business Cards">\n'
            '    <Meta category="business-card"/>\n'
            '    <Label-rectangle id="0" width="3.5in" height="2in" round="0in" '
            'x_waste="0in" y_waste="0in">\n'
            '      <Markup-margin size="0.0625in"/>\n'
            '      <Layout nx="2" ny="5" x0="0.75in" y0="0.5in" dx="3.5in" dy="2in"/>\n'
            '    </Label-rectangle>\n  </Template>\n  <Objects id="0" rotate="False">\n'
            + "\n".join(objects) + "\n  </Objects>\n</Glabels-document>\n")


def timed_run(command, env):
    """CPU seconds (user + system) and peak resident KB of one child process."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    subprocess.run(command, env=env, check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    return (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)


def peak_kb(command, env):
    """Peak resident KB of one run (getrusage only keeps the largest child's)."""
    out = subprocess.run(["/usr/bin/time", "-f", "%M"] + command, env=env, check=True,
                         stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    return int(out.stderr.strip().splitlines()[-1])


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default="build-bench")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--sizes", default="10,1000,5000")
    args = parser.parse_args()
    ours = os.path.join(args.build, "tessaro-batch")
    maker = os.path.join(args.build, "benchmarks", "make_text_card")
    for tool in (ours, maker, "/usr/bin/glabels-3-batch"):
        if not os.access(tool, os.X_OK):
            sys.exit(f"missing {tool} (build with -DTESSARO_BUILD_BENCHMARKS=ON; "
                     "the peer comes with `apt-get install glabels`)")
    work = tempfile.mkdtemp(prefix="tessaro-peer-")
    env = dict(os.environ, HOME=work, XDG_CONFIG_HOME=work, XDG_DATA_HOME=work,
               XDG_RUNTIME_DIR=work, QT_QPA_PLATFORM="offscreen")
    rows = []
    for labels in (int(s) for s in args.sizes.split(",")):
        design = os.path.join(work, f"card{labels}.TSC")
        peer_design = os.path.join(work, f"card{labels}.glabels")
        subprocess.run([maker, str(labels), design], env=env, check=True)
        write_peer_card(peer_design, labels)
        our_pdf = os.path.join(work, f"ours{labels}.pdf")
        peer_pdf = os.path.join(work, f"peer{labels}.pdf")
        our_cmd = [ours, "print", design, "-o", our_pdf]
        peer_cmd = ["glabels-3-batch", "-o", peer_pdf, peer_design]
        our_cpu, peer_cpu, ratios = [], [], []
        for _ in range(args.runs):
            a = timed_run(our_cmd, env)
            b = timed_run(peer_cmd, env)
            our_cpu.append(a)
            peer_cpu.append(b)
            ratios.append(a / b)
        items = labels * POSITIONS
        rows.append({
            "labels": labels,
            "ours_s": statistics.median(our_cpu),
            "peer_s": statistics.median(peer_cpu),
            "ratio": statistics.median(ratios),
            "ours_kb": peak_kb(our_cmd, env),
            "peer_kb": peak_kb(peer_cmd, env),
            "ours_bytes_item": os.path.getsize(our_pdf) / items,
            "peer_bytes_item": os.path.getsize(peer_pdf) / items,
        })
    print(f"{'labels':>7} {'ours s':>8} {'peer s':>8} {'ratio':>6} {'ours MB':>8} "
          f"{'peer MB':>8} {'ours B/item':>12} {'peer B/item':>12} {'B ratio':>8}")
    for r in rows:
        print(f"{r['labels']:>7} {r['ours_s']:>8.3f} {r['peer_s']:>8.3f} {r['ratio']:>6.2f} "
              f"{r['ours_kb'] / 1024:>8.1f} {r['peer_kb'] / 1024:>8.1f} "
              f"{r['ours_bytes_item']:>12.2f} {r['peer_bytes_item']:>12.2f} "
              f"{r['ours_bytes_item'] / r['peer_bytes_item']:>8.2f}")
    if len(rows) > 1:
        first, last = rows[0], rows[-1]
        per_label = (last["ours_kb"] - first["ours_kb"]) / (last["labels"] - first["labels"])
        print(f"peak memory growth per label ({first['labels']} to {last['labels']}): "
              f"{per_label:.2f} KB")


if __name__ == "__main__":
    main()
