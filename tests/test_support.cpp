#include "tests/test_support.h"

#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

#include "log/log_parser.h"

namespace ledgerwise {
namespace testing {

// By the system's own converter.
std::string Sjis(std::string_view utf8) {
  std::string out(utf8.size(), '\0');  // never longer than the UTF-8
  bool converted = false;
#ifdef _WIN32
  std::wstring wide(utf8.size(), L'\0');
  int length = static_cast<int>(utf8.size());
  int units =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, wide.data(), length);
  BOOL lost = FALSE;
  int bytes = WideCharToMultiByte(932, 0, wide.data(), units, out.data(), length, nullptr, &lost);
  converted = (units > 0 || utf8.empty()) && !lost;
  out.resize(static_cast<size_t>(bytes));
#else
  iconv_t cd = iconv_open("CP932", "UTF-8");
  char* in = const_cast<char*>(utf8.data());
  char* at = out.data();
  size_t inLeft = utf8.size(), outLeft = out.size();
  converted = cd != reinterpret_cast<iconv_t>(-1) &&
              iconv(cd, &in, &inLeft, &at, &outLeft) != static_cast<size_t>(-1);
  if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
  out.resize(static_cast<size_t>(at - out.data()));
#endif
  if (!converted) throw std::invalid_argument("no Shift_JIS bytes for " + std::string(utf8));
  return out;
}

std::string LogText(std::initializer_list<std::string_view> lines) {
  std::string out;
  for (std::string_view line : lines) {
    out += Sjis(line);
    out += "\r\n";
  }
  return out;
}

void ParseText(VsLogBook& book, std::string_view name, std::string_view bytes) {
  LogDigest digest;
  LogFileParser parser(name, &digest);
  parser.Feed(bytes.data(), bytes.size());
  parser.Finish();
  std::string_view lastName;
  ApplyLogDigest(book, digest, &lastName);
}

}  // namespace testing
}  // namespace ledgerwise
