#!/usr/bin/env python3
"""A pupil answers the survey page in headless Chromium while `tremlow collect` serves it; the saved
project must then hold exactly the choices the pupil picked, and nobody else's choices may change.
Exits 77 (skipped) when Chromium, its driver or Selenium is missing."""

import argparse
import csv
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile

SKIP = 77


def choices(path, section, invest_id):
    """The (from, to) pairs of an investigation in a choice section of a project file."""
    text = open(path, encoding="utf-8-sig", errors="replace").read()
    body = text.split("[" + section + "]", 1)[1].split("\n[", 1)[0]
    rows = {}
    for line in body.splitlines():
        m = re.match(r"(\w+?)_(INVID|FROM|TO)_(\d+)=(-?\d+)", line.strip())
        if m:
            rows.setdefault(int(m.group(3)), {})[m.group(2)] = int(m.group(4))
    return sorted((r["FROM"], r["TO"]) for r in rows.values() if r.get("INVID") == invest_id)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--tremlow", required=True)
    parser.add_argument("--project", required=True)
    parser.add_argument("--screenshots", help="folder for pictures of the page on a phone-sized screen")
    args = parser.parse_args()

    try:
        from selenium import webdriver
        from selenium.webdriver.chrome.service import Service
        from selenium.webdriver.common.by import By
        from selenium.webdriver.support import expected_conditions as ready
        from selenium.webdriver.support.ui import WebDriverWait
    except ImportError:
        print("SKIPPED: python3-selenium is not installed")
        return SKIP
    browser = shutil.which("chromium") or shutil.which("chromium-browser")
    driver_path = shutil.which("chromedriver")
    if not browser or not driver_path:
        print("SKIPPED: chromium or chromium-driver is not installed")
        return SKIP

    work = tempfile.mkdtemp(prefix="tremlow-survey-")
    collect = None
    driver = None
    try:
        project = os.path.join(work, "class.soi")
        original = open(args.project, encoding="utf-8", errors="surrogateescape").read()
        # A name with markup must show as typed, never as markup.
        open(project, "w", encoding="utf-8", errors="surrogateescape").write(
            original.replace("CLIENT_FULLNAM_2=Ben Carter", "CLIENT_FULLNAM_2=<i>Ben</i> Carter"))
        before_for = choices(project, "FOR", 1)
        before_against = choices(project, "AGAINST", 1)
        codes_path = os.path.join(work, "codes.csv")
        collect = subprocess.Popen(
            [args.tremlow, "collect", project, "--investigation", "1", "--listen", "127.0.0.1",
             "--port", "0", "--codes-out", codes_path, "--for", "2"],
            stdout=subprocess.PIPE, text=True)
        address = None
        for line in collect.stdout:
            if line.startswith("Address: "):
                address = line.split(" ", 1)[1].strip()
                break
        if not address:
            print("FAILED: tremlow collect printed no address")
            return 1
        codes = {int(row["client_id"]): (row["name"], row["code"]) for row in csv.DictReader(open(codes_path))}
        assert len(codes) == 16, codes

        options = webdriver.ChromeOptions()
        options.binary_location = browser
        for flag in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
                     "--disable-component-update", "--disable-sync", "--no-first-run",
                     "--user-data-dir=" + os.path.join(work, "profile"), "--window-size=390,844"):
            options.add_argument(flag)
        driver = webdriver.Chrome(service=Service(driver_path), options=options)
        wait = WebDriverWait(driver, 15)
        driver.get(address)
        if args.screenshots:
            driver.save_screenshot(os.path.join(args.screenshots, "survey-phone-code.png"))

        # A wrong code is refused on the page.
        driver.find_element(By.ID, "code").send_keys("AAAAA-AAAAA")
        driver.find_element(By.ID, "start").click()
        wait.until(ready.visibility_of_element_located((By.ID, "error")))

        alice_name, alice_code = codes[1]
        field = driver.find_element(By.ID, "code")
        field.clear()
        field.send_keys(alice_code.lower())
        driver.find_element(By.ID, "start").click()
        wait.until(ready.visibility_of_element_located((By.ID, "choice-step")))
        assert alice_name in driver.find_element(By.ID, "greeting").text
        labels = driver.find_elements(By.CSS_SELECTOR, "#members label")
        names = [label.text for label in labels]
        assert alice_name not in names, names
        assert len(names) == 15, names
        assert "<i>Ben</i> Carter" in names, names
        assert not driver.find_elements(By.CSS_SELECTOR, "#members i")

        def box(client_id):
            return driver.find_element(By.CSS_SELECTOR, '#members input[value="%d"]' % client_id)

        for client_id in (2, 5, 9):
            box(client_id).click()
        # Three positive choices are allowed: the rest of the list is closed.
        assert not box(4).is_enabled()
        if args.screenshots:
            driver.save_screenshot(os.path.join(args.screenshots, "survey-phone-choices.png"))
        driver.find_element(By.ID, "next").click()
        # The negative step: the positively chosen cannot be chosen again.
        wait.until(lambda d: not box(2).is_enabled())
        box(12).click()
        driver.find_element(By.ID, "next").click()
        wait.until(ready.visibility_of_element_located((By.ID, "thanks-step")))
        if args.screenshots:
            driver.save_screenshot(os.path.join(args.screenshots, "survey-phone-thanks.png"))

        collect.send_signal(signal.SIGTERM)
        summary = collect.stdout.read()
        if collect.wait(timeout=30) != 0:
            print("FAILED: tremlow collect ended with", collect.returncode, summary)
            return 1
        after_for = choices(project, "FOR", 1)
        after_against = choices(project, "AGAINST", 1)
        expected_for = sorted([c for c in before_for if c[0] != 1] + [(1, 2), (1, 5), (1, 9)])
        expected_against = sorted([c for c in before_against if c[0] != 1] + [(1, 12)])
        assert after_for == expected_for, (after_for, expected_for)
        assert after_against == expected_against, (after_against, expected_against)
        print("PASSED:", summary.strip())
        return 0
    finally:
        if driver:
            driver.quit()
        if collect and collect.poll() is None:
            collect.kill()
            collect.wait()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
