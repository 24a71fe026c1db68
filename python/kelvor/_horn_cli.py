"""python3 -m kelvor horn: the corrugated horn as built, from a band and a beam
to a machinable profile, optionally optimised, with its drawing, its pattern
file and its figures over the band.

    python3 -m kelvor horn --band 10.7:12.75 --aperture 40 --slant 200 --optimise \\
        --sections horn.csv --dxf horn.dxf --cut horn.cut --plot horn.svg
"""

from __future__ import annotations

import argparse
import io
import sys
from typing import Any, Optional

import numpy as np

from . import _kelvor, asbuilt
from ._cli import (CliError, Outputs, add_output_flags, default, emit, figure_path, number,
                   write_csv)
from .model import UNITS

NAME = "horn"


def _band(text: str) -> tuple[float, float]:
    parts = text.split(":")
    if len(parts) != 2:
        raise CliError("--band", f"a band is F_MIN:F_MAX in GHz, and {text!r} is not")
    low, high = (number(p, "--band") for p in parts)
    if not 0 < low < high:
        raise CliError("--band", f"{text!r} is not a band of positive rising frequencies")
    return low, high


def register(subparsers: Any) -> None:
    p = subparsers.add_parser(NAME, help="The corrugated horn as built, optimised and drawn.",
                              description=__doc__.split("\n\n")[0] if __doc__ else None)
    p.add_argument("--band", required=True, help="The band F_MIN:F_MAX in GHz.")
    p.add_argument("--aperture", help="The aperture radius, in --unit.")
    p.add_argument("--slant", help="The slant radius (apex to the aperture's rim), in --unit.")
    p.add_argument("--beamwidth", help="The full beamwidth in degrees at --level.")
    p.add_argument("--level", help="The pattern level in dB below the axis of --beamwidth.")
    p.add_argument("--f-over-d", help="The dish's focal ratio.")
    p.add_argument("--edge-illumination", help="The dish rim's illumination below its vertex, dB.")
    p.add_argument("--phase-deviation", default="0.3",
                   help="The aperture phase deviation S (cycles) of a beam or dish design.")
    s11, xpol, count = (default(asbuilt.optimise, k)
                        for k in ("s11_target_db", "xpol_target_db", "frequencies"))
    p.add_argument("--optimise", action="store_true",
                   help=f"Optimise the mode converter to {s11:g} dB S11 / {xpol:g} dB "
                        "cross-polar (or --s11-target / --xpol-target).")
    p.add_argument("--s11-target", default=f"{s11:g}",
                   help=f"The S11 target in dB (default {s11:g}).")
    p.add_argument("--xpol-target", default=f"{xpol:g}",
                   help=f"The cross-polar target in dB (default {xpol:g}).")
    p.add_argument("--frequencies", default=str(count),
                   help=f"Frequencies over the band to analyse (default {count}).")
    p.add_argument("--sections", metavar="F.csv", help="Write the section list (length,radius).")
    p.add_argument("--slots", metavar="F.csv", help="Write the slot table.")
    p.add_argument("--dxf", metavar="F.dxf", help="Write the half-section drawing.")
    p.add_argument("--cut", metavar="F.cut", help="Write the GRASP cuts at the band's centre.")
    add_output_flags(p, "mm", plot="Also write the profile figure to this file (.svg, .png "
                                   "or .pdf).")
    p.set_defaults(run=run)


def _entry(args: argparse.Namespace) -> dict[str, float]:
    pairs = [(("--aperture", "aperture"), ("--slant", "slant")),
             (("--beamwidth", "beamwidth_deg"), ("--level", "level_db")),
             (("--f-over-d", "f_over_d"), ("--edge-illumination", "edge_taper_db"))]
    chosen = [pair for pair in pairs
              if any(getattr(args, f[2:].replace("-", "_")) is not None for f, _ in pair)]
    if len(chosen) != 1:
        raise CliError(None, "give --aperture and --slant, --beamwidth and --level, "
                             "or --f-over-d and --edge-illumination")
    out: dict[str, float] = {}
    for flag, name in chosen[0]:
        text = getattr(args, flag[2:].replace("-", "_"))
        if text is None:
            raise CliError(flag, "is needed with the other value of its pair")
        out[name] = abs(number(text, flag)) if name == "edge_taper_db" else number(text, flag)
    return out


