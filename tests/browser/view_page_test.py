#!/usr/bin/python3
"""The page of `otcull view` in a real browser (headless Chromium).

Opens the page of every example script and of the demo; checks that none
logs a console error; moves the slider to a chosen pass and reads back the
camera zone and the objects shown, which must be what `otcull explain` and
the demo print for that pass; clicks a node on the plan and reads its
explanation; leaves screenshots in the output folder.

usage: view_page_test.py OTCULL SOURCE_DIR OUTPUT_DIR
"""
import pathlib
import subprocess
import sys
import unittest

from selenium import webdriver
from selenium.webdriver.chrome.options import Options
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

OTCULL, SOURCE, OUT = (pathlib.Path(a).resolve() for a in sys.argv[1:4])
DEMO_FRAMES = 120


def run(*args):
    return subprocess.run([str(OTCULL), *args], check=True, capture_output=True, text=True).stdout


def browser():
    options = Options()
    for flag in ("--headless=new", "--no-sandbox", "--disable-gpu", "--window-size=1400,900",
                 "--disable-dev-shm-usage"):
        options.add_argument(flag)
    options.binary_location = "/usr/bin/chromium"
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


class ViewPage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        OUT.mkdir(parents=True, exist_ok=True)
        cls.driver = browser()

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()

    def open(self, page):
        self.driver.get(page.as_uri())
        self.driver.find_element(By.ID, "pass-number")
        errors = [e for e in self.driver.get_log("browser") if e["level"] == "SEVERE"]
        self.assertEqual(errors, [], f"console errors on {page.name}")

    def text(self, element_id):
        return self.driver.find_element(By.ID, element_id).text

    def click_node(self, name):
        point = self.driver.execute_script("return otcullView.screenPointOf(arguments[0])", name)
        self.assertIsNotNone(point, f"{name} is not drawn")
        plan = self.driver.find_element(By.ID, "plan")
        ActionChains(self.driver).move_to_element_with_offset(
            plan, point["x"] - plan.size["width"] / 2, point["y"] - plan.size["height"] / 2
        ).click().perform()

    def test_every_example_opens_without_errors(self):
        for script in sorted((SOURCE / "examples").glob("*.otc")):
            page = OUT / (script.stem + ".html")
            run("view", str(script), "-o", str(page))
            with self.subTest(script=script.name):
                self.open(page)
                self.assertTrue(self.text("pass-number").startswith("pass 1 of"))

    def test_house_slider_and_a_clicked_node(self):
        page = OUT / "house.html"
        run("view", str(SOURCE / "examples/house.otc"), "-o", str(page))
        self.open(page)
        slider = self.driver.find_element(By.ID, "pass-slider")
        slider.send_keys(Keys.RIGHT, Keys.RIGHT)
        self.assertEqual(self.text("pass-number"), "pass 3 of 3")
        self.assertEqual(self.text("pass-line"), "45")
        self.assertEqual(self.text("camera-zone"), "bedroom")
        self.assertEqual(self.text("shown-count"), "3")  # the table, the bed, its headboard
        self.click_node("bed")
        explained = run("explain", str(SOURCE / "examples/house.otc"), "--node", "bed")
        self.assertEqual(self.text("explain"), explained.splitlines()[-1].strip())
        self.driver.save_screenshot(str(OUT / "house.png"))
        self.driver.find_element(By.TAG_NAME, "body").send_keys(Keys.LEFT)
        self.assertEqual(self.text("pass-number"), "pass 2 of 3")
        self.assertEqual(self.text("explain"), explained.splitlines()[-3].strip())

    def test_demo_matches_what_the_demo_prints(self):
        page = OUT / "demo.html"
        printed = run("demo", "--frames", str(DEMO_FRAMES), "--every", "1", "--html", str(page))
        frames = {}
        for line in printed.splitlines():
            words = line.split()
            if len(words) >= 6 and words[0].isdigit():
                frames[int(words[0])] = (" ".join(words[1:-5]), words[-5])
        self.open(page)
        for frame in (0, 47, DEMO_FRAMES - 1):
            self.driver.execute_script(
                "const s = document.getElementById('pass-slider');"
                "s.value = arguments[0]; s.dispatchEvent(new Event('input'));", frame)
            zone, shown = frames[frame]
            self.assertEqual(self.text("camera-zone").replace("_", " "), zone)
            self.assertEqual(self.text("shown-count"), shown)
            self.assertEqual(self.driver.get_log("browser"), [])
        self.driver.save_screenshot(str(OUT / "demo-last-frame.png"))
        self.driver.execute_script(
            "const s = document.getElementById('pass-slider');"
            "s.value = 47; s.dispatchEvent(new Event('input'));")
        zone = self.text("camera-zone")
        search = self.driver.find_element(By.ID, "search")
        search.send_keys(zone, Keys.ENTER)
        self.assertTrue(self.text("explain").startswith(zone + ": shown - the camera zone"))
        # A room next door that stayed dark, and why.
        search.clear()
        search.send_keys("ground_r3c2", Keys.ENTER)
        self.assertTrue(self.text("explain").startswith("ground_r3c2: hidden - "))
        # Small enough for the README (docs/otcull-view.png is this picture).
        self.driver.set_window_size(1180, 740)
        self.driver.find_element(By.ID, "fit").click()
        self.driver.save_screenshot(str(OUT / "demo.png"))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
