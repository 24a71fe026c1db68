#!/usr/bin/python3
"""kelvor.exe under Wine on a terminal, so that its standard input is a console: a
report name typed with letters beyond the console's code page (é, 中) creates
exactly that file, and the run stops normally.
Usage: console_typed_name_wine.py WINE-RUN KELVOR-EXE (scripts/test-windows runs it)."""

import os
import pty
import select
import sys
import tempfile
import termios
import time
from pathlib import Path

NAME = "r\u00e9sum\u00e9\u4e2d.txt"
ANSWERS = [(b"Enter output file", NAME), (b"Enter units", "2"), (b"(0 terminates)", "0,0")]


def main() -> int:
    wine_run, program = (str(Path(a).resolve()) for a in sys.argv[1:])
    with tempfile.TemporaryDirectory() as folder:
        pid, terminal = pty.fork()
        if pid == 0:
            os.chdir(folder)
            # Enter arrives as CR, as a console expects it.
            attributes = termios.tcgetattr(0)
            attributes[0] &= ~termios.ICRNL
            termios.tcsetattr(0, termios.TCSANOW, attributes)
            os.execve(wine_run, [wine_run, program], dict(os.environ, LANG="C.UTF-8"))
        deadline = time.monotonic() + 120
        shown = b""
        for prompt, answer in ANSWERS:
            while prompt not in shown and time.monotonic() < deadline:
                if select.select([terminal], [], [], 1)[0]:
                    try:
                        shown += os.read(terminal, 4096)
                    except OSError:  # the program has ended
                        break
            if prompt not in shown:
                if os.waitpid(pid, os.WNOHANG)[0] == 0:
                    os.kill(pid, 9)
                print(f"console_typed_name_wine: no prompt {prompt!r}; shown {shown[-300:]!r}")
                return 1
            shown = shown[shown.index(prompt) + len(prompt):]
            os.write(terminal, answer.encode() + b"\r")
        while os.waitpid(pid, os.WNOHANG)[0] == 0 and time.monotonic() < deadline:
            if select.select([terminal], [], [], 1)[0]:
                try:
                    os.read(terminal, 4096)
                except OSError:
                    pass
        made = sorted(p.name for p in Path(folder).iterdir())
        if made != [NAME]:
            print(f"console_typed_name_wine: files made {made}, expected [{NAME!r}]")
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
