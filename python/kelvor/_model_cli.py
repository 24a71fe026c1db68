"""Command-line subcommands of the model-true path, added to ``python3 -m kelvor``
by ``add_commands(subparsers)``:

    python3 -m kelvor model-design --freq 11.7 --f-over-d 0.4 --edge-illumination -12 \\
        --phase-deviation 0.1 --unit cm
    python3 -m kelvor dish --aperture 1.3363 --slant 3.4846 --unit cm --f-over-d 0.4 \\
        --freq 10.7:12.75:0.05 --plot efficiency.svg --pattern-plot pattern.svg
    python3 -m kelvor dish-design --f-over-d 0.4 --freq 10.7,11.7,12.75 --unit cm

Each writes CSV (to standard output or --csv FILE); values with no answer are
empty cells with their reason in the last column. Bad arguments give one line on
standard error and exit status 2.
"""

from __future__ import annotations

import csv
import math
import sys
from typing import Callable, Iterable, Sequence

import numpy as np

from . import model

PLOT_SUFFIXES = (".svg", ".png", ".pdf")


def _values(text: str) -> np.ndarray:
    """A number, a list a,b,c, or an inclusive range start:stop:step."""
    try:
        if ":" in text:
            start, stop, step = (float(p) for p in text.split(":"))
            if not step > 0 or stop < start:
                raise ValueError
            n = int(math.floor((stop - start) / step + 1e-9)) + 1
            # Rounded to 12 digits so that 0.1 * 3 is written 0.3.
            return np.round(start + step * np.arange(n), 12)
        return np.array([float(p) for p in text.split(",")])
    except ValueError:
        raise ValueError(f"not a number, a list a,b,c or a range start:stop:step: {text!r}") \
            from None


def _cell(v) -> str:
    if isinstance(v, (bool, np.bool_)):
        return "yes" if v else "no"
    if isinstance(v, str):
        return v
    return "" if math.isnan(v) else repr(float(v))


def _write(args, header: Sequence[str], columns: Iterable[Iterable]) -> None:
    rows = zip(*columns)
    if args.csv:
        with open(args.csv, "w", newline="") as f:
            _rows(f, header, rows)
    else:
        _rows(sys.stdout, header, rows)


def _rows(stream, header, rows):
    w = csv.writer(stream, lineterminator="\n")
    w.writerow(header)
    for row in rows:
        w.writerow([_cell(v) for v in row])


def _plot_file(name):
    if name and not name.lower().endswith(PLOT_SUFFIXES):
        raise ValueError(f"a figure file must end in .svg, .png or .pdf: {name!r}")
    return name


def _save(ax, name):
    ax.figure.savefig(name)


def _model_design(args) -> None:
    if args.f_over_d is not None:
        if args.edge_illumination is None:
            raise ValueError("--f-over-d needs --edge-illumination (dB, negative)")
        beamwidth = 2 * model.dish_half_angle_deg(args.f_over_d)
        level = model.feed_level_db(args.f_over_d, args.edge_illumination)
    else:
        if args.beamwidth is None or args.level is None:
            raise ValueError("give --beamwidth and --level, or --f-over-d and --edge-illumination")
        beamwidth, level = args.beamwidth, args.level
    r = model.design(args.freq, beamwidth, level, _values(args.phase_deviation), unit=args.unit)
    u = args.unit
    _write(args, ["phase_deviation", f"aperture_radius_{u}", f"slant_radius_{u}",
                  "aperture_radius_wavelengths", "real_cone", "reason"],
           [r.phase_deviation, r.aperture_radius, r.slant_radius, r.aperture_radius_wavelengths,
            r.real_cone, r.reason])


