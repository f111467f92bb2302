#!/usr/bin/env python3
"""Two score servers on one PostgreSQL database, as behind a load balancer:
a one-time value given by one is good once at the other; the same value sent
to both at the same moment is stored once; 1,000 results sent through both
at once are each stored exactly once.

PostgreSQL runs from Debian's package in a temporary folder, as an ordinary
user (it refuses root: as root, it runs as 'nobody' or 'postgres'), listening
only on a socket in that folder.
  postgres_two_servers.py BUILD_DIR
Exits 77 (skipped, with the reason and PostgreSQL's own words) when PostgreSQL
is not installed or cannot be started here."""
import glob
import os
import pwd
import shutil
import subprocess
import sys
import tempfile
import threading

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import scoreclient as sc  # noqa: E402

BUILD = os.path.abspath(sys.argv[1])
SERVER = os.path.join(BUILD, "server", "zephyrion-scores")
LOAD = os.path.join(BUILD, "server", "zephyrion-scores-load")


def skip(why):
    print(f"SKIPPED: {why}")
    sys.exit(77)


def fail(why):
    print(f"FAILED: {why}")
    sys.exit(1)


bins = sorted(glob.glob("/usr/lib/postgresql/*/bin/initdb"))
if not bins:
    skip("no PostgreSQL server (Debian package postgresql: /usr/lib/postgresql/*/bin/initdb not found)")
BIN = os.path.dirname(bins[-1])

as_user = []
if os.geteuid() == 0:
    # PostgreSQL will not run as root: it runs as a system user that owns
    # its folder, in /tmp where any user may reach it.
    users = [u for u in ("nobody", "postgres") if u in {p.pw_name for p in pwd.getpwall()}]
    if not users:
        skip("running as root and there is neither 'nobody' nor 'postgres' to run PostgreSQL as")
    if not shutil.which("runuser"):
        skip("running as root and there is no runuser (util-linux) to run PostgreSQL as another user")
    nobody = pwd.getpwnam(users[0])
    as_user = ["runuser", "-u", users[0], "--"]
folder = tempfile.mkdtemp(prefix="zephyrion-pg-", dir="/tmp" if as_user else None)
os.chmod(folder, 0o755)
data, sock = os.path.join(folder, "data"), os.path.join(folder, "sock")
os.mkdir(sock)
if as_user:
    os.chown(sock, nobody.pw_uid, nobody.pw_gid)
    os.chown(folder, nobody.pw_uid, nobody.pw_gid)
PORT = 5432 + os.getpid() % 20000  # names the socket file only: no TCP at all

servers = []
started = False


def run(cmd, what, or_skip=False):
    r = subprocess.run(as_user + cmd, capture_output=True, text=True, timeout=300)
    if r.returncode != 0:
        why = f"{what} ({' '.join(as_user + cmd[:1])}): {r.stdout}{r.stderr}"
        if or_skip:
            log = os.path.join(folder, "postgres.log")
            if os.path.exists(log):
                with open(log, errors="replace") as f:
                    why += "\n" + f.read()[-1500:]
            skip(f"PostgreSQL cannot be started here: {why.strip()}")
        fail(why)
    return r.stdout


