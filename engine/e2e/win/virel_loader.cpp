// Test loader: starts the engine the way the tray program does and reports what it sees.
//
//   virel_loaderNN.exe --log FILE --commands FILE [--title T] [--encoding N] [--keyboard N]
//                      [--hotkey VK] [--remove-stale-hooks 1]
//
// It creates a top-level window, calls LoadVirelEngine(window), SetTamilEncodings, SetTamilKeyboard
// and SetHotKey(1, VK) in that order (defaults: 0, 0, 'K'), and logs:
//   load <result of LoadVirelEngine>
//   ready <window handle>
//   toggle <wParam>             for every toggle message the window receives
//   barrier <id>                when a barrier posted to itself comes back through its queue
//   done <id> [<result>]        after each command
//   exit                        just before it returns from main (the engine detaches after it)
// Commands: hotkey ALT VK, encoding N, keyboard N, toggle, unload, barrier, exit.
//
// --remove-stale-hooks 1 first removes every hook of the desktop, for a loader started after one
// that was killed: Windows removes a hook with the thread that set it, Wine keeps it (only there
// does the sweep find anything), and a second engine hook would compose every key twice.
#include "engine/core/exports.h"
#include "engine/e2e/win/e2e_support.h"

namespace {

const UINT kBarrierMessage = WM_APP + 1;
const char kWindowClass[] = "VirelTestLoader";
// Spelled out here rather than taken from the engine: the test checks the name it posts under.
const char kToggleMessageName[] = "UWM_TAMILONOFF_MSG-VR4031B1_14D3_11d5_A025_006067718D04";

e2e::Log logFile;
const char* commandPath = nullptr;
UINT toggleMessage = 0;

// Wine's hook handles are user handles: an index in the low word (even numbers from 0x20 up),
// any generation matching a high word of 0. Removing a handle that is no hook fails harmlessly.
int RemoveEveryHook() {
  int removed = 0;
  for (UINT_PTR low = 0x20; low <= 0xFFFE; low += 2) {
    if (UnhookWindowsHookEx(reinterpret_cast<HHOOK>(low))) ++removed;
  }
  return removed;
}

void RunCommand(HWND window, const e2e::Command& command) {
  const char* id = command.id.c_str();
  if (command.verb == "hotkey") {
    SetHotKey(e2e::ArgInt(command, 0, 1), e2e::ArgInt(command, 1, 'K'));
  } else if (command.verb == "encoding") {
    SetTamilEncodings(e2e::ArgInt(command, 0, 0));
  } else if (command.verb == "keyboard") {
    SetTamilKeyboard(e2e::ArgInt(command, 0, 0));
  } else if (command.verb == "toggle") {
    ToggleTamil();
  } else if (command.verb == "unload") {
    logFile.Line("done %s %d", id, UnloadVirelEngine(window));
    return;
  } else if (command.verb == "barrier") {
    // Everything already posted to this window is handled before the barrier comes back.
    PostMessageA(window, kBarrierMessage, static_cast<WPARAM>(atoi(id)), 0);
  } else if (command.verb == "exit") {
    logFile.Line("done %s", id);
    DestroyWindow(window);
    return;
  } else {
    logFile.Line("done %s unknown", id);
    return;
  }
  logFile.Line("done %s", id);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == toggleMessage && toggleMessage != 0) {
    logFile.Line("toggle %u", static_cast<unsigned>(wParam));
    return 0;
  }
  switch (message) {
    case WM_TIMER:
      if (wParam == e2e::kCommandTimer) {
        for (const e2e::Command& command : e2e::TakeCommands(commandPath)) {
          RunCommand(window, command);
        }
        return 0;
      }
      break;
    case kBarrierMessage:
      logFile.Line("barrier %u", static_cast<unsigned>(wParam));
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
  e2e::Args args(argc, argv);
  logFile.Open(args.Get("--log", nullptr));
  commandPath = args.Get("--commands", nullptr);
  toggleMessage = RegisterWindowMessageA(kToggleMessageName);

  HWND window = e2e::CreateTopWindow(kWindowClass, WindowProc,
                                     args.Get("--title", "Virel test loader"), 320, 120);
  if (window == nullptr) {
    logFile.Line("error CreateWindow %lu", GetLastError());
    return 2;
  }
  ShowWindow(window, SW_SHOWNOACTIVATE);

  if (args.GetInt("--remove-stale-hooks", 0) != 0) logFile.Line("removed %d", RemoveEveryHook());
  // The tray program's start-up, in its order.
  logFile.Line("load %d", LoadVirelEngine(window));
  SetTamilEncodings(args.GetInt("--encoding", 0));
  SetTamilKeyboard(args.GetInt("--keyboard", 0));
  SetHotKey(1, args.GetInt("--hotkey", 'K'));

  SetTimer(window, e2e::kCommandTimer, e2e::kCommandPollMs, nullptr);
  logFile.Line("ready %p", static_cast<void*>(window));

  e2e::RunMessageLoop();
  logFile.Line("exit");
  logFile.Close();
  return 0;
}
