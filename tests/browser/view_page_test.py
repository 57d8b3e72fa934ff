#!/usr/bin/python3
"""The page of `otcull view` in a real browser (headless Chromium).

Opens the page of every example script and of the demo; checks that none
logs a console error; moves the slider to a chosen pass and reads back the
camera zone and the objects shown, which must be what `otcull explain` and
the demo print for that pass; clicks a node on the plan and reads its
explanation; checks the events, a node's history strip, a search that
leads to another floor and the banner of a script error; leaves
screenshots in the output folder, among them a 100,000-node session at the
fit zoom and zoomed in.

usage: view_page_test.py OTCULL SOURCE_DIR OUTPUT_DIR
"""
import pathlib
import re
import subprocess
import sys
import unittest

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import Select, WebDriverWait

from headless import browser

OTCULL, SOURCE, OUT = (pathlib.Path(a).resolve() for a in sys.argv[1:4])
DEMO_FRAMES = 120


def run(*args):
    return subprocess.run([str(OTCULL), *args], check=True, capture_output=True, text=True).stdout


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
        WebDriverWait(self.driver, 60).until(
            lambda d: d.execute_script("return document.documentElement.dataset.otcull") in ("ready", "failed"))
        errors = [e for e in self.driver.get_log("browser") if e["level"] == "SEVERE"]
        self.assertEqual(errors, [], f"console errors on {page.name}")

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def script_page(self, name, text):
        script = OUT / (name + ".otc")
        script.write_text(text)
        page = OUT / (name + ".html")
        subprocess.run([str(OTCULL), "view", str(script), "-o", str(page)], capture_output=True)
        return script, page

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


    def test_demo_events_lead_to_their_flickers(self):
        page = OUT / "demo-events.html"
        run("demo", "--html", str(page))
        self.open(page)
        events = self.text("events").splitlines()
        flickers = {(int(m[1]), m[2]) for m in (re.match(r"pass (\d+): flicker - (\S+) ", e) for e in events) if m}
        self.assertEqual(flickers, {(163, "n472"), (176, "n214"), (176, "n475"), (449, "n657")})
        link = next(a for a in self.driver.find_elements(By.CSS_SELECTOR, "#events a")
                    if a.find_element(By.XPATH, "..").text.startswith("pass 176: flicker - n475"))
        link.click()
        self.assertTrue(self.text("pass-number").startswith("pass 176 of"))
        self.assertEqual(self.text("inspect-title"), "node n475")

    # The history strip follows the name, as explain --node does, through a
    # delete and a new node of the same name; a script error shows as a banner.
    def test_history_strip_follows_the_name(self):
        house = (SOURCE / "examples/house.otc").read_text()
        script, page = self.script_page("history", house + "OT_Delete(bed)\nOT_CullAll()\n"
                                        "bed = OT_CreateBox(kitchen, 7, 0, 1,  8, 1, 2)\nOT_CullAll()\n"
                                        "OT_Nonsense(bed)\n")
        self.open(page)
        explained = subprocess.run([str(OTCULL), "explain", str(script), "--node", "bed"],
                                   capture_output=True, text=True).stdout
        said = [line.split(": ")[1].split(" -")[0] for line in explained.splitlines() if line.startswith("  bed: ")]
        words = {"shown": "shown", "hidden": "hidden", "names no live node": "not live"}
        self.assertEqual(self.js("return otcullView.historyWords('bed')"), [words[w] for w in said])
        self.driver.find_element(By.ID, "search").send_keys("bed", Keys.ENTER)
        self.assertEqual(self.text("history-caption"), "shown at 3 of 5 passes, live at 4, 1 flip")
        self.assertRegex(self.text("banner"), r"history\.otc line \d+: ")

    def test_search_brings_a_node_on_another_floor_into_sight(self):
        page = OUT / "demo-search.html"
        run("demo", "--frames", "20", "--html", str(page))
        self.open(page)
        for _ in range(6):
            self.driver.find_element(By.ID, "zoom-in").click()
        self.assertEqual(self.text("camera-zone").split("_")[0], "upper")
        self.assertIsNone(self.on_canvas("ground_r0c7"))
        self.driver.find_element(By.ID, "search").send_keys("ground_r0c7", Keys.ENTER)
        self.assertEqual(self.text("inspect-title"), "node ground_r0c7")
        self.assertEqual(Select(self.driver.find_element(By.ID, "floor")).first_selected_option.text[:7], "floor 1")
        self.assertIsNotNone(self.on_canvas("ground_r0c7"))

    # Where the named node's centre is drawn, if on the canvas and on the floor shown.
    def on_canvas(self, name):
        point = self.js("return otcullView.screenPointOf(arguments[0])", name)
        plan = self.driver.find_element(By.ID, "plan")
        inside = point and 0 <= point["x"] < plan.size["width"] and 0 <= point["y"] < plan.size["height"]
        return point if inside else None

    def test_a_session_of_100000_nodes_at_fit_and_zoomed_in(self):
        session = OUT / "rooms-100k.otc"
        with session.open("w") as out:
            subprocess.run([sys.executable, str(SOURCE / "scripts/make_view_session.py"), "50", "38", "1000", "12"],
                           stdout=out, check=True)
        page = OUT / "rooms-100k.html"
        run("view", str(session), "-o", str(page))
        self.open(page)
        self.driver.save_screenshot(str(OUT / "rooms-100k-fit.png"))
        self.driver.find_element(By.ID, "search").send_keys(self.text("camera-zone"), Keys.ENTER)
        for _ in range(3):
            self.driver.find_element(By.ID, "zoom-in").click()
        self.driver.save_screenshot(str(OUT / "rooms-100k-zoomed.png"))
        self.assertEqual(self.driver.get_log("browser"), [])


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
