#!/usr/bin/env python3
"""The world table page in a real browser: headless Chromium, driven over its
DevTools pipe, loads the page from a server started here on loopback; the
rows, the paging (by clicking its links), the country filter and the search
for a player's own place (by filling in and sending the form) are checked in
the browser's DOM, and at a phone's width the page must fit the screen with
the game's face and title art loaded. Every page's HTML is checked by tidy.
Screenshots (phone and desktop width) are kept in BUILD/server-artifacts.
  world_page_chromium.py BUILD_DIR
Exits 77 (skipped, with the reason) when Chromium or tidy is not installed."""
import base64
import datetime
import json
import os
import select
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import scoreclient as sc  # noqa: E402

BUILD = os.path.abspath(sys.argv[1])
SERVER = os.path.join(BUILD, "server", "zephyrion-scores")
ARTIFACTS = os.path.join(BUILD, "server-artifacts")


def fail(why):
    print(f"FAILED: {why}")
    sys.exit(1)


CHROMIUM = shutil.which("chromium") or shutil.which("chromium-browser")
if not CHROMIUM:
    print("SKIPPED: no Chromium (Debian package chromium) to load the world page in")
    sys.exit(77)
TIDY = shutil.which("tidy")
if not TIDY:
    print("SKIPPED: no tidy (Debian package tidy) to check the world page's HTML")
    sys.exit(77)


class Browser:
    """Headless Chromium over --remote-debugging-pipe: commands go in on its
    fd 3, answers and events come out on its fd 4, each a JSON text ended by
    a zero byte. One page, attached as a flat session."""

    def __init__(self):
        self.profile = tempfile.mkdtemp(prefix="zephyrion-chromium-")
        to_r, to_w = os.pipe()
        from_r, from_w = os.pipe()

        def fds():
            a, b = os.dup(to_r), os.dup(from_w)  # out of the way of 3 and 4 first
            os.dup2(a, 3)
            os.dup2(b, 4)
        self.log_path = os.path.join(self.profile, "chromium.log")
        self.log = open(self.log_path, "w")
        self.process = subprocess.Popen(
            [CHROMIUM, "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run", "--remote-debugging-pipe",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--disable-extensions", "--no-proxy-server", "--hide-scrollbars", f"--user-data-dir={self.profile}",
             "about:blank"],
            preexec_fn=fds, close_fds=False, stdin=subprocess.DEVNULL, stdout=self.log, stderr=subprocess.STDOUT)
        os.close(to_r)
        os.close(from_w)
        self.out, self.inp = to_w, from_r
        self.buffer, self.events, self.next_id = b"", [], 0
        self.session = None
        page = next(t for t in self.call("Target.getTargets")["targetInfos"] if t["type"] == "page")
        self.session = self.call("Target.attachToTarget", targetId=page["targetId"], flatten=True)["sessionId"]
        self.call("Page.enable")

    def _send(self, method, params):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params}
        if self.session and not method.startswith(("Target.", "Browser.")):
            message["sessionId"] = self.session
        os.write(self.out, json.dumps(message).encode() + b"\0")
        return self.next_id

    def _read(self, deadline):
        while b"\0" not in self.buffer:
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self.inp], [], [], left)[0]:
                fail("Chromium did not answer within the time limit" + self.said())
            chunk = os.read(self.inp, 1 << 20)
            if not chunk:
                fail("Chromium ended" + self.said())
            self.buffer += chunk
        text, self.buffer = self.buffer.split(b"\0", 1)
        return json.loads(text)

    def said(self):
        with open(self.log_path, errors="replace") as f:
            return ":\n" + f.read()[-1500:]

    def call(self, method, **params):
        wanted = self._send(method, params)
        deadline = time.monotonic() + 120
        while True:
            m = self._read(deadline)
            if m.get("id") == wanted:
                if "error" in m:
                    fail(f"{method}: {m['error']}")
                return m.get("result", {})
            if "method" in m:
                self.events.append(m["method"])

    def wait_load(self):
        deadline = time.monotonic() + 120
        while "Page.loadEventFired" not in self.events:
            m = self._read(deadline)
            if "method" in m:
                self.events.append(m["method"])

    def js(self, expression):
        r = self.call("Runtime.evaluate", expression=expression, returnByValue=True, awaitPromise=True)
        if "exceptionDetails" in r:
            fail(f"in the page: {expression[:80]}...: {r['exceptionDetails']}")
        return r["result"].get("value")

    def go(self, url):
        self.events.clear()
        self.call("Page.navigate", url=url)
        self.wait_load()

    def act(self, expression):
        """Runs an action that leaves the page (a click, a form sent) and waits for the next page."""
        self.events.clear()
        self.js(expression)
        self.wait_load()
        return self.js("location.href")

    def size(self, width, height, mobile):
        self.call("Emulation.setDeviceMetricsOverride", width=width, height=height, deviceScaleFactor=1,
                  mobile=mobile)

    def screenshot(self, name):
        os.makedirs(ARTIFACTS, exist_ok=True)
        path = os.path.join(ARTIFACTS, name)
        with open(path, "wb") as f:
            f.write(base64.b64decode(self.call("Page.captureScreenshot", format="png")["data"]))
        print(f"screenshot: {path}")

    def close(self):
        try:
            self._send("Browser.close", {})
            self.process.wait(30)
        except Exception:
            self.process.kill()
            self.process.wait()
        os.close(self.out)
        os.close(self.inp)
        self.log.close()
        shutil.rmtree(self.profile, ignore_errors=True)


