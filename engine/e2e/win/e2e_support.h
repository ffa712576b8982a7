// What the end-to-end test programs share: arguments, a line log the test reads while the program
// runs, and a command file the test drops to ask for something.
//
// Protocol. The test writes a command file atomically (write elsewhere, then rename). The program
// looks for it on a timer, deletes it, runs each line "<id> <verb> <args>" in order and appends
// "done <id> <result>" to its log. Every log line is flushed at once, so the test may read the log
// at any moment and see whole lines.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

namespace e2e {

// "--name value" arguments; flags without a value are given as "--name 1".
class Args {
 public:
  Args(int argc, char** argv) : argc_(argc), argv_(argv) {}
  const char* Get(const char* name, const char* fallback) const {
    for (int i = 1; i + 1 < argc_; ++i) {
      if (strcmp(argv_[i], name) == 0) return argv_[i + 1];
    }
    return fallback;
  }
  int GetInt(const char* name, int fallback) const {
    const char* value = Get(name, nullptr);
    return value == nullptr ? fallback : static_cast<int>(strtol(value, nullptr, 0));
  }

 private:
  int argc_;
  char** argv_;
};

class Log {
 public:
  void Open(const char* path) {
    if (path != nullptr) file_ = fopen(path, "ab");
  }
  void Line(const char* format, ...) {
    if (file_ == nullptr) return;
    va_list args;
    va_start(args, format);
    vfprintf(file_, format, args);
    va_end(args);
    fputc('\n', file_);
    fflush(file_);
  }
  void Close() {
    if (file_ != nullptr) fclose(file_);
    file_ = nullptr;
  }

 private:
  FILE* file_ = nullptr;
};

struct Command {
  std::string id;
  std::string verb;
  std::string rest;  // everything after the verb, for an argument that is a path
  std::vector<std::string> args;
};

// Takes the pending commands, if any: reads the file and deletes it.
inline std::vector<Command> TakeCommands(const char* path) {
  std::vector<Command> commands;
  if (path == nullptr) return commands;
  FILE* file = fopen(path, "rb");
  if (file == nullptr) return commands;
  std::string text;
  char buffer[512];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
  fclose(file);
  DeleteFileA(path);

  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t idEnd = line.find(' ');
    if (idEnd == std::string::npos) continue;
    size_t verbEnd = line.find(' ', idEnd + 1);
    if (verbEnd == std::string::npos) verbEnd = line.size();
    Command command;
    command.id = line.substr(0, idEnd);
    command.verb = line.substr(idEnd + 1, verbEnd - idEnd - 1);
    command.rest = verbEnd < line.size() ? line.substr(verbEnd + 1) : std::string();
    size_t pos = 0;
    while (pos < command.rest.size()) {
      size_t space = command.rest.find(' ', pos);
      if (space == std::string::npos) space = command.rest.size();
      if (space > pos) command.args.push_back(command.rest.substr(pos, space - pos));
      pos = space + 1;
    }
    commands.push_back(command);
  }
  return commands;
}

inline int ArgInt(const Command& command, size_t index, int fallback) {
  if (index >= command.args.size()) return fallback;
  return static_cast<int>(strtol(command.args[index].c_str(), nullptr, 0));
}

// Writes bytes to path so that the file appears whole: a reader that sees it sees all of it.
inline bool WriteFileWhole(const std::string& path, const std::string& bytes) {
  std::string temporary = path + ".part";
  FILE* file = fopen(temporary.c_str(), "wb");
  if (file == nullptr) return false;
  bool ok = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  ok = fclose(file) == 0 && ok;
  return ok && MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

inline std::string Utf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size,
                      nullptr, nullptr);
  return out;
}

const UINT_PTR kCommandTimer = 1;
const UINT kCommandPollMs = 25;

// Registers a window class of the procedure and creates a top-level window of it (ANSI).
inline HWND CreateTopWindow(const char* className, WNDPROC procedure, const char* title, int width,
                            int height) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = className;
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  RegisterClassA(&windowClass);
  return CreateWindowA(className, title, WS_OVERLAPPEDWINDOW, 0, 0, width, height, nullptr,
                       nullptr, windowClass.hInstance, nullptr);
}

// Runs the program's message loop until WM_QUIT.
inline void RunMessageLoop() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace e2e
