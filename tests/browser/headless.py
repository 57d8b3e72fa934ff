"""Headless Chromium for the page's test and benchmark: Debian's chromium
and chromium-driver, a fixed window, the console kept for reading."""
from selenium import webdriver
from selenium.webdriver.chrome.options import Options
from selenium.webdriver.chrome.service import Service


def browser():
    options = Options()
    for flag in ("--headless=new", "--no-sandbox", "--disable-gpu", "--window-size=1400,900",
                 "--disable-dev-shm-usage"):
        options.add_argument(flag)
    options.binary_location = "/usr/bin/chromium"
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
