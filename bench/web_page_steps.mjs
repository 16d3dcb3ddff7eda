// Palette and drag step times of published lesson pages in headless Chromium, two builds
// interleaved: for each lesson, the pages of both programs take turns, each run timing 20
// palette steps (qzarn.setVariable) and 20 pointer moves of a drag with performance.now().
// Prints per lesson and program the median over runs of the per-run medians, with the
// lowest and highest run.
// usage: node web_page_steps.mjs RUNS WORK_DIR CLI_A CLI_B LESSON.qzl...
import {execFileSync, spawn} from "node:child_process";
import {mkdirSync} from "node:fs";
import {basename, resolve} from "node:path";

const [runs, work, cliA, cliB, ...lessons] = process.argv.slice(2);
mkdirSync(work, {recursive: true});
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
const median = (xs) => [...xs].sort((p, q) => p - q)[Math.floor(xs.length / 2)];

const stepScript = `
const [px, py] = arguments, vars = qzarn.variables(), name = Object.keys(vars)[0];
const palette = [], drag = [];
for (let i = 0; name !== undefined && i < 20; ++i) {
  const t = performance.now();
  qzarn.setVariable(name, vars[name] + (i % 2 ? 0 : 0.5));
  palette.push(performance.now() - t);
}
const c = document.getElementById("qz-canvas"), box = c.getBoundingClientRect();
const fire = (type, x, y) => c.dispatchEvent(new PointerEvent(type, {pointerId: 1, bubbles: true,
    clientX: box.left + x, clientY: box.top + y, pointerType: "mouse", buttons: 1}));
if (px >= 0) {
  fire("pointerdown", px, py);
  for (let i = 1; i <= 20; ++i) {
    const t = performance.now();
    fire("pointermove", px + (i % 10) * 3, py - (i % 10) * 2);
    drag.push(performance.now() - t);
  }
  fire("pointerup", px, py);
}
return [palette, drag];`;

async function run() {
  for (let i = 0; i < 100; ++i) {
    try { await call("GET", "/status"); break; } catch { await new Promise((r) => setTimeout(r, 100)); }
  }
  const session = await call("POST", "/session", {capabilities: {alwaysMatch: {browserName: "chrome",
    "goog:chromeOptions": {args: ["--headless=new", "--no-sandbox", "--disable-gpu", "--window-size=1200,900",
                                  "--force-device-scale-factor=1"]}}}});
  const sid = session.sessionId;
  try {
    for (const lesson of lessons) {
      const name = basename(lesson, ".qzl");
      const dump = JSON.parse(execFileSync(cliB, ["dump", lesson], {maxBuffer: 1 << 28}).toString());
      const s = dump.settings, unit = s.Scale * (s.Zoom || 100) / 100;
      const point = dump.figures.find((f) => f.type === 2 && f.fields.Mode === 0 && !f.fields.Boolean &&
          Math.abs(f.fields.X) * unit < s.ScreenWidth / 2 - 40 && Math.abs(f.fields.Y) * unit < s.ScreenHeight / 2 - 40);
      const at = point ? [s.CentreX + s.PanX + point.fields.X * unit, s.CentreY + s.PanY - point.fields.Y * unit] : [-1, -1];
      const pages = [cliA, cliB].map((cli, k) => {
        const html = resolve(work, `${name}-${k}.html`);
        execFileSync(cli, ["publish", lesson, "-o", html]);
        return html;
      });
      const results = [[[], []], [[], []]];
      for (let r = 0; r < Number(runs); ++r) {
        for (let k = 0; k < 2; ++k) {
          await call("POST", `/session/${sid}/url`, {url: "file://" + pages[k]});
          await call("POST", `/session/${sid}/execute/async`, {script: `const d = arguments[0]; qzarn.ready.then(() => d(1));`, args: []});
          const [palette, drag] = await call("POST", `/session/${sid}/execute/sync`, {script: stepScript, args: at});
          if (palette.length) results[k][0].push(median(palette));
          if (drag.length) results[k][1].push(median(drag));
        }
      }
      const show = (xs) => xs.length ? `${median(xs).toFixed(1)} [${Math.min(...xs).toFixed(1)}–${Math.max(...xs).toFixed(1)}]` : "–";
      console.log(`${name}: palette A ${show(results[0][0])} B ${show(results[1][0])} ms; ` +
                  `drag A ${show(results[0][1])} B ${show(results[1][1])} ms`);
    }
  } finally {
    await call("DELETE", `/session/${sid}`).catch(() => {});
  }
}
run().then(() => { driver.kill(); process.exit(0); }, (e) => { console.log("FAIL " + e.message); driver.kill(); process.exit(1); });