# The table as the browser has it: each row's cells, its class, its date.
ROWS = """[...document.querySelectorAll('#scores tbody tr')].map(tr => ({
    cells: [...tr.cells].map(td => td.textContent),
    cls: tr.className,
    datetime: tr.querySelector('time') ? tr.querySelector('time').getAttribute('datetime') : null}))"""


def rows_of(browser):
    return browser.js(ROWS)


def check_places(rows, first, step):
    places = [int(r["cells"][0]) for r in rows]
    if places != list(range(first, first + len(rows))):
        fail(f"{step}: places {places[:3]}... do not run from {first}")
    scores = [int(r["cells"][2]) for r in rows]
    if scores != sorted(scores, reverse=True):
        fail(f"{step}: scores are not best first")


def check_html(port, path, step):
    """The page as served is valid HTML: tidy finds nothing to say."""
    status, _, body = sc.get(port, path)
    if status != 200:
        fail(f"{step}: {path} answered {status}")
    r = subprocess.run([TIDY, "-q", "-e", "-utf8", "--show-warnings", "yes", "-"], input=body, capture_output=True,
                       timeout=60)
    said = (r.stdout + r.stderr).decode(errors="replace").strip()
    if r.returncode != 0 or said:
        fail(f"{step}: tidy finds the HTML of {path} wanting:\n" + "\n".join(said.splitlines()[:20]))


