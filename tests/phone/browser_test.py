#!/usr/bin/python3
"""A real browser on the phone page: headless Chromium gives a name, searches, orders two
songs, and sees the queue change by itself when the song playing ends; a guest named like
markup is shown as typed; a page of another site (another port) that the guest's browser
opens cannot order through it, by a form or by a script.

    browser_test.py HOST_PROGRAM [--screenshots DIR]

HOST_PROGRAM is phone_page_host. With --screenshots, the name prompt, the search results
and the queue are saved at 390x844 as phone-*.png. Fails when Chromium or Selenium is missing: scripts/install-deps.sh installs them."""
import http.server
import json
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import urllib.request

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

        # A guest whose name looks like markup sees it as typed.
        name = "<img src=/dev/zero>"
        page.find_element("id", "me").click()
        box = page.find_element("id", "nameInput")
        box.clear()
        box.send_keys(name)
        page.find_element("css selector", "#nameForm button[type=submit]").click()
        page.find_element("css selector", "#tabs button[data-tab=search]").click()
        box = page.find_element("id", "q")
        box.clear()
        box.send_keys("稻")
        wait_for("results for 稻香", lambda: "稻香" in text(page, "#results"))
        page.find_element("css selector", "#results li button.order").click()
        page.find_element("css selector", "#tabs button[data-tab=queue]").click()
        wait_for("the markup-like name in the queue", lambda: name + " 點的" in text(page, "#waiting"))

        charts(page, url, shots)
        another_site(page, url)
        print("browser test: searched, ordered, followed the queue live; a name as typed; the charts listed and "
              "ordered from; another site refused")
    finally:
        if page:
            page.quit()
        host.stdin.close()
        host.wait(10)


def charts(page, url, shots):
    """The 熱門 tab lists the charts as the server counts them, and orders from them; the songs
    sung show their scores."""
    with urllib.request.urlopen(url + "api/charts?period=1") as answer:
        expected = [song["title"] for song in json.load(answer)["songs"]]
    assert expected, "the host has a history"
    page.find_element("css selector", "#tabs button[data-tab=charts]").click()
    titles = lambda: [e.text for e in page.find_elements("css selector", "#chartsList li b")]
    wait_for("the charts of the last 30 days", lambda: titles() == expected)
    shot(page, shots, "phone-charts")
    first = page.find_element("css selector", "#chartsList li")
    first.find_element("css selector", "button.order").click()
    wait_for("the order from the charts", lambda: text(page, "#toast").startswith("已點歌: " + expected[0]))
    with urllib.request.urlopen(url + "api/queue") as answer:
        assert expected[0] in [song["title"] for song in json.load(answer)["songs"]]
    page.find_element("css selector", "#chartsPath button[data-period='3']").click()
    wait_for("the songs sung, the last with its score", lambda: "得分 88" in text(page, "#chartsList li:first-child"))
    assert "得分" not in text(page, "#chartsList li:nth-child(2)"), "a song without a score shows none"
    shot(page, shots, "phone-sung")


# A page of another site: a plain form (no script needed) and scripts that post to the
# jukebox as text and as JSON, through the guest's browser that holds the jukebox's address.
ANOTHER_SITE = """<!doctype html><meta charset="utf-8"><title>another site</title>
<form id="f" method="POST" action="%(api)sorder" enctype="text/plain">
<input name='{"num":"100004","name":"form","phone":"anothersiteform0001","x":"' value='"}'></form>
<script>
const order = (num, type) => fetch('%(api)sorder', {method: 'POST', mode: 'no-cors',
  headers: {'Content-Type': type}, body: JSON.stringify({num, name: 'script', phone: 'anothersitescript001'})});
Promise.allSettled([order('100005', 'text/plain'), order('100007', 'application/json')])
  .then(() => { document.title = 'tried'; document.getElementById('f').submit(); });
</script>"""


def another_site(page, url):
    api = url + "api/"
    body = (ANOTHER_SITE % {"api": api}).encode()

    class Handler(http.server.BaseHTTPRequestHandler):
        def do_GET(self):
            self.send_response(200)
            self.send_header("Content-Type", "text/html; charset=utf-8")
            self.end_headers()
            self.wfile.write(body)

        def log_message(self, *args):
            pass

    server = http.server.HTTPServer(("127.0.0.1", 0), Handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    try:
        page.get("http://127.0.0.1:%d/" % server.server_port)
        wait_for("the other site's scripts", lambda: page.title == "tried" or "127.0.0.1:%d" % server.server_port
                 not in page.current_url)
        time.sleep(1.0)  # the form's post, after the scripts
        with urllib.request.urlopen(api + "queue") as answer:
            queued = [song["num"] for song in json.load(answer)["songs"]]
        for number in ("100004", "100005", "100007"):
            assert number not in queued, "another site ordered %s through the browser: %s" % (number, queued)
    finally:
        server.shutdown()


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
