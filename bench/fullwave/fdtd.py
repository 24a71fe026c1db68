#!/usr/bin/python3
"""Full-wave FDTD reference for a body of revolution given as uniform circular sections.

The horn (or step, or mode converter) is a list of sections `length,radius` (CSV, mm), from the
input waveguide to the aperture or the output guide. meep solves Maxwell's equations on the (r, z)
half-plane with the azimuthal dependence exp(i m phi), m = 1: a TE11 excitation of a body of
revolution couples to azimuthal order 1 only, so this is the whole 3-D problem (as a circularly
polarised wave; each linear polarisation is the sum of m = +1 and m = -1, which are mirror images).

S11 of TE11 at the input plane of the first section (z = 0), engineering convention exp(+j omega t):
  - The DFT fields E_r, E_phi on the plane of each z in a window of the input guide are projected
    onto the TE11 transverse field (E_r = J1(x)/x, E_phi = i J1'(x), x = j'11 r / a), weighted by r.
    Transverse modes of a circular guide are orthogonal, so this isolates TE11 from the evanescent
    TM/TE modes left by the source and the discontinuity.
  - Along z that amplitude is c+ exp(i beta z) + c- exp(-i beta z) (meep's exp(-i omega t)). A
    two-exponential (Prony) fit, A[n+k] + A[n-k] = 2 cos(k beta h) A[n], gives the grid's own beta,
    then c+ and c- by least squares. S11 = conj(c- / c+) (conjugated to exp(+j omega t)).
  - The ratio needs neither a normalisation run nor a matched input: whatever the absorber behind
    the source reflects travels forward and is counted in c+.
  Validated on a short circuit (a metal plate across the 10 mm guide at a known z), 4 cells/mm:
  |S11| = 1 within 1e-4 (0.0007 dB) and the phase 180 deg within 0.01 deg at 10 and 12 GHz; 0.9972
  (-0.024 dB) and 0.34 deg at 11 GHz, where that run had stopped early (its fit residual 2e-3, against
  4e-5 at the other two: the residual printed with each S11 flags an unfinished run).

Terminations: `--output matched` continues the last section into a PML (S11 of a component alone);
`--output radiate` ends the horn in a metal body of outer radius max(radius) + wall in free space
surrounded by PML, and adds the far field by meep's near-to-far transformation (cylindrical
coordinates are supported in meep >= 1.24) on a closed surface around the aperture and the body.

Far field, linear polarisation with E along x on the axis (Ludwig 3):
  the m = +1 solution gives E_theta^+ and E_phi^+ in the plane phi = 0. The x-polarised field is
  (m = +1 and m = -1)/2, so E_theta = A cos(phi), E_phi = B sin(phi) with A = E_theta^+, B = i E_phi^+.
  co = A cos^2 phi - B sin^2 phi, cross = (A + B) sin phi cos phi; in the 45-degree plane
  co = (A - B)/2, cross = (A + B)/2; E-plane co = A, H-plane co = -B.

Install (not part of scripts/install-deps: these checks stay out of the default test run):
  apt-get install -y python3-meep        # Debian 12: meep 1.25, serial; run with /usr/bin/python3
Usage: see bench/fullwave/README.md.
"""
from __future__ import annotations

import argparse
import csv
import math
import sys
import time
from dataclasses import dataclass

import numpy as np
from scipy.special import jnp_zeros, jv, jvp

C_MM_GHZ = 299.792458  # speed of light in mm * GHz: meep frequency = f_ghz / C_MM_GHZ (unit 1 mm)
JP11 = float(jnp_zeros(1, 1)[0])  # first zero of J1', the TE11 cut-off


@dataclass
class Layout:
    """Where everything sits along z (mm, z = 0 at the input plane of the first section)."""

    sections: list[tuple[float, float]]  # (length_mm, radius_mm)
    z_min: float  # cell bottom (inside the input absorber)
    z_max: float  # cell top
    r_max: float  # cell edge in r
    source_z: float
    window: tuple[float, float]  # z range of the S11 fit in the input guide
    absorber_mm: float
    pml_mm: float
    wall_mm: float
    radiate: bool


def read_sections(path: str) -> list[tuple[float, float]]:
    with open(path, newline="") as f:
        rows = [r for r in csv.reader(f) if r and not r[0].lstrip().startswith("#")]
    if [c.strip() for c in rows[0]] != ["length", "radius"]:
        sys.exit(f"{path}: the header must be 'length,radius'")
    out = [(float(a), float(b)) for a, b in rows[1:]]
    if not out or any(not (v > 0 and math.isfinite(v)) for s in out for v in s):
        sys.exit(f"{path}: lengths and radii must be positive and finite")
    return out


