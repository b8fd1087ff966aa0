#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# The web panel against hostile peers, over plain sockets: another site's page and another
# host name are refused, wrong PINs are counted whatever else the address asks, oversized
# requests are refused without the service growing, idle connections are closed, a switch's
# address without its slash is redirected, pages per address are capped, and HTTPS (with a
# certificate made here) serves the page and its socket. Usage: service_web_guard.py VARNOKD
# VARNOK_SIM
import base64, json, os, re, resource, socket, ssl, subprocess, sys, tempfile, time

varnokd, sim_path = sys.argv[1:3]
work = tempfile.mkdtemp(prefix="varnok-guard-")
procs = []
passes, failures = [], []


def check(ok, what):
    print(("PASS: " if ok else "FAIL: ") + what)
    (passes if ok else failures).append(what)


def start_sim():
    sim = subprocess.Popen([sim_path, "--listen", "127.0.0.1:0"], stdout=subprocess.PIPE,
                           stderr=subprocess.DEVNULL, text=True)
    procs.append(sim)
    return int(re.search(r":(\d+)$", sim.stdout.readline().strip()).group(1))


def start_service(name, web, descriptors=None):
    for switch in ("a", "b"):
        os.makedirs(os.path.join(work, name, switch), exist_ok=True)
    config = os.path.join(work, name + ".conf")
    with open(config, "w") as f:
        for switch in ("a", "b"):
            f.write(f"[{switch}]\ndir={name}/{switch}\nport=tcp://127.0.0.1:{start_sim()}\n"
                    "listen=127.0.0.1:0\npoll=0\n")
        f.write("[web]\nlisten=127.0.0.1:0\na.pin=4711\n" + web)
    log = open(os.path.join(work, name + ".log"), "a+")
    env = dict(os.environ, XDG_STATE_HOME=os.path.join(work, name, "state"))
    limit = (lambda: resource.setrlimit(resource.RLIMIT_NOFILE, (descriptors, descriptors))
             ) if descriptors else None
    service = subprocess.Popen([varnokd, "--config", config], stderr=log, env=env,
                               preexec_fn=limit)
    procs.append(service)
    for _ in range(300):  # bounded: the service says its address at start
        log.seek(0)
        if found := re.findall(r"web: listening on https?://127\.0\.0\.1:(\d+)/", log.read()):
            return service, int(found[-1]), log
        time.sleep(0.05)
    raise SystemExit(f"FAIL: varnokd ({name}) did not say where the web panel listens")


def connect(port, tls=False):
    raw = socket.create_connection(("127.0.0.1", port), timeout=15)
    return ssl._create_unverified_context().wrap_socket(raw) if tls else raw  # a test certificate


def request(port, head, tls=False, filler=0):
    """Sends `head` then `filler` blocks of 64 KiB (as far as the service takes them); the
    answer up to the connection's end."""
    got = b""
    with connect(port, tls) as sock:
        try:
            sock.sendall(head.encode())
            for _ in range(filler):
                sock.sendall(b"a" * 65536)
        except (ConnectionResetError, BrokenPipeError):
            pass  # refused before the rest was read: the answer waits
        try:
            while chunk := sock.recv(65536):
                got += chunk
        except (socket.timeout, ConnectionResetError, ssl.SSLError):
            pass
    return got.decode("utf-8", "replace")


def status(answer):
    return int(answer.split(" ", 2)[1]) if answer.startswith("HTTP/1.1 ") else 0


def handshake(sock, port, path, origin):
    key = base64.b64encode(os.urandom(16)).decode()
    sock.sendall((f"GET {path} HTTP/1.1\r\nHost: 127.0.0.1:{port}\r\nUpgrade: websocket\r\n"
                  f"Connection: Upgrade\r\nSec-WebSocket-Key: {key}\r\n"
                  f"Sec-WebSocket-Version: 13\r\nOrigin: {origin}\r\n\r\n").encode())
    head = b""
    while b"\r\n\r\n" not in head:
        chunk = sock.recv(1)
        if not chunk:
            break
        head += chunk
    return status(head.decode())


