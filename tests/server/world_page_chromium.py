#!/usr/bin/env python3
"""The world table page in a real browser: headless Chromium loads the page
from a server started here on loopback, and the rows, the paging, the country
filter and the search for a player's own place are checked in the browser's
DOM; screenshots (phone and desktop width) are kept in BUILD/server-artifacts.
  world_page_chromium.py BUILD_DIR
Exits 77 (skipped, with the reason) when Chromium is not installed."""
import datetime
import html.parser
import json
import os
import shutil
import subprocess
import sys
import tempfile
import urllib.parse

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


class Dom(html.parser.HTMLParser):
    """The parts of the page the checks read: the table's rows (cell texts and
    the row's class), the links by rel, the form's fields, the found line."""

    def __init__(self, text):
        super().__init__(convert_charrefs=True)
        self.rows, self.links, self.fields, self.options = [], {}, [], []
        self.found, self.tags = None, []
        self._in_tbody = self._cell = self._found = False
        self._row = None
        self.feed(text)

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        self.tags.append(tag)
        if tag == "tbody":
            self._in_tbody = True
        elif tag == "tr" and self._in_tbody:
            self._row = {"cells": [], "class": a.get("class", ""), "datetime": None}
        elif tag == "td" and self._row is not None:
            self._row["cells"].append("")
            self._cell = True
        elif tag == "time" and self._row is not None:
            self._row["datetime"] = a.get("datetime")
        elif tag == "a" and a.get("rel"):
            self.links[a["rel"]] = a.get("href")
        elif tag == "form":
            self.action = a.get("action")
        elif tag == "input":
            self.fields.append((a.get("name"), a.get("value", "")))
        elif tag == "option":
            self.options.append(a.get("value"))
        elif tag == "p" and a.get("id") == "found":
            self.found, self._found = "", True

    def handle_endtag(self, tag):
        if tag == "tbody":
            self._in_tbody = False
        elif tag == "tr" and self._row is not None:
            self.rows.append(self._row)
            self._row = None
        elif tag == "td":
            self._cell = False
        elif tag == "p":
            self._found = False

    def handle_data(self, data):
        if self._cell and self._row is not None:
            self._row["cells"][-1] += data
        if self._found:
            self.found += data


def chromium(*args):
    profile = tempfile.mkdtemp(prefix="zephyrion-chromium-")
    try:
        r = subprocess.run([CHROMIUM, "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
                            "--disable-background-networking", "--disable-component-update", "--disable-sync",
                            "--disable-extensions", "--no-proxy-server", f"--user-data-dir={profile}",
                            "--hide-scrollbars", *args],
                           capture_output=True, text=True, timeout=240)
    finally:
        shutil.rmtree(profile, ignore_errors=True)
    return r


def page(url, step):
    r = chromium("--dump-dom", url)
    if r.returncode != 0 or "<table" not in r.stdout:
        fail(f"{step}: Chromium did not show the page ({r.returncode}): {r.stderr[-400:]}")
    return Dom(r.stdout)


def shot(url, name, size):
    os.makedirs(ARTIFACTS, exist_ok=True)
    path = os.path.join(ARTIFACTS, name)
    if os.path.exists(path):
        os.remove(path)
    r = chromium(f"--screenshot={path}", f"--window-size={size}", url)
    if not os.path.exists(path) or os.path.getsize(path) < 1000:
        fail(f"no screenshot {name}: {r.stderr[-400:]}")
    print(f"screenshot: {path}")


def check_places(rows, first, step):
    places = [int(r["cells"][0]) for r in rows]
    if places != list(range(first, first + len(rows))):
        fail(f"{step}: places {places[:3]}... do not run from {first}")
    scores = [int(r["cells"][2]) for r in rows]
    if scores != sorted(scores, reverse=True):
        fail(f"{step}: scores are not best first")


