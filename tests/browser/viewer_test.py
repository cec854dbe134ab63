#!/usr/bin/env python3
"""The exported 360-degree viewer in a real browser.

Makes the photos of a turn, exports them with zentrivo-spin, opens the
viewer's index.html from the disk in headless Chromium and checks what a
visitor meets: every frame loads, the object turns on its own until the
first touch, and a mouse drag, a touch swipe and the arrow keys turn it the
right way round, wrapping from the last frame to the first. A screenshot is
left in the output folder.

Usage: viewer_test.py SAMPLE_PHOTOS ZENTRIVO_SPIN OUTPUT_FOLDER
"""
import pathlib
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77
FRAMES = 24
WIDTH = 240  # the frames' long edge and the viewer's width in the page

# The machine's Chromium runs without a sandbox or a GPU, and must not try
# the network.
CHROMIUM_FLAGS = [
    "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    "--window-size=800,600",
]


def main():
    sample_photos, zentrivo_spin, output = sys.argv[1:4]
    try:
        from selenium import webdriver
        from selenium.webdriver.chrome.service import Service
    except ImportError:
        print("SKIP: Selenium for Python (python3-selenium) is not installed")
        return SKIP
    chromium = shutil.which("chromium") or shutil.which("chromium-browser")
    driver = shutil.which("chromedriver")
    if not chromium or not driver:
        print("SKIP: Chromium and its driver (chromium, chromium-driver) are not installed")
        return SKIP

    work = pathlib.Path(output)
    shutil.rmtree(work, ignore_errors=True)
    photos = work / "photos"
    view = work / "360° view"
    subprocess.run([sample_photos, str(photos), "--count", str(FRAMES), "--size", "480x320"],
                   check=True)
    subprocess.run([zentrivo_spin, str(photos), str(view), "--size", str(WIDTH), "--turn", "2",
                    "--formats", "html", "--quiet"], check=True, stdout=subprocess.DEVNULL)

    profile = tempfile.mkdtemp(prefix="zentrivo-chromium-")
    options = webdriver.ChromeOptions()
    options.binary_location = chromium
    for flag in CHROMIUM_FLAGS + ["--user-data-dir=" + profile]:
        options.add_argument(flag)
    browser = webdriver.Chrome(service=Service(executable_path=driver), options=options)
    try:
        check_viewer(browser, view / "index.html", work / "viewer.png")
    finally:
        browser.quit()
        shutil.rmtree(profile, ignore_errors=True)
    return 0


def check_viewer(browser, page, screenshot):
    from selenium.webdriver.common.action_chains import ActionChains
    from selenium.webdriver.common.actions import interaction
    from selenium.webdriver.common.actions.action_builder import ActionBuilder
    from selenium.webdriver.common.actions.pointer_input import PointerInput
    from selenium.webdriver.common.by import By
    from selenium.webdriver.common.keys import Keys
    from selenium.webdriver.support.ui import WebDriverWait

    browser.get(page.as_uri())
    viewer = browser.find_element(By.CSS_SELECTOR, ".spin")
    WebDriverWait(browser, 30).until(lambda _: viewer.get_attribute("aria-busy") == "false")
    status = browser.find_element(By.CSS_SELECTOR, ".spin .status")
    assert status.get_attribute("textContent") == f"Loading {FRAMES} of {FRAMES}", \
        status.get_attribute("textContent")

    def shown():
        """The frame a screen reader announces, checked against the picture.

        Read in one go: the autoplay may move on between two reads."""
        number, source, text = browser.execute_script(
            "const v = arguments[0];"
            "return [Number(v.getAttribute('aria-valuenow')), v.querySelector('img').src,"
            " v.getAttribute('aria-valuetext')];", viewer)
        assert source.endswith(f"/frames/{number}.jpg"), f"frame {number} shows {source}"
        assert text == f"Frame {number} of {FRAMES}", text
        return number

    def turned(start, frames):
        return (start - 1 + frames) % FRAMES + 1

    # Left alone, it turns by itself.
    WebDriverWait(browser, 15).until(lambda _: shown() != 1)

    # Grabbing it stops that for good; dragging the width of the picture
    # turns it once round, to the right forwards.
    step = viewer.size["width"] / FRAMES
    assert viewer.size["width"] == WIDTH, viewer.size
    ActionChains(browser).move_to_element(viewer).click_and_hold().perform()
    start = shown()
    time.sleep(0.5)  # six frames' time of the autoplay
    assert shown() == start, "the autoplay went on after the viewer was grabbed"
    ActionChains(browser).move_by_offset(round(3 * step), 0).perform()
    assert shown() == turned(start, 3), (start, shown())
    ActionChains(browser).move_by_offset(round(-10 * step), 0).perform()
    assert shown() == turned(start, -7), (start, shown())
    browser.save_screenshot(str(screenshot))
    ActionChains(browser).release().perform()
    time.sleep(0.5)
    assert shown() == turned(start, -7), "the autoplay came back after the drag"

    # The drag gave it the keyboard: the arrows turn it at once, with no Tab
    # to it first. The keys go wherever the focus is, as a user's do.
    assert browser.switch_to.active_element == viewer, "the drag did not focus the viewer"
    ActionChains(browser).send_keys(Keys.ARROW_RIGHT, Keys.ARROW_RIGHT).perform()
    assert shown() == turned(start, -5), ("keys after the drag", start, shown())

    # A finger's swipe to the left turns it back.
    before = shown()
    finger = PointerInput(interaction.POINTER_TOUCH, "finger")
    swipe = ActionBuilder(browser, mouse=finger)
    swipe.pointer_action.move_to(viewer).pointer_down()
    swipe.pointer_action.move_by(round(-5 * step), 0).pointer_up()
    swipe.perform()
    assert shown() == turned(before, -5), (before, shown())

    # The keys, wrapping round both ways.
    viewer.send_keys(Keys.HOME)
    assert shown() == 1
    viewer.send_keys(Keys.ARROW_LEFT)
    assert shown() == FRAMES, "left from the first frame must wrap to the last"
    viewer.send_keys(Keys.ARROW_RIGHT)
    assert shown() == 1, "right from the last frame must wrap to the first"
    viewer.send_keys(Keys.ARROW_RIGHT, Keys.ARROW_RIGHT, Keys.ARROW_UP)
    assert shown() == 4
    viewer.send_keys(Keys.END, Keys.ARROW_DOWN)
    assert shown() == FRAMES - 1
    print(f"Screenshot of the viewer while dragged: {screenshot}")


if __name__ == "__main__":
    sys.exit(main())
