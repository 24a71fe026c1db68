"""python3 -m kelvor design|response|pattern: KELVOR tables and pattern cuts as
CSV, and their figures.

    python3 -m kelvor design --freq 10 --beamwidth 30 --level 10 \\
        --phase-deviation 0.1:0.5:0.1 --unit in
    python3 -m kelvor response --aperture 2.6118 --slant 28.8985 --freq 9:11:0.5
    python3 -m kelvor pattern --freq 10 --aperture 2.6118 --slant 28.8985 \\
        --theta 0:60:0.25 --plot pattern.svg

Ranges are start:stop:step, counted as the dialogue counts its tables. Bad
arguments give one line on standard error and exit status 2.
"""

import argparse
import csv
import os
import sys

import numpy as np

import kelvor
from kelvor import _model_cli

PLOT_SUFFIXES = (".svg", ".png", ".pdf")


class _Parser(argparse.ArgumentParser):
    def error(self, message):
        raise _Usage(message)


class _Usage(Exception):
    pass


def _range(text):
    """A number or start:stop:step."""
    parts = text.split(":")
    try:
        numbers = [float(p) for p in parts]
    except ValueError:
        raise argparse.ArgumentTypeError(f"not a number or start:stop:step: {text!r}") from None
    if len(numbers) == 1:
        return np.array(numbers, dtype=np.float32)
    if len(numbers) != 3:
        raise argparse.ArgumentTypeError(f"a range is start:stop:step, got {text!r}")
    values = kelvor.sweep(*numbers)
    if values.size == 0:
        raise argparse.ArgumentTypeError(f"the range {text!r} has no values")
    return values


def _parser():
    p = _Parser(prog="python3 -m kelvor", description=__doc__.splitlines()[0])
    sub = p.add_subparsers(dest="command", required=True, parser_class=_Parser)

    def common(cmd, with_level=True):
        if with_level:
            cmd.add_argument("--level", type=float, default=10.0, help="pattern level, dB")
            cmd.add_argument("--level-index", type=int, default=None,
                             help="1-4: nominal level a non-nominal level derives from")
        cmd.add_argument("--unit", default="in", help="in or cm")
        cmd.add_argument("--csv", metavar="FILE", help="write the CSV here, not to stdout")
        cmd.add_argument("--plot", metavar="FILE", help="write a figure (.svg, .png, .pdf)")

    d = sub.add_parser("design", help="design table over phase deviations")
    d.add_argument("--freq", type=float, required=True, help="GHz")
    d.add_argument("--beamwidth", type=float, required=True, help="full beamwidth, degrees")
    d.add_argument("--phase-deviation", type=_range, required=True, help="cycles, S or start:stop:step")
    common(d)
    r = sub.add_parser("response", help="frequency response of a horn")
    r.add_argument("--aperture", type=float, required=True, help="aperture radius")
    r.add_argument("--slant", type=float, required=True, help="slant radius")
    r.add_argument("--freq", type=_range, required=True, help="GHz, f or start:stop:step")
    common(r)
    c = sub.add_parser("pattern", help="far-field pattern cut of a horn")
    c.add_argument("--freq", type=float, required=True, help="GHz")
    c.add_argument("--aperture", type=float, required=True, help="aperture radius")
    c.add_argument("--slant", type=float, required=True, help="slant radius")
    c.add_argument("--theta", type=_range, default=_range("0:90:0.5"), help="degrees")
    c.add_argument("--no-obliquity", action="store_true", help="aperture pattern alone")
    common(c, with_level=False)
    _model_cli.add_commands(sub)
    return p


def _table(args):
    """The result, its CSV header and columns."""
    if args.command == "design":
        res = kelvor.design(args.freq, args.beamwidth, args.level, args.phase_deviation,
                            level_index=args.level_index, unit=args.unit)
        u = args.unit
        return res, ["phase_deviation", f"aperture_radius_{u}", f"slant_radius_{u}", "gain_db",
                     f"phase_centre_{u}"], [res.phase_deviation, res.aperture_radius,
                                            res.slant_radius, res.gain_db, res.phase_centre]
    if args.command == "response":
        res = kelvor.response(args.aperture, args.slant, args.freq, level_db=args.level,
                              level_index=args.level_index, unit=args.unit)
        return res, (["freq_ghz"] + [f"beamwidth_{db:g}db_deg" for db in res.levels_db]
                     + ["gain_db", f"phase_centre_{args.unit}"]), \
            [res.freq_ghz, *res.beamwidth_deg.T, res.gain_db, res.phase_centre]
    res = kelvor.pattern(args.freq, args.aperture, args.slant, args.theta, unit=args.unit,
                         obliquity=not args.no_obliquity)
    return res, ["theta_deg", "level_db", "phase_deg"], [res.theta_deg, res.level_db,
                                                         res.phase_deg]


def _write_csv(stream, header, columns):
    # str() of a float32 is its shortest exact decimal form.
    w = csv.writer(stream, lineterminator="\n")
    w.writerow(header)
    for row in zip(*columns):
        w.writerow([str(v) for v in row])


def main(argv=None):
    try:
        args = _parser().parse_args(argv)
        if hasattr(args, "run"):
            return args.run(args)
        if args.plot and not args.plot.lower().endswith(PLOT_SUFFIXES):
            raise _Usage(f"--plot: the file must end in .svg, .png or .pdf: {args.plot!r}")
        result, header, columns = _table(args)
    except (_Usage, ValueError) as e:
        print(f"python3 -m kelvor: error: {e}", file=sys.stderr)
        return 2
    if args.csv:
        with open(args.csv, "w", newline="") as f:
            _write_csv(f, header, columns)
    else:
        try:
            _write_csv(sys.stdout, header, columns)
            sys.stdout.flush()
        except BrokenPipeError:
            # The reader has gone (| head): stop quietly, as a filter does, and
            # keep the interpreter's final flush from failing again.
            os.dup2(os.open(os.devnull, os.O_WRONLY), sys.stdout.fileno())
            return 1
    if args.plot:
        from kelvor import plot
        getattr(plot, args.command)(result).savefig(args.plot)
    return 0


if __name__ == "__main__":
    sys.exit(main())
