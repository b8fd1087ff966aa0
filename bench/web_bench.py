#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# The web panel's speed, in headless Chromium against varnokd and varnok-sim on 127.0.0.1:
#  - a route report on the line to its lamp painted in the page: a client of the switch's TCP
#    front routes output 1 back and forth; the report's first byte reaching that client is the
#    start, the first animation frame after the page's lamp changed the end (both on the
#    machine's wall clock), median over ROUNDS changes;
#  - the page's transfer size (the page, its style sheet and script);
#  - the service's memory per open page (RssAnon with PAGES sockets open, over PAGES).
# Usage: bench/web_bench.py BUILD_DIR [ROUNDS] [PAGES]
import os, re, shutil, socket, statistics, subprocess, sys, tempfile, time, urllib.request
from selenium import webdriver
from selenium.webdriver.chrome.service import Service

build = sys.argv[1]
rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 100
pages = int(sys.argv[3]) if len(sys.argv) > 3 else 50
work = tempfile.mkdtemp(prefix="varnok-web-bench-")
sim = subprocess.Popen([f"{build}/sim/varnok-sim", "--listen", "127.0.0.1:0"],
                       stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
sim_port = sim.stdout.readline().strip().rsplit(":", 1)[1]
with socket.socket() as s:
    s.bind(("127.0.0.1", 0))
    front = s.getsockname()[1]
os.makedirs(f"{work}/room")
with open(f"{work}/varnokd.conf", "w") as f:
    f.write(f"[room]\ndir={work}/room\nport=tcp://127.0.0.1:{sim_port}\nlisten=127.0.0.1:{front}\n"
            "poll=0\n\n[web]\nlisten=127.0.0.1:0\n")
log = open(f"{work}/varnokd.log", "w+")
service = subprocess.Popen([f"{build}/app/varnokd", "--config", f"{work}/varnokd.conf"],
                           stderr=log, env=dict(os.environ, XDG_STATE_HOME=f"{work}/state"))
address = None
for _ in range(300):
    log.seek(0)
    found = re.search(r"web: listening on (http://\S+)", log.read())
    if found:
        address = found.group(1)
        break
    time.sleep(0.05)

def rss_anon():
    with open(f"/proc/{service.pid}/status") as f:
        return int(re.search(r"RssAnon:\s+(\d+)", f.read()).group(1))

options = webdriver.ChromeOptions()
for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--window-size=1280,900"):
    options.add_argument(argument)
driver = webdriver.Chrome(service=Service(shutil.which("chromedriver")), options=options)
try:
    size = sum(len(urllib.request.urlopen(address + path).read())
               for path in ("room/", "_/panel.css", "_/panel.js"))
    driver.get(address + "room/")
    driver.execute_script("""
        window.painted = [];
        new MutationObserver(() => requestAnimationFrame(() =>
            window.painted.push(performance.timeOrigin + performance.now())))
          .observe(document.querySelector('button[data-output="1"][data-input="2"]'),
                   {attributes: true, attributeFilter: ["aria-pressed"]});""")
    client = socket.create_connection(("127.0.0.1", front))
    client.settimeout(5)
    delays = []
    for i in range(rounds + 1):
        count = driver.execute_script("return window.painted.length")
        client.sendall(b"cir 1D\r\n" if i % 2 == 0 else b"cir 09\r\n")  # output 1: input 2, 1
        client.recv(256)
        start = time.time() * 1000
        while driver.execute_script("return window.painted.length") == count:
            if time.time() * 1000 - start > 5000:
                raise SystemExit("no lamp painted within 5 s")
        if i > 0:  # the first may follow the page's own start
            delays.append(driver.execute_script("return window.painted.at(-1)") - start)
        time.sleep(0.05)  # the report's framing window ends before the next command
    before = rss_anon()
    driver.execute_script(f"""
        window.extra = [];
        for (let i = 0; i < {pages}; ++i)
          window.extra.push(new WebSocket(`ws://${{location.host}}/room/socket`));""")
    for _ in range(200):  # 10 s at most
        if driver.execute_script("return window.extra.filter(s => s.readyState === 1).length") == pages:
            break
        time.sleep(0.05)
    time.sleep(0.5)
    per_page = (rss_anon() - before) / pages
    print(f"report to lamp painted: median {statistics.median(delays):.1f} ms "
          f"(min {min(delays):.1f}, max {max(delays):.1f}) over {len(delays)} changes")
    print(f"page transfer size: {size} bytes (page, style sheet, script; uncompressed)")
    print(f"service memory per open page: {per_page:.1f} KiB RssAnon ({pages} pages)")
finally:
    driver.quit()
    service.terminate()
    sim.terminate()
    service.wait()
    sim.wait()
    shutil.rmtree(work, ignore_errors=True)
