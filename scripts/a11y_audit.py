"""Walks the desktop program's AT-SPI tree (see scripts/a11y-audit)."""
import os
import subprocess
import sys
import tempfile
import time
import unicodedata

import pyatspi

CONTROL_ROLES = {
    "push button", "toggle button", "check box", "radio button", "combo box", "text", "entry",
    "spin button", "slider", "scroll bar", "list", "table", "tree", "tree table", "page tab",
    "page tab list", "tool bar", "status bar", "canvas", "dialog", "frame", "window",
    "password text", "dial", "split pane",
}
ITEM_ROLES = {"list item", "table cell", "tree item", "menu item", "menu", "menu bar",
              "column header", "row header", "check menu item", "radio menu item", "separator"}

# Menu items that open a dialog or tool window: (menu, item), names as the menus show them.
OPENERS = [
    ("ﾌｧｲﾙ", "ｲﾒｰｼﾞとして保存..."), ("設定", "座標系の設定..."), ("設定", "図形リスト..."),
    ("設定", "中間式..."), ("設定", "変数ﾊﾟﾚｯﾄの編集..."), ("設定", "変数ﾃｰﾌﾞﾙ..."),
    ("設定", "ｵﾌﾟｼｮﾝ..."), ("設定", "軌跡の設定..."), ("ﾌｧｲﾙ", "印刷..."),
    ("ﾌｧｲﾙ", "ﾌﾟﾘﾝﾀの設定..."), ("ﾌｧｲﾙ", "図形のｲﾝﾎﾟｰﾄ..."), ("ﾌｧｲﾙ", "関数のｲﾝﾎﾟｰﾄ..."),
    ("表示", "ﾂｰﾙﾊﾞｰの設定"), ("ﾍﾙﾌﾟ", "ﾊﾞｰｼﾞｮﾝ情報..."), ("ﾍﾙﾌﾟ", "ﾄﾋﾟｯｸの検索"),
    ("表示", "標準のﾊﾟﾚｯﾄ"), ("図形", "分点..."), ("図形", "一般形..."), ("図形", "陽関数..."),
    ("図形", "陰関数/領域..."), ("図形", "媒介変数の関数..."), ("図形", "極方程式..."),
    ("図形", "多角形..."), ("図形", "関数の交点..."), ("図形", "関数の面積..."),
    ("図形", "関数の接線..."), ("図形", "文字..."), ("ﾌｧｲﾙ", "開く..."),
    ("ﾌｧｲﾙ", "名前を付けて保存..."), ("ﾌｧｲﾙ", "Webページとして保存..."),
]


def unreadable(name):
    if "&" in name:
        return True
    return not any(unicodedata.category(c)[0] in "LN" for c in name)


def walk(node, path, faults, seen, depth=0):
    if node is None or depth > 40:
        return
    try:
        role = node.getRoleName()
        name = node.name or ""
    except Exception:
        return
    if role in ITEM_ROLES:
        return
    here = f"{path}/{role}[{name}]"
    key = hash(node)
    if key in seen:
        return
    seen.add(key)
    if role in CONTROL_ROLES and not name.strip():
        faults.append("unnamed " + here)
    elif name and unreadable(name):
        faults.append("unreadable " + here)
    for i in range(node.childCount):
        try:
            walk(node.getChildAtIndex(i), here, faults, seen, depth + 1)
        except Exception:
            pass


def find_app(name, timeout=30):
    end = time.time() + timeout
    while time.time() < end:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name == name:
                return app
        time.sleep(0.5)
    sys.exit(f"no accessible application {name}")


def find(node, predicate, depth=0):
    if node is None or depth > 30:
        return None
    try:
        if predicate(node):
            return node
        for i in range(node.childCount):
            found = find(node.getChildAtIndex(i), predicate, depth + 1)
            if found is not None:
                return found
    except Exception:
        return None
    return None


def plain(text):
    """A menu caption without its mnemonic, as compared here."""
    import re
    return re.sub(r"\(&?[A-Z0-9]\)", "", text).replace("&", "").strip()


def main():
    program, document = sys.argv[1], sys.argv[2]
    home = tempfile.mkdtemp(prefix="qzarn-a11y-")
    env = dict(os.environ, QZARN_USER_INI=f"{home}/user.ini", QZARN_UNDO_DIR=f"{home}/undo",
               XDG_CONFIG_HOME=home, XDG_RUNTIME_DIR=home, XDG_STATE_HOME=home)
    proc = subprocess.Popen([program, document], env=env)
    total = 0
    try:
        app = find_app("qzarn")
        time.sleep(2)
        windows = {hash(w) for w in app}
        faults = []
        for w in app:
            walk(w, "", faults, set())
        print(f"== main window: {len(faults)}")
        for f in faults:
            print("  " + f)
        total += len(faults)
        for menu_name, item_name in OPENERS:
            item = find(app, lambda n: n.getRoleName() in ("menu item", "check menu item")
                        and plain(n.name) == item_name)
            if item is None:
                print(f"== {item_name}: no such menu item")
                continue
            try:
                enabled = item.getState().contains(pyatspi.STATE_ENABLED)
            except Exception:
                enabled = True
            if not enabled:
                print(f"== {item_name}: disabled")
                continue
            # The item's action blocks while a modal dialog runs: another process calls it.
            opener = subprocess.Popen([sys.executable, "-c", OPENER_CODE, item_name], env=os.environ)
            time.sleep(2.5)
            faults = []
            opened = [w for w in app if hash(w) not in windows]
            for w in opened:
                walk(w, "", faults, set())
            print(f"== {item_name}: {len(opened)} window(s), {len(faults)}")
            for f in faults:
                print("  " + f)
            total += len(faults)
            for w in opened:
                close = find(w, lambda n: n.getRoleName() == "push button" and plain(n.name) in (
                    "ｷｬﾝｾﾙ", "Cancel", "閉じる", "Close", "OK"))
                try:
                    if close is not None:
                        close.queryAction().doAction(0)
                    else:
                        subprocess.run(["xdotool", "key", "Escape"], check=False)
                except Exception:
                    pass
            try:
                opener.wait(timeout=10)
            except subprocess.TimeoutExpired:
                opener.kill()
            time.sleep(0.5)
            windows = {hash(w) for w in app}
    finally:
        proc.kill()
    print(f"TOTAL unnamed or unreadable controls: {total}")


OPENER_CODE = r'''
import sys, pyatspi, re
def plain(t): return re.sub(r"\(&?[A-Z0-9]\)", "", t).replace("&", "").strip()
def find(n, d=0):
    if n is None or d > 30: return None
    try:
        if n.getRoleName() in ("menu item", "check menu item") and plain(n.name) == sys.argv[1]: return n
        for i in range(n.childCount):
            f = find(n.getChildAtIndex(i), d + 1)
            if f is not None: return f
    except Exception: return None
for app in pyatspi.Registry.getDesktop(0):
    if app is not None and app.name == "qzarn":
        item = find(app)
        if item is not None:
            try: item.queryAction().doAction(0)
            except Exception: pass
'''

if __name__ == "__main__":
    main()
