#!/usr/bin/python3
"""How fast the page of `otcull view` loads and steps, in headless Chromium.

For each page given: the load (navigation start to the mark the page sets
once its data is read and its script has run and drawn), then the time of a step to
the next pass at the fit zoom, zoomed in 3.8 times and 14.5 times about
the plan's centre (where the benchmark session's camera is halfway), each the median of STEPS steps from the middle of the session.
A step is timed from the call to the drawn pixels: reading back one pixel
makes the canvas draw what it was told.

usage: bench/view_page_bench.py PAGE.html [PAGE.html ...]
"""
import pathlib
import statistics
import sys

from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "tests/browser"))
from headless import browser  # noqa: E402

LOADS = 3
STEPS = 10
ZOOMS = (("fit", 0), ("x3.8", 6), ("x14.5", 12))

STEP = """
const plan = document.getElementById('plan').getContext('2d');
const start = performance.now();
otcullView.goTo(arguments[0]);
plan.getImageData(0, 0, 1, 1);
return performance.now() - start;
"""
# A page that carries its data as plain JSON (otcull before the data was
# packed) is ready at the end of its load event.
READY = """
if (!document.getElementById('otcull-data-packed'))
  return document.readyState === 'complete' && performance.getEntriesByType('navigation')[0].loadEventEnd > 0;
return ['ready', 'failed'].includes(document.documentElement.dataset.otcull);
"""
LOAD = """
const ready = performance.getEntriesByName('otcull-ready')[0];
return ready ? ready.startTime : performance.getEntriesByType('navigation')[0].loadEventEnd;
"""


def measure(driver, page):
    loads = []
    for _ in range(LOADS):
        driver.get(page.as_uri())
        WebDriverWait(driver, 120).until(lambda d: d.execute_script(READY))
        loads.append(driver.execute_script(LOAD))
    passes = int(driver.find_element(By.ID, "pass-slider").get_attribute("max")) + 1
    print(f"{page.name}: {page.stat().st_size / 1e6:.1f} MB, {passes} passes, "
          f"load {statistics.median(loads) / 1000:.2f} s (of {LOADS})")
    for label, clicks in ZOOMS:
        driver.find_element(By.ID, "fit").click()
        for _ in range(clicks):
            driver.find_element(By.ID, "zoom-in").click()
        first = passes // 2
        driver.execute_script(STEP, first)
        times = [driver.execute_script(STEP, first + k) for k in range(1, min(STEPS + 1, passes - first))]
        if times:
            print(f"  step at {label}: median {statistics.median(times):.1f} ms, "
                  f"max {max(times):.1f} ms")


def main():
    driver = browser()
    try:
        for page in sys.argv[1:]:
            measure(driver, pathlib.Path(page).resolve())
    finally:
        driver.quit()


if __name__ == "__main__":
    main()
