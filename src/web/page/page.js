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
    stopTimer();
    if (!M._qz_show(i)) return false;
    shown = i;
    [...$("qz-tabs").children].forEach((b, k) => b.setAttribute("aria-selected", k === i));
    await decodeBackground();
    // The picture first: its width decides whether the palette fits beside it.
    draw();
    fillPalette();
    refreshValues();
    return true;
  }

  // ---- The palettes ----
  // The standard palette lists the variables the screen leaves free and never goes beyond
  // ±100; the user-defined palette shows the screen's own design: labels and boxes at their
  // places, each box with its own range and step. What each writes into the screen goes
  // through the module, as on the desktop.
  function variables() { return JSON.parse(str(M._qz_variables())); }
  let palettes = {boxes: [], labels: []};
  const number = (text) => Number(String(text).replace(/[^0-9.\-]/g, ""));
  const shownValue = (v) => String(Math.round(v * 1e10) / 1e10);

  function fillPalette() {
    palettes = JSON.parse(str(M._qz_palettes()));
    const vars = variables();
    const select = $("qz-variable");
    select.textContent = "";
    for (const name of Object.keys(vars)) {
      const o = document.createElement("option");
      o.value = o.textContent = name;
      select.appendChild(o);
    }
    const names = Object.keys(vars);
    select.value = palettes.variable in vars ? palettes.variable : (names[0] || "");
    if (select.value) withString(select.value, (p) => M._qz_select_variable(p));
    const step = String(palettes.step);
    if (![...$("qz-step").options].some((o) => o.value === step)) {
      const o = document.createElement("option");
      o.value = o.textContent = step;
      $("qz-step").appendChild(o);
    }
    $("qz-step").value = step;
    const designed = palettes.boxes.length > 0 || palettes.labels.length > 0;
    // A lesson whose author chose the user-defined palette shows that one alone.
    $("qz-palette").hidden = names.length === 0 || (palettes.mode === 2 && designed);
    $("qz-user-palette").hidden = !designed;
    buildUserPalette();
    fillTargets();
    showValue();
  }
  function value(name) { return withString(String(name), (p) => M._qz_value(p)); }
  function showValue() {
    const name = $("qz-variable").value;
    const v = name ? value(name) : NaN;
    $("qz-value").value = Number.isNaN(v) ? "" : shownValue(v);
  }
  function afterPaletteChange() {
    draw();
    refreshValues();
    changed();
  }
  function refreshValues() {
    showValue();
    palettes = JSON.parse(str(M._qz_palettes()));
    palettes.boxes.forEach((b, i) => {
      const input = $("qz-box-" + i);
      if (input && document.activeElement !== input) input.value = b.text;
    });
  }
  function setVariable(name, value) {
    if (!withString(String(name), (p) => M._qz_set_variable(p, Number(value)))) return false;
    draw();
    refreshValues();
    return true;
  }
  function stepBy(direction) {
    const name = $("qz-variable").value;
    if (!name) return;
    const step = Number($("qz-step").value) || 0;
    const v = number($("qz-value").value) || 0;
    const next = Math.max(-limit, Math.min(limit, Math.round((v + direction * step) * 1e10) / 1e10));
    if (next !== value(name)) {
      setVariable(name, next);
      changed();
    }
  }

  // Point sizes on a 96 dpi surface, as the desktop palette shows them.
  const pixels = (points) => Math.max(1, Math.round(points * 96 / 72));
  function fontStyle(element, item, scale) {
    element.style.fontSize = pixels(item.size || 10) * scale + "px";
    if (item.font) element.style.fontFamily = qzarnDraw.fontFamily(item.font);
    element.style.color = item.colour;
    element.style.fontWeight = item.style & 1 ? "bold" : "normal";
    element.style.fontStyle = item.style & 2 ? "italic" : "normal";
    element.style.textDecoration = [item.style & 4 ? "underline" : "", item.style & 8 ? "line-through" : ""].join(" ").trim() || "none";
  }
  // A finger needs larger boxes than the design's mouse-sized ones: on a touch screen the
  // palette grows until its smallest box is 40 pixels high, as far as the page is wide.
  function paletteScale() {
    const coarse = window.matchMedia && window.matchMedia("(pointer: coarse)").matches;
    const smallest = Math.min(...palettes.boxes.map((b) => b.height).filter((h) => h > 0), 40);
    let scale = coarse ? Math.min(2.5, 40 / smallest) : 1;
    // As wide as the controls' column: beside the picture, or the page's width below it.
    const room = Math.max(160, $("qz-controls").clientWidth - 4);
    if (palettes.width * scale > room) scale = Math.max(room / palettes.width, Math.min(1, scale));
    return scale;
  }
  function buildUserPalette() {
    const surface = $("qz-user-surface");
    surface.textContent = "";
    const scale = paletteScale();
    surface.style.width = palettes.width * scale + "px";
    surface.style.height = palettes.height * scale + "px";
    for (const l of palettes.labels) {
      const span = document.createElement("span");
      span.className = "qz-label";
      span.textContent = l.caption;
      span.style.left = l.left * scale + "px";
      span.style.top = l.top * scale + "px";
      fontStyle(span, l, scale);
      surface.appendChild(span);
    }
    palettes.boxes.forEach((b, i) => {
      const box = document.createElement("span");
      box.className = "qz-box";
      box.style.left = b.left * scale + "px";
      box.style.top = b.top * scale + "px";
      box.style.width = b.width * scale + "px";
      box.style.height = b.height * scale + "px";
      const input = document.createElement("input");
      input.id = "qz-box-" + i;
      input.inputMode = "decimal";
      input.maxLength = 10;
      input.value = b.text;
      input.setAttribute("aria-label", b.name);
      fontStyle(input, b, scale);
      const arrows = document.createElement("span");
      arrows.className = "qz-arrows";
      for (const [text, direction, label] of [["▲", 1, "増やす"], ["▼", -1, "減らす"]]) {
        const button = document.createElement("button");
        button.type = "button";
        button.textContent = text;
        button.tabIndex = -1;
        button.setAttribute("aria-label", b.name + " を" + label);
        button.addEventListener("click", () => {
          pickTarget(i);
          if (M._qz_step_box(i, direction)) afterPaletteChange();
        });
        arrows.appendChild(button);
      }
      // Typing keeps only what a number is made of; every complete number applies at once,
      // as the desktop box does, and leaving the box shows the value it took.
      input.addEventListener("input", () => {
        const clean = input.value.replace(/[^0-9.\-]/g, "");
        if (clean !== input.value) input.value = clean;
        const v = Number(clean);
        if (/[0-9]/.test(clean) && Number.isFinite(v) && M._qz_set_box_value(i, v)) afterPaletteChange();
      });
      input.addEventListener("change", () => refreshValuesAfterEdit(input, i));
      input.addEventListener("blur", () => refreshValuesAfterEdit(input, i));
      input.addEventListener("focus", () => pickTarget(i));
      input.addEventListener("keydown", (e) => {
        if (e.key !== "ArrowUp" && e.key !== "ArrowDown") return;
        if (M._qz_step_box(i, e.key === "ArrowUp" ? 1 : -1)) afterPaletteChange();
        input.value = palettes.boxes[i].text;
        e.preventDefault();
      });
      box.append(input, arrows);
      surface.appendChild(box);
    });
  }
  function refreshValuesAfterEdit(input, i) {
    refreshValues();
    if (palettes.boxes[i]) input.value = palettes.boxes[i].text;
  }

  // ---- The animation player: drives one box of the user-defined palette through its range
  // (or, without one, the standard palette's variable within ±100 by its step), exactly as
  // the desktop's player does; the module computes every value. ----
  let animeTimer = null, ticking = false;
  const commands = {aback: 0, back: 1, stop: 2, pause: 3, forward: 4, aplay: 5};
  function fillTargets() {
    const select = $("qz-target");
    select.textContent = "";
    palettes.boxes.forEach((b, i) => {
      const o = document.createElement("option");
      o.value = String(i);
      o.textContent = b.name;
      select.appendChild(o);
    });
    $("qz-target-label").hidden = palettes.boxes.length < 2;
    $("qz-player").hidden = palettes.boxes.length === 0 && $("qz-palette").hidden;
  }
  function animeTarget() { return palettes.boxes.length ? Number($("qz-target").value) : -1; }
  function pickTarget(i) {
    if (String(i) === $("qz-target").value) return;
    stopTimer();
    $("qz-target").value = String(i);
  }
  function pauseSeconds() {
    const v = Number($("qz-pause").value);
    return Number.isFinite(v) ? v : 1;
  }
  function stopTimer() {
    clearInterval(animeTimer);
    animeTimer = null;
    $("qz-aplay").removeAttribute("aria-pressed");
    $("qz-aback").removeAttribute("aria-pressed");
  }
  function startTimer() {
    clearInterval(animeTimer);
    animeTimer = setInterval(tick, M._qz_anime_interval(pauseSeconds()));
  }
  function animeResult(r) {
    if (r & 1) afterPaletteChange();
    if (!(r & 2)) stopTimer();
  }
  function animate(name) {
    stopTimer();
    if (name === "forward" || name === "back") {
      const v = $("qz-variable");
      if (animeTarget() < 0 && v.value) withString(v.value, (p) => M._qz_select_variable(p));
      M._qz_set_palette_step(Number($("qz-step").value) || 0);
    }
    const r = M._qz_animate(animeTarget(), commands[name]);
    animeResult(r);
    if (r & 2) {
      $("qz-" + name).setAttribute("aria-pressed", "true");
      startTimer();
    }
  }
  // A tick arriving while a step is still drawn is dropped: steps never nest.
  function tick() {
    if (ticking) return;
    ticking = true;
    try { animeResult(M._qz_anime_tick()); } finally { ticking = false; }
  }
  function pause() {
    stopTimer();
    if (M) M._qz_animate(animeTarget(), commands.pause);
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
        // A point written with variables moves them: both palettes show the new values.
        refreshValues();
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
      $("qz-variable").addEventListener("change", () => {
        withString($("qz-variable").value, (p) => M._qz_select_variable(p));
        showValue();
      });
      $("qz-step").addEventListener("change", () => M._qz_set_palette_step(Number($("qz-step").value) || 0));
      $("qz-up").addEventListener("click", () => stepBy(1));
      $("qz-down").addEventListener("click", () => stepBy(-1));
      $("qz-value").addEventListener("input", () => {
        const clean = $("qz-value").value.replace(/[^0-9.\-]/g, "");
        if (clean !== $("qz-value").value) $("qz-value").value = clean;
      });
      $("qz-value").addEventListener("change", () => {
        const name = $("qz-variable").value;
        const v = Math.max(-limit, Math.min(limit, number($("qz-value").value) || 0));
        if (name && v !== value(name)) {
          setVariable(name, v);
          changed();
        }
        showValue();
      });
      $("qz-value").addEventListener("keydown", (e) => {
        if (e.key === "ArrowUp") { stepBy(1); e.preventDefault(); }
        if (e.key === "ArrowDown") { stepBy(-1); e.preventDefault(); }
      });
      for (const name of Object.keys(commands))
        $(name === "pause" ? "qz-pause-button" : "qz-" + name).addEventListener("click", () => animate(name));
      $("qz-target").addEventListener("change", stopTimer);
      // A new pause holds at once, also while playing.
      $("qz-pause").addEventListener("change", () => { if (animeTimer) startTimer(); });
      $("qz-reset").addEventListener("click", async () => { await window.qzarn.reset(); changed(); });
      attachPointer($("qz-canvas"));
      attachDrop();
      // A tablet turned round gives the palette another width.
      let resizing = 0;
      window.addEventListener("resize", () => {
        cancelAnimationFrame(resizing);
        resizing = requestAnimationFrame(() => { if (M) buildUserPalette(); });
      });
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