def _dish(args) -> None:
    plot, pattern_plot = _plot_file(args.plot), _plot_file(args.pattern_plot)
    freq = _values(args.freq)
    r = model.dish(args.aperture, args.slant, freq, f_over_d=args.f_over_d,
                   feed_position=args.feed_position, unit=args.unit)
    u = args.unit
    _write(args, ["freq_ghz", "aperture_efficiency", "spillover", "illumination", "phase",
                  "polarisation", f"feed_position_{u}", "feed_edge_level_db",
                  "space_attenuation_db", "edge_illumination_db", "reason"],
           [r.freq_ghz, r.aperture_efficiency, r.spillover, r.illumination, r.phase,
            r.polarisation, r.feed_position, r.feed_edge_level_db, r.space_attenuation_db,
            r.edge_illumination_db, r.reason])
    if plot or pattern_plot:
        import matplotlib
        matplotlib.use("Agg")
        from . import model_plot
        if plot:
            _save(model_plot.efficiencies(r), plot)
        if pattern_plot:
            # At the middle frequency, the phase referenced to the focus.
            i = len(freq) // 2
            p = model.pattern(args.aperture, args.slant, freq[i], np.linspace(0, 180, 721),
                              unit=u, phase_reference=r.feed_position[i])
            _save(model_plot.pattern_on_dish(p, args.f_over_d,
                                             edge_level_db=r.feed_edge_level_db[i],
                                             title=f"Feed pattern at {freq[i]:g} GHz on an "
                                                   f"f/D = {args.f_over_d:g} dish"), pattern_plot)


def _dish_design(args) -> None:
    r = model.design_for_dish(args.f_over_d, _values(args.freq),
                              phase_deviation=_values(args.phase_deviation),
                              reference_freq_ghz=args.reference_freq, unit=args.unit)
    u = args.unit
    best = np.zeros(r.phase_deviation.size, dtype=bool)
    if r.best is not None:
        best[r.best] = True
    _write(args, ["phase_deviation", f"aperture_radius_{u}", f"slant_radius_{u}",
                  f"feed_position_{u}", "aperture_efficiency", "real_cone", "best", "reason"],
           [r.phase_deviation, r.aperture_radius, r.slant_radius, r.feed_position,
            r.aperture_efficiency, r.real_cone, best, r.reason])


def _runner(command: Callable) -> Callable:
    """The command with its errors as one line on standard error and status 2."""
    def run(args) -> int:
        try:
            command(args)
        except (ValueError, OSError) as e:
            print(f"python3 -m kelvor {args.command}: error: {e}", file=sys.stderr)
            return 2
        return 0
    return run


def add_commands(subparsers) -> None:
    """Adds model-design, dish and dish-design to an argparse subparsers object;
    each sets ``args.run(args) -> exit status``."""
    def options(cmd):
        cmd.add_argument("--unit", default="in", choices=sorted(model.UNITS),
                         help="unit of every length (default in)")
        cmd.add_argument("--csv", metavar="FILE", help="write the CSV here, not to stdout")

    d = subparsers.add_parser("model-design", help="model-true horn design at any beam and level")
    d.add_argument("--freq", type=float, required=True, help="GHz")
    d.add_argument("--beamwidth", type=float, help="full beamwidth, degrees")
    d.add_argument("--level", type=float, help="level at the beam edge, dB below the axis")
    d.add_argument("--f-over-d", type=float, help="design for this dish's edge instead")
    d.add_argument("--edge-illumination", type=float,
                   help="dB at the dish edge relative to its vertex (negative), with --f-over-d")
    d.add_argument("--phase-deviation", default="0.1", help="S (cycles): value, list or range")
    options(d)
    d.set_defaults(run=_runner(_model_design))

    e = subparsers.add_parser("dish", help="dish efficiencies of a horn against frequency")
    e.add_argument("--aperture", type=float, required=True, help="aperture radius")
    e.add_argument("--slant", type=float, required=True, help="slant radius (inf: flat phase)")
    e.add_argument("--freq", required=True, help="GHz: value, list a,b,c or start:stop:step")
    e.add_argument("--f-over-d", type=float, required=True, help="focal ratio of the dish")
    e.add_argument("--feed-position", type=float, default=None,
                   help="focus from the aperture plane toward the apex (default: the optimum)")
    e.add_argument("--plot", metavar="FILE", help="efficiencies figure (.svg, .png, .pdf)")
    e.add_argument("--pattern-plot", metavar="FILE",
                   help="pattern figure with the dish edge, at the middle frequency")
    options(e)
    e.set_defaults(run=_runner(_dish))

    g = subparsers.add_parser("dish-design", help="the horn that maximises a dish's efficiency")
    g.add_argument("--f-over-d", type=float, required=True, help="focal ratio of the dish")
    g.add_argument("--freq", required=True, help="GHz: value, list a,b,c or start:stop:step")
    g.add_argument("--phase-deviation", default="0:0.6:0.05", help="S values to try (cycles)")
    g.add_argument("--reference-freq", type=float, default=None,
                   help="GHz at which S is taken (default: the middle of the band)")
    options(g)
    g.set_defaults(run=_runner(_dish_design))
