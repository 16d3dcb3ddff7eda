// Checks published lesson pages in headless Chromium through its WebDriver (chromedriver):
// for each lesson, the page loads with no console error and no network request, its canvas
// agrees with `qzarn-cli render` outside text, a drag of a free point lands where the desktop
// puts it in the screen's coordinate system, a palette step changes the variable and the
// picture, and ten animation steps give the desktop player's values.
// usage: node page_check.mjs QZARN_CLI WORK_DIR LESSON.qzl... ; prints one line per lesson
// with sizes and times, exits 1 when any check fails.
import {execFileSync, spawn} from "node:child_process";
import {readFileSync, mkdirSync, statSync} from "node:fs";
import {basename, resolve} from "node:path";

const [cli, work, ...lessons] = process.argv.slice(2);
mkdirSync(work, {recursive: true});
// A pixel agrees when some pixel within one of it on the other picture differs by at most
// this much in every channel (antialiased edges fall half a pixel apart between renderers).
const kTolerance = 48;
const kAgreeShare = 0.97;

const port = 9515 + (process.pid % 500);
const driver = spawn("chromedriver", ["--port=" + port], {stdio: "ignore"});
const base = "http://127.0.0.1:" + port;
async function call(method, path, body) {
  const r = await fetch(base + path, {method, headers: {"Content-Type": "application/json"},
                                      body: body === undefined ? undefined : JSON.stringify(body)});
  const json = await r.json();
  if (json.value && json.value.error) throw new Error(json.value.error + ": " + json.value.message);
  return json.value;
}
async function waitForDriver() {
  for (let i = 0; i < 100; ++i) {
    try { await call("GET", "/status"); return; } catch { await new Promise((r) => setTimeout(r, 100)); }
  }
  throw new Error("chromedriver did not start");
}

let failures = 0;
const dragsByKind = {};
function check(ok, lesson, what) {
  if (!ok) {
    failures++;
    console.log("FAIL " + lesson + ": " + what);
  }
}

// Compares the page's canvas with the reference PNG outside the text boxes, in the page.
const compareScript = `
const [png, done] = arguments;
const img = new Image();
img.onload = () => {
  const c = document.getElementById("qz-canvas");
  const w = img.width, h = img.height;
  const ref = document.createElement("canvas"); ref.width = w; ref.height = h;
  const rg = ref.getContext("2d"); rg.drawImage(img, 0, 0);
  const a = rg.getImageData(0, 0, w, h).data;
  const cur = document.createElement("canvas"); cur.width = w; cur.height = h;
  const cg = cur.getContext("2d"); cg.drawImage(c, 0, 0, w, h);
  const b = cg.getImageData(0, 0, w, h).data;
  const mask = new Uint8Array(w * h);
  for (const [l, t, bw, bh] of qzarnDraw.textBoxes())
    for (let y = Math.max(0, Math.floor(t) - 1); y < Math.min(h, Math.ceil(t + bh) + 1); ++y)
      for (let x = Math.max(0, Math.floor(l) - 1); x < Math.min(w, Math.ceil(l + bw) + 1); ++x) mask[y * w + x] = 1;
  const near = (p, q, x, y) => {
    for (let dy = -1; dy <= 1; ++dy) for (let dx = -1; dx <= 1; ++dx) {
      const X = x + dx, Y = y + dy;
      if (X < 0 || Y < 0 || X >= w || Y >= h) continue;
      const i = (y * w + x) * 4, j = (Y * w + X) * 4;
      if (Math.abs(p[i] - q[j]) <= ${kTolerance} && Math.abs(p[i + 1] - q[j + 1]) <= ${kTolerance} &&
          Math.abs(p[i + 2] - q[j + 2]) <= ${kTolerance}) return true;
    }
    return false;
  };
  let agree = 0, counted = 0;
  for (let y = 0; y < h; ++y) for (let x = 0; x < w; ++x) {
    if (mask[y * w + x]) continue;
    counted++;
    if (near(a, b, x, y) && near(b, a, x, y)) agree++;
  }
  done({agree, counted, width: c.width, height: c.height});
};
img.onerror = () => done({error: "reference picture"});
img.src = "data:image/png;base64," + png;`;