def parse_freqs(text: str) -> list[float]:
    if ":" in text:
        start, stop, step = (float(v) for v in text.split(":"))
        n = int(math.floor((stop - start) / step + 1e-9)) + 1
        return [round(start + i * step, 9) for i in range(n)]
    return [float(v) for v in text.split(",")]


def make_layout(sections, freqs_ghz, output: str, lead_mm: float, absorber: float = 40.0, tail_mm: float = 15.0,
                air_mm: float = 12.0) -> Layout:
    a0 = sections[0][1]
    f_lo = min(freqs_ghz)
    if f_lo * 2 * math.pi * a0 / C_MM_GHZ <= JP11:
        sys.exit(f"the input guide (radius {a0} mm) is below TE11 cut-off at {f_lo} GHz")
    length = sum(s[0] for s in sections)
    radiate = output == "radiate"
    pml, wall = 30.0, 3.0
    r_in = max(s[1] for s in sections)
    # Window: from half the lead after the source to 10 mm before the first junction (evanescent
    # modes are projected out; the gap only keeps the source's own near field away).
    source_z = -lead_mm
    window = (source_z + 15.0, sections[0][0] - 8.0)
    if window[1] - window[0] < 20.0:
        sys.exit("the input section is too short for the S11 fit: lengthen it or the lead")
    z_min = source_z - 5.0 - absorber
    if radiate:
        pml = 20.0  # free space: air_mm of air around the body (12 mm unless asked), then the PML
        z_max = length + air_mm + pml
        r_max = math.ceil(r_in + wall) + air_mm + pml
    else:
        z_max = length + tail_mm + pml
        # meep rounds half the cell to whole pixels: a whole number of mm keeps every 0.5 mm wall on
        # a grid line at 2, 4, 6 and 8 cells per mm; metal fills the bore's outside up to the edge.
        r_max = math.ceil(r_in) + 1.0
    return Layout(sections, z_min, z_max, r_max, source_z, window, absorber, pml, wall, radiate)


def radius_profile(lay: Layout):
    """(z0, z1, radius) runs, the input guide extended down to z_min, the last section (matched) up."""
    runs, z = [], 0.0
    for length, radius in lay.sections:
        runs.append([z, z + length, radius])
        z += length
    runs[0][0] = lay.z_min
    if not lay.radiate:
        runs[-1][1] = lay.z_max
    return runs


def build_geometry(mp, lay: Layout, zc: float):
    """Metal outside the bore: from each section's radius to the body's outer radius."""
    r_body = max(s[1] for s in lay.sections) + lay.wall_mm if lay.radiate else lay.r_max
    geom = []
    for z0, z1, radius in radius_profile(lay):
        if r_body - radius <= 0:
            continue
        geom.append(
            mp.Block(
                center=mp.Vector3(0.5 * (radius + r_body), 0, 0.5 * (z0 + z1) - zc),
                size=mp.Vector3(r_body - radius, mp.inf, z1 - z0),
                material=mp.metal,
            )
        )
    return geom, r_body


def te11_profile(r_mm: np.ndarray, a_mm: float):
    """TE11 transverse E (m = +1): E_r = J1(x)/x, E_phi = i J1'(x)."""
    x = JP11 * np.asarray(r_mm) / a_mm
    xs = np.where(x == 0, 1.0, x)
    er = np.where(x == 0, 0.5, jv(1, xs) / xs)
    return er, 1j * jvp(1, x)


