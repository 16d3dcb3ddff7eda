// Checks published lesson pages in headless Chromium through its WebDriver (chromedriver):
// for each lesson, the page loads with no console error and no network request, its canvas
// agrees with `qzarn-cli render` outside text, a drag of a free point lands where the desktop
// puts it, a palette step changes the variable and the picture, and ten animation steps run.
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
      const resources = await exec(`return performance.getEntriesByType("resource").length;`);
      check(resources === 0, name, resources + " network requests");

      const cmp = await execAsync(compareScript, [readFileSync(png).toString("base64")]);
      const share = cmp.counted ? cmp.agree / cmp.counted : 0;
      check(!cmp.error && share >= kAgreeShare, name, "canvas agrees on " + (100 * share).toFixed(2) + "% only");

      // A palette step: the first used variable by 0.5.
      const vars = await exec(`return qzarn.variables();`);
      const names = Object.keys(vars);
      let stepMs = NaN;
      if (names.length) {
        const before = await exec(pictureHash);
        const r = await exec(`const t = performance.now(); qzarn.setVariable(arguments[0], arguments[1]);
                              return [performance.now() - t, qzarn.variables()[arguments[0]]];`,
                             [names[0], vars[names[0]] + 0.5]);
        stepMs = r[0];
        check(Math.abs(r[1] - (vars[names[0]] + 0.5)) < 1e-9, name, "palette step did not set " + names[0]);
        check((await exec(pictureHash)) !== before, name, "palette step left the picture unchanged");
        await exec(`qzarn.reset();`);
        // Ten animation steps of the palette's variable.
        const steps = await exec(`for (let i = 0; i < 10; ++i) document.getElementById("qz-step-once").click();
                                  return qzarn.variables()[document.getElementById("qz-variable").value];`);
        check(Number.isFinite(steps), name, "animation steps failed");
        await exec(`qzarn.reset();`);
      }

      // A drag of a free point (plain-number coordinates) by two units right and one up, on the
      // standard plane (degree, radian and polar planes snap the pointer to their own steps).
      const s = dump.settings;
      const unit = s.Scale * (s.Zoom || 100) / 100;
      const free = s.CoordinateKind === 0 && dump.figures.find((f) => f.type === 2 && f.fields.Mode === 0 && !f.fields.Boolean &&
          /^-?[0-9.]+$/.test(f.fields.FX) && /^-?[0-9.]+$/.test(f.fields.FY) && f.fields.Name &&
          Math.abs(f.fields.X) < 6 && Math.abs(f.fields.Y) < 4);
      let dragMs = NaN;
      if (free) {
        const px = s.CentreX + s.PanX + free.fields.X * unit, py = s.CentreY + s.PanY - free.fields.Y * unit;
        const r = await exec(`const [name, px, py, dx, dy] = arguments;
          const c = document.getElementById("qz-canvas"), box = c.getBoundingClientRect();
          const fire = (type, x, y) => c.dispatchEvent(new PointerEvent(type, {pointerId: 1, bubbles: true,
              clientX: box.left + x, clientY: box.top + y, pointerType: "mouse", buttons: 1}));
          fire("pointerdown", px, py);
          const t = performance.now();
          fire("pointermove", px + dx / 2, py + dy / 2);
          fire("pointermove", px + dx, py + dy);
          const ms = (performance.now() - t) / 2;
          fire("pointerup", px + dx, py + dy);
          const f = qzarn.figure(name);
          return [ms, f.X, f.Y];`, [free.fields.Name, px, py, 2 * unit, -unit]);
        dragMs = r[0];
        check(Math.abs(r[1] - (free.fields.X + 2)) < 1e-9 && Math.abs(r[2] - (free.fields.Y + 1)) < 1e-9,
              name, `drag of ${free.fields.Name} gave (${r[1]}, ${r[2]}), expected (${free.fields.X + 2}, ${free.fields.Y + 1})`);
      }
      const logs = await call("POST", `/session/${sid}/se/log`, {type: "browser"});
      const errors = logs.filter((l) => l.level === "SEVERE");
      check(errors.length === 0, name, "console errors: " + errors.map((l) => l.message).join(" | "));
      console.log(`${name}: ${(statSync(html).size / 1024).toFixed(0)} KiB, first picture ${load.ms.toFixed(0)} ms, ` +
                  `agree ${(100 * share).toFixed(2)}% outside text, palette step ${stepMs.toFixed(1)} ms, ` +
                  `drag step ${dragMs.toFixed(1)} ms${free ? "" : " (no free point)"}`);
    }
  } finally {
    await call("DELETE", `/session/${sid}`).catch(() => {});
  }
}

run().then(() => { driver.kill(); process.exit(failures ? 1 : 0); },
           (e) => { console.log("FAIL " + e.message); driver.kill(); process.exit(1); });
