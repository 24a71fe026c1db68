"""python3 -m kelvor: the KELVOR tables, pattern cuts and the model-true feed
path as CSV, and their figures.

    python3 -m kelvor design --freq 10 --beamwidth 30 --level 10 \\
        --phase-deviation 0.1:0.5:0.1 --unit in
    python3 -m kelvor response --aperture 2.6118 --slant 28.8985 --freq 9:11:0.5
    python3 -m kelvor dish --aperture 1.3363 --slant 3.4846 --unit cm --f-over-d 0.4 \\
        --freq 10.7:12.75:0.05 --plot efficiency.svg

Values are a number, a list a,b,c or a range start:stop:step counted as the
dialogue counts its tables (a descending range has a negative step). Every
error is one line on standard error naming the flag, with exit status 2, and
then no file is written: every output goes to a temporary beside its target and
is moved into place only when every step has succeeded.
"""

from __future__ import annotations

import sys
from typing import Optional, Sequence

from . import (_analyse_cli, _cli, _design_cli, _dish_cli, _dish_design_cli, _horn_cli,
               _model_design_cli, _pattern_cli, _response_cli)
from . import __version__

# Every command, each in its own module with register(subparsers), in the order
# of the help.
COMMANDS = [_design_cli, _response_cli, _pattern_cli, _model_design_cli, _dish_cli,
            _dish_design_cli, _analyse_cli, _horn_cli]


def parser() -> _cli.Parser:
    p = _cli.Parser(prog=_cli.PROG, description="The KELVOR tables, pattern cuts and the "
                                                "model-true feed path, as CSV and figures.",
                    epilog="Values are a number, a list a,b,c or start:stop:step. Errors are "
                           "one line on standard error with exit status 2, and no file is "
                           "written.")
    p.add_argument("--version", action="version", version=f"kelvor {__version__}")
    sub = p.add_subparsers(dest="command", required=True, parser_class=_cli.Parser,
                           metavar="COMMAND")
    for command in COMMANDS:
        command.register(sub)
    return p


def main(argv: Optional[Sequence[str]] = None) -> int:
    """Run the command line; the exit status."""
    args = None
    try:
        args = parser().parse_args(argv)
        status: int = args.run(args)
        return status
    except _cli.CliError as e:
        return _cli.fail(getattr(args, "command", "") or "", e)
    except ValueError as e:
        return _cli.fail(args.command if args else "", _cli.library_error(e))
    except SystemExit as e:
        # --help and --version end the parse, with argparse's status (a number).
        assert isinstance(e.code, int)
        return e.code
    except KeyboardInterrupt:
        print(f"{_cli.PROG}: interrupted.", file=sys.stderr)
        return 130


if __name__ == "__main__":
    sys.exit(main())
