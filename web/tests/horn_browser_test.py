"""The page's "Horn as built" in headless Chromium: a link with a horn computes it, its S11 and
cross-polar peak at a frequency are the native mode-matching values (kelvor.asbuilt on the same
float-read inputs), its DXF, section CSV and .cut downloads are the native ones, a short
optimisation gives the native optimiser's horn (kelvor.asbuilt.optimise on the same request), and
Cancel stops an optimisation and a band, the page computing again after. Saves screenshots at
390 px and desktop width."""
import csv
import inspect
import re
import sys
import tempfile
import time
from pathlib import Path

import webtest

a = webtest.arguments(extra=("--screenshot",))
webtest.require(["/usr/bin/chromium", "/usr/bin/chromedriver"], a.page_dir)
if not a.python_path:
    print("SKIPPED: no Python module to compute the native horn")
    sys.exit(webtest.SKIP)
sys.path.insert(0, a.python_path)
import numpy as np  # noqa: E402
from kelvor import _kelvor, asbuilt  # noqa: E402
try:
    from selenium import webdriver
    from selenium.webdriver.chrome.options import Options
    from selenium.webdriver.chrome.service import Service
except ImportError:
    print("SKIPPED: not installed: python3-selenium (scripts/install-deps installs it)")
    sys.exit(webtest.SKIP)

# The page reads typed numbers as floats; the native horn is built from the same values.
BAND = tuple(float(np.float32(f)) for f in (10.7, 12.75))
horn = asbuilt.synthesise(BAND, aperture=60, slant=200, unit="mm")
f12 = np.asarray(_kelvor.asbuilt_band_frequencies(*BAND, 41))[12:13]
native = _kelvor.asbuilt_analyse_band(horn.sections, f12)
# A short optimisation (3 frequencies, at most 10 evaluations: about 2 s natively) that improves
# the start (-30.82 dB S11, its cross-polar peak -30.82 dB) without meeting the targets, so
# that it runs to its limit.
OPTIMISE = "&hopt=1&hoptfreq=3&hopteval=10"
optimised = asbuilt.optimise(horn, frequencies=3, max_evaluations=10)
optimised_band = _kelvor.asbuilt_analyse_band(optimised.horn.sections, f12)
# The page's defaults are the program's: its optimiser's frequencies and evaluation limit.
DEFAULTS = {k: v.default for k, v in inspect.signature(asbuilt.optimise).parameters.items()}
# Counts refused in their fields, and (None) counts taken: the optimisation starts.
COUNTS = [("202", "", "hoptfreq", "give a whole number from 1 to 201"),
          ("2.5", "", "hoptfreq", "give a whole number from 1 to 201"),
          ("", "100001", "hopteval", "give a whole number from 1 to 100000"),
          ("", "0", "hopteval", "give a whole number from 1 to 100000"),
          ("2", "100000", None, "Optimising: evaluation 2 of at most 100000 (2 frequencies), "),
          ("", "", None, f"Optimising: evaluation 2 of at most {DEFAULTS['max_evaluations']} "
                         f"({DEFAULTS['frequencies']} frequencies), ")]
# The same COBYLA on the same figures: the browser's libm moves only the last digits (1e-9 dB).
OPTIMISED_DB = 1e-6

# How a computation ends (its status); an empty status is the page before any.
ENDS = ("The computation failed", "Nothing computed", "No pattern at", "Done.", "Cancelled.")
CANCEL_AT = """const [text, ends, done] = arguments, status = document.getElementById('horn-status');
    new MutationObserver((_, observer) => {
      const now = status.textContent;
      if (!now.startsWith(text) && ends.some((end) => now.startsWith(end))) {
        observer.disconnect();
        return done(now);
      }
      if (!now.startsWith(text)) return;
      observer.disconnect();
      const cancel = document.getElementById('horn-cancel');
      if (cancel.hidden) return done('Cancel is hidden while computing');
      cancel.click();
      done(status.textContent);
    }).observe(status, { childList: true, characterData: true, subtree: true });
    document.getElementById('horn-compute').click();"""


def fail(message):
    sys.exit(f"FAILED: {message}")


def wait(driver, element_id, prefix, seconds):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        status = driver.find_element("id", element_id).get_attribute("textContent")
        if status.startswith(prefix):
            return
        if status.startswith(ENDS):  # the computation ended otherwise: no later status will come
            fail(f"{element_id} is {status!r}, expected {prefix!r}")
        if errors := webtest.page_errors(driver):
            fail(f"the page threw {errors} at {element_id} {status!r}")
        time.sleep(0.1)
    fail(f"{element_id} stayed {status!r}, expected {prefix!r}")


