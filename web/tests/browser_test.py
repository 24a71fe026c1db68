"""The page in headless Chromium, served from 127.0.0.1: the README example's
link gives the native report's records, a long table cancels, a request typed
into the form is checked and computed, its CSV downloads, and the pattern is
drawn. Saves a screenshot of the example for the README."""
import csv
import functools
import http.server
import subprocess
import sys
import tempfile
import threading
import time
from pathlib import Path

import webtest

a = webtest.arguments(extra=("--screenshot",))
webtest.require(["/usr/bin/chromium", "/usr/bin/chromedriver"], a.page_dir)
try:
    from selenium import webdriver
    from selenium.webdriver.chrome.options import Options
    from selenium.webdriver.chrome.service import Service
except ImportError:
    print("SKIPPED: not installed: python3-selenium (scripts/install-deps installs it)")
    sys.exit(webtest.SKIP)


# The painted pixels of a figure's canvas.
PAINTED = """
    const c = document.querySelector(arguments[0]);
    if (!c) return 0;
    const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
    let n = 0;
    for (let i = 3; i < d.length; i += 4) n += d[i] > 0;
    return n;"""
# The model-true sections, where the feed library is built (into the page too).
MODEL_TRUE = a.model_true


def fail(message):
    sys.exit(f"FAILED: {message}")


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def serve(folder):
    handler = functools.partial(QuietHandler, directory=str(folder))
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def native_tables(answers):
    """The report records after the title, for a dialogue of these answers."""
    with tempfile.TemporaryDirectory() as run:
        subprocess.run([a.kelvor], input=answers.encode(), cwd=run, check=True,
                       capture_output=True)
        return (Path(run) / "r.txt").read_bytes().decode()[:-2].split("\r\n")[3:]


def text(driver, element_id):
    return driver.find_element("id", element_id).get_attribute("textContent")


def wait_status(driver, *endings, seconds=60):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        status = text(driver, "status")
        if status.startswith(endings):
            return status
        time.sleep(0.05)
    fail(f"status stayed {text(driver, 'status')!r}, expected {endings}")


def tables(driver):
    return (text(driver, "design-table") + text(driver, "response-table")).rstrip("\n").split("\n")


def submit(driver, fields):
    form = driver.find_element("id", "request")
    driver.find_element("css selector", f"input[name=unit][value={fields.pop('unit')}]").click()
    for name in ("freq", "beamwidth", "level", "index", "s", "aperture", "slant", "fresp", "pfreq"):
        box = form.find_element("name", name)
        box.clear()
        box.send_keys(fields.get(name, ""))
    # The keyboard's Enter submits, as a user would.
    form.find_element("name", "freq").send_keys("\n")


downloads = tempfile.TemporaryDirectory()
options = Options()
options.binary_location = "/usr/bin/chromium"
for arg in ("--headless=new", "--no-sandbox", "--disable-gpu", "--window-size=900,1000"):
    options.add_argument(arg)
options.add_experimental_option("prefs", {"download.default_directory": downloads.name})
server = serve(a.page_dir)
driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
try:
    driver.execute_cdp_cmd("Page.setDownloadBehavior",
                           {"behavior": "allow", "downloadPath": downloads.name})
    page = f"http://127.0.0.1:{server.server_port}/index.html"

    # The README's link computes at once; its tables are the report's records.
    driver.get(f"{page}?{webtest.readme_query(a.source)}")
    wait_status(driver, "Done.")
    if tables(driver) != webtest.native_report(a.source, a.kelvor)[3:]:
        fail("the README example's tables are not the report's records:\n" +
             "\n".join(tables(driver)))
    for figure in ("pattern", "dish") if MODEL_TRUE else ("pattern",):
        drawn = driver.execute_script(PAINTED, f"#{figure}-plot canvas")
        if drawn < 1000:
            fail(f"the {figure} figure has {drawn} painted pixels")
    if MODEL_TRUE and len(text(driver, "model-design-table").split("\n")) != 3:
        fail("the model-true design has not its heading and one row")
    height = driver.execute_script("return document.documentElement.scrollHeight")
    driver.set_window_size(900, height)
    Path(a.screenshot).parent.mkdir(parents=True, exist_ok=True)
    driver.save_screenshot(a.screenshot)
    driver.set_window_size(900, 1000)

    # A long table, cancelled at once; the page goes on.
    submit(driver, {"unit": "in", "freq": "10", "beamwidth": "30", "level": "10",
                    "s": "0:1:0.000002"})
    wait_status(driver, "Computing")
    driver.find_element("id", "cancel").click()
    wait_status(driver, "Cancelled.")

    # A typed request: a level that is not nominal needs its index, and nothing
    # is computed until it has one.
    typed = {"unit": "cm", "freq": "12", "beamwidth": "20", "level": "8", "s": "0.05:0.3:0.05",
             "aperture": "5.5", "slant": "40", "fresp": "11:13:0.5"}
    submit(driver, dict(typed))
    wait_status(driver, "Nothing computed")
    if not text(driver, "index-error") or driver.find_element("id", "design-section").is_displayed():
        fail("a level without its index was computed or not marked")
    submit(driver, dict(typed, index="2"))
    wait_status(driver, "Done.")
    want = native_tables("r.txt\n1\n12,20\n8\n2\n0.05,0.3,0.05\n5.5,40\n11,13,0.5\n0,0\n0,0,0\n0,0\n")
    if tables(driver) != want:
        fail("the typed request's tables are not the report's records:\n" +
             "\n".join(tables(driver)))

    # Its response table as CSV: a header and the table's own fields.
    driver.find_element("id", "response-csv").click()
    path = Path(downloads.name) / "kelvor-response.csv"
    for _ in range(100):
        if path.exists():
            break
        time.sleep(0.05)
    rows = list(csv.reader(path.open()))
    records = text(driver, "response-table").rstrip("\n").split("\n")[-len(rows) + 1:]
    if [r.split() for r in records] != rows[1:] or len(rows) != 6:
        fail(f"the CSV does not hold the table's rows: {rows}")
    print("README link, cancel, typed request, CSV and figure: as the native program")
finally:
    driver.quit()
    server.shutdown()
