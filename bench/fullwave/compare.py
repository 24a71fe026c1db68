#!/usr/bin/python3
"""Sets S11 tables side by side as a Markdown table: FDTD runs (fdtd.py) and the mode-matching
engine (kelvor_fullwave_modal), each `label=file.csv` with columns freq_ghz,s11_db,s11_deg.

  compare.py --db label=file ... [--deg] [--diff A,B ...] [--extrapolate LABEL_H1,LABEL_H2,h1,h2,p]

--diff A,B adds the column A - B (dB; or degrees, wrapped, with --deg); --vector A,B adds
20 log10 |S_A - S_B|, the size of the complex difference relative to the incident wave (meaningful
at the nulls of S11, where differences of dB are not). --extrapolate adds the
Richardson extrapolation of two FDTD runs of cell sizes h1 > h2 with error order p in the complex S11:
S = S2 + (S2 - S1) / ((h1 / h2)^p - 1), reported as the column `extrap`.
"""
import argparse
import cmath
import csv
import math


def read(path):
    with open(path, newline="") as f:
        rows = list(csv.DictReader(line for line in f if not line.startswith("#")))
    out = {}
    for r in rows:
        if r.get("s11_db") in ("", "nan", None):
            continue
        f = round(float(r["freq_ghz"]), 6)
        out[f] = cmath.rect(10 ** (float(r["s11_db"]) / 20), math.radians(float(r["s11_deg"])))
    return out


def value(s, deg):
    return math.degrees(cmath.phase(s)) if deg else 20 * math.log10(abs(s))


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--db", nargs="+", required=True, metavar="LABEL=FILE")
    p.add_argument("--deg", action="store_true", help="phases instead of magnitudes")
    p.add_argument("--diff", nargs="*", default=[], metavar="A,B")
    p.add_argument("--vector", nargs="*", default=[], metavar="A,B")
    p.add_argument("--extrapolate", metavar="A,B,h1,h2,p")
    a = p.parse_args()
    tables = dict(item.split("=", 1) for item in a.db)
    data = {k: read(v) for k, v in tables.items()}
    if a.extrapolate:
        l1, l2, h1, h2, order = a.extrapolate.split(",")
        ratio = (float(h1) / float(h2)) ** float(order) - 1
        data["extrap"] = {f: s2 + (s2 - data[l1][f]) / ratio for f, s2 in data[l2].items() if f in data[l1]}
    labels = list(data)
    diffs = [d.split(",") for d in a.diff]
    vecs = [v.split(",") for v in a.vector]
    head = ["f (GHz)"] + labels + [f"{x} − {y}" for x, y in diffs] + [f"\\|{x} − {y}\\| dB" for x, y in vecs]
    print("| " + " | ".join(head) + " |")
    print("|" + "---:|" * len(head))
    freqs = sorted(set().union(*[set(d) for d in data.values()]))
    for f in freqs:
        cells = [f"{f:g}"]
        for k in labels:
            cells.append(f"{value(data[k][f], a.deg):.2f}" if f in data[k] else "")
        for x, y in diffs:
            if f in data[x] and f in data[y]:
                d = value(data[x][f], a.deg) - value(data[y][f], a.deg)
                if a.deg:
                    d = (d + 180) % 360 - 180
                cells.append(f"{d:+.2f}")
            else:
                cells.append("")
        for x, y in vecs:
            ok = f in data[x] and f in data[y]
            cells.append(f"{20 * math.log10(abs(data[x][f] - data[y][f])):.1f}" if ok else "")
        print("| " + " | ".join(cells) + " |")


if __name__ == "__main__":
    main()
