#!/usr/bin/env python3
"""The tmzipper window as a player uses it, on a virtual X server: usage: window_test.py TMZIPPER

Exits 77 (skipped) when no X server can be had."""
import os
import shutil
import subprocess
import sys
import time
import zipfile

from gamefiles import game_folder

TOOL = sys.argv[1]
if not os.environ.get("DISPLAY"):
    if not shutil.which("xvfb-run"):
        print("no xvfb-run: skipped")
        sys.exit(77)
    os.execvp("xvfb-run", ["xvfb-run", "-a", "-s", "-screen 0 1024x768x24 -noreset", sys.executable, *sys.argv])
if not shutil.which("xdotool"):
    print("no xdotool: skipped")
    sys.exit(77)

game, files = game_folder(TOOL)
proc = subprocess.Popen(["./tmzipper"], cwd=game)


def fail(what):
    print("FAIL:", what)
    proc.kill()
    shutil.rmtree(game)
    sys.exit(1)


def find_window(title):
    r = subprocess.run(["timeout", "5", "xdotool", "search", "--sync", "--name", "^%s$" % title],
                       capture_output=True, text=True)
    # FLTK may map a dialog's window more than once; the last one found is the live one.
    return r.stdout.split()[-1] if r.stdout.split() else ""


def answer(window, key):
    """A key for a message box: the box takes the keyboard focus first."""
    xdo("windowfocus", "--sync", window)
    xdo("key", key)


def xdo(*args):
    subprocess.run(["xdotool", *args], check=True)
    time.sleep(0.3)


def click(x, y):
    xdo("mousemove", "--window", win, str(x), str(y), "click", "1")


def type_name(name):
    click(600, 632)
    xdo("key", "--window", win, "ctrl+a")
    xdo("type", "--window", win, name)


def archive(name):
    path = os.path.join(game, "zip", name + ".zip")
    for _ in range(20):
        if os.path.exists(path):
            break
        time.sleep(0.2)
    if not os.path.exists(path):
        return None
    with zipfile.ZipFile(path) as z:
        return sorted(z.namelist())


win = find_window("TM Competition Zipper")
if not win:
    fail("no window")
time.sleep(0.5)

type_name("fenster")
click(490, 675)                       # Make Zip
if archive("fenster") != ["fenster.gam", "fenster.jpg", "forest.trk"]:
    fail("first archive: %s" % archive("fenster"))

click(30, 692)                        # untick "Screen"
click(490, 675)
question = find_window("Make Zip")    # the archive exists: overwrite?
if not question:
    fail("no question before overwriting")
answer(question, "Escape")
if archive("fenster") != ["fenster.gam", "fenster.jpg", "forest.trk"]:
    fail("replaced without a yes")
click(490, 675)
question = find_window("Make Zip")
if not question:
    fail("no question the second time")
answer(question, "Return")
time.sleep(0.5)
if archive("fenster") != ["fenster.gam", "forest.trk"]:
    fail("not replaced after yes: %s" % archive("fenster"))

type_name("../draussen")
click(490, 675)
if os.path.exists(os.path.join(game, "draussen.zip")) or os.listdir(os.path.join(game, "zip")) != ["fenster.zip"]:
    fail("a name with a folder was written")

answer(win, "Escape")  # closes the window
for _ in range(20):
    if proc.poll() is not None:
        break
    time.sleep(0.25)
if proc.poll() is None:
    fail("window still open after Escape")
shutil.rmtree(game)

# Outside the game folder: the message, and the program ends.
empty = os.path.join(os.path.dirname(game), "zipper_no_game_%d" % os.getpid())
os.makedirs(empty)
shutil.copy(TOOL, os.path.join(empty, "tmzipper"))
proc = subprocess.Popen(["./tmzipper"], cwd=empty)
box = find_window("Finde .Saves nicht")
if not box:
    fail("no message without Saves")
answer(box, "Return")
try:
    status = proc.wait(timeout=5)
except subprocess.TimeoutExpired:
    fail("still running after the message")
shutil.rmtree(empty)
if status == 0:
    print("FAIL: status 0 without Saves")
    sys.exit(1)
print("window ok")