const pictureHash = `
const c = document.getElementById("qz-canvas");
const d = c.getContext("2d").getImageData(0, 0, c.width, c.height).data;
let h = 0;
for (let i = 0; i < d.length; i += 4) h = (h * 31 + d[i] + 7 * d[i + 1] + 13 * d[i + 2]) | 0;
return h;`;

const median = (xs) => [...xs].sort((p, q) => p - q)[Math.floor(xs.length / 2)];
const roundHalfEven = (v) => {
  const r = Math.round(v);
  return Math.abs(v % 1) === 0.5 && r % 2 !== 0 ? r - 1 : r;
};

// Where a mouse pixel lands on the screen's plane: each coordinate rounded to the snap step;
// degree and radian planes count x in quarter turns, polar planes round angle and radius.
function snapMouse(s, px, py) {
  const unit = s.Scale * (s.Zoom || 100) / 100;
  const x = (px - s.PanX - s.CentreX) / unit, y = -(py - s.PanY - s.CentreY) / unit;
  const h = s.SnapStep;
  const round = (v, step) => roundHalfEven(v / step) * step;
  const ys = s.AutoYTick ? h : h * s.YTick;
  let xs = s.AutoXTick ? h : h * s.XTick;
  if (s.CoordinateKind === 3) {
    const angle = round(Math.atan2(y, x) * 180 / Math.PI, h * (s.AutoYTick ? 15 : 180 / s.YTick));
    const r = round(Math.hypot(x, y), xs);
    return [r * Math.cos(angle * Math.PI / 180), r * Math.sin(angle * Math.PI / 180)];
  }
  if (s.CoordinateKind === 1 || s.CoordinateKind === 2)
    xs = s.AutoXTick ? h * Math.PI / 2 : h * s.XTick * Math.PI / 6;
  return [round(x, xs), round(y, ys)];
}

// The player's values move to the nearest millionth.
const snapShown = (v) => {
  const n = roundHalfEven(v / 0.000001);
  return Math.abs(n) <= 2147483647 ? n * 0.000001 : v;
};
// The values a forward play from `start` redraws, first `n`: start, start + step, … while a
// tenth of a step below the maximum, then the maximum; a value equal to the variable's
// present one draws nothing.
function forwardPlay(start, minimum, maximum, step, n) {
  const out = [];
  let p = start, last = start;
  for (;;) {
    const end = !(p <= maximum - 0.1 * step);
    const v = end ? maximum : snapShown(p);
    p += step;
    if (v !== last) out.push(v);
    last = v;
    if (end || out.length === n) return out;
  }
}
const variableName = (index) => String.fromCharCode(97 + index % 26) + (index >= 26 ? Math.floor(index / 26) : "");

// Ten animation steps in the page: a forward play of the user-defined palette's first box at
// the shortest pause until ten redraws or the end of its range, then stop; without such a
// palette, ten single steps of the standard palette's variable, then stop.
const playScript = `
const [name, done] = arguments;
const $ = (id) => document.getElementById(id);
const start = qzarn.variables()[name], values = [];
let finished = false, poll = null;
const listen = () => { values.push(qzarn.variables()[name]); if (values.length === 10) finish(); };
const finish = () => {
  if (finished) return;
  finished = true;
  window.removeEventListener("qzarn:changed", listen);
  clearInterval(poll);
  $("qz-pause-button").click();
  $("qz-stop").click();
  done({start, values, stopped: qzarn.variables()[name]});
};
$("qz-pause").value = "0";
$("qz-pause").dispatchEvent(new Event("change"));
$("qz-target").value = "0";
window.addEventListener("qzarn:changed", listen);
$("qz-aplay").click();
poll = setInterval(() => { if (!$("qz-aplay").hasAttribute("aria-pressed")) finish(); }, 20);`;
const stepScript = `
const $ = (id) => document.getElementById(id);
const name = $("qz-variable").value;
if (!name) return null;
const start = qzarn.variables()[name], values = [];
for (let i = 0; i < 10; ++i) { $("qz-forward").click(); values.push(qzarn.variables()[name]); }
$("qz-stop").click();
return {name, start, values, stopped: qzarn.variables()[name]};`;

function checkAnimation(lesson, dump, run) {
  if (!run) return;
  const near = (a, b) => a.length === b.length && a.every((v, i) => Math.abs(v - b[i]) < 1e-12);
  check(near(run.values, run.expected), lesson,
        `animation of ${run.name} gave ${run.values.join(", ")}, expected ${run.expected.join(", ")}`);
  check(Math.abs(run.stopped - run.initial) < 1e-12, lesson,
        `stop left ${run.name} at ${run.stopped}, expected ${run.initial}`);
}

