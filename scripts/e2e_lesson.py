#!/usr/bin/python3
"""One lesson in the desktop program, driven as a teacher drives it.

Runs the program on a private X server with its own session bus, finds menus,
buttons, fields and windows through the accessibility tree (AT-SPI) and sends
real pointer and key input with xdotool. Every window of the program must lie
wholly on the screen at every step; every dialog is photographed.

The lesson: two points, a line by two clicks, a circle centred on a point, a
function, dragging the centre, copying the circle to a new screen, saving and
reading the records back, and the font button's OK leaving the record as it was.

    e2e_lesson.py --screen 1280x800 --scale 1 --shots DIR --bin QZARN --cli QZARN_CLI

Every check fails the pass. QZARN_E2E_STRICT=0 lets four of them (window placement,
click-click construction, copy after a drag, the font round trip) report PENDING
instead, for trying the lesson against an older build.
Exit status: 0 passed, 1 failed, 2 could not run.
"""

import argparse
import json
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

STRICT = os.environ.get("QZARN_E2E_STRICT") != "0"


class Failure(Exception):
    pass


def log(text):
    print(f"e2e: {text}", flush=True)


def norm(caption):
    """A caption without its access key, ellipsis and surrounding blanks."""
    caption = re.sub(r"\(&?[A-Za-z0-9]\)", "", caption or "")
    return caption.replace("&", "").replace("...", "").strip()


