// virelconv: converts Tamil text files between Unicode and the 8-bit font encodings.
//   virelconv --from ENCODING --to ENCODING [--strict] [--utf16] IN [OUT]
//   virelconv --detect IN
// IN and OUT are files, or "-" (and an absent OUT) for the standard streams. The input is read in
// pieces and never written; an output file is written under a temporary name in its own folder
// and renamed over OUT only when the whole conversion succeeded.
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "convert/legacy_text.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
typedef std::wstring PathString;
#define PATH(literal) L##literal
#else
#include <sys/stat.h>
#include <unistd.h>
typedef std::string PathString;
#define PATH(literal) literal
#endif

namespace {

enum Exit { kOk = 0, kReplaced = 1, kStrictStop = 2, kUsage = 3, kFileError = 4 };
const size_t kPiece = 1 << 16;
const size_t kDetectSample = 1 << 20;

const char kUsageText[] =
    "usage: virelconv --from ENCODING --to ENCODING [--strict] [--utf16] IN [OUT]\n"
    "       virelconv --detect IN\n"
    "Converts Tamil text between Unicode (UTF-8) and the 8-bit font encodings.\n"
    "ENCODING: unicode, tscii, tab, tam, lipi, t_old (any case). IN and OUT: files, or - for the\n"
    "standard streams (OUT may be left out). --strict stops at the first character that cannot be\n"
    "converted; otherwise it is replaced (U+FFFD, or ? in 8-bit text) and counted. --utf16 writes\n"
    "Unicode as UTF-16 with a byte order mark. Unicode input may be UTF-8 or UTF-16 with a mark.\n"
    "--detect tells which encoding IN most likely is.\n"
    "Exit status: 0 converted, 1 some characters replaced, 2 stopped by --strict, 3 usage, 4 file error.\n";

std::string Narrow(const PathString& path) {
#ifdef _WIN32
  int n = WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, &out[0], n, nullptr, nullptr);
  return out;
#else
  return path;
#endif
}

FILE* Open(const PathString& path, bool write) {
#ifdef _WIN32
  return _wfopen(path.c_str(), write ? L"wb" : L"rb");
#else
  return fopen(path.c_str(), write ? "wb" : "rb");
#endif
}

void BinaryStreams() {
#ifdef _WIN32
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
#endif
}

// Whether two paths name one existing file.
bool SameFile(const PathString& a, const PathString& b) {
#ifdef _WIN32
  auto identity = [](const PathString& path, BY_HANDLE_FILE_INFORMATION* info) {
    HANDLE h = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    BOOL ok = GetFileInformationByHandle(h, info);
    CloseHandle(h);
    return ok != 0;
  };
  BY_HANDLE_FILE_INFORMATION x, y;
  return identity(a, &x) && identity(b, &y) && x.dwVolumeSerialNumber == y.dwVolumeSerialNumber &&
         x.nFileIndexHigh == y.nFileIndexHigh && x.nFileIndexLow == y.nFileIndexLow;
#else
  struct stat x, y;
  return stat(a.c_str(), &x) == 0 && stat(b.c_str(), &y) == 0 && x.st_dev == y.st_dev && x.st_ino == y.st_ino;
#endif
}

bool Replace(const PathString& from, const PathString& to) {
#ifdef _WIN32
  return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
  return rename(from.c_str(), to.c_str()) == 0;
#endif
}

void Remove(const PathString& path) {
#ifdef _WIN32
  DeleteFileW(path.c_str());
#else
  unlink(path.c_str());
#endif
}

