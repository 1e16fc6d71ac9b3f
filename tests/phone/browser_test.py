#!/usr/bin/python3
"""A real browser on the phone page: headless Chromium gives a name, searches, orders two
songs, and sees the queue change by itself when the song playing ends.

    browser_test.py HOST_PROGRAM [--screenshots DIR]

HOST_PROGRAM is phone_page_host. With --screenshots, the name prompt, the search results
and the queue are saved at 390x844 as phone-*.png. Fails when Chromium or Selenium is missing: scripts/install-deps.sh installs them."""
import os
import shutil
import subprocess
import sys
import tempfile
import time

CHROMEDRIVER = "/usr/bin/chromedriver"


def browser():
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service

    options = webdriver.ChromeOptions()
    # Without these Chromium is refused by a sandbox without network namespaces, or talks
    # to the internet the room may not have.
    for flag in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 "--disable-dev-shm-usage", "--window-size=390,844", "--force-device-scale-factor=1",
                 "--lang=zh-TW"):
        options.add_argument(flag)
    options.add_argument("--user-data-dir=" + tempfile.mkdtemp(prefix="karaoke-chromium-"))
    page = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
    # The screen of a phone 390 px wide, whatever the window around it.
    page.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                         {"width": 390, "height": 844, "deviceScaleFactor": 1, "mobile": True})
    return page


def wait_for(what, condition, seconds=5.0):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        try:
            if condition():
                return
        except Exception:  # the page is still drawing: look again
            pass
        time.sleep(0.05)
    raise AssertionError("waited %.1f s for: %s" % (seconds, what))


def text(page, css):
    return page.find_element("css selector", css).text


def run(host_program, shots):
    host = subprocess.Popen([host_program], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    page = None
    try:
        url = host.stdout.readline().strip()
        assert url.startswith("http://127.0.0.1:"), "the host gave no address: %r" % url
        page = browser()
        page.get(url)

        wait_for("the name prompt", lambda: page.find_element("id", "nameDialog").is_displayed())
        shot(page, shots, "phone-name-prompt")
        page.find_element("id", "nameInput").send_keys("王小明")
        page.find_element("css selector", "#nameForm button[type=submit]").click()
        wait_for("the name beside the title", lambda: text(page, "#me") == "王小明")

        for title in ("晴天", "七里香"):
            box = page.find_element("id", "q")
            box.clear()
            box.send_keys(title[0])
            wait_for("results for " + title, lambda: title in text(page, "#results"))
            if title == "晴天":
                shot(page, shots, "phone-search")
            for item in page.find_elements("css selector", "#results li"):
                if item.find_element("css selector", "b").text == title:
                    item.find_element("css selector", "button.order").click()
                    break
            wait_for("the order of " + title, lambda: text(page, "#toast") == "已點歌: " + title)

        page.find_element("css selector", "#tabs button[data-tab=queue]").click()
        wait_for("the queue", lambda: "晴天" in text(page, "#now") and "七里香" in text(page, "#waiting"))
        assert "王小明 點的" in text(page, "#waiting")
        assert text(page, "#count") == "1"
        shot(page, shots, "phone-queue")

        host.stdin.write("end\n")
        host.stdin.flush()
        wait_for("the queue to follow the song's end", lambda: "七里香" in text(page, "#now")
                 and text(page, "#waiting") == "", seconds=1.0)
        errors = [e for e in page.get_log("browser") if e["level"] == "SEVERE"]
        assert not errors, errors
        print("browser test: searched, ordered two songs, followed the queue live")
    finally:
        if page:
            page.quit()
        host.stdin.close()
        host.wait(10)


def shot(page, folder, name):
    if folder:
        page.save_screenshot(os.path.join(folder, name + ".png"))


def main():
    args = sys.argv[1:]
    shots = None
    if "--screenshots" in args:
        shots = args[args.index("--screenshots") + 1]
        os.makedirs(shots, exist_ok=True)
    try:
        import selenium  # noqa: F401
    except ImportError:
        print("python3-selenium is missing (scripts/install-deps.sh installs it)")
        return 1
    if not os.path.exists(CHROMEDRIVER) or not shutil.which("chromium"):
        print("chromium or chromium-driver is missing (scripts/install-deps.sh installs them)")
        return 1
    run(args[0], shots)
    return 0


if __name__ == "__main__":
    sys.exit(main())