class Lesson:
    def __init__(self, args):
        self.args = args
        self.width, self.height = (int(v) for v in args.screen.split("x"))
        self.scale = float(args.scale)
        self.shots = os.path.abspath(args.shots)
        os.makedirs(self.shots, exist_ok=True)
        self.work = tempfile.mkdtemp(prefix="qzarn-e2e-")
        self.procs = []
        self.pending = []
        self.shot_number = 0
        self.app = None
        self.atspi = None

    # ---- processes ------------------------------------------------------------------

    def start(self):
        # A free display chosen by the server itself, written to its output.
        xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", "1", "-screen", "0", f"{self.width}x{self.height}x24",
             "-nolisten", "tcp"],
            stdout=subprocess.PIPE, stderr=open(os.path.join(self.work, "xvfb.log"), "w"))
        self.procs.append(xvfb)
        ready, _, _ = select.select([xvfb.stdout], [], [], 15)
        display = os.read(xvfb.stdout.fileno(), 64).decode().strip() if ready else ""
        if not display.isdigit():
            raise Failure("Xvfb did not start")
        os.environ["DISPLAY"] = f":{display}"

        bus = subprocess.run(
            ["dbus-daemon", "--session", "--fork", "--print-address=1", "--print-pid=1"],
            check=True, capture_output=True, text=True, timeout=15).stdout.split()
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = bus[0]
        self.bus_pid = int(bus[1])

        home = os.path.join(self.work, "home")
        os.makedirs(os.path.join(home, "undo"), mode=0o700)
        os.chmod(home, 0o700)  # a private runtime folder, as the session would give
        env = dict(os.environ)
        env.update({
            "QT_QPA_PLATFORM": "xcb",
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
            "QT_ACCESSIBILITY": "1",
            "QT_SCALE_FACTOR": str(self.args.scale),
            "QZARN_USER_INI": os.path.join(home, "user.ini"),
            "QZARN_UNDO_DIR": os.path.join(home, "undo"),
            "XDG_RUNTIME_DIR": home,
            "HOME": home,
            "LC_ALL": "C.UTF-8",
        })
        self.program = subprocess.Popen(
            [self.args.bin], env=env, stdout=open(os.path.join(self.work, "app.log"), "w"),
            stderr=subprocess.STDOUT)
        self.procs.append(self.program)

        # Only now, with the bus in the environment, can the AT-SPI library connect.
        import pyatspi  # noqa: E402
        self.atspi = pyatspi
        self.app = self.wait(self.find_app, "the program on the accessibility bus", 30)
        # Windows come and go: every question goes to the program, none to a cache.
        from gi.repository import Atspi
        self.app.set_cache_mask(Atspi.Cache.NONE)
        self.main = self.wait(lambda: self.top_level(r"^Sorvane - "), "the main window")
        self.check_windows("start")

    def stop(self):
        for p in reversed(self.procs):
            if p.poll() is None:
                p.terminate()
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()
        if getattr(self, "bus_pid", None):
            try:
                os.kill(self.bus_pid, signal.SIGTERM)
            except ProcessLookupError:
                pass
        if os.environ.get("QZARN_E2E_KEEP") != "1":
            shutil.rmtree(self.work, ignore_errors=True)
        else:
            log(f"work folder kept: {self.work}")

    # ---- waiting --------------------------------------------------------------------

    def wait(self, probe, what, seconds=10):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            if self.program.poll() is not None:
                raise Failure(f"the program ended (waiting for {what})")
            try:
                found = probe()
            except Exception:  # the tree changes under a walk; try again
                found = None
            if found:
                return found
            time.sleep(0.1)
        raise Failure(f"waited {seconds} s in vain for {what}")

    def pause(self, seconds=0.3):
        time.sleep(seconds)

    # ---- the accessibility tree -----------------------------------------------------

    def find_app(self):
        desktop = self.atspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.get_process_id() == self.program.pid:
                return app
        return None

    def top_levels(self):
        return [self.app.getChildAtIndex(i) for i in range(self.app.childCount)]

    def top_level(self, pattern):
        for w in self.top_levels():
            if w is not None and re.search(pattern, w.name or "") and self.showing(w):
                return w
        return None

    def showing(self, node):
        return node.getState().contains(self.atspi.STATE_SHOWING)

    def descendants(self, root, depth=12):
        queue = [(root, 0)]
        while queue:
            node, d = queue.pop(0)
            yield node
            if d < depth:
                for i in range(node.childCount):
                    child = node.getChildAtIndex(i)
                    if child is not None:
                        queue.append((child, d + 1))

    def find(self, root, role, caption, seconds=10):
        """The first node of the role whose caption (access key aside) matches;
        any caption for None."""
        wanted = None if caption is None else norm(caption)

        def probe():
            for node in self.descendants(root):
                if node.getRoleName() == role and wanted in (None, norm(node.name)):
                    return node
            return None
        return self.wait(probe, f"{role} '{caption}'", seconds)

    def press(self, node):
        """Runs the node's first action (press, click). The program answers only
        once the action has run, so an action that opens a modal dialog leaves
        the call without an answer: the dialog is there all the same."""
        from gi.repository import GLib
        try:
            node.queryAction().doAction(0)
        except GLib.Error as error:
            if "Did not receive a reply" not in str(error):
                raise
        self.pause()

    def menu(self, *path):
        """Runs a command of the main window's menu bar: 図形(I) → 直線(L) → ２点指定(P)."""
        bar = self.find(self.main, "menu bar", None)
        node = bar
        for i, caption in enumerate(path):
            role = "menu item" if i == len(path) - 1 else ("menu", "menu item")
            wanted = norm(caption)
            found = None
            for candidate in self.descendants(node, 3):
                if candidate is node:
                    continue
                if candidate.getRoleName() in (role if isinstance(role, tuple) else (role,)) \
                        and norm(candidate.name) == wanted:
                    found = candidate
                    break
            if found is None:
                raise Failure(f"no menu item {' → '.join(path[:i + 1])}")
            node = found
        if not node.getState().contains(self.atspi.STATE_ENABLED):
            raise Failure(f"menu item {' → '.join(path)} is disabled")
        self.press(node)

    def field(self, dialog, pattern):
        """The shown single-line text field of the dialog whose accessible name
        matches the pattern."""
        fields = [n for n in self.descendants(dialog)
                  if n.getRoleName() == "text" and self.showing(n)
                  and n.getState().contains(self.atspi.STATE_EDITABLE)]
        for node in fields:
            if re.search(pattern, node.name or ""):
                return node
        raise Failure(f"{dialog.name}: no text field named like '{pattern}' among "
                      f"{[n.name for n in fields]}")

    def type_into(self, node, text):
        node.queryComponent().grabFocus()
        self.pause(0.2)
        self.key("ctrl+a")
        subprocess.run(["xdotool", "type", "--delay", "20", text], check=True, timeout=20)

    def status_position(self):
        """The pointer position the status bar shows, as (x, y), or None."""
        for node in self.descendants(self.main, 4):
            if node.getRoleName() != "status bar":
                continue
            for i in range(node.childCount):
                label = node.getChildAtIndex(i)
                try:
                    text = label.queryText().getText(0, -1)
                except NotImplementedError:
                    text = label.name or ""
                m = re.search(r"\((-?[\d.]+), (-?[\d.]+)\)\s*$", text or label.name or "")
                if m:
                    return float(m.group(1)), float(m.group(2))
        return None

    # ---- the X server ---------------------------------------------------------------

    def key(self, *keys):
        subprocess.run(["xdotool", "key", "--delay", "60", *keys], check=True, timeout=20)
        self.pause(0.2)

    def xwindows(self):
        out = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid",
                              str(self.program.pid)], capture_output=True, text=True,
                             timeout=10).stdout.split()
        windows = []
        for wid in out:
            geo = subprocess.run(["xdotool", "getwindowgeometry", "--shell", wid],
                                 capture_output=True, text=True, timeout=10).stdout
            values = dict(line.split("=", 1) for line in geo.split() if "=" in line)
            name = subprocess.run(["xdotool", "getwindowname", wid], capture_output=True,
                                  text=True, timeout=10).stdout.strip()
            try:
                windows.append((name, int(values["X"]), int(values["Y"]),
                                int(values["WIDTH"]), int(values["HEIGHT"]), wid))
            except KeyError:
                continue
        return windows

    def check_windows(self, when):
        """Every shown window of the program lies wholly on the screen."""
        outside = [w for w in self.xwindows()
                   if w[3] > 1 and w[4] > 1 and (w[1] < 0 or w[2] < 0 or w[1] + w[3] > self.width
                                                 or w[2] + w[4] > self.height)]
        for name, x, y, w, h, _ in outside:
            self.pend(f"window placement ({when})",
                      f"'{name}' at ({x}, {y}) {w} x {h} is not wholly on the "
                      f"{self.width} x {self.height} screen")

    def shot(self, name):
        self.shot_number += 1
        path = os.path.join(self.shots, f"{self.shot_number:02d}-{name}.png")
        subprocess.run(["import", "-window", "root", path], timeout=30,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return path

    def pend(self, what, detail):
        """A check of a mend that may not be merged yet."""
        if STRICT:
            raise Failure(f"{what}: {detail}")
        log(f"PENDING {what}: {detail} (QZARN_E2E_STRICT=0)")
        self.pending.append(what)

    # ---- the drawing surface --------------------------------------------------------

    def main_geometry(self):
        for name, x, y, w, h, _ in self.xwindows():
            if name.startswith("Sorvane - "):
                return x, y, w, h
        raise Failure("the main window is not shown")

    def calibrate(self):
        """Plane ↔ screen pixels, read from the status bar's pointer position."""
        x, y, w, h = self.main_geometry()
        cx, cy = x + w // 2, y + h // 2
        d = int(100 * self.scale)
        readings = []
        for px, py in ((cx - d, cy - d), (cx + d, cy + d)):
            subprocess.run(["xdotool", "mousemove", str(px), str(py)], check=True, timeout=10)
            self.pause(0.2)
            subprocess.run(["xdotool", "mousemove", str(px + 1), str(py)], check=True,
                           timeout=10)
            subprocess.run(["xdotool", "mousemove", str(px), str(py)], check=True, timeout=10)
            readings.append(((px, py), self.wait(self.status_position,
                                                 "the pointer position in the status bar")))
        (p0, q0), (p1, q1) = readings
        kx = (q1[0] - q0[0]) / (p1[0] - p0[0])
        ky = (q1[1] - q0[1]) / (p1[1] - p0[1])
        if abs(kx) < 1e-6 or abs(ky) < 1e-6:
            raise Failure(f"pointer positions {q0} and {q1} do not move with the pointer")
        self.to_pixel = lambda u, v: (round(p0[0] + (u - q0[0]) / kx),
                                      round(p0[1] + (v - q0[1]) / ky))
        log(f"plane origin at pixel {self.to_pixel(0, 0)}, "
            f"{abs(1 / kx):.1f} pixels a unit")

    def mouse(self, *commands):
        subprocess.run(["xdotool", *commands], check=True, timeout=20)

    def click(self, u, v):
        px, py = self.to_pixel(u, v)
        self.mouse("mousemove", str(px), str(py))
        self.pause(0.15)
        self.mouse("click", "1")
        self.pause()

    def drag(self, u0, v0, u1, v1):
        x0, y0 = self.to_pixel(u0, v0)
        x1, y1 = self.to_pixel(u1, v1)
        self.mouse("mousemove", str(x0), str(y0))
        self.pause(0.15)
        self.mouse("mousedown", "1")
        for t in (0.25, 0.5, 0.75, 1.0):
            self.pause(0.1)
            self.mouse("mousemove", str(round(x0 + (x1 - x0) * t)), str(round(y0 + (y1 - y0) * t)))
        self.pause(0.15)
        self.mouse("mouseup", "1")
        self.pause()

    # ---- dialogs ---------------------------------------------------------------------

    def dialog(self, caption, seconds=10):
        return self.wait(lambda: self.top_level("^" + re.escape(caption) + "$"),
                         f"the dialog '{caption}'", seconds)

    def tab(self, caption, page):
        """Shows the page of the window's tab bar with that caption."""
        pattern = "^" + re.escape(caption) + "$"

        def probe():
            window = self.top_level(pattern)
            for node in self.descendants(window) if window is not None else ():
                if node.getRoleName() == "page tab" and norm(node.name) == norm(page):
                    self.press(node)
                    return True
            return None
        self.wait(probe, f"the page '{page}' of '{caption}'")

    def button(self, caption, button, role="push button", seconds=10):
        """Presses a button (or ticks a box) of the shown window with that
        caption, looked up afresh: a window closed a moment ago may still
        answer for a while."""
        pattern = "^" + re.escape(caption) + "$"

        def probe():
            window = self.top_level(pattern)
            if window is None:
                return None
            for node in self.descendants(window):
                if node.getRoleName() == role and norm(node.name) == norm(button) and \
                        node.getState().contains(self.atspi.STATE_ENABLED):
                    self.press(node)
                    return True
            return None
        self.wait(probe, f"the {role} '{button}' of '{caption}'", seconds)

    def confirm(self, dialog, name):
        """Photographs the dialog, checks the windows, and presses its OK."""
        caption = dialog.name
        self.shot(name)
        self.check_windows(name)
        self.button(caption, "OK")
        self.wait(lambda: self.top_level("^" + re.escape(caption) + "$") is None or None,
                  f"'{caption}' to close")

    def save_as(self, path):
        self.menu("ファイル(F)", "名前を付けて保存(A)...")
        dialog = self.wait(lambda: self.top_level("保存"), "the save dialog")
        self.shot("save-dialog")
        self.check_windows("save dialog")
        self.key("ctrl+a")
        subprocess.run(["xdotool", "type", "--delay", "10", path], check=True, timeout=30)
        self.key("Return")
        self.wait(lambda: os.path.exists(path) and os.path.getsize(path) > 0 or None,
                  f"{path} to be written")
        del dialog

    def save(self, path):
        """上書き保存 of the active screen, which has its file already."""
        before = os.stat(path).st_mtime_ns
        self.menu("ファイル(F)", "上書き保存(S)")
        self.wait(lambda: os.stat(path).st_mtime_ns != before or None, f"{path} to be saved")

    def dump(self, path):
        out = subprocess.run([self.args.cli, "dump", path], check=True, capture_output=True,
                             text=True, timeout=30).stdout
        return json.loads(out)

    # ---- the lesson ------------------------------------------------------------------

    def check_lesson(self, records):
        """The first screen's records after the drag, as the steps made them."""
        figures = records["figures"]
        points = {f["fields"].get("Name"): f for f in figures if f["type"] == 2}
        lines = [f["fields"] for f in figures if f["type"] == 1]
        circles = [f["fields"] for f in figures if f["type"] == 3]
        functions = [f["fields"] for f in figures if f["type"] == 9]
        problems = []
        if set(points) != {"A", "B"}:
            problems.append(f"points {sorted(points)} instead of A and B")
        else:
            a, b = points["A"], points["B"]
            if (a["fields"].get("FX"), a["fields"].get("FY")) != ("-4", "2"):
                problems.append("A was not dragged to (-4, 2)")
            if (b["fields"].get("FX"), b["fields"].get("FY")) != ("6", "-1"):
                problems.append("B is not at (6, -1)")
            if len(lines) != 1 or sorted((lines[0].get("Ref0"), lines[0].get("Ref1"))) != \
                    sorted((a["slot"], b["slot"])):
                problems.append("no line through A and B")
            if len(circles) != 1 or circles[0].get("Ref0") != a["slot"] or \
                    circles[0].get("FX1") != "3":
                problems.append("no circle of radius 3 centred on A")
        if [f.get("FuncX") for f in functions] != ["sin(x)"]:
            problems.append("no function y = sin(x)")
        if problems:
            raise Failure("the saved lesson: " + "; ".join(problems))

    def run(self):
        self.start()
        self.shot("start")
        self.calibrate()

        log("point A at (2, 3) and B at (6, -1)")
        for name, u, v in (("A", 2, 3), ("B", 6, -1)):
            self.menu("図形(I)", "点(P)")
            self.click(u, v)
            self.confirm(self.dialog("点"), f"point-{name}")

        log("the line AB by two clicks (press and release on A, then on B)")
        self.menu("図形(I)", "直線(L)", "２点指定(P)")
        self.click(2, 3)
        self.pause(0.5)
        early = self.top_level("^直線$")
        if early is not None:
            self.pend("click-click construction",
                      "the line dialog opened after the first click (a line from A to A)")
            self.button("直線", "ｷｬﾝｾﾙ")
            self.menu("図形(I)", "直線(L)", "２点指定(P)")
            self.drag(2, 3, 6, -1)
        else:
            self.click(6, -1)
        self.confirm(self.dialog("直線"), "line")

        log("the circle centred on A through (5, 3)")
        self.menu("図形(I)", "円(C)", "中心指定(P)")
        self.drag(2, 3, 5, 3)
        self.confirm(self.dialog("円"), "circle")

        log("the function y = sin(x)")
        self.menu("図形(I)", "関数(F)", "陽関数(Y)...")
        function = self.dialog("陽関数")
        self.type_into(self.field(function, r"^[yｙ](\s*=| の式)"), "sin(x)")
        self.confirm(function, "function")

        log("drag A to (-4, 2): the line and the circle follow")
        self.click(8, 8)  # nothing there: no selection
        self.drag(2, 3, -4, 2)
        self.shot("after-drag")
        first = os.path.join(self.work, "lesson.qzl")
        self.save_as(first)
        self.check_lesson(self.dump(first))

        log("copy the circle to a new screen")
        self.click(-1, 2)  # on the circle, right of its centre
        self.key("ctrl+c")
        self.menu("ファイル(F)", "新規(N)")
        self.wait(lambda: self.top_level(r"^Sorvane - \[画面2\]"), "the second screen")
        self.pause(0.5)
        self.calibrate()  # a new screen has its own scroll position
        self.key("ctrl+v")
        self.confirm(self.dialog("円"), "pasted-circle")
        second = os.path.join(self.work, "pasted.qzl")
        self.save_as(second)
        records = self.dump(second)
        circles = [f["fields"] for f in records["figures"] if f["type"] == 3]
        if len(circles) != 1:
            raise Failure(f"the new screen holds {len(circles)} circles, not one")
        centre = (circles[0].get("FX0"), circles[0].get("FY0"), circles[0].get("FX1"))
        log(f"pasted circle: centre ({centre[0]}, {centre[1]}), radius {centre[2]}")
        if centre[:2] != ("-4", "2"):
            self.pend("copy after a drag",
                      f"the pasted circle's centre is ({centre[0]}, {centre[1]}), "
                      "not where A was dragged (-4, 2)")

        log("the font button's OK leaves the circle's record as it was")
        self.click(float(centre[0] or 0) + 3, float(centre[1] or 0))  # on the rim
        self.menu("設定(T)", "図形の設定(P)...")
        props = self.dialog("円")
        self.tab("円", "表示")
        self.button("円", "名前を表示(D)", "check box")  # the font is the name's
        self.confirm(props, "circle-named")
        self.save(second)
        before = [f for f in self.dump(second)["figures"] if f["type"] == 3][0]
        self.menu("設定(T)", "図形の設定(P)...")
        props = self.dialog("円")
        self.tab("円", "表示")
        self.shot("circle-display-page")
        self.button("円", "ﾌｫﾝﾄ(F)")
        chooser = self.wait(lambda: self.top_level("ﾌｫﾝﾄ"), "the font dialog")
        self.shot("font-dialog")
        self.check_windows("font dialog")
        self.button(chooser.name, "OK")
        self.confirm(props, "circle-after-font")
        self.save(second)
        after = [f for f in self.dump(second)["figures"] if f["type"] == 3][0]
        if after != before:
            changed = {k: (before["fields"].get(k), after["fields"].get(k))
                       for k in set(before["fields"]) | set(after["fields"])
                       if before["fields"].get(k) != after["fields"].get(k)}
            self.pend("font round trip", f"OK without a change altered {changed}")

        self.tour()
        self.check_windows("end")
        self.shot("end")
        return self.pending

    # Windows opened from the menus, photographed and checked, then closed
    # again (dialogs) or left open (the palettes and tool windows).
    TOUR = (
        (("設定(T)", "座標系の設定(Z)..."), True),
        (("設定(T)", "図形リスト(O)..."), True),
        (("設定(T)", "変数ﾃｰﾌﾞﾙ(T)..."), True),
        (("設定(T)", "ｵﾌﾟｼｮﾝ(S)..."), True),
        (("表示(V)", "ﾂｰﾙﾊﾞｰ(T)", "ﾂｰﾙﾊﾞｰの設定(U)"), True),
        (("表示(V)", "変数ﾊﾟﾚｯﾄ(V)", "標準のﾊﾟﾚｯﾄ(S)"), False),
        (("設定(T)", "中間式(F)..."), False),
        (("表示(V)", "変数ﾊﾟﾚｯﾄ(V)", "ﾕｰｻﾞｰ定義のﾊﾟﾚｯﾄ(U)"), False),
    )

    def tour(self):
        log("the dialogs and tool windows of the menus")
        for path, close in self.TOUR:
            where = " → ".join(path)
            before = {w[5] for w in self.xwindows()}
            self.menu(*path)

            def opened():
                return [w for w in self.xwindows() if w[5] not in before]
            try:
                new = self.wait(opened, f"a window from {where}", 5)
            except Failure:
                self.pend("window placement", f"{where} showed no window on the screen")
                continue
            self.pause(0.5)
            for name, x, y, w, h, _ in opened():
                log(f"  {where}: '{name}' {w} x {h} at ({x}, {y})")
            self.shot("tour-" + norm(path[-1]).replace(" ", "_"))
            self.check_windows(where)
            if close:
                self.wait(self.press_close, f"a button to close '{new[0][0]}'")
                self.wait(lambda: not opened() or None, f"'{new[0][0]}' to close")

    def press_close(self):
        """Presses ｷｬﾝｾﾙ (or 閉じる) of the shown dialog."""
        for window in self.top_levels():
            if window is None or window.getRoleName() != "dialog" or not self.showing(window):
                continue
            for node in self.descendants(window):
                if node.getRoleName() == "push button" and norm(node.name) in ("ｷｬﾝｾﾙ", "閉じる"):
                    self.press(node)
                    return True
        return None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--screen", default="1280x800")
    parser.add_argument("--scale", default="1")
    parser.add_argument("--shots", required=True)
    parser.add_argument("--bin", required=True)
    parser.add_argument("--cli", required=True)
    args = parser.parse_args()
    lesson = Lesson(args)

    def too_long(signum, frame):
        raise Failure("the lesson took too long")
    signal.signal(signal.SIGALRM, too_long)
    signal.alarm(270)  # below the wrapper's 300 s, so the failure is reported
    try:
        pending = lesson.run()
    except Failure as failure:
        log(f"FAILED ({args.screen}, scale {args.scale}): {failure}")
        try:
            lesson.shot("failure")
            log(f"the screen at the failure: {lesson.shots}")
            with open(os.path.join(lesson.work, "app.log")) as f:
                tail = f.read()[-2000:]
            if tail:
                log("program output:\n" + tail)
        except Exception:
            pass
        return 1
    finally:
        signal.alarm(0)
        lesson.stop()
    log(f"passed ({args.screen}, scale {args.scale})"
        + (f", pending: {', '.join(sorted(set(pending)))}" if pending else ""))
    return 0


if __name__ == "__main__":
    sys.exit(main())
