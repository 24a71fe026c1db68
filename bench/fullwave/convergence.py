#!/usr/bin/python3
"""The mode-matching engine's convergence in its mode counts: each case analysed by
kelvor_fullwave_modal at mode_scale 1, 1.5 and 2.25 (every count grown by half, twice), and the
largest move of S11 where it lies above -40 dB and of the 45-degree cross-polar peak where it lies
above -45 dB, with the frequency where each falls.

  convergence.py BUILD/bench/kelvor_fullwave_modal [--freq 9:12:0.25]
"""
import argparse
import csv
import io
import pathlib
import subprocess

ROOT = pathlib.Path(__file__).resolve().parents[2]
CASES = [  # label, section list, termination, band (GHz; None: --freq; three: its own grid)
    ("10 -> 15 mm step", "bench/fullwave/cases/step.csv", "matched", None),
    ("six-slot converter", "bench/fullwave/cases/converter.csv", "matched", None),
    ("15-period horn", "bench/fullwave/cases/horn.csv", "radiate", None),
    # where it radiates: below 11.25 GHz its converter resonates and S11 is near 0 dB
    ("15-period horn, 11.25-12 GHz", "bench/fullwave/cases/horn.csv", "radiate", (11.25, 12)),
    ("60-slot horn", "docs/sixty_slot_horn.csv", "radiate", None),
    # the rules' Ku horn as `python3 -m kelvor horn --band 10.7:12.75 --aperture 40 --slant 200`
    # writes it: teeth of 0.65 mm at a pitch of lambda/8, eleven frequencies over its band
    ("rules' Ku horn, 10.7-12.75 GHz", "bench/fullwave/cases/ku_rules.csv", "radiate",
     (10.7, 12.75, 0.205)),
]
SCALES = ("1", "1.5", "2.25")


def run(program, sections, freqs, termination, scale):
    out = subprocess.run([program, str(ROOT / sections), ",".join(freqs), termination, scale],
                         check=True, capture_output=True, text=True).stdout
    return list(csv.DictReader(io.StringIO(out)))


def largest_move(a, b, column, floor):
    moves = [(abs(float(x[column]) - float(y[column])), x["freq_ghz"]) for x, y in zip(a, b)
             if max(float(x[column]), float(y[column])) > floor]
    return max(moves, default=(float("nan"), "-"))


def grid(start, stop, step):
    return [f"{start + i * step:g}" for i in range(int(round((stop - start) / step)) + 1)]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("program")
    parser.add_argument("--freq", default="9:12:0.25")
    args = parser.parse_args()
    freqs = grid(*(float(x) for x in args.freq.split(":")))
    print("| case | S11, 1 -> 1.5, 1.5 -> 2.25 (dB, at GHz) | cross-polar (dB, at GHz) |")
    print("|---|---|---|")
    for label, sections, termination, band in CASES:
        within = grid(*band) if band and len(band) == 3 else \
            [f for f in freqs if band is None or band[0] <= float(f) <= band[1]]
        runs = [run(args.program, sections, within, termination, s) for s in SCALES]
        cells = []
        for column, floor in (("s11_db", -40), ("xpol_peak_db", -45)):
            if column == "xpol_peak_db" and (termination == "matched" or label == "15-period horn"):
                cells.append("")
                continue
            moves = [largest_move(runs[i], runs[i + 1], column, floor) for i in range(2)]
            cells.append(", ".join(f"{m:.3f} ({f})" for m, f in moves))
        print(f"| {label} | {cells[0]} | {cells[1]} |")


if __name__ == "__main__":
    main()
