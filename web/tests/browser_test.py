"""The page in headless Chromium, served from 127.0.0.1: the README example's
link gives the native report's records, a long table cancels, a request typed
into the form is checked and computed, its CSV downloads, and the pattern is
drawn. Saves a screenshot of the example for the README."""
import csv
import sys
import tempfile
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


# Where the tables' last column is, after the block is scrolled to its right end:
# the block's box and the box of the text "Phase CTR." inside it.
LAST_COLUMN = """
    const pre = document.getElementById(arguments[0]);
    pre.scrollLeft = pre.scrollWidth;
    const node = [...pre.querySelectorAll('span')].map((s) => s.firstChild)
                   .find((t) => t.data.includes('Phase CTR.'));
    const range = document.createRange();
    range.setStart(node, node.data.indexOf('Phase CTR.'));
    range.setEnd(node, node.data.indexOf('Phase CTR.') + 10);
    const box = pre.getBoundingClientRect(), text = range.getBoundingClientRect();
    return [pre.scrollWidth > pre.clientWidth, text.left >= box.left, text.right <= box.right];"""


def fail(message):
    sys.exit(f"FAILED: {message}")


def text(driver, element_id):
    return driver.find_element("id", element_id).get_attribute("textContent")


def phone(driver, width):
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                           {"width": width, "height": 800, "deviceScaleFactor": 1,
                            "mobile": width < 600})