try:
    run([f"{BIN}/initdb", "-D", data, "-A", "trust", "-U", "zephyrion", "--no-sync", "-E", "UTF8"],
        "making its data folder", or_skip=True)
    started = True  # from here on, stopped at the end whatever happens
    run([f"{BIN}/pg_ctl", "-D", data, "-l", os.path.join(folder, "postgres.log"), "-w", "-t", "120", "-o",
         f"-k {sock} -p {PORT} -c listen_addresses='' -c fsync=off -c max_connections=60", "start"],
        "starting it", or_skip=True)
    for db in ("tokens", "load", "rows"):
        run([f"{BIN}/psql", "-h", sock, "-p", str(PORT), "-U", "zephyrion", "-d", "postgres", "-q", "-c",
             f"CREATE DATABASE {db}"], f"creating database {db}")

    def address(db):
        return f"postgresql:///{db}?host={sock}&port={PORT}&user=zephyrion"

    # 1. A value given by one server is good once, at either.
    for i in range(2):
        p, port = sc.start_server(SERVER, address("tokens"), log=os.path.join(folder, f"tokens{i}.log"))
        servers.append((p, port))
    (_, a), (_, b) = servers
    cookie, token = sc.version(a)
    if sc.submit(b, cookie, token, b"CROSS", 4321, b"Norway") != 200:
        fail("a value given by server A was refused by server B")
    for port, name in ((b, "B"), (a, "A")):
        status = sc.submit(port, cookie, token, b"CROSS", 4321, b"Norway")
        if status != 403:
            fail(f"a spent value was taken again by server {name} (status {status})")
    print("a value given by one server is taken once by the other and refused after, at both")

    # The same value at both servers at the same moment: stored once.
    races, doubles, nones = 40, 0, 0
    for i in range(races):
        # Each race from its own address, under the per-client limits.
        source = f"127.2.0.{i + 1}"
        cookie, token = sc.version(a if i % 2 else b, source=source)
        barrier = threading.Barrier(4)
        got = []

        def send(port):
            barrier.wait()
            got.append(sc.submit(port, cookie, token, b"RACE", 100000 + i, source=source))
        threads = [threading.Thread(target=send, args=(port,)) for port in (a, b, a, b)]
        for t in threads:
            t.start()
        for t in threads:
            t.join()
        accepted = got.count(200)
        doubles += accepted > 1
        nones += accepted == 0
    rows = run([f"{BIN}/psql", "-h", sock, "-p", str(PORT), "-U", "zephyrion", "-d", "tokens", "-At", "-c",
                "SELECT count(*) FROM results WHERE name = 'RACE'::bytea"], "counting")
    if doubles or nones or int(rows) != races:
        fail(f"{races} values each sent four times at once to two servers: {doubles} taken more than once, "
             f"{nones} never, {rows.strip()} rows")
    print(f"{races} values each sent four times at once through two servers: each stored once")
    for p, _ in servers:
        sc.stop(p)
    servers.clear()

    # 2. 1,000 results through both servers at once.
    for i in range(2):
        servers.append(sc.start_server(SERVER, address("load"), log=os.path.join(folder, f"load{i}.log")))
    (_, a), (_, b) = servers
    r = subprocess.run([LOAD, "--port", str(a), "--port2", str(b), "--count", "1000", "--clients", "16"],
                       capture_output=True, text=True, timeout=600)
    print(r.stdout.strip())
    if r.returncode != 0:
        fail("not every result was accepted: " + r.stderr)
    r = subprocess.run([LOAD, "--verify", address("load"), "--count", "1000"], capture_output=True, text=True,
                       timeout=120)
    print(r.stdout.strip())
    if r.returncode != 0:
        fail("the table does not hold each result exactly once " + r.stderr)

    # 3. The table's own cases (pages, filter, places, retention), as on SQLite.
    tests = os.path.join(BUILD, "tests", "test_server")
    r = subprocess.run([tests, "--gtest_filter=WorldTable*"], capture_output=True, text=True, timeout=300,
                       env=dict(os.environ, ZEPHYRION_TEST_POSTGRES=address("rows")))
    if r.returncode != 0:
        fail("the table's cases fail on PostgreSQL:\n" + r.stdout[-3000:])
    passed = [line for line in r.stdout.splitlines() if line.startswith("[  PASSED  ]")]
    print("the table's cases hold on PostgreSQL: " + (passed[-1] if passed else "?"))
finally:
    for p, _ in servers:
        sc.stop(p)
    if started:
        subprocess.run(as_user + [f"{BIN}/pg_ctl", "-D", data, "-m", "fast", "-w", "stop"], capture_output=True)
    shutil.rmtree(folder, ignore_errors=True)
print("passed")