def send_text(sock, text):
    data = text.encode()
    mask = os.urandom(4)
    length = bytes([0x80 | len(data)]) if len(data) < 126 else bytes([0xFE]) + len(data).to_bytes(2, "big")
    sock.sendall(bytes([0x81]) + length + mask + bytes(b ^ mask[i % 4] for i, b in enumerate(data)))


def read_message(sock):
    head = sock.recv(2)
    length = head[1] & 0x7F
    if length == 126:
        length = int.from_bytes(sock.recv(2), "big")
    data = b""
    while len(data) < length:
        data += sock.recv(length - len(data))
    return json.loads(data) if head[0] & 0x0F == 1 else None


def page(port, switch, tls=False):
    sock = connect(port, tls)
    if handshake(sock, port, f"/{switch}/socket", f"{'https' if tls else 'http'}://127.0.0.1:{port}") != 101:
        return None
    first = read_message(sock)  # the state, unless the page is closed at once
    return sock if first and first["type"] == "state" else None


def answer_to(sock, message):
    send_text(sock, json.dumps(message))
    while True:  # routing and link messages may come between
        reply = read_message(sock)
        if reply and reply["type"] in ("error", "routing"):
            return reply


def proc(process, name):
    with open(f"/proc/{process.pid}/{name}") as f:
        return f.read()


def rss_kib(process):
    return int(re.search(r"VmHWM:\s+(\d+)", proc(process, "status")).group(1))


