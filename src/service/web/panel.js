// SPDX-License-Identifier: MIT
// One switch's routing panel: built once, then kept as the service's socket says. Lamps light
// only from the switch's reports; a press only sends its key command.
"use strict";

const switchId = decodeURIComponent(location.pathname.split("/")[1] || "");
const retryMs = [500, 1000, 2000, 4000];
let socket = null;
let attempts = 0;
let connects = 0;
let linkUp = false;
let routing = [0, 0, 0, 0];
let outputNames = ["", "", "", ""];
let inputNames = ["", "", "", ""];
let pinRequired = false;

const $ = (id) => document.getElementById(id);

function labelled(what, number, name) {
  return name ? `${what} ${number} "${name}"` : `${what} ${number}`;
}

function button(className, text, action) {
  const b = document.createElement("button");
  b.type = "button";
  b.className = className;
  b.textContent = text;
  b.addEventListener("click", action);
  return b;
}

function build() {
  const panel = $("panel");
  for (let output = 1; output <= 4; ++output) {
    const row = document.createElement("div");
    row.className = "row";
    row.dataset.row = output;
    const head = document.createElement("div");
    head.className = "rowhead";
    const prev = button("key arrow", "\u25C0", () => press({ type: "key", output, arrow: "prev" }));
    const next = button("key arrow", "\u25B6", () => press({ type: "key", output, arrow: "next" }));
    prev.dataset.arrow = "prev";
    next.dataset.arrow = "next";
    const badge = document.createElement("span");
    badge.className = "badge";
    badge.textContent = output;
    badge.setAttribute("aria-hidden", "true");
    const name = document.createElement("span");
    name.className = "outname";
    head.append(prev, next, name, badge);
    const inputs = document.createElement("div");
    inputs.className = "inputs";
    for (let input = 1; input <= 4; ++input) {
      const cell = document.createElement("div");
      cell.className = "input";
      const lamp = document.createElement("span");
      lamp.className = "lamp";
      lamp.setAttribute("aria-hidden", "true");
      const key = button("key", String(input), () => press({ type: "key", output, input }));
      key.dataset.output = output;
      key.dataset.input = input;
      key.setAttribute("aria-pressed", "false");
      const inName = document.createElement("span");
      inName.className = "inname";
      cell.append(lamp, key, inName);
      inputs.append(cell);
    }
    row.append(head, inputs);
    panel.append(row);
  }
  $("status").addEventListener("click", () => press({ type: "status" }));
  $("recall").addEventListener("click", () => {
    if ($("presets").value) press({ type: "recall", preset: $("presets").value });
  });
}

function showNames() {
  document.querySelectorAll(".row").forEach((row) => {
    const output = Number(row.dataset.row);
    const outName = outputNames[output - 1];
    row.querySelector(".outname").textContent = outName;
    const rowText = labelled("Output", output, outName);
    row.querySelector('[data-arrow="prev"]').setAttribute("aria-label", `${rowText}: previous input`);
    row.querySelector('[data-arrow="next"]').setAttribute("aria-label", `${rowText}: next input`);
    row.querySelectorAll(".input").forEach((cell, i) => {
      cell.querySelector(".inname").textContent = inputNames[i];
      cell.querySelector("button").setAttribute(
        "aria-label", `${rowText}: ${labelled("input", i + 1, inputNames[i])}`);
    });
  });
}

// Lamps and aria-pressed together, from the last report; dark while the link or socket is down.
function showRouting() {
  const live = linkUp && socket && socket.readyState === WebSocket.OPEN;
  document.querySelectorAll("button[data-input]").forEach((key) => {
    const lit = live && routing[key.dataset.output - 1] === Number(key.dataset.input);
    key.setAttribute("aria-pressed", lit ? "true" : "false");
    key.previousElementSibling.classList.toggle("lit", lit);
  });
  $("connectedLamp").classList.toggle("lit", linkUp);
  $("disconnectLamp").classList.toggle("lit", !linkUp);
  $("linkText").textContent = linkUp ? "Connected" : "Disconnect";
  document.body.dataset.link = linkUp ? "up" : "down";
}

function showPresets(names) {
  const select = $("presets");
  const kept = select.value;
  select.replaceChildren(...names.map((n) => new Option(n, n)));
  if (names.includes(kept)) select.value = kept;
  $("recall").disabled = names.length === 0;
}

function say(text) {
  $("message").textContent = text;
}

function press(request) {
  if (!socket || socket.readyState !== WebSocket.OPEN) {
    say("Not connected to the service.");
    return;
  }
  if (pinRequired) request.pin = $("pin").value;
  say("");
  socket.send(JSON.stringify(request));
}

function onMessage(event) {
  let m;
  try {
    m = JSON.parse(event.data);
  } catch (e) {
    return;
  }
  if (m.type === "state") {
    document.title = `${m.switch} - MATRIX 4X4`;
    $("title").textContent = m.switch;
    outputNames = m.outputs;
    inputNames = m.inputs;
    pinRequired = m.pin;
    $("pinRow").hidden = !m.pin;
    document.body.classList.toggle("readonly", m.readOnly);
    document.querySelectorAll("button[data-input]").forEach((b) => (b.disabled = m.readOnly));
    showPresets(m.presets);
    showNames();
    linkUp = m.link;
    routing = m.routing;
  } else if (m.type === "routing") {
    routing = m.routing;
  } else if (m.type === "link") {
    linkUp = m.up;
    if (!linkUp) routing = [0, 0, 0, 0];
  } else if (m.type === "error") {
    say(m.text);
  }
  showRouting();
}

function connect() {
  const scheme = location.protocol === "https:" ? "wss:" : "ws:";
  socket = new WebSocket(`${scheme}//${location.host}/${encodeURIComponent(switchId)}/socket`);
  socket.addEventListener("open", () => {
    attempts = 0;
    connects += 1;
    document.body.dataset.socket = "open";
    document.body.dataset.connects = String(connects);
    $("socket").textContent = "Live";
  });
  socket.addEventListener("message", onMessage);
  socket.addEventListener("close", () => {
    document.body.dataset.socket = "closed";
    $("socket").textContent = "Offline: reconnecting…";
    linkUp = false;
    showRouting();
    setTimeout(connect, retryMs[Math.min(attempts++, retryMs.length - 1)]);
  });
}

// The PIN lasts as long as the browser's session: a wall tablet does not ask at each reload.
const pinKey = `pin:${switchId}`;
$("pin").value = sessionStorage.getItem(pinKey) || "";
$("pin").addEventListener("input", () => sessionStorage.setItem(pinKey, $("pin").value));

build();
showNames();
showRouting();
connect();