def fit_two_waves(amp: np.ndarray, z: np.ndarray, beta_guess: float):
    """c+ exp(i beta z) + c- exp(-i beta z) through amp(z): returns c+, c-, beta, relative residual."""
    h = z[1] - z[0]
    k = max(1, int(round(0.6 / max(beta_guess * h, 1e-9))))
    k = min(k, (len(amp) - 1) // 3)
    mid = amp[k:-k]
    cosk = np.vdot(mid, amp[2 * k :] + amp[: -2 * k]) / np.vdot(mid, mid) / 2
    beta = math.acos(max(-1.0, min(1.0, cosk.real))) / (k * h)
    basis = np.stack([np.exp(1j * beta * z), np.exp(-1j * beta * z)], axis=1)
    coef, *_ = np.linalg.lstsq(basis, amp, rcond=None)
    resid = np.linalg.norm(basis @ coef - amp) / np.linalg.norm(amp)
    return coef[0], coef[1], beta, resid


def s11_from_dft(mp, sim, dft, lay: Layout, freqs_ghz, h: float):
    """S11 per frequency from the DFT fields in the input-guide window (see the module comment)."""
    a0 = lay.sections[0][1]
    rows = []
    for i, f in enumerate(freqs_ghz):
        er = sim.get_dft_array(dft, mp.Er, i)
        ep = sim.get_dft_array(dft, mp.Ep, i)
        # Centred grid of a DFT volume: r = 0, h, ..., a (axis 1); z = cell centres from h/2
        # below the volume's start (axis 0). Checked on the short circuit (module comment).
        r = np.arange(er.shape[1]) * h
        z = lay.window[0] - 0.5 * h + h * np.arange(er.shape[0])
        pr, pp = te11_profile(r, a0)
        w = r.copy()
        w[0] = h / 8  # the axis cell's area weight, r dr over [0, h/2]
        amp = (er * (pr * w)[None, :]).sum(1) + (ep * (np.conj(pp) * w)[None, :]).sum(1)
        k = 2 * math.pi * f / C_MM_GHZ
        beta0 = math.sqrt(k * k - (JP11 / a0) ** 2)
        cp, cm, beta, resid = fit_two_waves(amp, z, beta0)
        s11 = np.conj(cm / cp)
        rows.append(
            {
                "freq_ghz": f,
                "s11_db": 20 * math.log10(abs(s11)),
                "s11_deg": math.degrees(np.angle(s11)),
                "beta_fit_per_mm": beta,
                "beta_te11_per_mm": beta0,
                "fit_residual": resid,
            }
        )
    return rows


def run(args) -> None:
    import meep as mp

    mp.verbosity(0)
    sections = read_sections(args.sections)
    freqs = parse_freqs(args.freq)
    lay = make_layout(sections, freqs, args.output, args.lead, args.absorber, args.tail, args.air)
    res = args.res
    zc = 0.5 * (lay.z_min + lay.z_max)
    sz = lay.z_max - lay.z_min
    geom, r_body = build_geometry(mp, lay, zc)
    a0 = sections[0][1]
    f_lo, f_hi = min(freqs) / C_MM_GHZ, max(freqs) / C_MM_GHZ
    fcen, fwidth = 0.5 * (f_lo + f_hi), max(1.6 * (f_hi - f_lo), 0.2 * f_hi)

    def src_amp(component):
        def amp(p):
            er, ep = te11_profile(p.x + 0.5 * a0, a0)
            return complex(er if component == "r" else ep)

        return amp

    src_vol = dict(center=mp.Vector3(0.5 * a0, 0, lay.source_z - zc), size=mp.Vector3(a0, 0, 0))
    sources = [
        mp.Source(mp.GaussianSource(fcen, fwidth=fwidth), component=mp.Er, amp_func=src_amp("r"), **src_vol),
        mp.Source(mp.GaussianSource(fcen, fwidth=fwidth), component=mp.Ep, amp_func=src_amp("p"), **src_vol),
    ]
    layers = [mp.Absorber(lay.absorber_mm, direction=mp.Z, side=mp.Low), mp.PML(lay.pml_mm, direction=mp.Z, side=mp.High)]
    if lay.radiate:
        layers.append(mp.PML(lay.pml_mm, direction=mp.R))
    sim = mp.Simulation(
        cell_size=mp.Vector3(lay.r_max, 0, sz),
        geometry=geom,
        sources=sources,
        boundary_layers=layers,
        resolution=res,
        dimensions=mp.CYLINDRICAL,
        m=1,
    )
    fr = [f / C_MM_GHZ for f in freqs]
    w0, w1 = lay.window
    dft = sim.add_dft_fields(
        [mp.Er, mp.Ep], fr, where=mp.Volume(center=mp.Vector3(0.5 * a0, 0, 0.5 * (w0 + w1) - zc), size=mp.Vector3(a0, 0, w1 - w0))
    )
    n2f = None
    pat_freqs = parse_freqs(args.pattern_freq) if (lay.radiate and args.pattern_freq) else []
    if pat_freqs:
        length = sum(s[0] for s in sections)
        z_top, r_side, z_bot = length + 6.0, r_body + 6.0, length - 25.0
        n2f = sim.add_near2far(
            [f / C_MM_GHZ for f in pat_freqs],
            mp.Near2FarRegion(center=mp.Vector3(0.5 * r_side, 0, z_top - zc), size=mp.Vector3(r_side, 0, 0)),
            mp.Near2FarRegion(center=mp.Vector3(r_side, 0, 0.5 * (z_top + z_bot) - zc), size=mp.Vector3(0, 0, z_top - z_bot)),
            mp.Near2FarRegion(
                center=mp.Vector3(0.5 * (r_body + r_side), 0, z_bot - zc), size=mp.Vector3(r_side - r_body, 0, 0), weight=-1.0
            ),
        )
    t0 = time.time()
    sim.run(until_after_sources=mp.stop_when_dft_decayed(args.decay, minimum_run_time=args.min_time, maximum_run_time=args.max_time))
    elapsed = time.time() - t0
    rows = s11_from_dft(mp, sim, dft, lay, freqs, 1.0 / res)
    request = {
        "sections": args.sections,
        "output": args.output,
        "resolution_cells_per_mm": f"{res:g}",
        "cells_per_wavelength_at_fmax": f"{C_MM_GHZ / max(freqs) * res:.1f}",
        "meep_time_mm_per_c": f"{sim.meep_time():.1f}",
        "wall_seconds": f"{elapsed:.0f}",
        "command": " ".join(sys.argv),
    }
    write_csv(args.csv, rows, request)
    for row in rows:
        print(f"{row['freq_ghz']:6.2f} GHz  S11 {row['s11_db']:8.3f} dB {row['s11_deg']:8.2f} deg  fit resid {row['fit_residual']:.1e}")
    print(f"# {elapsed:.0f} s, t = {sim.meep_time():.0f}", file=sys.stderr)
    if n2f is not None:
        write_csv(args.pattern_csv, far_field(mp, sim, n2f, pat_freqs, length - zc), request)


def far_field(mp, sim, n2f, freqs, aperture_z: float):
    # aperture_z is in meep's coordinates (the cell is centred on z = 0)
    """Co/cross (Ludwig 3) in the E-, H- and 45-degree planes, dB relative to each frequency's co peak.
    Phase reference at the aperture plane (the far-field sphere is centred there)."""
    rows = []
    r_far = 1e6  # mm: far enough that the 1/r field has its asymptotic form
    thetas = np.arange(0, 181, 1.0)
    for i, f in enumerate(freqs):
        cuts = []
        for th in thetas:
            t = math.radians(th)
            e = sim.get_farfield(n2f, mp.Vector3(r_far * math.sin(t), 0, aperture_z + r_far * math.cos(t)))
            er, ep, ez = e[6 * i], e[6 * i + 1], e[6 * i + 2]
            e_theta = er * math.cos(t) - ez * math.sin(t)
            A, B = e_theta, 1j * ep
            cuts.append((th, A, -B, 0.5 * (A - B), 0.5 * (A + B)))
        peak = max(abs(c[1]) for c in cuts)
        for th, e_co, h_co, co45, x45 in cuts:
            db = lambda v: 20 * math.log10(max(abs(v), 1e-30) / peak)
            rows.append(
                {
                    "freq_ghz": f,
                    "theta_deg": th,
                    "e_plane_db": db(e_co),
                    "h_plane_db": db(h_co),
                    "co45_db": db(co45),
                    "cross45_db": db(x45),
                }
            )
    return rows


def write_csv(path: str, rows, request) -> None:
    with open(path, "w", newline="") as f:
        for key, value in request.items():
            f.write(f"# {key}: {value}\n")
        w = csv.DictWriter(f, fieldnames=list(rows[0].keys()))
        w.writeheader()
        for row in rows:
            w.writerow({k: (f"{v:.6g}" if isinstance(v, float) else v) for k, v in row.items()})


def main() -> None:
    p = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    p.add_argument("--sections", required=True, help="CSV length,radius (mm), input guide first")
    p.add_argument("--freq", required=True, help="GHz: a list 9,10 or START:STOP:STEP")
    p.add_argument("--output", choices=["matched", "radiate"], default="matched")
    p.add_argument("--res", type=float, default=4.0, help="cells per mm (4: 100 cells per wavelength at 12 GHz)")
    p.add_argument("--lead", type=float, default=40.0, help="mm of input guide between the source and z = 0")
    p.add_argument("--absorber", type=float, default=40.0, help="mm of absorber behind the source")
    p.add_argument("--tail", type=float, default=15.0, help="mm of the last section beyond its length before the PML (matched)")
    p.add_argument("--air", type=float, default=12.0, help="mm of free space between the body and the PML (radiate)")
    p.add_argument("--decay", type=float, default=1e-5, help="stop when the DFT fields change by less than this")
    p.add_argument("--min-time", type=float, default=0.0, help="meep time to run at least (mm / c)")
    p.add_argument("--max-time", type=float, default=20000.0, help="meep time limit (mm / c)")
    p.add_argument("--csv", required=True)
    p.add_argument("--pattern-freq", help="GHz for the far field (radiate only)")
    p.add_argument("--pattern-csv")
    run(p.parse_args())


if __name__ == "__main__":
    main()