def _progress(i: int, now: tuple[float, float], best: tuple[float, float]) -> bool:
    if sys.stderr.isatty():
        sys.stderr.write(f"\r{i:4d}  S11 {now[0]:7.2f} dB  cross-polar {now[1]:7.2f} dB   "
                         f"best {best[0]:7.2f} / {best[1]:7.2f} dB")
        sys.stderr.flush()
    return True


def _horn(args: argparse.Namespace) -> tuple[asbuilt.CorrugatedHorn, dict[str, str]]:
    band = _band(args.band)
    entry = _entry(args)
    horn = asbuilt.synthesise(band, **entry, phase_deviation=number(args.phase_deviation,
                                                                    "--phase-deviation"),
                              unit=args.unit)
    if not horn.ok:
        raise CliError(None, f"no horn: {horn.reason}")
    request = {"command": NAME, "band_ghz": args.band,
               **{k: f"{v:g}" for k, v in entry.items()}, "unit": args.unit}
    if args.optimise:
        r = asbuilt.optimise(horn, s11_target_db=number(args.s11_target, "--s11-target"),
                             xpol_target_db=number(args.xpol_target, "--xpol-target"),
                             frequencies=int(number(args.frequencies, "--frequencies")),
                             progress=_progress)
        if sys.stderr.isatty():
            sys.stderr.write("\n")
        horn = r.horn
        request["optimised"] = (f"{r.evaluations} evaluations, {r.seconds:.1f} s, targets "
                                f"{'met' if r.targets_met else 'not met'}")
    return horn, request


def run(args: argparse.Namespace) -> int:
    figure_path(args.plot, "--plot")
    count = int(number(args.frequencies, "--frequencies"))
    try:
        asbuilt.check_frequencies(count)
    except ValueError as e:
        raise CliError("--frequencies", str(e).removeprefix("frequencies ")) from None
    horn, request = _horn(args)
    freqs = np.asarray(_kelvor.asbuilt_band_frequencies(*horn.band_ghz, count))
    band = _kelvor.asbuilt_analyse_band(horn.sections, freqs)
    for f, code in zip(freqs, band["failure"]):
        if code:   # the engine refused the horn (too much work) or found no answer
            raise CliError(None, f"no answer at {f:g} GHz: {asbuilt._REASONS[code]}")
    rows = list(zip(freqs, band["s11_db"], band["xpol_peak_db"], band["directivity_dbi"]))
    columns = ["freq_ghz", "s11_db", "xpol_peak_db", "directivity_dbi"]
    scale = UNITS[args.unit]
    u = args.unit
    text = io.StringIO()
    write_csv(text, columns, rows, request)
    with Outputs() as out:
        if args.csv:
            out.path(args.csv, "--csv").write_text(text.getvalue(), encoding="utf-8")
        if args.sections:
            write_csv(out.path(args.sections, "--sections"), ["length", "radius"],
                      [tuple(r / scale) for r in horn.sections], request)
        if args.slots:
            write_csv(out.path(args.slots, "--slots"),
                      [f"z_{u}", f"inner_radius_{u}", f"depth_{u}", f"width_{u}"],
                      [tuple(r / scale) for r in horn.slots], request)
        if args.dxf:
            out.path(args.dxf, "--dxf").write_text(asbuilt.dxf(horn))
        if args.cut:
            centre = 0.5 * (horn.band_ghz[0] + horn.band_ghz[1])
            cuts = _kelvor.asbuilt_cut(horn.sections, centre, 1.0, f"KELVOR horn {centre:g} GHz")
            if not cuts:
                raise CliError("--cut", f"no far field at {centre:g} GHz")
            out.path(args.cut, "--cut").write_text(cuts)
        if args.plot:
            import matplotlib  # type: ignore[import]
            matplotlib.use("Agg")
            ax = asbuilt.plot_profile(horn, unit=u)
            ax.figure.savefig(out.path(args.plot, "--plot"),
                              format=args.plot.rsplit(".", 1)[1].lower())
    return 0 if args.csv else emit(text.getvalue())