// A name beside `path`, in its folder, that no file has yet; the file is created.
FILE* CreateTemporary(const PathString& path, PathString* name) {
  for (unsigned n = 0; n < 1000; ++n) {
    char suffix[48];
    snprintf(suffix, sizeof suffix, ".virelconv-%u-%u.tmp", static_cast<unsigned>(
#ifdef _WIN32
                                                               GetCurrentProcessId()
#else
                                                               getpid()
#endif
                                                                   ),
             n);
    *name = path;
    for (const char* s = suffix; *s != 0; ++s) name->push_back(static_cast<PathString::value_type>(*s));
#ifdef _WIN32
    HANDLE h = CreateFileW(name->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      if (GetLastError() == ERROR_FILE_EXISTS) continue;
      return nullptr;
    }
    int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_BINARY | _O_WRONLY);
    if (fd < 0) {
      CloseHandle(h);
      return nullptr;
    }
    return _fdopen(fd, "wb");
#else
    FILE* f = fopen(name->c_str(), "wbx");
    if (f != nullptr || errno != EEXIST) return f;
#endif
  }
  return nullptr;
}

struct Arguments {
  bool detect = false, strict = false, utf16 = false;
  bool haveFrom = false, haveTo = false;
  convert::Encoding from = convert::kUnicode, to = convert::kUnicode;
  PathString in, out;
  int files = 0;
};

int Usage(const std::string& message) {
  if (!message.empty()) fprintf(stderr, "virelconv: %s\n", message.c_str());
  fputs(kUsageText, stderr);
  return kUsage;
}

bool Write(FILE* f, const std::string& text) { return text.empty() || fwrite(text.data(), 1, text.size(), f) == text.size(); }

int DetectFile(FILE* in, const std::string& name) {
  std::string sample(kDetectSample, '\0');
  size_t n = fread(&sample[0], 1, sample.size(), in);
  if (ferror(in)) {
    fprintf(stderr, "virelconv: cannot read %s: %s\n", name.c_str(), strerror(errno));
    return kFileError;
  }
  std::vector<convert::Guess> guesses = convert::Detect(sample.data(), n);
  if (guesses.empty()) {
    printf("ascii: no Tamil letters in any encoding\n");
    return kReplaced;
  }
  for (const convert::Guess& g : guesses) printf("%-8s %5.1f%%\n", convert::EncodingName(g.encoding), 100 * g.confidence);
  return kOk;
}

int Run(const Arguments& a) {
  const std::string inName = a.in == PATH("-") ? "standard input" : Narrow(a.in);
  FILE* in = a.in == PATH("-") ? stdin : Open(a.in, false);
  if (in == nullptr) {
    fprintf(stderr, "virelconv: cannot open %s: %s\n", inName.c_str(), strerror(errno));
    return kFileError;
  }
  if (a.detect) return DetectFile(in, inName);

  bool toFile = !a.out.empty() && a.out != PATH("-");
  if (toFile && a.in != PATH("-") && SameFile(a.in, a.out)) {
    fprintf(stderr, "virelconv: %s is the input: the input is never overwritten\n", Narrow(a.out).c_str());
    return kUsage;
  }
  PathString temporary;
  FILE* out = stdout;
  if (toFile) {
    out = CreateTemporary(a.out, &temporary);
    if (out == nullptr) {
      fprintf(stderr, "virelconv: cannot write %s: %s\n", Narrow(a.out).c_str(), strerror(errno));
      return kFileError;
    }
  }
  auto fail = [&](const char* what, const std::string& name) {
    fprintf(stderr, "virelconv: cannot %s %s: %s\n", what, name.c_str(), strerror(errno));
    if (toFile) {
      fclose(out);
      Remove(temporary);
    }
    return kFileError;
  };

  convert::Options options;
  options.strict = a.strict;
  options.utf16Output = a.utf16;
  convert::Converter converter(a.from, a.to, options);
  std::string piece(kPiece, '\0');
  std::string converted;
  bool going = true;
  while (going) {
    size_t n = fread(&piece[0], 1, piece.size(), in);
    if (ferror(in)) return fail("read", inName);
    converted.clear();
    going = n > 0 ? converter.Feed(piece.data(), n, &converted) : false;
    if (n == 0) converter.Finish(&converted);
    if (!Write(out, converted)) return fail("write", toFile ? Narrow(a.out) : "standard output");
  }
  if (in != stdin) fclose(in);

  const std::string outName = toFile ? Narrow(a.out) : "standard output";
  if (converter.stopped()) {
    const convert::Problem& p = converter.problems().front();
    fprintf(stderr, "virelconv: %s: %s\n", inName.c_str(), convert::Describe(p, a.from, a.to).c_str());
    fprintf(stderr, "virelconv: stopped (--strict)%s\n", toFile ? "; nothing written" : "");
    if (toFile) {
      fclose(out);
      Remove(temporary);
    }
    return kStrictStop;
  }
  if (fflush(out) != 0) return fail("write", outName);
  if (toFile) {
    if (fclose(out) != 0) {
      Remove(temporary);
      fprintf(stderr, "virelconv: cannot write %s: %s\n", outName.c_str(), strerror(errno));
      return kFileError;
    }
    if (!Replace(temporary, a.out)) {
      Remove(temporary);
      fprintf(stderr, "virelconv: cannot write %s: %s\n", outName.c_str(), strerror(errno));
      return kFileError;
    }
  }
  if (converter.problemCount() == 0) return kOk;
  for (const convert::Problem& p : converter.problems()) {
    fprintf(stderr, "virelconv: %s: %s\n", inName.c_str(), convert::Describe(p, a.from, a.to).c_str());
  }
  if (converter.problemCount() > converter.problems().size()) {
    fprintf(stderr, "virelconv: ... and %llu more\n",
            static_cast<unsigned long long>(converter.problemCount() - converter.problems().size()));
  }
  const char* replacement = a.to == convert::kUnicode                               ? "U+FFFD"
                            : convert::AsciiGlyphs(a.to).find('?') == std::string::npos ? "?"
                                                                                         : "a byte that is no glyph";
  fprintf(stderr, "virelconv: %llu characters could not be converted and were replaced by %s\n",
          static_cast<unsigned long long>(converter.problemCount()), replacement);
  return kReplaced;
}

