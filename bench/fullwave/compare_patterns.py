#!/usr/bin/python3
"""The horn's far field, FDTD (fdtd.py --pattern-csv) against the engine (kelvor_fullwave_modal
--cuts), as a Markdown table at one frequency: E-plane, H-plane, 45-degree co- and cross-polar levels
(dB, each relative to its own on-axis co-polar level) every STEP degrees, and the peak cross-polar
level of the 45-degree plane over 0..THETA_MAX.

  compare_patterns.py FDTD_PATTERN.csv ENGINE_CUTS.csv FREQ_GHZ [STEP] [THETA_MAX]
"""
import csv
import sys


def rows(path):
    with open(path, newline="") as f:
        return list(csv.DictReader(line for line in f if not line.startswith("#")))


def main():
    fdtd_path, cuts_path, freq = sys.argv[1], sys.argv[2], float(sys.argv[3])
    step = float(sys.argv[4]) if len(sys.argv) > 4 else 10.0
    theta_max = float(sys.argv[5]) if len(sys.argv) > 5 else 90.0
    fd = {float(r["theta_deg"]): r for r in rows(fdtd_path) if abs(float(r["freq_ghz"]) - freq) < 1e-6}
    en = {}
    for r in rows(cuts_path):
        if abs(float(r["freq_ghz"]) - freq) < 1e-6:
            en[(float(r["phi_deg"]), float(r["theta_deg"]))] = (float(r["co_db"]), float(r["cross_db"]))
    # The engine's cuts are relative to the 45-degree cut's co-polar peak: refer each to its own axis.
    axis = {phi: en[(phi, 0.0)][0] for phi in (0.0, 45.0, 90.0)}
    print(f"{freq:g} GHz: FDTD / engine (dB)\n")
    print("| θ (deg) | E-plane | H-plane | co 45° | cross 45° |")
    print("|---:|---:|---:|---:|---:|")
    theta = 0.0
    while theta <= theta_max + 1e-9:
        f = fd[theta]
        e = [en[(0.0, theta)][0] - axis[0.0], en[(90.0, theta)][0] - axis[90.0], en[(45.0, theta)][0] - axis[45.0],
             en[(45.0, theta)][1] - axis[45.0]]
        cols = [float(f["e_plane_db"]), float(f["h_plane_db"]), float(f["co45_db"]), float(f["cross45_db"])]
        cells = [f"{a:.1f} / {b:.1f}" if theta > 0 or i < 3 else "— / —" for i, (a, b) in enumerate(zip(cols, e))]
        print(f"| {theta:g} | " + " | ".join(cells) + " |")
        theta += step
    fd_peak = max(float(r["cross45_db"]) for t, r in fd.items() if t <= theta_max)
    en_peak = max(c[1] - axis[45.0] for (phi, t), c in en.items() if phi == 45.0 and t <= theta_max)
    print(f"\nPeak cross-polar level, 45° plane, 0–{theta_max:g}°: FDTD {fd_peak:.1f} dB, engine {en_peak:.1f} dB")


if __name__ == "__main__":
    main()
