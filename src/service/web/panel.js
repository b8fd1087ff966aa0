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
let answering = true;
let readOnly = false;
let routing = [0, 0, 0, 0];
let outputNames = ["", "", "", ""];
let inputNames = ["", "", "", ""];
let problems = [];
let pinRequired = false;
let editSent = false; // the next state confirms it

const $ = (id) => document.getElementById(id);
// The page's texts in its language, as the service put them in; English where there is none.
const texts = JSON.parse(($("texts") || {}).textContent || "{}");
const T = (text, ...args) => args.reduce((t, a, i) => t.replace(`%${i + 1}`, a), texts[text] || text);

function labelled(kind, number, name) {
  const text = T(kind, number);
  return name ? `${text} "${name}"` : text;
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
  document.querySelectorAll("[data-t]").forEach((e) => (e.textContent = T(e.dataset.t)));
  document.querySelectorAll("[data-t-label]").forEach((e) =>
    e.setAttribute("aria-label", T(e.dataset.tLabel)));
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
  const names = $("names");
  for (const kind of ["output", "input"]) {
    for (let index = 1; index <= 4; ++index) {
      const label = document.createElement("label");
      const text = document.createElement("span");
      text.textContent = T(kind === "output" ? "Output %1" : "Input %1", index);
      const field = document.createElement("input");
      field.maxLength = 32;
      field.autocomplete = "off";
      field.dataset[kind] = index;
      label.append(text, field);
      names.append(label);
    }
  }
  $("status").addEventListener("click", () => press({ type: "status" }));
  $("recall").addEventListener("click", () => {
    if ($("presets").value) press({ type: "recall", preset: $("presets").value });
  });
  $("saveNames").addEventListener("click", () => {
    document.querySelectorAll("#names input").forEach((field) => {
      const [kind, index] = field.dataset.output ? ["output", field.dataset.output] : ["input", field.dataset.input];
      const now = (kind === "output" ? outputNames : inputNames)[index - 1];
      if (field.value.trim() !== now) press({ type: "name", [kind]: Number(index), name: field.value.trim() });
    });
  });
  $("savePreset").addEventListener("click", () => press({ type: "save", preset: $("presetName").value }));
  $("renamePreset").addEventListener("click", () =>
    press({ type: "rename", preset: $("presets").value, to: $("presetName").value }));
  $("deletePreset").addEventListener("click", () => press({ type: "delete", preset: $("presets").value }));
}

function showNames() {
  document.querySelectorAll(".row").forEach((row) => {
    const output = Number(row.dataset.row);
    const outName = outputNames[output - 1];
    row.querySelector(".outname").textContent = outName;
    row.querySelector(".outname").title = outName;
    const rowText = labelled("Output %1", output, outName);
    row.querySelector('[data-arrow="prev"]').setAttribute("aria-label", T("%1: previous input", rowText));
    row.querySelector('[data-arrow="next"]').setAttribute("aria-label", T("%1: next input", rowText));
    row.querySelectorAll(".input").forEach((cell, i) => {
      cell.querySelector(".inname").textContent = inputNames[i];
      cell.querySelector(".inname").title = inputNames[i];
      cell.querySelector("button").setAttribute(
        "aria-label", `${rowText}: ${labelled("Input %1", i + 1, inputNames[i])}`);
    });
  });
  document.querySelectorAll("#names input").forEach((field) => {
    if (document.activeElement === field) return; // being typed in
    field.value = field.dataset.output ? outputNames[field.dataset.output - 1] : inputNames[field.dataset.input - 1];
  });
}

// Lamps, buttons and the link's state together, from the last report; lamps dark and buttons
// off while the link or the socket is down.
function showRouting() {
  const live = socket && socket.readyState === WebSocket.OPEN;
  const up = live && linkUp;
  document.querySelectorAll("button[data-input]").forEach((key) => {
    const lit = up && routing[key.dataset.output - 1] === Number(key.dataset.input);
    key.setAttribute("aria-pressed", lit ? "true" : "false");
    key.previousElementSibling.classList.toggle("lit", lit);
  });
  document.querySelectorAll("main button").forEach((b) => {
    const editing = b.closest(".setup") !== null && b.id !== "savePreset";
    b.disabled = readOnly || !live || (!up && !editing);
  });
  $("recall").disabled ||= $("presets").options.length === 0;
  $("renamePreset").disabled ||= $("presets").options.length === 0;
  $("deletePreset").disabled ||= $("presets").options.length === 0;
  const state = !live ? "service" : !linkUp ? "down" : answering ? "up" : "silent";
  document.body.dataset.state = state;
  document.body.dataset.link = up ? "up" : "down";
  $("linkText").textContent = T({
    service: "Service unreachable: reconnecting…",
    down: "Switch disconnected",
    silent: "Switch not answering",
    up: "Switch connected",
  }[state]);
  document.querySelectorAll(".row").forEach((row) =>
    row.classList.toggle("stuck", problems.some((p) => p.output === Number(row.dataset.row))));
}

function showPresets(names) {
  const select = $("presets");
  const kept = select.value;
  select.replaceChildren(...names.map((n) => new Option(n, n)));
  if (names.includes(kept)) select.value = kept;
  select.hidden = names.length === 0;
  $("noPresets").hidden = names.length !== 0;
}

function say(text, done = false) {
  $("message").textContent = text;
  $("message").classList.toggle("done", done);
}

// Outputs that did not follow stay told until they do.
function showProblems() {
  if (problems.length)
    say(problems.map((p) => T("Output %1 stayed on input %2, not input %3.", p.output, p.reported, p.asked)).join(" "));
  else if ($("message").dataset.problems) say("");
  $("message").dataset.problems = problems.length ? "yes" : "";
}

function press(request) {
  if (!socket || socket.readyState !== WebSocket.OPEN) {
    say(T("Not connected to the service."));
    return;
  }
  if (pinRequired) request.pin = $("pin").value;
  say("");
  showProblems();
  editSent = ["name", "save", "rename", "delete"].includes(request.type);
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
    document.title = `${m.name} - MATRIX 4X4`;
    $("title").textContent = m.name;
    outputNames = m.outputs;
    inputNames = m.inputs;
    pinRequired = m.pin;
    readOnly = m.readOnly;
    $("pinRow").hidden = !m.pin;
    document.body.classList.toggle("readonly", m.readOnly);
    showPresets(m.presets);
    showNames();
    linkUp = m.link;
    routing = m.routing;
    if (editSent) say(T("Saved."), true);
    editSent = false;
  } else if (m.type === "routing") {
    routing = m.routing;
  } else if (m.type === "link") {
    linkUp = m.up;
    answering = m.answering !== false;
    if (!linkUp) routing = [0, 0, 0, 0];
  } else if (m.type === "problems") {
    problems = m.problems;
    showProblems();
  } else if (m.type === "error") {
    editSent = false;
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
  });
  socket.addEventListener("message", onMessage);
  socket.addEventListener("close", () => {
    document.body.dataset.socket = "closed";
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