async function run() {
  await waitForDriver();
  const session = await call("POST", "/session", {capabilities: {alwaysMatch: {
    browserName: "chrome",
    "goog:chromeOptions": {args: ["--headless=new", "--no-sandbox", "--disable-gpu",
                                  "--window-size=1200,900", "--force-device-scale-factor=1"]},
    "goog:loggingPrefs": {browser: "ALL"},
  }}});
  const sid = session.sessionId;
  const exec = (script, args = []) => call("POST", `/session/${sid}/execute/sync`, {script, args});
  const execAsync = (script, args = []) => call("POST", `/session/${sid}/execute/async`, {script, args});
  async function animate(dump) {
    const box = dump.palette.find((p) => p.Kind === 1);
    if (box) {
      const name = variableName(box.Variable);
      const run = await execAsync(playScript, [name]);
      const from = Math.max(box.Minimum, Math.min(box.Maximum, run.start));
      return {...run, name, initial: box.InitialValue,
              expected: forwardPlay(from, box.Minimum, box.Maximum, box.Step, 10)};
    }
    const run = await exec(stepScript);
    if (!run) return null;
    const step = dump.settings.PaletteStep, expected = [];
    for (let v = run.start, i = 0; i < 10; ++i) expected.push(v = snapShown(Math.min(v + step, 100)));
    return {...run, initial: run.start, expected};
  }
  await call("POST", `/session/${sid}/timeouts`, {script: 30000});
  try {
    for (const lesson of lessons) {
      const name = basename(lesson, ".qzl");
      const html = resolve(work, name + ".html"), png = resolve(work, name + ".png");
      execFileSync(cli, ["publish", lesson, "-o", html]);
      execFileSync(cli, ["render", lesson, "-o", png], {env: {...process.env, QT_QPA_PLATFORM: "offscreen"}});
      const dump = JSON.parse(execFileSync(cli, ["dump", lesson], {maxBuffer: 1 << 28}).toString());
      await call("POST", `/session/${sid}/url`, {url: "file://" + html});
      const load = await execAsync(`const done = arguments[0];
        qzarn.ready.then(() => done({ms: performance.now()}), (e) => done({error: String(e)}));`);
      check(!load.error, name, "page did not become ready: " + load.error);
      if (load.error) continue;
      // Every page, with or without palettes, lets the pupil return the lesson to how it came.
      check(await exec(`return document.getElementById("qz-reset").offsetParent !== null;`), name,
            "the reset button is not shown");
      const resources = await exec(`return performance.getEntriesByType("resource").length;`);
      check(resources === 0, name, resources + " network requests");

      const cmp = await execAsync(compareScript, [readFileSync(png).toString("base64")]);
      const share = cmp.counted ? cmp.agree / cmp.counted : 0;
      check(!cmp.error && share >= kAgreeShare, name, "canvas agrees on " + (100 * share).toFixed(2) + "% only");

      // Palette steps of the first used variable by ±0.5: the variable and the picture change.
      const vars = await exec(`return qzarn.variables();`);
      const names = Object.keys(vars);
      let stepMs = NaN;
      if (names.length) {
        const before = await exec(pictureHash);
        const r = await exec(`const [name, v] = arguments, times = [];
          for (let i = 0; i < 5; ++i) {
            const t = performance.now();
            qzarn.setVariable(name, v + (i % 2 ? 0 : 0.5));
            times.push(performance.now() - t);
          }
          return [times, qzarn.variables()[name]];`, [names[0], vars[names[0]]]);
        stepMs = median(r[0]);
        check(Math.abs(r[1] - (vars[names[0]] + 0.5)) < 1e-9, name, "palette step did not set " + names[0]);
        check((await exec(pictureHash)) !== before, name, "palette step left the picture unchanged");
        await exec(`qzarn.reset();`);
      }
      checkAnimation(name, dump, await animate(dump));

      // A drag of a free point (plain-number coordinates) by about two units right and one up,
      // to whole pixels as a mouse gives them; the point must land where the screen's snapping
      // puts that pixel in its coordinate system.
      // A coordinate written as a number takes the new one; one written as a variable sets the
      // variable, and the point with it.
      const movable = (text) => /^-?[0-9.]+$/.test(text) || /^[a-z][1-9]?$/.test(text);
      const s = dump.settings;
      const unit = s.Scale * (s.Zoom || 100) / 100;
      const pixel = (f) => [s.CentreX + s.PanX + f.fields.X * unit, s.CentreY + s.PanY - f.fields.Y * unit];
      const inside = (x, y) => x >= 12 && y >= 12 && x < s.ScreenWidth - 12 && y < s.ScreenHeight - 12;
      // Points written with variables first: their drag moves everything that uses them.
      const written = (f) => /^[a-z]/.test(f.fields.FX) || /^[a-z]/.test(f.fields.FY) ? 0 : 1;
      const free = [...dump.figures].sort((p, q) => written(p) - written(q)).find((f) => {
        if (f.type !== 2 || f.fields.Mode !== 0 || f.fields.Boolean || !f.fields.Name) return false;
        const {FX, FY} = f.fields;
        if (!movable(FX) || !movable(FY) || (FX === FY && /^[a-z]/.test(FX))) return false;
        const [x, y] = pixel(f);
        return inside(x, y) && inside(x + 2 * unit, y - unit);
      });
      let dragMs = NaN;
      if (free) {
        const [px, py] = pixel(free);
        const tx = Math.round(px + 2 * unit), ty = Math.round(py - unit);
        const r = await exec(`const [name, px, py, tx, ty] = arguments;
          const c = document.getElementById("qz-canvas"), box = c.getBoundingClientRect();
          const fire = (type, x, y) => c.dispatchEvent(new PointerEvent(type, {pointerId: 1, bubbles: true,
              clientX: box.left + x, clientY: box.top + y, pointerType: "mouse", buttons: 1}));
          fire("pointerdown", px, py);
          const times = [];
          for (let i = 1; i <= 6; ++i) {
            const t = performance.now();
            fire("pointermove", px + (tx - px) * i / 6, py + (ty - py) * i / 6);
            times.push(performance.now() - t);
          }
          fire("pointerup", tx, ty);
          const f = qzarn.figure(name);
          const boxes = [...document.querySelectorAll("#qz-user-surface input")];
          return [times, f.X, f.Y, boxes.map((b) => [b.getAttribute("aria-label"), b.value])];`,
          [free.fields.Name, px, py, tx, ty]);
        dragMs = median(r[0]);
        const [ex, ey] = snapMouse(s, tx, ty);
        check(Math.abs(r[1] - ex) < 1e-9 && Math.abs(r[2] - ey) < 1e-9, name,
              `drag of ${free.fields.Name} gave (${r[1]}, ${r[2]}), expected (${ex}, ${ey})`);
        // A user-defined palette box of a variable the drag wrote shows its new value.
        for (const [variable, shown] of r[3]) {
          const expected = variable === free.fields.FX ? ex : variable === free.fields.FY ? ey : null;
          check(expected === null || Math.abs(Number(shown) - expected) < 1e-9, name,
                `palette box ${variable} shows ${shown} after the drag, expected ${expected}`);
        }
        dragsByKind[s.CoordinateKind] = (dragsByKind[s.CoordinateKind] || 0) + 1;
        await exec(`qzarn.reset();`);
      }
      const logs = await call("POST", `/session/${sid}/se/log`, {type: "browser"});
      const errors = logs.filter((l) => l.level === "SEVERE");
      check(errors.length === 0, name, "console errors: " + errors.map((l) => l.message).join(" | "));
      console.log(`${name}: ${(statSync(html).size / 1024).toFixed(0)} KiB, first picture ${load.ms.toFixed(0)} ms, ` +
                  `agree ${(100 * share).toFixed(2)}% outside text, palette step ${stepMs.toFixed(1)} ms, ` +
                  `drag step ${dragMs.toFixed(1)} ms${free ? "" : " (no free point)"} (medians)`);
    }
    // Every coordinate system the lessons use has had its drag checked.
    console.log("drags checked per coordinate system: " + JSON.stringify(dragsByKind));
  } finally {
    await call("DELETE", `/session/${sid}`).catch(() => {});
  }
}

run().then(() => { driver.kill(); process.exit(failures ? 1 : 0); },
           (e) => { console.log("FAIL " + e.message); driver.kill(); process.exit(1); });