int Main(int argc, const PathString* argv) {
  Arguments a;
  for (int i = 1; i < argc; ++i) {
    const PathString& arg = argv[i];
    if (arg == PATH("--help") || arg == PATH("-h")) {
      fputs(kUsageText, stdout);
      return kOk;
    } else if (arg == PATH("--detect")) {
      a.detect = true;
    } else if (arg == PATH("--strict")) {
      a.strict = true;
    } else if (arg == PATH("--utf16")) {
      a.utf16 = true;
    } else if (arg == PATH("--from") || arg == PATH("--to")) {
      if (i + 1 >= argc) return Usage(Narrow(arg) + " needs an encoding");
      convert::Encoding e;
      if (!convert::EncodingFromName(Narrow(argv[i + 1]), &e)) return Usage("unknown encoding " + Narrow(argv[i + 1]));
      (arg == PATH("--from") ? a.from : a.to) = e;
      (arg == PATH("--from") ? a.haveFrom : a.haveTo) = true;
      ++i;
    } else if (arg.size() > 1 && arg[0] == '-' && arg[1] == '-') {
      return Usage("unknown option " + Narrow(arg));
    } else {
      (a.files == 0 ? a.in : a.out) = arg;
      if (++a.files > 2) return Usage("at most two files: IN and OUT");
    }
  }
  if (a.files == 0) return Usage("no input file (- for standard input)");
  if (a.detect) {
    if (a.files > 1 || a.haveFrom || a.haveTo) return Usage("--detect takes one file and no encodings");
  } else if (!a.haveFrom || !a.haveTo) {
    return Usage("--from and --to are both needed");
  } else if (a.utf16 && a.to != convert::kUnicode) {
    return Usage("--utf16 is for Unicode output");
  }
  BinaryStreams();
  return Run(a);
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  std::vector<PathString> args(argv, argv + argc);
  return Main(argc, args.data());
}
#else
int main(int argc, char** argv) {
  std::vector<PathString> args(argv, argv + argc);
  return Main(argc, args.data());
}
#endif
