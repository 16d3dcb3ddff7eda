// The lesson page: screens as tabs, the variable palette, the animation player, pointer
// dragging, pan and zoom, reset, opening a dropped lesson, and the scripting interface
// window.qzarn. Everything is computed by the module; nothing here knows the geometry.
"use strict";

(() => {
  const $ = (id) => document.getElementById(id);
  const steps = ["1", "0.5", "0.25", "0.2", "0.1", "0.05", "0.01", "0.005", "0.001"];
  const limit = 100;
  let M = null;
  let resolveReady, rejectReady;
  const ready = new Promise((res, rej) => { resolveReady = res; rejectReady = rej; });
  ready.catch(() => {});

  function fail(message) {
    const box = $("qz-message");
    box.textContent = message;
    box.hidden = false;
    rejectReady(new Error(message));
  }

  function str(ptr) { return M.UTF8ToString(ptr); }
  function withString(text, f) {
    const n = M.lengthBytesUTF8(text) + 1;
    const p = M._malloc(n);
    M.stringToUTF8(text, p, n);
    try { return f(p); } finally { M._free(p); }
  }
  function withBytes(bytes, f) {
    const p = M._malloc(Math.max(1, bytes.length));
    M.HEAPU8.set(bytes, p);
    try { return f(p); } finally { M._free(p); }
  }

  function draw() {
    M._qz_draw();
  }
  function changed() {
    window.dispatchEvent(new CustomEvent("qzarn:changed"));
  }

  // ---- Background pictures: the browser decodes them, the module draws them. ----
  async function decodeBackground() {
    const sizeP = M._malloc(4);
    const at = M._qz_background_bytes(sizeP);
    const size = M.HEAP32[sizeP >> 2];
    M._free(sizeP);
    if (!size) return;
    const bytes = M.HEAPU8.slice(at, at + size);
    try {
      const type = bytes[0] === 0x42 ? "image/bmp" : "image/jpeg";
      const bitmap = await createImageBitmap(new Blob([bytes], {type}));
      const c = document.createElement("canvas");
      c.width = bitmap.width;
      c.height = bitmap.height;
      const g = c.getContext("2d");
      g.drawImage(bitmap, 0, 0);
      const rgba = g.getImageData(0, 0, c.width, c.height).data;
      withBytes(rgba, (p) => M._qz_set_background(p, c.width, c.height));
    } catch (e) {
      console.warn("背景の画像を表示できません");
    }
  }

  // ---- Screens ----
  let shown = 0;
  function buildTabs() {
    const tabs = $("qz-tabs");
    tabs.textContent = "";
    const n = M._qz_screen_count();
    for (let i = 0; i < n; ++i) {
      const b = document.createElement("button");
      b.type = "button";
      b.setAttribute("role", "tab");
      b.textContent = str(M._qz_screen_title(i));
      b.addEventListener("click", () => { showScreen(i); changed(); });
      tabs.appendChild(b);
    }
    tabs.hidden = n < 2;
  }
  async function showScreen(i) {
    if (!M._qz_show(i)) return false;
    shown = i;
    [...$("qz-tabs").children].forEach((b, k) => b.setAttribute("aria-selected", k === i));
    await decodeBackground();
    fillPalette();
    draw();
    return true;
  }

  // ---- The variable palette ----
  function variables() { return JSON.parse(str(M._qz_variables())); }
  function fillPalette() {
    const vars = variables();
    const select = $("qz-variable");
    const previous = select.value;
    select.textContent = "";
    for (const name of Object.keys(vars)) {
      const o = document.createElement("option");
      o.value = o.textContent = name;
      select.appendChild(o);
    }
    if (previous in vars) select.value = previous;
    $("qz-palette").hidden = Object.keys(vars).length === 0;
    showValue();
  }
  function showValue() {
    const name = $("qz-variable").value;
    const v = variables()[name];
    $("qz-value").value = v === undefined ? "" : String(Math.round(v * 1e10) / 1e10);
  }
  function setVariable(name, value) {
    if (!withString(String(name), (p) => M._qz_set_variable(p, Number(value)))) return false;
    draw();
    if (name === $("qz-variable").value) showValue();
    return true;
  }
  function stepBy(direction) {
    const name = $("qz-variable").value;
    if (!name) return;
    const step = Number($("qz-step").value) || 0;
    const v = Number(variables()[name]) || 0;
    const next = Math.max(-limit, Math.min(limit, Math.round((v + direction * step) * 1e10) / 1e10));
    setVariable(name, next);
    changed();
  }

  // ---- The animation player: steps the palette's variable, back and forth within ±100. ----
  let timer = null, direction = 1;
  function animationStep() {
    const name = $("qz-variable").value;
    if (!name) return;
    const step = Number($("qz-step").value) || 0;
    const v = Number(variables()[name]) || 0;
    if (Math.abs(v + direction * step) > limit) direction = -direction;
    stepBy(direction);
  }
  function play() {
    if (timer) return;
    const pause = Math.max(0.05, Math.min(5, Number($("qz-pause").value) || 0.1));
    timer = setInterval(animationStep, pause * 1000);
    $("qz-play").setAttribute("aria-pressed", "true");
  }
  function pause() {
    clearInterval(timer);
    timer = null;
    $("qz-play").setAttribute("aria-pressed", "false");
  }

  // ---- Pointer: drag a figure, pan empty space with one finger, zoom with two. ----
  const pointers = new Map();
  let pinch = 0;
  // A finger covers far more than a mouse pointer: its hit radii grow by this factor.
  const fingerReach = 2.5;
  function displayScale() {
    const r = $("qz-canvas").getBoundingClientRect();
    return r.width > 0 ? M._qz_width() / r.width : 1;
  }
  function surfacePoint(e) {
    const r = $("qz-canvas").getBoundingClientRect();
    const scale = displayScale();
    return [(e.clientX - r.left) * scale, (e.clientY - r.top) * scale];
  }
  function attachPointer(canvas) {
    canvas.addEventListener("pointerdown", (e) => {
      // Capture keeps the drag when the pointer leaves the canvas; a pointer the browser does
      // not track (a scripted one) cannot be captured and drags all the same.
      try {
        canvas.setPointerCapture(e.pointerId);
      } catch (error) {
        // nothing to capture
      }
      pointers.set(e.pointerId, surfacePoint(e));
      if (pointers.size === 1) {
        const [x, y] = surfacePoint(e);
        const reach = (e.pointerType === "touch" ? fingerReach : 1) * Math.max(1, displayScale());
        M._qz_pointer_down(x, y, reach);
      } else {
        M._qz_pointer_up();
        pinch = 0;
      }
      e.preventDefault();
    });
    canvas.addEventListener("pointermove", (e) => {
      if (!pointers.has(e.pointerId)) return;
      pointers.set(e.pointerId, surfacePoint(e));
      if (pointers.size === 2) {
        const [a, b] = [...pointers.values()];
        const d = Math.hypot(a[0] - b[0], a[1] - b[1]);
        if (pinch > 0 && d > 0) {
          M._qz_zoom(d / pinch, (a[0] + b[0]) / 2, (a[1] + b[1]) / 2);
          draw();
          changed();
        }
        pinch = d;
        return;
      }
      const [x, y] = surfacePoint(e);
      if (M._qz_pointer_move(x, y)) {
        draw();
        showValue();
        changed();
      }
    });
    const end = (e) => {
      if (!pointers.delete(e.pointerId)) return;
      if (pointers.size === 0) M._qz_pointer_up();
    };
    canvas.addEventListener("pointerup", end);
    canvas.addEventListener("pointercancel", end);
    canvas.addEventListener("wheel", (e) => {
      const [x, y] = surfacePoint(e);
      M._qz_zoom(e.deltaY < 0 ? 1.1 : 1 / 1.1, x, y);
      draw();
      changed();
      e.preventDefault();
    }, {passive: false});
  }

  // ---- Dropping a lesson file onto the page opens it. ----
  function attachDrop() {
    document.addEventListener("dragover", (e) => e.preventDefault());
    document.addEventListener("drop", async (e) => {
      e.preventDefault();
      const file = e.dataTransfer.files[0];
      if (!file) return;
      const bytes = new Uint8Array(await file.arrayBuffer());
      await openLesson([{title: file.name.replace(/\.qzl$/i, ""), bytes}]);
      changed();
    });
  }

  // A fresh module instance per lesson keeps the reset bytes those of the lesson shown.
  let wasm = null;
  async function openLesson(screens) {
    pause();
    try {
      wasm = wasm || decodeBase64($("qzarn-wasm").textContent.trim());
      M = await QzarnModule({wasmBinary: wasm});
    } catch (e) {
      fail("このブラウザーではレッスンを動かせません (WebAssembly を使えません)。");
      return false;
    }
    for (const s of screens) {
      const error = withBytes(s.bytes, (p) => withString(s.title, (t) => str(M._qz_add_screen(p, s.bytes.length, t))));
      if (error) {
        fail("「" + s.title + "」を開けません: " + error);
        return false;
      }
    }
    $("qz-message").hidden = true;
    buildTabs();
    return showScreen(0);
  }

  function decodeBase64(text) {
    const raw = atob(text);
    const bytes = new Uint8Array(raw.length);
    for (let i = 0; i < raw.length; ++i) bytes[i] = raw.charCodeAt(i);
    return bytes;
  }

  window.qzarn = {
    ready,
    screens() {
      const n = M ? M._qz_screen_count() : 0;
      return Array.from({length: n}, (_, i) => str(M._qz_screen_title(i)));
    },
    show(i) { return showScreen(Number(i)); },
    variables() { return variables(); },
    setVariable(name, value) { return setVariable(name, value); },
    figure(name) { return withString(String(name), (p) => JSON.parse(str(M._qz_figure(p)))); },
    reset() {
      pause();
      M._qz_reset();
      return showScreen(shown);
    },
  };

  async function start() {
    try {
      qzarnDraw.attach($("qz-canvas"));
      for (const s of steps) {
        const o = document.createElement("option");
        o.value = o.textContent = s;
        $("qz-step").appendChild(o);
      }
      $("qz-step").value = "0.1";
      $("qz-variable").addEventListener("change", showValue);
      $("qz-up").addEventListener("click", () => stepBy(1));
      $("qz-down").addEventListener("click", () => stepBy(-1));
      $("qz-value").addEventListener("change", () => {
        const v = Number($("qz-value").value.replace(/[^0-9.\-]/g, ""));
        if (Number.isFinite(v)) {
          setVariable($("qz-variable").value, Math.max(-limit, Math.min(limit, v)));
          changed();
        }
      });
      $("qz-value").addEventListener("keydown", (e) => {
        if (e.key === "ArrowUp") { stepBy(1); e.preventDefault(); }
        if (e.key === "ArrowDown") { stepBy(-1); e.preventDefault(); }
      });
      $("qz-play").addEventListener("click", () => (timer ? pause() : play()));
      $("qz-step-once").addEventListener("click", () => { pause(); animationStep(); });
      $("qz-reset").addEventListener("click", async () => { await window.qzarn.reset(); changed(); });
      attachPointer($("qz-canvas"));
      attachDrop();
      if (typeof QzarnModule !== "function") {
        fail("このページには計算部分が含まれていません。");
        return;
      }
      const lesson = JSON.parse($("qzarn-lesson").textContent);
      const screens = lesson.screens.map((s) => ({title: s.title, bytes: decodeBase64(s.data)}));
      if (await openLesson(screens)) resolveReady();
    } catch (e) {
      fail("レッスンを表示できません: " + (e && e.message ? e.message : e));
    }
  }
  start();
})();