def wait_status(driver, *endings, seconds=60):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        status = text(driver, "status")
        if status.startswith(endings):
            return status
        if status.startswith("The computation failed"):  # no later status will come
            fail(f"status is {status!r}, expected {endings}")
        if errors := webtest.page_errors(driver):
            fail(f"the page threw {errors} at status {status!r}")
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
server = webtest.serve(a.page_dir)
driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
try:
    driver.execute_cdp_cmd("Page.setDownloadBehavior",
                           {"behavior": "allow", "downloadPath": downloads.name})
    webtest.catch_errors(driver)
    page = f"http://127.0.0.1:{server.server_port}/index.html"

    # The README's link computes at once; its tables are the report's records.
    driver.get(f"{page}?{webtest.readme_query(a.source)}")
    wait_status(driver, "Done.")
    units = driver.execute_script("return [document.querySelector('[name=unit]:checked').value, "
                                  "...[...document.querySelectorAll('.unit')].map((e) => e.textContent)]")
    if len(units) < 3 or set(units) != {units[0]}:
        fail(f"the lengths' labels do not name the chosen unit: {units}")
    if tables(driver) != webtest.native_report(a.source, a.kelvor)[3:]:
        fail("the README example's tables are not the report's records:\n" +
             "\n".join(tables(driver)))
    if a.python_path:  # the model-true row's radii, as model.design gives them
        sys.path.insert(0, a.python_path)
        from kelvor import model
        d = model.design(freq_ghz=10.0, beamwidth_deg=30.0, level_db=10.0, phase_deviation=[0.1])
        row = text(driver, "model-design-table").split("\n")[1]
        if row.split()[1:3] != [f"{d.aperture_radius[0]:.4f}", f"{d.slant_radius[0]:.4f}"]:
            fail(f"the model-true row {row!r} is not model.design's {d}")
        if text(driver, "dish-title") != ("Dish efficiencies: a = 2.6118 in, R = 28.8985 in, S = "
                                          "0.100 at 10 GHz; best f/D 1.85 with the feed 0.908 in "
                                          "behind the aperture plane") or \
                not driver.find_element("id", "dish-section").is_displayed():
            fail(f"the dish figure's title: {text(driver, 'dish-title')!r}, or it is hidden")
        validity = driver.find_element("id", "dish-validity")  # marked as an error unless valid
        if (validity.get_attribute("class") == "error") == validity.text.endswith(": valid."):
            fail(f"the dish's validity {validity.text!r}: class {validity.get_attribute('class')!r}")
        # The dish curve from f/D 0.25 on, its efficiencies model.dish's (the feed at its optimum).
        f_over_d, aperture = driver.execute_script("return plots.dish.data.slice(0, 2)")
        e = model.dish(2.6118, 28.8985, [10.0], f_over_d=0.25, unit="in")
        if f_over_d[0] != 0.25 or abs(aperture[0] - 100 * e.aperture_efficiency[0]) > 1e-6:
            fail(f"the dish curve starts {f_over_d[0]}, {aperture[0]} %, not 0.25, {e}")
    # The pattern's level axis ends at its lowest level (-55 dB here), or at -80 dB below that.
    if not -80 < driver.execute_script("return plots.pattern.scales.y.min") < -50:
        fail(f"the pattern's level axis: {driver.execute_script('return plots.pattern.scales.y')}")
    fixed = driver.execute_script("const p = plots.pattern, d = plots.dish.scales.y; "
                                  "return [p.scales.y.range(p, -200, 0, 'y'), [d.min, d.max]]")
    if fixed != [[-80, 0], [0, 100]]:
        fail(f"the pattern's level axis for a -200 dB null, the dish's 0 to 100 %: {fixed}")
    height = driver.execute_script("return document.documentElement.scrollHeight")
    driver.set_window_size(900, height)
    driver.execute_script("window.scrollTo(0, 0)")
    Path(a.screenshot).parent.mkdir(parents=True, exist_ok=True)
    driver.save_screenshot(a.screenshot)
    driver.set_window_size(900, 1000)

    # On a phone the tables scroll sideways to their last column.
    phone(driver, 390)
    for table in ("design-table", "response-table"):
        if driver.execute_script(LAST_COLUMN, table) != [True, True, True]:
            fail(f"at 390 px the {table} does not scroll to its Phase CTR. column")
    driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})

    # The longest table, cancelled at once; the focus goes back to Compute.
    submit(driver, {"unit": "in", "freq": "10", "beamwidth": "30", "level": "10",
                    "s": "0:0.999999:0.000001"})
    wait_status(driver, "Computing the design rows…")
    driver.find_element("id", "cancel").click()
    wait_status(driver, "Cancelled.")
    if driver.switch_to.active_element.get_attribute("id") != "compute":
        fail("after Cancel the focus is not on Compute")
    if driver.find_element("id", "dish-section").is_displayed():
        fail("a new request left the last result's dish section shown")

    # A worker that throws (its source made to here) ends the request with the error shown.
    source = driver.execute_script(webtest.SWAP_TEXT, "worker-source",
                                   "compute(core, event.data.params)", "compute(core, null)")
    driver.execute_script("worker.terminate(); worker = newWorker()")
    submit(driver, {"unit": "in", "freq": "10", "beamwidth": "30", "level": "10", "s": "0.1:0.1:0.1"})
    if not source or "of null" not in wait_status(driver, "The computation failed: "):
        fail(f"a worker that throws did not end the request with its error: {text(driver, 'status')!r}")
    driver.execute_script("document.getElementById('worker-source').textContent = arguments[0]", source)

    # A typed request: a level that is not nominal needs its index, and nothing
    # is computed until it has one.
    # 600 design rows: more than one of the worker's blocks.
    typed = {"unit": "cm", "freq": "12", "beamwidth": "20", "level": "8", "s": "0.001:0.6:0.001",
             "aperture": "5.5", "slant": "40", "fresp": "11:13:0.5"}
    submit(driver, dict(typed))
    wait_status(driver, "Nothing computed")
    if not text(driver, "index-error") or driver.find_element("id", "link").is_displayed():
        fail("a level without its index was not marked, or the old result's link stayed")
    submit(driver, dict(typed, index="2"))
    wait_status(driver, "Done.")
    want = webtest.native_tables(a.kelvor, "r.txt\n1\n12,20\n8\n2\n0.001,0.6,0.001\n5.5,40\n11,13,0.5\n0,0\n0,0,0\n0,0\n")
    if tables(driver) != want or not driver.find_element("id", "link").is_displayed():
        fail("the typed request's tables are not the report's records, or it has no link:\n" +
             "\n".join(tables(driver)))
    abscissa = driver.execute_script("return Array.from(plots.response.data[0])")
    if abscissa != [11, 11.5, 12, 12.5, 13]:
        fail("the response figure's abscissa is not the table's frequencies")

    # Its response table as CSV: a header and the table's own fields.
    driver.find_element("id", "response-csv").click()
    path = Path(downloads.name) / "kelvor-response.csv"
    for _ in range(100):
        if path.exists():
            break
        time.sleep(0.05)
    rows = [r for r in csv.reader(path.open()) if not r[0].startswith("#")]
    records = text(driver, "response-table").rstrip("\n").split("\n")[-len(rows) + 1:]
    if [r.split() + ["yes", "none"] for r in records] != rows[1:] or rows[0][6] != "phase_centre_cm":
        fail(f"the CSV does not hold the table's rows: {rows}")
    if leaked := webtest.leaked_urls(driver):
        fail(f"object URLs never revoked: {leaked}")
    # The figure draws its four beamwidth columns, a gap where a level is never reached.
    drawn = driver.execute_script("return plots.response.data.slice(1).map((s) => Array.from(s))")
    if drawn != [[float(r[i]) if r[i] else None for r in rows[1:]] for i in (1, 2, 3, 4)]:
        fail(f"the response figure does not draw the CSV's beamwidths: {drawn}")
    strokes = driver.execute_script("const p = plots.response; "
                                    "return p.series.slice(1).map((s, i) => s.stroke(p, i + 1))")
    if None in strokes or len(set(strokes)) != 4:
        fail(f"the response figure's four curves are not in four colours: {strokes}")

    # Refused links: an unknown unit, an empty request; each field is marked.
    # The first marked field takes the focus.
    MARKED = [("unit=mm&freq=10&beamwidth=30&level=10&s=0.1:0.1:0.1", "unit-group", "unit-error",
               "The unit is in (inches) or cm (centimetres).", "unit=in"),
              ("s=", "freq", "freq-error", "Enter a number.", "freq=")]
    for q, field, error, message, focused in MARKED:
        driver.get(f"{page}?{q}")
        wait_status(driver, "Nothing computed")
        marked = driver.find_element("id", field).get_attribute("aria-invalid")
        focus = driver.execute_script("const e = document.activeElement; return e.name + '=' + "
                                      "e.value")
        if (marked, text(driver, error), focus) != ("true", message, focused):
            fail(f"?{q}: {field} marked {marked!r} with {text(driver, error)!r}, focus {focus}")

    # Horns beyond any reasonable work are refused up front, within a time limit;
    # a horn outside the model is flagged.
    DISH = [("aperture=1e30&slant=1e30&pfreq=10", "dish-refusal",
             "Dish efficiencies not computed: too much work: outside the stated limit."),
            ("aperture=30&slant=300&pfreq=10", "dish-refusal",
             "Dish efficiencies not computed: the horn's aperture integrand turns by k a + 4 pi "
             "S = 175.7 radians, more than the 128 that the page integrates in reasonable time."),
            ("aperture=0.5&slant=5&pfreq=10", "dish-validity", "Model validity at 10 GHz: "
             "aperture too small for the balanced hybrid mode.")]
    for q, element, message in DISH:
        start = time.monotonic()
        driver.get(f"{page}?{q}")
        wait_status(driver, "Done.", seconds=30)
        # A refused dish is not computed: its title names no horn.
        refused = element == "dish-refusal"
        if text(driver, element) != message or refused and text(driver, "dish-title") != (
                "Dish efficiencies"):
            fail(f"?{q}: {text(driver, element)!r} in {time.monotonic() - start:.1f} s")
    # Offline: one cache entry, under index.html, whatever the query and spelling.
    root = page[:-len("index.html")]
    driver.get(root)
    for url in (f"{root}?unit=cm", f"{page}?freq=1", root):
        driver.get(url)
    keys = driver.execute_async_script("""const done = arguments[0];
        navigator.serviceWorker.ready.then(() => caches.open('kelvor-page'))
          .then((c) => c.keys()).then((k) => done(k.map((r) => r.url)));""")
    server.shutdown()
    server.server_close()
    for url, form in ((f"{root}?unit=cm&cut=180", ["cm", True]), (f"{page}?s=2", ["in", False])):
        driver.get(url)
        filled = driver.execute_script("return [document.querySelector('[name=unit]:checked').value,"
                                       " document.querySelector('[name=cut]').checked]")
        if (keys, driver.title[:6], filled) != ([page], "KELVOR", form):
            fail(f"offline {url}: cache {keys}, title {driver.title!r}, form {filled}")
    print("README link, phone layout, cancel, typed request, CSV, refusals, offline: as expected")
finally:
    driver.quit()
    server.shutdown()