try:
    service, port, log = start_service("plain", "")

    # Another site's page, another host name.
    with connect(port) as sock:
        check(handshake(sock, port, "/a/socket", "http://evil.example") == 403,
              "a socket from another site's page is refused")
    with connect(port) as sock:
        check(handshake(sock, port, "/a/socket", f"http://127.0.0.1:{port}") == 101,
              "the panel's own page gets its socket")
    check(status(request(port, "GET /a/ HTTP/1.1\r\nHost: evil.example\r\n\r\n")) == 421,
          "a host name that is not the panel's is refused")

    # Wrong PINs counted whatever else the address asks.
    a, b = page(port, "a"), page(port, "b")
    for attempt in range(4):
        answer_to(a, {"type": "status", "pin": f"000{attempt}"})
        answer_to(b, {"type": "key", "output": 1, "input": (attempt + 1) % 4 + 1})  # no PIN there
    answer_to(a, {"type": "status", "pin": "0004"})
    refused = answer_to(a, {"type": "key", "output": 2, "input": 1, "pin": "4711"})
    check(refused["type"] == "error" and "wrong PINs" in refused["text"],
          "five wrong PINs lock the address out, requests elsewhere between")
    log.seek(0)
    check(log.read().count("request from 127.0.0.1 refused") == 1, "a streak of refusals is logged once")
    a.close(), b.close()

    # Requests over the bounds are refused early and the service stays small; every answer is
    # one a browser can show.
    before = rss_kib(service)
    host = f"Host: 127.0.0.1:{port}\r\n"
    for head, filler, code, what in [
            ("GET /", 160, 414, "a 10 MiB address"),
            ("GET / HTTP/1.1\r\n" + host + "".join(f"X-{n}: {n}\r\n" for n in range(200)) + "\r\n",
             0, 431, "200 header lines"),
            ("PUT /a/ HTTP/1.1\r\n" + host + "Content-Length: 400000000\r\n\r\n", 64, 405,
             "a PUT with a 400 MB body"),
            ("GET /a/ HTTP/1.1\r\n" + host + "Content-Length: 5\r\n\r\nhello", 0, 413, "a body"),
            ("GET /a HTTP/1.1\r\n" + host + "Connection: close\r\n\r\n", 0, 301, "/a"),
            ("GET /nowhere HTTP/1.1\r\n" + host + "Connection: close\r\n\r\n", 0, 404, "no page")]:
        answer = request(port, head, filler=filler)
        body = answer.partition("\r\n\r\n")[2]
        check(status(answer) == code and (code == 301 or body.endswith(".\n")),
              f"{what}: {code} with a text to read")
    check("\r\nLocation: /a/\r\n" in request(port, f"GET /a HTTP/1.1\r\n{host}Connection: close\r\n\r\n"),
          "/a is redirected to /a/")
    grown = rss_kib(service) - before
    check(grown < 8 * 1024, f"the service grew by {grown} KiB, under 8 MiB")

    # Pages per address.
    pages = [page(port, "b") for _ in range(16)]
    check(all(pages), "16 pages from one address open")
    check(page(port, "b") is None, "a 17th page from one address is closed")
    for each in pages:
        each.close()

    # Idle and unfinished connections.
    for sent in (b"", b"GET / HTTP/1.1\r\nHost: 127"):
        with connect(port) as sock:
            sock.sendall(sent)
            sock.settimeout(14)  # past the service's idle time
            try:
                closed = sock.recv(1) == b""
            except (socket.timeout, ConnectionResetError):
                closed = False
        check(closed, f"a connection that sent {len(sent)} bytes and stopped is closed")

    # HTTPS with a certificate made here; --check loads it.
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                    "-subj", "/CN=127.0.0.1", "-keyout", os.path.join(work, "key.pem"),
                    "-out", os.path.join(work, "cert.pem")], check=True, capture_output=True)
    secure, tls_port, _ = start_service("tls", "certfile=cert.pem\nkeyfile=key.pem\n")
    answer = request(tls_port, f"GET /a/ HTTP/1.1\r\nHost: 127.0.0.1:{tls_port}\r\nConnection: close\r\n\r\n", tls=True)
    check(status(answer) == 200 and "<html" in answer.lower(), "the page over HTTPS")
    check(page(tls_port, "b", tls=True) is not None, "its socket over wss")
    with open(os.path.join(work, "bad.conf"), "w") as f:
        f.write("[a]\ndir=tls/a\nport=tcp://127.0.0.1:1\nlisten=127.0.0.1:0\n"
                "[web]\nlisten=127.0.0.1:0\ncertfile=key.pem\nkeyfile=cert.pem\n")
    checked = subprocess.run([varnokd, "--check", "--config", os.path.join(work, "bad.conf")],
                             capture_output=True, text=True)
    check(checked.returncode != 0 and "certfile=" in checked.stderr + checked.stdout,
          "--check names a certificate that cannot be read")

    # Out of descriptors: the listener pauses and says so once, instead of spinning. Not in the
    # sanitizer tree: its checks of an object's type open a pipe, which fails there as well.
    if "ASAN_OPTIONS" in os.environ:
        print("SKIP: out of descriptors, under the sanitizers")
    else:
        starved, starved_port, starved_log = start_service("starved", "", descriptors=48)
        held = [connect(starved_port) for _ in range(60)]
        cpu_seconds = lambda: sum(map(int, proc(starved, "stat").rsplit(")", 1)[1].split()[11:13])
                                  ) / os.sysconf("SC_CLK_TCK")
        spent = cpu_seconds()
        time.sleep(2)  # a window to measure the service in, not a wait for it
        spent = cpu_seconds() - spent
        check(spent < 0.5, f"out of descriptors, the service used {spent:.2f} s of 2 s")
        starved_log.seek(0)
        check(starved_log.read().count("cannot accept connections") == 1, "and said so once")
        for sock in held:
            sock.close()
        answer = request(starved_port, f"GET / HTTP/1.1\r\nHost: 127.0.0.1:{starved_port}\r\n"
                         "Connection: close\r\n\r\n")  # waits while the listener pauses
        check(status(answer) == 200, "descriptors free again: pages are served")
finally:
    for process in procs:
        process.terminate()
    for process in procs:
        process.wait(10)

print(f"{len(passes)} passed, {len(failures)} failed")
sys.exit(1 if failures else 0)