folder = tempfile.mkdtemp(prefix="zephyrion-page-")
server = None
try:
    # The fixture is sent from one address: the per-client limits are lifted here.
    server, port = sc.start_server(SERVER, os.path.join(folder, "scores.db"), "--version-rate", "0",
                                   "--submit-rate", "0", "--page-rate", "0", log=os.path.join(folder, "server.log"))
    root = f"http://127.0.0.1:{port}"
    countries = [b"Norway", b"Deutschland", b"C\xf4te d'Ivoire", b""]
    sent = []
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
    today = datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%d")
    # Results sent without game records are unproved: shown when asked for, marked.
    table = f"{root}/cgi/version.pl?prg=Zephyrion&show&type=0&unverified=1"

    # The first page: the best 100, best first, each with its date.
    first = page(table, "the first page")
    if len(first.rows) != 100:
        fail(f"the first page shows {len(first.rows)} rows, not 100")
    check_places(first.rows, 1, "the first page")
    if first.rows[0]["cells"][1] != "P000" or first.rows[0]["cells"][2] != "100000":
        fail(f"the best result is not first: {first.rows[0]}")
    if not all((r["datetime"] or "").startswith(today) for r in first.rows):
        fail("a row has no date of today")
    if "prev" in first.links:
        fail("the first page offers a better page")
    markup = [r for r in first.rows if r["cells"][1] == "<b>x</b>"]
    if len(markup) != 1 or "b" in first.tags:
        fail("a name with markup is not shown as plain text")
    if first.rows[81]["cells"][3] != "Deutschland" or first.rows[82]["cells"][3] != "C\u00f4te d'Ivoire":
        fail(f"countries are not shown as sent: {first.rows[81]['cells']} {first.rows[82]['cells']}")

    # Paging: the next link leads to places 101..200, then 201..230.
    second = page(urllib.parse.urljoin(table, first.links["next"]), "the second page")
    if len(second.rows) != 100:
        fail(f"the second page shows {len(second.rows)} rows")
    check_places(second.rows, 101, "the second page")
    third = page(urllib.parse.urljoin(table, second.links["next"]), "the third page")
    check_places(third.rows, 201, "the third page")
    if len(third.rows) != 30 or "next" in third.links or "prev" not in third.links:
        fail(f"the last page shows {len(third.rows)} rows, links {third.links}")

    # The filter, as the form sends it: only Norway's results, placed among themselves.
    if "Norway" not in first.options:
        fail(f"the country list does not offer Norway: {first.options}")
    fields = [(k, v) for k, v in first.fields if k != "name"] + [("name", "")]
    query = urllib.parse.urlencode([(k, "Norway" if k == "country" else v) for k, v in fields] +
                                   [("country", "Norway")])
    norway = page(urllib.parse.urljoin(table, first.action) + "?" + query, "the filter")
    want = [s for s in sent if s[2] == b"Norway"]
    if len(norway.rows) != len(want) or any(r["cells"][3] != "Norway" for r in norway.rows):
        fail(f"the Norway filter shows {len(norway.rows)} rows, not the {len(want)} of Norway")
    check_places(norway.rows, 1, "the filter")

    # A player's own place: the name's page, its row marked.
    anna = page(table + "&name=ANNA", "the name search")
    mine = [r for r in anna.rows if "me" in r["class"].split()]
    if not anna.found or "81st place" not in anna.found or len(mine) != 1 or mine[0]["cells"][1] != "ANNA":
        fail(f"the name search did not find ANNA in 81st place: {anna.found!r} {mine}")
    nobody = page(table + "&name=NOBODY", "a name without results")
    if "No result" not in (nobody.found or ""):
        fail(f"an unknown name gets {nobody.found!r}")

    # The JSON list holds the same rows.
    status, _, body = sc.get(port, "/scores.json?country=Norway&unverified=1")
    listed = json.loads(body)
    if status != 200 or [(r["place"], r["name"], str(r["score"])) for r in listed["results"]] != \
            [(int(r["cells"][0]), r["cells"][1], r["cells"][2]) for r in norway.rows]:
        fail("the JSON list differs from the page")
    if listed["results"][0]["verified"] is not False or listed["total"] != len(want):
        fail(f"the JSON list's fields are wrong: {listed['results'][0]}")

    shot(table + "&name=ANNA", "world-page-phone.png", "390,844")
    shot(table, "world-page-desktop.png", "1024,900")
finally:
    sc.stop(server)
    shutil.rmtree(folder, ignore_errors=True)
print("passed")
