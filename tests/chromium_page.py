#!/usr/bin/env python3
"""Opens one address in headless Chromium as a person would: fills in and
submits the sign-in form when the page shows it and an account is given,
then records what the page shows (address, title, text) as one JSON line of
OUT/pages.jsonl and keeps a screenshot of each page beside it."""
import argparse
import json
import pathlib
import re
import shutil
import tempfile

from selenium import webdriver
from selenium.common.exceptions import NoSuchElementException
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support import expected_conditions
from selenium.webdriver.support.ui import WebDriverWait

FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--window-size=1900,600"]


def start_chromium(profile):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for flag in FLAGS + ["--user-data-dir=" + profile]:
        options.add_argument(flag)
    # Debian's driver, named so that nothing is looked for elsewhere.
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


def slug(text):
    return re.sub(r"[^a-z0-9]+", "-", text.lower()).strip("-") or "page"


def record(driver, out, shots):
    """Screenshot and one JSON line for the page shown now."""
    lines = out / "pages.jsonl"
    number = len(lines.read_text().splitlines()) + 1 if lines.exists() else 1
    title = driver.title
    screenshot = out / ("%02d-%s.png" % (number, slug(title)))
    driver.save_screenshot(str(screenshot))
    page = {"address": driver.current_url, "title": title,
            "text": driver.find_element(By.TAG_NAME, "body").text,
            "screenshot": screenshot.name, "before": shots}
    with lines.open("a") as f:
        f.write(json.dumps(page) + "\n")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--out", required=True, type=pathlib.Path)
    parser.add_argument("--email")
    parser.add_argument("--password")
    parser.add_argument("address")
    args = parser.parse_args()
    args.out.mkdir(parents=True, exist_ok=True)

    profile = tempfile.mkdtemp(prefix="chromium-profile-")
    driver = start_chromium(profile)
    try:
        driver.get(args.address)
        shots = []
        if args.email is not None:
            try:
                form = driver.find_element(By.ID, "signin")
            except NoSuchElementException:
                form = None
            if form is not None:
                form.find_element(By.NAME, "email").clear()
                form.find_element(By.NAME, "email").send_keys(args.email)
                form.find_element(By.NAME, "password").send_keys(args.password)
                shot = args.out / ("sign-in-form-%s.png" % slug(args.email))
                driver.save_screenshot(str(shot))
                shots.append(shot.name)
                form.find_element(By.CSS_SELECTOR, "button[type=submit]").click()
                WebDriverWait(driver, 20).until(expected_conditions.staleness_of(form))
                WebDriverWait(driver, 20).until(
                    lambda d: d.execute_script("return document.readyState") == "complete")
        record(driver, args.out, shots)
    finally:
        driver.quit()
        shutil.rmtree(profile, ignore_errors=True)


if __name__ == "__main__":
    main()
