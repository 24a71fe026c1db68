"""Builds the page (preset web) for the page's tests. Without emscripten it
builds nothing and says so; the tests then report themselves skipped."""
import shutil
import subprocess
import sys

source = sys.argv[1]
if shutil.which("em++") is None or shutil.which("node") is None:
    print("emscripten or node not installed: the page is not built (scripts/install-deps)")
    sys.exit(0)
for step in (["cmake", "--preset", "web"], ["cmake", "--build", "--preset", "web"]):
    subprocess.run(step, cwd=source, check=True, stdout=subprocess.DEVNULL)