def downloaded(folder, name):
    path = Path(folder) / name
    for _ in range(100):
        if path.exists() and path.stat().st_size:
            return path.read_text()
        time.sleep(0.05)
    fail(f"{name} was not downloaded")


downloads = tempfile.TemporaryDirectory()
options = Options()
options.binary_location = "/usr/bin/chromium"
for arg in ("--headless=new", "--no-sandbox", "--disable-gpu", "--window-size=1200,1000"):
    options.add_argument(arg)
server = webtest.serve(a.page_dir)
driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
try:
    driver.execute_cdp_cmd("Page.setDownloadBehavior",
                           {"behavior": "allow", "downloadPath": downloads.name})
    webtest.catch_errors(driver)
    page = f"http://127.0.0.1:{server.server_port}/index.html"
    driver.get(f"{page}?hband=10.7:12.75&haperture=60&hslant=200")
    wait(driver, "horn-status", "Done.", 100)
    optimise_box = [driver.find_element("id", "hopt").is_selected()]
    band = driver.execute_script("const d = plots['horn-band'].data; return [d[1][12], d[2][12]];")
    if np.max(np.abs(np.subtract(band, [native["s11_db"][0], native["xpol_peak_db"][0]]))) > 1e-9:
        fail(f"S11, cross-polar peak at {f12[0]} GHz: page {band}, native {native}")
    # The drawn wall, (z, top - r) in mm: each section a step of its radius.
    wall = driver.find_element("css selector", "#horn-profile path").get_attribute("d")
    z = np.cumsum(np.concatenate([[0], horn.sections[:, 0]])) * 1e3
    r = np.repeat(horn.sections[:, 1] * 1e3, 2)
    want = np.column_stack([np.repeat(z, 2)[1:-1], r.max() - r])
    if not np.allclose(np.asarray(re.findall(r"[-\d.e]+", wall), float).reshape(-1, 2), want):
        fail(f"the drawn wall is not the profile: {wall[:80]}")
    driver.find_element("id", "horn-dxf").click()
    if downloaded(downloads.name, "kelvor-horn.dxf") != asbuilt.dxf(horn):
        fail("the page's DXF is not the native profile's")
    driver.find_element("id", "horn-cut").click()
    f = sum(BAND) / 2  # no hfreq: the band's centre; the browser's libm: the last digits differ
    cuts = [downloaded(downloads.name, "kelvor-horn.cut"),
            _kelvor.asbuilt_cut(horn.sections, f, 1.0, f"KELVOR horn {f:g} GHz")]
    numbers = [np.asarray(re.findall(r"\S*E[+-]\d+", c), float) for c in cuts]
    if (cuts[0].count("KELVOR horn 11.725 GHz") != 3 or numbers[0].shape != numbers[1].shape
            or not np.allclose(*numbers, rtol=1e-12, atol=1e-12)):
        fail("the page's .cut file is not the native far field's")
    # The plotted cuts (dB to the largest co-polar level): E co, H co, 45-degree cross.
    fields = numbers[1].reshape(3, -1)[:, 3:].reshape(3, 181, 2, 2)[:, :91]
    with np.errstate(divide="ignore"):  # no cross-polar field on the axis: a gap in the plot
        power = 10 * np.log10(fields[..., 0] ** 2 + fields[..., 1] ** 2)
    want = [power[0, :, 0], power[2, :, 0], power[1, :, 1]] - power[..., 0].max()
    drawn = np.asarray(driver.execute_script(
        "return plots['horn-cuts'].data.slice(1).map((c) => Array.from(c))"), float)
    if not np.allclose(drawn, np.where(np.isfinite(want), want, np.nan), atol=1e-6, equal_nan=True):
        fail(f"the drawn cuts are not the native far field's: {np.max(np.abs(drawn - want))}")
    # Every figure's abscissa is labelled with numbers (GHz, degrees), not as dates or times.
    ticks = driver.execute_script("return Object.values(plots).map((u) => u.axes[0]._values)")
    if not all(t and all(re.fullmatch(r"-?[\d.,]+", v) for v in t) for t in ticks):
        fail(f"an abscissa is not labelled with numbers: {ticks}")
    driver.find_element("id", "horn-csv").click()
    rows = list(csv.reader(downloaded(downloads.name, "kelvor-horn.csv").splitlines()))
    if not np.allclose(np.asarray(rows[1:], float) * 1e-3, horn.sections, rtol=1e-15, atol=0):
        fail(f"the section CSV is not the native profile: {rows[:3]}")
    if leaked := webtest.leaked_urls(driver):
        fail(f"object URLs never revoked: {leaked}")
    # The optimised horn's link: its figures, and the band analysed on its geometry, are native.
    driver.get(f"{page}?hband=10.7:12.75&haperture=60&hslant=200{OPTIMISE}")
    wait(driver, "horn-status", "Done.", 100)
    got = driver.execute_script("return hornOptimised")
    if optimise_box + [driver.find_element("id", "hopt").is_selected()] != [False, True]:
        fail("the links do not set the optimisation's box as they ask")
    opt_band = driver.execute_script("const d = plots['horn-band'].data; return [d[1][12], d[2][12]];")
    errors = np.abs(np.subtract(
        [got["start"]["s11Db"], got["best"]["s11Db"], got["best"]["xpolDb"], *opt_band],
        [optimised.start_s11_db, optimised.s11_db, optimised.xpol_db,
         optimised_band["s11_db"][0], optimised_band["xpol_peak_db"][0]]))
    if (np.max(errors) > OPTIMISED_DB or got["evaluations"] != optimised.evaluations
            or not got["best"]["s11Db"] < got["start"]["s11Db"]):
        fail(f"optimised: page {got} {opt_band}, native {optimised}")
    summary = re.sub(r"\(\d+\.\d s\)", "(s)", driver.find_element("id", "horn-summary").text)
    want = (f"Optimised over 3 frequencies in 10 evaluations (s): worst S11 "
            f"{optimised.start_s11_db:.2f} dB to {optimised.s11_db:.2f} dB, cross-polar peak "
            f"{optimised.start_xpol_db:.2f} dB to {optimised.xpol_db:.2f} dB; targets (S11 "
            f"{DEFAULTS['s11_target_db']:.2f} dB, cross-polar {DEFAULTS['xpol_target_db']:.2f} dB) "
            "not met.")
    lead = f"{len(optimised.horn.corrugations)} slots, pitch {optimised.horn.pitch_m * 1e3:.3f} mm"
    if not (summary.startswith(lead) and summary.endswith(want)):
        fail(f"the summary {summary!r} is not {lead!r} ... {want!r}")
    if OPTIMISE not in driver.find_element("id", "horn-link").get_attribute("href"):
        fail("the link does not keep the optimisation")
    Path(a.screenshot).parent.mkdir(parents=True, exist_ok=True)
    for width, name in ((1200, a.screenshot), (390, a.screenshot.replace(".png", "-390.png"))):
        driver.set_window_size(width, 1000)
        driver.execute_script("document.getElementById('horn-section').scrollIntoView()")
        driver.save_screenshot(name)
    # A worker that throws (its source made to here) ends the computation with the error shown.
    source = driver.execute_script(webtest.SWAP_TEXT, "horn-worker-source",
                                   "hornRun(core, event.data)", "hornRun(core, null)")
    driver.find_element("id", "horn-compute").click()
    wait(driver, "horn-status", "The computation failed: ", 60)
    if not source or "of null" not in driver.find_element("id", "horn-status").text:
        fail("a worker that throws did not end the computation with its error: " + driver.find_element("id", "horn-status").text)
    driver.execute_script("document.getElementById('horn-worker-source').textContent = arguments[0]",
                          source)
    # Each count refused in its field; taken, the optimisation cancelled at its second evaluation.
    driver.set_script_timeout(100)
    for freqs, evaluations, field, text in COUNTS:
        driver.execute_script("[hoptfreq.value, hopteval.value] = arguments", freqs, evaluations)
        if field:
            driver.find_element("id", "horn-compute").click()
            wait(driver, "horn-status", "Nothing computed", 60)
            shown = driver.find_element("id", f"{field}-error").get_attribute("textContent")
        else:
            shown = driver.execute_async_script(CANCEL_AT, text, ENDS)
        if shown != (text if field else "Cancelled."):
            fail(f"counts {freqs!r}, {evaluations!r}: {shown!r}, expected {text!r}")
    # Cancel at the last frequency's progress: before the worker's next message.
    driver.execute_script("document.getElementById('hopt').click()")
    if driver.execute_async_script(CANCEL_AT, "Analysing: frequency 41 of 41", ENDS) != "Cancelled.":
        fail("Cancel at frequency 41 of 41 did not cancel")
    if (driver.execute_script("return hornOptimised") is not None
            or driver.find_element("id", "horn-link").is_displayed()):
        fail("a horn not optimised kept the last optimisation's figures or link")
    print(f"horn link: S11 {band[0]:.12f} dB as native, DXF, CSV and .cut as native; optimised: "
          f"{got['start']['s11Db']:.6f} to {got['best']['s11Db']:.6f} dB in "
          f"{got['evaluations']} evaluations, {np.max(errors):.1e} dB from native; "
          "cancel: as expected")
finally:
    driver.quit()
    server.shutdown()