folder = tempfile.mkdtemp(prefix="zephyrion-page-")
server = browser = None
try:
    # The fixture is sent from one address: the per-client limits are lifted here.
    server, port = sc.start_server(SERVER, os.path.join(folder, "scores.db"), "--version-rate", "0",
                                   "--submit-rate", "0", "--page-rate", "0", log=os.path.join(folder, "server.log"))
    root = f"http://127.0.0.1:{port}"
    countries = [b"Norway", b"Deutschland", b"C\xf4te d'Ivoire", b""]
    sent = []
    # The results are stored today, or yesterday when midnight falls while they are sent.
    first_day = datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%d")
    for i in range(230):
        name = b"P%03d" % i
        if i == 80:
            name = b"ANNA"
        if i == 81:
            name = b"<b>x</b>"
        score = 100000 - i * 37
        country = countries[i % 4]
        cookie, token = sc.version(port)
        if sc.submit(port, cookie, token, name, score, country) != 200:
            fail(f"result {i} was not stored")
        sent.append((name, score, country))
    days = (first_day, datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%d"))
    # Results sent without game records are unproved: shown when asked for, marked.
    path = "/cgi/version.pl?prg=Zephyrion&show&type=0&unverified=1"
    table = root + path

    # Valid HTML, whatever the view.
    for view, step in ((path, "the first page"), (path + "&page=3", "the last page"),
                       (path + "&country=C%C3%B4te+d%27Ivoire&name=ANNA", "a filter and a name"),
                       (path + "&name=%3Cb%3Ex%3C%2Fb%3E", "a name with markup"),
                       (path + "&name=NOBODY", "a name without results"), ("/", "the home page")):
        check_html(port, view, step)

    browser = Browser()
    browser.size(1024, 900, False)

    # The first page: the best 100, best first, each with its date.
    browser.go(table)
    first = rows_of(browser)
    if len(first) != 100:
        fail(f"the first page shows {len(first)} rows, not 100")
    check_places(first, 1, "the first page")
    if first[0]["cells"][1] != "P000" or first[0]["cells"][2] != "100000":
        fail(f"the best result is not first: {first[0]}")
    if not all((r["datetime"] or "")[:10] in days and r["cells"][4][:10] == r["datetime"][:10] for r in first):
        fail(f"a row does not show the day its result was stored ({' or '.join(sorted(set(days)))})")
    if browser.js("document.querySelector('a[rel=prev]') !== null"):
        fail("the first page offers a better page")
    if [r["cells"][1] for r in first].count("<b>x</b>") != 1 or browser.js("document.querySelectorAll('b').length"):
        fail("a name with markup is not shown as plain text")
    if first[81]["cells"][3] != "Deutschland" or first[82]["cells"][3] != "C\u00f4te d'Ivoire":
        fail(f"countries are not shown as sent: {first[81]['cells']} {first[82]['cells']}")

    # Paging, by clicking: the next link leads to places 101..200, then 201..230, and back.
    browser.act("document.querySelector('a[rel=next]').click()")
    second = rows_of(browser)
    if len(second) != 100:
        fail(f"the second page shows {len(second)} rows")
    check_places(second, 101, "the second page")
    browser.act("document.querySelector('a[rel=next]').click()")
    third = rows_of(browser)
    check_places(third, 201, "the third page")
    links = browser.js("[...document.querySelectorAll('a[rel]')].map(a => a.rel)")
    if len(third) != 30 or links != ["prev"]:
        fail(f"the last page shows {len(third)} rows, links {links}")
    if "Page 3 of 3" not in browser.js("document.getElementById('pageno').textContent"):
        fail("the last page does not say it is page 3 of 3")
    browser.act("document.querySelector('a[rel=prev]').click()")
    check_places(rows_of(browser), 101, "back to the second page")

    # The filter, by choosing a country and sending the form: only Norway's
    # results, placed among themselves.
    browser.go(table)
    if "Norway" not in browser.js("[...document.querySelectorAll('select[name=country] option')].map(o => o.value)"):
        fail("the country list does not offer Norway")
    browser.act("document.querySelector('select[name=country]').value = 'Norway';"
                "document.querySelector('#filter button').click()")
    norway = rows_of(browser)
    want = [s for s in sent if s[2] == b"Norway"]
    if len(norway) != len(want) or any(r["cells"][3] != "Norway" for r in norway):
        fail(f"the Norway filter shows {len(norway)} rows, not the {len(want)} of Norway")
    check_places(norway, 1, "the filter")
    if browser.js("document.querySelector('select[name=country]').value") != "Norway":
        fail("the filtered page does not keep Norway chosen")

    # A player's own place, by typing the name: the name's page, its row marked.
    browser.go(table)
    browser.act("document.querySelector('input[name=name]').value = 'ANNA';"
                "document.querySelector('#filter button').click()")
    anna = rows_of(browser)
    found = browser.js("(document.getElementById('found') || {}).textContent")
    mine = [r for r in anna if "me" in r["cls"].split()]
    if not found or "81st place" not in found or len(mine) != 1 or mine[0]["cells"][1] != "ANNA":
        fail(f"the name search did not find ANNA in 81st place: {found!r} {mine}")
    shown = browser.js("location.hash === '#me' && (r => r.top >= 0 && r.bottom <= innerHeight)("
                       "document.getElementById('me').getBoundingClientRect())")
    if not shown:
        fail("the name search does not bring the player's own row into view")
    browser.go(table + "&name=NOBODY")
    if "No result" not in (browser.js("(document.getElementById('found') || {}).textContent") or ""):
        fail("an unknown name is not told so")

    # The JSON list holds the same rows.
    browser.go(table + "&country=Norway")
    norway = rows_of(browser)
    status, _, body = sc.get(port, "/scores.json?country=Norway&unverified=1")
    listed = json.loads(body)
    if status != 200 or [(r["place"], r["name"], str(r["score"]), r["date"]) for r in listed["results"]] != \
            [(int(r["cells"][0]), r["cells"][1], r["cells"][2], r["datetime"]) for r in norway]:
        fail("the JSON list differs from the page")
    if listed["results"][0]["verified"] is not False or listed["total"] != len(want):
        fail(f"the JSON list's fields are wrong: {listed['results'][0]}")

    # The game's look: black, green text, its face and its title art loaded.
    look = browser.js("""document.fonts.ready.then(() => ({
        background: getComputedStyle(document.documentElement).backgroundColor,
        color: getComputedStyle(document.querySelector('#scores td')).color,
        face: [...document.fonts].some(f => f.family.includes('ZephyrionPlay') && f.status === 'loaded'),
        title: document.querySelector('h1 img').complete && document.querySelector('h1 img').naturalWidth}))""")
    rgb = [int(v) for v in look["color"][look["color"].index("(") + 1:-1].split(",")[:3]]
    if look["background"] != "rgb(0, 0, 0)" or not (rgb[1] > 2 * max(rgb[0], rgb[2], 20)) or not look["face"] \
            or not look["title"]:
        fail(f"the page does not have the game's look: {look}")
    browser.screenshot("world-page-desktop.png")

    # On a phone: the page is laid out for the screen's width (no sideways
    # scrolling, text at a readable size), and every row's date is on screen.
    browser.size(390, 844, True)
    browser.go(table + "&name=ANNA#me")
    phone = browser.js("""({
        width: innerWidth,
        scroll: document.documentElement.scrollWidth,
        text: parseFloat(getComputedStyle(document.querySelector('#scores td')).fontSize),
        dates: [...document.querySelectorAll('#scores time')].every(t => {
            const r = t.getBoundingClientRect(); return r.width > 0 && r.right <= innerWidth; }),
        form: document.getElementById('filter').getBoundingClientRect().right <= innerWidth})""")
    if phone["width"] != 390 or phone["scroll"] > 390 or phone["text"] < 12 or not phone["dates"] \
            or not phone["form"]:
        fail(f"the page does not fit a phone: {phone}")
    browser.screenshot("world-page-phone.png")
finally:
    if browser:
        browser.close()
    sc.stop(server)
    shutil.rmtree(folder, ignore_errors=True)
print("passed")
