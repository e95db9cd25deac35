// Code page 932 bytes of the characters the tests write, so test texts
// can stand in UTF-8 as they read.
#include "tests/sjis.h"

#include <cstdint>
#include <stdexcept>

namespace ledgerwise {
namespace testing {

namespace {

struct Pair {
  const char* utf8;
  const char* sjis;
};

// The characters outside the runs below that the program and its tests use.
constexpr Pair kTable[] = {
    {"±", "\x81\x7d"}, {"…", "\x81\x63"}, {"→", "\x81\xa8"}, {"■", "\x81\xa1"}, {"　", "\x81\x40"}, {"、", "\x81\x41"},
    {"。", "\x81\x42"}, {"・", "\x81\x45"}, {"ー", "\x81\x5b"}, {"一", "\x88\xea"}, {"七", "\x8e\xb5"}, {"三", "\x8e\x4f"},
    {"不", "\x95\x73"}, {"中", "\x92\x86"}, {"九", "\x8b\xe3"}, {"了", "\x97\xb9"}, {"二", "\x93\xf1"}, {"五", "\x8c\xdc"},
    {"人", "\x90\x6c"}, {"仮", "\x89\xbc"}, {"位", "\x88\xca"}, {"何", "\x89\xbd"}, {"作", "\x8d\xec"}, {"個", "\x8c\xc2"},
    {"値", "\x92\x6c"}, {"偏", "\x95\xce"}, {"入", "\x93\xfc"}, {"八", "\x94\xaa"}, {"六", "\x98\x5a"}, {"出", "\x8f\x6f"},
    {"分", "\x95\xaa"}, {"切", "\x90\xd8"}, {"初", "\x8f\x89"}, {"別", "\x95\xca"}, {"前", "\x91\x4f"}, {"力", "\x97\xcd"},
    {"勝", "\x8f\x9f"}, {"十", "\x8f\x5c"}, {"取", "\x8e\xe6"}, {"口", "\x8c\xfb"}, {"合", "\x8d\x87"}, {"名", "\x96\xbc"},
    {"四", "\x8e\x6c"}, {"土", "\x93\x79"}, {"均", "\x8b\xcf"}, {"多", "\x91\xbd"}, {"大", "\x91\xe5"}, {"太", "\x91\xbe"},
    {"失", "\x8e\xb8"}, {"始", "\x8e\x6e"}, {"子", "\x8e\x71"}, {"完", "\x8a\xae"}, {"定", "\x92\xe8"}, {"対", "\x91\xce"},
    {"山", "\x8e\x52"}, {"差", "\x8d\xb7"}, {"平", "\x95\xbd"}, {"得", "\x93\xbe"}, {"必", "\x95\x4b"}, {"成", "\x90\xac"},
    {"戦", "\x90\xed"}, {"押", "\x89\x9f"}, {"敗", "\x94\x73"}, {"数", "\x90\x94"}, {"断", "\x92\x66"}, {"新", "\x90\x56"},
    {"日", "\x93\xfa"}, {"明", "\x96\xbe"}, {"時", "\x8e\x9e"}, {"更", "\x8d\x58"}, {"書", "\x8f\x91"}, {"最", "\x8d\xc5"},
    {"月", "\x8c\x8e"}, {"木", "\x96\xd8"}, {"未", "\x96\xa2"}, {"析", "\x90\xcd"}, {"果", "\x89\xca"}, {"様", "\x97\x6c"},
    {"段", "\x92\x69"}, {"水", "\x90\x85"}, {"測", "\x91\xaa"}, {"満", "\x96\x9e"}, {"火", "\x89\xce"}, {"点", "\x93\x5f"},
    {"猫", "\x94\x4c"}, {"率", "\x97\xa6"}, {"王", "\x89\xa4"}, {"生", "\x90\xb6"}, {"田", "\x93\x63"}, {"発", "\x94\xad"},
    {"示", "\x8e\xa6"}, {"級", "\x8b\x89"}, {"結", "\x8c\x8b"}, {"総", "\x91\x8d"}, {"績", "\x90\xd1"}, {"自", "\x8e\xa9"},
    {"花", "\x89\xd4"}, {"表", "\x95\x5c"}, {"要", "\x97\x76"}, {"見", "\x8c\xa9"}, {"規", "\x8b\x4b"}, {"観", "\x8a\xcf"},
    {"試", "\x8e\x8e"}, {"負", "\x95\x89"}, {"込", "\x8d\x9e"}, {"連", "\x98\x41"}, {"郎", "\x98\x59"}, {"金", "\x8b\xe0"},
    {"鎖", "\x8d\xbd"}, {"開", "\x8a\x4a"}, {"間", "\x8a\xd4"}, {"！", "\x81\x49"}, {"＃", "\x81\x94"}, {"（", "\x81\x69"},
    {"）", "\x81\x6a"}, {"－", "\x81\x7c"}, {"：", "\x81\x46"}, {"＝", "\x81\x81"}, {"？", "\x81\x48"}, {"～", "\x81\x60"},
};

// Runs of code points whose Shift_JIS codes count on from `sjis`, stepping
// over the trail byte 7F: hiragana, katakana, full-width digits and letters.
struct Run {
  uint32_t first, last, sjis;
};
constexpr Run kRuns[] = {{0x3041, 0x3093, 0x829f}, {0x30a1, 0x30f6, 0x8340},
                         {0xff10, 0xff19, 0x824f}, {0xff21, 0xff3a, 0x8260},
                         {0xff41, 0xff5a, 0x8281}};

std::string SjisOf(std::string_view ch) {
  for (const Pair& p : kTable) {
    if (ch == p.utf8) return p.sjis;
  }
  if (ch.size() == 3) {
    uint32_t point = (ch[0] & 0x0fu) << 12 | (ch[1] & 0x3fu) << 6 | (ch[2] & 0x3fu);
    for (const Run& run : kRuns) {
      if (point < run.first || point > run.last) continue;
      uint32_t code = run.sjis + (point - run.first);
      if ((run.sjis & 0xff) < 0x7f && (code & 0xff) >= 0x7f) ++code;
      return {static_cast<char>(code >> 8), static_cast<char>(code & 0xff)};
    }
  }
  throw std::invalid_argument("no Shift_JIS bytes for " + std::string(ch));
}

}  // namespace

std::string Sjis(std::string_view utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    unsigned char lead = static_cast<unsigned char>(utf8[i]);
    size_t length = lead < 0x80 ? 1 : lead < 0xe0 ? 2 : lead < 0xf0 ? 3 : 4;
    std::string_view ch = utf8.substr(i, length);
    i += length;
    out += length == 1 ? std::string(ch) : SjisOf(ch);
  }
  return out;
}

}  // namespace testing
}  // namespace ledgerwise
