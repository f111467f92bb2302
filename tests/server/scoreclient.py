"""The game's way of talking to the score server, for the server's script
tests: the version request with its cookie, the encoded result, a server
started on a free loopback port."""
import http.client
import os
import re
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "realrun"))
from realrun import Failure, wait_until  # noqa: E402

ALPHABET = "ABCDEFGHJKLMNPQRSTUVWXY123456789"


def encode(payload: bytes) -> str:
    bits = "".join(format(b, "08b") for b in payload)
    while len(bits) % 5:
        bits = "0" + bits
    return "".join(ALPHABET[int(bits[i:i + 5], 2)] for i in range(0, len(bits), 5))


def payload(name: bytes, score: int, token: str, country: bytes) -> bytes:
    p = b"type=0|name=" + name + b"|score=" + str(score).encode() + b"|key=Z|p=" + token.encode() + \
        b"|add=" + country + b"|z="
    while len(p) % 5:
        p += b"0"
    return p


def get(port, path, cookie=None, source="127.0.0.1"):
    """One GET; returns (status, headers, body)."""
    c = http.client.HTTPConnection("127.0.0.1", port, timeout=30, source_address=(source, 0))
    headers = {"Cookie": "zsid=" + cookie} if cookie else {}
    c.request("GET", path, headers=headers)
    r = c.getresponse()
    body = r.read()
    c.close()
    return r.status, r.getheader("Set-Cookie") or "", body


def version(port, source="127.0.0.1"):
    """Returns (cookie, one-time value)."""
    status, cookie, body = get(port, "/cgi/version.pl?version&prg=Zephyrion", source=source)
    assert status == 200, f"version request answered {status}"
    sid = re.search(r"zsid=([0-9a-f]+)", cookie).group(1)
    return sid, body.decode().split("|")[4]


def submit(port, cookie, token, name, score, country=b"", source="127.0.0.1"):
    inf = encode(payload(name, score, token, country))
    return get(port, "/cgi/version.pl?hs&prg=Zephyrion&inf=" + inf, cookie=cookie, source=source)[0]


def start_server(program, db, *extra, log=None):
    """Starts a server on a free loopback port; returns (process, port)."""
    out = open(log, "w+") if log else subprocess.PIPE
    p = subprocess.Popen([program, "--port", "0", "--db", db, *extra], stdout=out, stderr=subprocess.STDOUT,
                         text=True)

    def ended():
        if p.poll() is not None:
            raise Failure(f"the server ended at start: {read_log(log)}")

    def serving():
        return re.search(r"serving on http://127\.0\.0\.1:(\d+)/", read_log(log))
    try:
        m = wait_until("the server to say it is serving", serving, timeout=60, alive=ended)
    except Failure:
        p.kill()
        raise
    return p, int(m.group(1))


def read_log(log):
    if log and os.path.exists(log):
        with open(log) as f:
            return f.read()
    return ""


def stop(p):
    if p and p.poll() is None:
        p.terminate()
        try:
            p.wait(30)
        except subprocess.TimeoutExpired:
            p.kill()
            p.wait()
