// Benchmark program: a window that posts messages to itself and times how long its own message
// loop takes to retrieve and dispatch them, with whatever hooks are installed at the time.
//
//   virel_pumpNN.exe --log FILE --commands FILE [--title T]
//
// Command: time KIND COUNT, KIND "other" (a message that is not a keystroke) or "char" (WM_CHAR
// 'a' with the lParam of a first key press). It answers "done <id> <nanoseconds a message>".
// Also logs "ready <window>" once it takes commands, and "exit".
#include "engine/e2e/win/e2e_support.h"

namespace {

const char kWindowClass[] = "VirelBenchPump";
const UINT kOther = WM_APP + 5;
const UINT kEndOfBatch = WM_APP + 6;
const int kBatch = 1000;  // well inside any queue's limit

e2e::Log logFile;
const char* commandPath = nullptr;

// Posts `count` messages in batches and runs a message loop over each batch, timing the loop
// only. Runs inside the window procedure: the loop is nested in the program's own.
double NanosecondsPerMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int count) {
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  long long ticks = 0;
  for (int done = 0; done < count;) {
    int batch = count - done < kBatch ? count - done : kBatch;
    for (int i = 0; i < batch; ++i) PostMessageA(window, message, wParam, lParam);
    PostMessageA(window, kEndOfBatch, 0, 0);
    QueryPerformanceCounter(&start);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0 && msg.message != kEndOfBatch) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    QueryPerformanceCounter(&end);
    ticks += end.QuadPart - start.QuadPart;
    done += batch;
  }
  return static_cast<double>(ticks) * 1e9 / static_cast<double>(frequency.QuadPart) / count;
}

void RunCommand(HWND window, const e2e::Command& command) {
  const char* id = command.id.c_str();
  if (command.verb == "time" && command.args.size() == 2) {
    int count = e2e::ArgInt(command, 1, 1000);
    double ns = command.args[0] == "char"
                    ? NanosecondsPerMessage(window, WM_CHAR, 'a', 1, count)
                    : NanosecondsPerMessage(window, kOther, 0, 0, count);
    logFile.Line("done %s %.1f", id, ns);
  } else if (command.verb == "exit") {
    logFile.Line("done %s", id);
    DestroyWindow(window);
  } else {
    logFile.Line("done %s unknown", id);
  }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam == e2e::kCommandTimer) {
        for (const e2e::Command& command : e2e::TakeCommands(commandPath)) {
          RunCommand(window, command);
        }
        return 0;
      }
      break;
    case kOther:
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

  HWND window = e2e::CreateTopWindow(kWindowClass, WindowProc,
                                     args.Get("--title", "Virel bench pump"), 200, 100);
  if (window == nullptr) {
    logFile.Line("error CreateWindow %lu", GetLastError());
    return 2;
  }
  SetTimer(window, e2e::kCommandTimer, e2e::kCommandPollMs, nullptr);
  logFile.Line("ready %p", static_cast<void*>(window));

  e2e::RunMessageLoop();
  logFile.Line("exit");
  logFile.Close();
  return 0;
}
