#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# The web panel in headless Chromium: a click routes the simulated switch and its lamp lights
# only from the report, a route from the command line shows on the open page, the page survives
# the service going away and coming back, a read-only page refuses; names and presets edited on
# the page, long names on a phone, a route not followed told in view, a Chinese browser;
# the command line's names and presets through the page's address; screenshots at 360 x 740 and
# 1280 x 800, English and Chinese. Usage: service_web.py VARNOKD VARNOK_SIM VARNOK SCREENSHOT_DIR
import os, re, shutil, signal, socket, subprocess, sys, tempfile, time

if not (shutil.which("chromium") and shutil.which("chromedriver")):
    print("SKIP: chromium and chromedriver are not installed")
    sys.exit(77)
from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.common.exceptions import TimeoutException
from selenium.webdriver.support.ui import WebDriverWait

varnokd, sim_path, varnok, shots = sys.argv[1:5]
work = tempfile.mkdtemp(prefix="varnok-web-")
procs = []


def start_sim(*options):
    sim = subprocess.Popen([sim_path, "--listen", "127.0.0.1:0", *options],
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    procs.append(sim)
    return int(re.search(r":(\d+)$", sim.stdout.readline().strip()).group(1))


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def start_service(config):
    log = open(os.path.join(work, "varnokd.log"), "a+")
    env = dict(os.environ, XDG_STATE_HOME=os.path.join(work, "state"))
    service = subprocess.Popen([varnokd, "--config", config], stderr=log, env=env)
    procs.append(service)
    deadline = time.monotonic() + 15
    while time.monotonic() < deadline:  # bounded: the service says its address at start
        log.seek(0)
        found = re.findall(r"web: listening on (http://\S+)", log.read())
        if found and service.poll() is None:
            return service, found[-1]
        time.sleep(0.05)
    raise SystemExit("FAIL: varnokd did not say where the web panel listens")


def lamps(driver):
    return [b.get_attribute("aria-pressed") == "true"
            for b in driver.find_elements(By.CSS_SELECTOR, "button[data-input]")]


def lit(driver, output, input_):
    key = driver.find_element(By.CSS_SELECTOR, f'button[data-output="{output}"][data-input="{input_}"]')
    return key.get_attribute("aria-pressed") == "true"


def row(routing):  # outputs 1-4 -> 16 lamps as the page lists them
    return [routing[o] == i for o in range(4) for i in range(1, 5)]


def check(condition, text):
    if not condition:
        with open(os.path.join(work, "varnokd.log")) as f:
            print(f.read())  # with a sanitizer's report, if any
        raise SystemExit("FAIL: " + text)
    print("ok:", text)


room_sim, lobby_sim = start_sim("--stuck", "4"), start_sim()
mute = socket.socket()  # a device server whose switch is off: it connects and says nothing
mute.bind(("127.0.0.1", 0))
mute.listen(8)
front = free_port()
for name in ("room", "lobby", "mute"):
    os.makedirs(os.path.join(work, name))
config = os.path.join(work, "varnokd.conf")


def write_config(web_port, extra=""):
    with open(config, "w") as f:
        f.write(f"[room]\ndir={work}/room\nport=tcp://127.0.0.1:{room_sim}\n"
                f"listen=127.0.0.1:{front}\n\n[lobby]\ndir={work}/lobby\n"
                f"port=tcp://127.0.0.1:{lobby_sim}\nlisten=127.0.0.1:0\n\n"
                f"[mute]\ndir={work}/mute\nport=tcp://127.0.0.1:{mute.getsockname()[1]}\n"
                f"listen=127.0.0.1:0\n\n"
                f"[web]\nlisten=127.0.0.1:{web_port}\nlobby.read-only=true\n{extra}")


write_config(0)
service, address = start_service(config)
options = webdriver.ChromeOptions()
for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--window-size=1280,900"):
    options.add_argument(argument)
driver = webdriver.Chrome(service=Service(shutil.which("chromedriver")), options=options)
wait = WebDriverWait(driver, 10, poll_frequency=0.02)
try:
    driver.get(address)
    driver.find_element(By.LINK_TEXT, "room").click()
    wait.until(lambda d: lamps(d) == row([1, 2, 3, 4]))
    check(driver.current_url == address + "room/", "the list links to the switch's page")

    # Output 4 is stuck: its press is answered with the route it keeps, and no lamp moves.
    driver.find_element(By.CSS_SELECTOR, 'button[data-output="4"][data-input="1"]').click()
    driver.find_element(By.CSS_SELECTOR, 'button[data-output="2"][data-input="3"]').click()
    wait.until(lambda d: lit(d, 2, 3))
    check(lamps(driver) == row([1, 3, 3, 4]), "a click lights its lamp from the report only")
    status = subprocess.run([varnok, "--port", f"tcp://127.0.0.1:{front}", "status"],
                            capture_output=True, text=True, timeout=10)
    check("Out2 -> HDMI In 3" in status.stdout, "the simulated switch was routed")

    key = driver.find_element(By.CSS_SELECTOR, 'button[data-output="1"][data-input="2"]')
    key.send_keys(Keys.ENTER)
    wait.until(lambda d: lit(d, 1, 2))
    check(driver.switch_to.active_element == key, "Enter on a focused button routes")
    driver.find_element(By.CSS_SELECTOR, 'button[data-output="1"][data-input="3"]').send_keys(" ")
    wait.until(lambda d: lit(d, 1, 3))
    print("ok: Space on a focused button routes")

    subprocess.run([varnok, "--port", f"tcp://127.0.0.1:{front}", "route", "3", "1"],
                   check=True, capture_output=True, timeout=10)
    wait.until(lambda d: lit(d, 3, 1))
    print("ok: a route from the command line shows on the open page")

    # The page's address is a port: the command line routes and reads through the panel.
    through = subprocess.run([varnok, "--port", address + "room/", "route", "3", "2"],
                             capture_output=True, text=True, timeout=10)
    wait.until(lambda d: lit(d, 3, 2))
    status = subprocess.run([varnok, "--port", address + "room/", "status"],
                            capture_output=True, text=True, timeout=10)
    check(through.returncode == 0 and "Out3 -> HDMI In 2" in status.stdout,
          "the command line routes and reads through the panel's address")
    subprocess.run([varnok, "--port", address + "room/", "route", "3", "1"],
                   check=True, capture_output=True, timeout=10)
    wait.until(lambda d: lit(d, 3, 1))

    check(driver.find_element(By.ID, "linkText").text == "Switch connected",
          "the link reads as a state")
    chosen = driver.find_element(By.CSS_SELECTOR, 'button[data-output="3"][data-input="1"]')
    other = driver.find_element(By.CSS_SELECTOR, 'button[data-output="3"][data-input="2"]')
    check(chosen.value_of_css_property("background-color") == "rgba(0, 255, 0, 1)" and
          other.value_of_css_property("background-color") != "rgba(0, 255, 0, 1)",
          "the chosen input's own button shows it")

    # Names and a preset made on the page: in the set-up folder every program reads.
    driver.find_element(By.CSS_SELECTOR, "#setup summary").click()
    latin, chinese = "Confidence monitor, stage left 1", "会议室左侧的大屏幕显示器与投影仪会议室左侧的大屏幕显示器与投影"
    for field, name in (('[data-output="1"]', latin), ('[data-input="4"]', chinese),
                        ('[data-input="1"]', latin)):
        driver.find_element(By.CSS_SELECTOR, "#names input" + field).send_keys(name)
    driver.find_element(By.ID, "saveNames").click()
    wait.until(lambda d: d.find_element(By.CSS_SELECTOR, ".row .outname").get_attribute("title") == latin)
    driver.find_element(By.ID, "presetName").send_keys("Video")
    driver.find_element(By.ID, "savePreset").click()
    wait.until(lambda d: [o.text for o in d.find_elements(By.CSS_SELECTOR, "#presets option")] == ["Video"])
    with open(os.path.join(work, "room", "varnok.conf"), encoding="utf-8") as f:
        saved = f.read()
    check(latin in saved and chinese in saved and "name=Video" in saved,
          "names and a preset saved from the page are in the switch's set-up folder")

    # 32-character names on a phone and a tablet: no sideways scrolling, every button on screen.
    os.makedirs(shots, exist_ok=True)
    for width, height in ((360, 740), (1280, 800)):
        driver.set_window_size(width, height)
        inner = driver.execute_script("return document.documentElement.clientWidth")
        widest = driver.execute_script("""return Math.max(document.documentElement.scrollWidth,
            ...[...document.querySelectorAll('button')].map(b => b.getBoundingClientRect().right))""")
        check(widest <= inner, f"nothing wider than the screen at {width} px ({widest} of {inner})")
        driver.execute_script("window.scrollTo(0, 0)")
        driver.save_screenshot(os.path.join(shots, f"web-panel-{width}x{height}.png"))

    # A route the switch does not follow is told in view, on a phone, wherever the page is.
    driver.set_window_size(360, 740)
    driver.execute_script("window.scrollTo(0, 0)")
    driver.find_element(By.CSS_SELECTOR, 'button[data-output="4"][data-input="1"]').click()
    wait.until(lambda d: "Output 4 stayed on input 4, not input 1." in d.find_element(By.ID, "message").text)
    top, bottom = driver.execute_script(
        "const r = document.getElementById('message').getBoundingClientRect(); return [r.top, r.bottom]")
    check(0 <= top and bottom <= driver.execute_script("return innerHeight"),
          "a route not followed is told in view")
    driver.set_window_size(1280, 900)

    # A browser that asks for Chinese gets the page in Chinese.
    options.add_experimental_option("prefs", {"intl.accept_languages": "zh-CN,zh"})
    options.add_argument("--lang=zh-CN")
    chinese_driver = webdriver.Chrome(service=Service(shutil.which("chromedriver")), options=options)
    try:
        for width, height in ((360, 740), (1280, 800)):
            chinese_driver.set_window_size(width, height)
            chinese_driver.get(address + "room/")
            WebDriverWait(chinese_driver, 10).until(lambda d: lamps(d) == row([3, 3, 1, 4]))
            chinese_driver.save_screenshot(os.path.join(shots, f"web-panel-zh-{width}x{height}.png"))
        page_lang = chinese_driver.find_element(By.TAG_NAME, "html").get_attribute("lang")
        status_text = chinese_driver.find_element(By.ID, "status").text
        check(page_lang == "zh-CN" and status_text == "状态",
              f"a Chinese browser gets the page in Chinese ({page_lang}, {status_text})")
    finally:
        chinese_driver.quit()

    # The service goes away: the page says so and darkens, then comes back by itself.
    web_port = int(re.search(r":(\d+)/$", address).group(1))
    service.send_signal(signal.SIGTERM)
    check(service.wait(timeout=10) == 0, "varnokd stops cleanly with pages open")
    wait.until(lambda d: d.find_element(By.TAG_NAME, "body").get_attribute("data-socket") == "closed")
    check(not any(lamps(driver)), "a dropped socket darkens every lamp")
    write_config(web_port)
    service, _ = start_service(config)
    wait.until(lambda d: lamps(d) == row([3, 3, 1, 4]))
    check(driver.find_element(By.TAG_NAME, "body").get_attribute("data-connects") == "2",
          "the page reconnected by itself and shows the routing again")

    driver.get(address + "lobby/")
    wait.until(lambda d: lamps(d) == row([1, 2, 3, 4]))
    check(not driver.find_element(By.CSS_SELECTOR, "button[data-input]").is_enabled(),
          "a read-only page's buttons are off")
    answers = driver.execute_async_script("""
        const done = arguments[arguments.length - 1], got = [];
        const s = new WebSocket(`ws://${location.host}/lobby/socket`);
        s.onmessage = (e) => { const m = JSON.parse(e.data);
            if (m.type === "error") got.push(m.text);
            if (got.length === 2) done(got); };
        s.onopen = () => { s.send('{"type":"key","output":1,"input":4}'); s.send("{"); };""")
    check(answers[0] == "this page is read-only" and answers[1] == "not a JSON object",
          "a read-only page's command and bad JSON are answered with errors: %s" % answers)
    check(lamps(driver) == row([1, 2, 3, 4]), "the refused command changed nothing")
    with open(os.path.join(work, "varnokd.log")) as f:
        log = f.read()
    check(re.search(r"lobby: request from 127\.0\.0\.1 refused", log) is not None,
          "the refusal is logged with the client's address")
    check(re.search(r"\nroom: web 127\.0\.0\.1 asks cir [0-9A-F]{2}\n", log) is not None,
          "a page's command is logged with the page's address")

    driver.get(address + "mute/")
    try:
        wait.until(lambda d: d.find_element(By.ID, "linkText").text == "Switch not answering")
    except TimeoutException:
        pass
    check(driver.find_element(By.ID, "linkText").text == "Switch not answering",
          "a line open to a switch that answers nothing reads as not answering")

    # A PIN cannot be found by trying: after five wrong ones even the right one waits.
    write_config(web_port, "room.pin=2468\n")
    service.send_signal(signal.SIGHUP)
    # The PIN is kept for the browser's session: a wall tablet does not ask again at a reload.
    driver.get(address + "room/")
    WebDriverWait(driver, 10).until(lambda d: d.find_element(By.ID, "pin").is_displayed())
    driver.find_element(By.ID, "pin").send_keys("2468")
    driver.refresh()
    WebDriverWait(driver, 10).until(lambda d: d.find_element(By.ID, "pin").is_displayed())
    check(driver.find_element(By.ID, "pin").get_attribute("value") == "2468",
          "the PIN outlives a reload")
    with open(os.path.join(work, "pin"), "w") as f:
        f.write("2468\r\n")
    routed = subprocess.run([varnok, "--port", address + "room/", "--pin-file",
                             os.path.join(work, "pin"), "route", "1", "4"],
                            capture_output=True, text=True, timeout=10)
    check(routed.returncode == 0, "the command line gives the PIN from --pin-file: " + routed.stderr)

    # The command line reads and changes the service's names and presets, never its own folder's;
    # the open page shows each change.
    desk = os.path.join(work, "desk")
    os.mkdir(desk)

    def through_panel(*arguments):
        return subprocess.run([varnok, "--port", address + "room/", "--pin-file",
                               os.path.join(work, "pin"), *arguments],
                              capture_output=True, text=True, timeout=10, cwd=desk)

    def preset_options(driver):
        return [o.text for o in driver.find_elements(By.CSS_SELECTOR, "#presets option")]
    named = through_panel("name", "output", "1", "Lectern")
    wait.until(lambda d: d.find_element(By.CSS_SELECTOR, ".row .outname").get_attribute("title") == "Lectern")
    saved = through_panel("preset", "save", "Panel")
    wait.until(lambda d: "Panel" in preset_options(d))
    listed = through_panel("preset", "list")
    check(named.returncode == saved.returncode == listed.returncode == 0 and
          "Video: " in listed.stdout and "Panel: 4 " in listed.stdout,
          "names and presets through the page's address: %s %s" % (listed.stdout, saved.stderr))
    deleted, again = through_panel("preset", "delete", "Panel"), through_panel("preset", "delete", "Panel")
    wait.until(lambda d: "Panel" not in preset_options(d))
    check(deleted.returncode == 0 and again.returncode == 1 and
          'no preset "Panel"' in again.stderr and os.listdir(desk) == [],
          "a preset deleted through the page, the service's refusal told: " + again.stderr)
    answers = driver.execute_async_script("""
        const done = arguments[arguments.length - 1], got = [];
        const s = new WebSocket(`ws://${location.host}/room/socket`);
        s.onmessage = (e) => { const m = JSON.parse(e.data);
            if (m.type === "state" && m.pin && got.length === 0)
                for (const pin of ["0000", "1111", "2222", "3333", "4444", "2468"])
                    s.send(JSON.stringify({type: "key", output: 1, input: 4, pin}));
            if (m.type === "error") got.push(m.text);
            if (got.length === 6) done(got); };""")
    check(answers == ["wrong or missing PIN"] * 5 + ["too many wrong PINs: try again later"],
          "five wrong PINs lock the address out: %s" % answers)
    service.send_signal(signal.SIGTERM)
    check(service.wait(timeout=10) == 0, "varnokd stops cleanly again")
finally:
    driver.quit()
    for p in procs:
        if p.poll() is None:
            p.terminate()
            p.wait(timeout=10)
    shutil.rmtree(work, ignore_errors=True)
print("PASS")
