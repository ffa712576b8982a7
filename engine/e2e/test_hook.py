#!/usr/bin/env python3
"""The engine's hook for real, under Wine, in both bitnesses.

A loader installs the hook the way the tray program does; a host program in another process gets
real X key events. Each case starts its own loader(s) and host and ends them, on a fresh wineserver
(so a fresh desktop and hook table: a hook left behind fails only its own case); all cases share
one display and prefix.

Run from the repository root with VIREL_BUILD set (default ./build); caserun.py runs the cases.
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from caserun import expect, fresh_desktop, run_cases  # noqa: E402

VK_J = 0x4A
VK_K = 0x4B


def press(host, key, *loaders):
    """Presses key in the host; returns, per loader, the toggle messages its window got from it."""
    before = [len(loader.toggles()) for loader in loaders]
    host.keys(key)
    for loader in loaders:
        loader.barrier()
    posts = [loader.toggles()[start:] for loader, start in zip(loaders, before)]
    return posts[0] if len(posts) == 1 else posts


def toggle_key_posts_1_0_1(wine, bits):
    loader = wine.start_loader(bits, hotkey=VK_K)
    expect(loader.load_result, 1, "LoadVirelEngine")
    host = wine.start_host(bits)
    # The first press in the host sets that process up and turns Tamil on, whatever it was.
    posts = [press(host, "alt+k", loader) for _ in range(3)]
    expect(posts, [[1], [0], [1]], "toggle messages of three Alt+K presses in the host")
    downs = [k for k in host.key_log() if k[0] == "WM_SYSKEYDOWN" and k[1] == VK_K]
    expect(len(downs), 3, "Alt+K key-downs that reached the host")


def shared_block_is_one_copy(wine, bits):
    loader = wine.start_loader(bits, hotkey=VK_K)
    expect(loader.load_result, 1, "LoadVirelEngine")
    host = wine.start_host(bits)
    expect(press(host, "alt+k", loader), [1], "first Alt+K in the host")
    # Loader to host: the toggle key set in the loader's process is the one the host's hook uses.
    loader.set_hotkey(VK_J)
    expect(press(host, "alt+k", loader), [], "Alt+K in the host after SetHotKey(1, 'J')")
    expect(press(host, "alt+j", loader), [0], "Alt+J in the host after SetHotKey(1, 'J')")
    # Host to loader: ToggleTamil in the loader flips the value the host's hook left (0).
    before = len(loader.toggles())
    loader.toggle()
    loader.barrier()
    expect(loader.toggles()[before:], [1],
           "ToggleTamil in the loader after Tamil went off in the host")


def second_loader_is_refused(wine, bits):
    first = wine.start_loader(bits, hotkey=VK_K)
    expect(first.load_result, 1, "first LoadVirelEngine")
    host = wine.start_host(bits)
    expect(press(host, "alt+k", first), [1], "first Alt+K in the host")
    second = wine.start_loader(bits, hotkey=VK_K)
    expect(second.load_result, 0, "LoadVirelEngine of a second loader while the first is alive")
    expect(press(host, "alt+k", first, second), [[0], []], "Alt+K with two loaders")
    # The refused loader's exit must leave the first one's hook in place.
    expect(second.exit(), 0, "exit code of the second loader")
    expect(press(host, "alt+k", first), [1], "Alt+K after the second loader exited")


def hook_gone_after_normal_exit(wine, bits):
    loader = wine.start_loader(bits, hotkey=VK_K)
    expect(loader.load_result, 1, "LoadVirelEngine")
    host = wine.start_host(bits)
    expect(press(host, "alt+k", loader), [1], "first Alt+K in the host")
    expect(loader.exit(), 0, "exit code of the loader")
    # No hook now: this press must change nothing. Tamil stays on.
    host.keys("alt+k")
    successor = wine.start_loader(bits, hotkey=VK_K)
    expect(successor.load_result, 1, "LoadVirelEngine after the loader exited")
    before = len(successor.toggles())
    successor.toggle()
    successor.barrier()
    expect(successor.toggles()[before:], [0],
           "ToggleTamil after an Alt+K pressed while no loader ran (Tamil was on)")
    # Exactly one hook answers now: a left-over one would toggle a second time.
    expect(press(host, "alt+k", successor), [1], "Alt+K with the new loader")


def new_loader_after_kill(wine, bits):
    first = wine.start_loader(bits, hotkey=VK_K)
    expect(first.load_result, 1, "LoadVirelEngine")
    host = wine.start_host(bits)
    # The host now maps the engine, so the shared block outlives the loader and keeps its window.
    expect(press(host, "alt+k", first), [1], "first Alt+K in the host")
    first.kill()
    second = wine.start_loader(bits, hotkey=VK_K)
    expect(second.load_result, 1, "LoadVirelEngine after the loader was killed")
    posts = press(host, "alt+k", second)
    # Windows removes a hook with the thread that set it. Wine 8 keeps a killed thread's global
    # hook until the desktop goes, so there the dead loader's hook runs too, before the new one
    # (the hook passes the message down the chain first): the press toggles twice. Either way
    # the messages reach the new loader's window.
    if posts == [0, 1]:
        return "Wine kept the killed loader's hook: two toggles a press"
    expect(posts, [0], "Alt+K with the new loader")
    return None


CASES = [
    ("the toggle key posts 1, 0, 1", toggle_key_posts_1_0_1),
    ("the shared block is one copy", shared_block_is_one_copy),
    ("a second loader is refused", second_loader_is_refused),
    ("the hook is gone after a normal exit", hook_gone_after_normal_exit),
    ("a new loader hooks after a kill", new_loader_after_kill),
]


if __name__ == "__main__":
    sys.exit(run_cases("hook", CASES, fresh_desktop))
