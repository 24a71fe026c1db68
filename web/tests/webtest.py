"""What the page's tests share: their arguments, the skip when a tool is
missing, the README's example link and the native program's report for it."""
import argparse
import functools
import http.server
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time
from pathlib import Path

SKIP = 77  # ctest's SKIP_RETURN_CODE for these tests


def arguments(extra=()):
    p = argparse.ArgumentParser()
    for name in ("--source", "--page-build", "--kelvor", *extra):
        p.add_argument(name, required=True)
    # Where the Python module is built: the model-true sections are checked against it.
    p.add_argument("--python-path")
    a = p.parse_args()
    a.source, a.page_dir = Path(a.source).resolve(), Path(a.page_build).resolve() / "web"
    return a


def require(tools, page_dir, built="index.html"):
    """Skips the test, saying why, when a tool is missing; fails when the page's
    file `built` is (the core's test needs its module alone)."""
    missing = [t for t in tools if shutil.which(t) is None and not Path(t).exists()]
    if missing:
        print(f"SKIPPED: not installed: {', '.join(missing)} (scripts/install-deps installs it)")
        sys.exit(SKIP)
    if not (page_dir / built).exists():
        sys.exit(f"the page was not built: {page_dir / built} (make web)")


def readme_query(source):
    """The query string of the README's example link to the page."""
    m = re.search(r"index\.html\?([^\s)`\"']+)", (source / "README.md").read_text())
    if not m:
        sys.exit("README.md has no example link to index.html?...")
    return m.group(1)


def readme_report(source):
    """The README example's report as the README prints it, one record a line."""
    readme = (source / "README.md").read_text()
    block = readme[readme.index("```text\n", readme.index("holds every record in full")) + 8:]
    return block[:block.index("```")].rstrip("\n").split("\n")


def native_report(source, kelvor):
    """The native program's report records for the README example's answers
    (tests/cases/inches_example), without their CR LF."""
    case = source / "tests" / "cases" / "inches_example"
    answers = (case / "stdin").read_bytes()
    with tempfile.TemporaryDirectory() as run:
        subprocess.run([kelvor], input=answers, cwd=run, check=True, capture_output=True)
        name = answers.split(b"\n")[0].decode().strip()
        report = (Path(run) / name).read_bytes().decode()
    assert report.endswith("\r\n"), "the report's records end in CR LF"
    return report[:-2].split("\r\n")



def native_tables(kelvor, answers):
    """The report records after the title, for a dialogue of these answers."""
    with tempfile.TemporaryDirectory() as run:
        subprocess.run([kelvor], input=answers.encode(), cwd=run, check=True,
                       capture_output=True)
        return (Path(run) / "r.txt").read_bytes().decode()[:-2].split("\r\n")[3:]


def answers(unit, freq, beamwidth, level, index, s, aperture, slant, fresp):
    """The dialogue's answers for one design request and one horn."""
    level_lines = f"{level}\n{index}\n" if index else f"{level}\n"
    comma = lambda r: r.replace(":", ",")
    return (f"r.txt\n{1 if unit == 'cm' else 2}\n{freq},{beamwidth}\n{level_lines}{comma(s)}\n"
            f"{aperture},{slant}\n{comma(fresp)}\n0,0\n0,0,0\n0,0\n")


def query(unit, freq, beamwidth, level, index, s, aperture, slant, fresp):
    """The page's link for the same request."""
    fields = dict(unit=unit, freq=freq, beamwidth=beamwidth, level=level, index=index, s=s,
                  aperture=aperture, slant=slant, fresp=fresp)
    return "&".join(f"{k}={v}" for k, v in fields.items() if v)


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def serve(folder):
    """The page's folder served from 127.0.0.1 on a free port, in a thread."""
    handler = functools.partial(QuietHandler, directory=str(folder))
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


# Replaces `from` by `to` in the text of the element `id` (a worker's source); returns the old text,
# or null where it does not hold `from`. Arguments: id, from, to.
SWAP_TEXT = """const [id, from, to] = arguments, s = document.getElementById(id), old = s.textContent;
    if (!old.includes(from)) return null;
    s.textContent = old.replace(from, to);
    return old;"""


# Every uncaught error and unhandled rejection of the page, gathered from its first script on: a
# test stops at the first one instead of waiting for a status that will never come.
CATCH_ERRORS = """window.pageErrors = [];
addEventListener('error', (e) => pageErrors.push(String(e.message)));
addEventListener('unhandledrejection', (e) => pageErrors.push(String(e.reason)));
(() => {  // every object URL the page makes (a worker's source, a download) until it revokes it
  window.objectUrls = new Set();
  const [create, revoke] = [URL.createObjectURL, URL.revokeObjectURL];
  URL.createObjectURL = (o) => { const u = create(o); objectUrls.add(u); return u; };
  URL.revokeObjectURL = (u) => { objectUrls.delete(u); revoke(u); };
})();"""


def catch_errors(driver):
    driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": CATCH_ERRORS})


def page_errors(driver):
    return driver.execute_script("return window.pageErrors || []")


def leaked_urls(driver):
    """The object URLs the page has not revoked, a download's second of grace past."""
    time.sleep(1.2)
    return driver.execute_script("return [...window.objectUrls]")
