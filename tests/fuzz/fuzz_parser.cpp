// The parser, the field readers and the record store over arbitrary bytes.
// Beyond not crashing, the book must not depend on how the input is chunked
// and must equal the book of a plain restatement of the rules
// (reference_parser.h).
#include <string>

#include "log/log_parser.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/reference_parser.h"

namespace ledgerwise {
namespace fuzz {

void RunParserCase(const uint8_t* data, size_t size) {
  Input input = SplitInput(data, size);
  reference::Book expected;
  for (const LogFile& file : input.files) {
    ReferenceParser(expected, file.name).ReadFile(file.content);
  }
  // Byte by byte is kept to small inputs for speed.
  uint64_t harshest = size <= 2048 ? kByteByByte : 2;
  for (uint64_t seed : {uint64_t{0}, input.options * uint64_t{16} + 1, harshest}) {
    VsLogBook book;
    for (const LogFile& file : input.files) FeedFile(book, file, seed);
    LW_CHECK(SameBook(book, expected));
  }
}

}  // namespace fuzz
}  // namespace ledgerwise

#ifndef LEDGERWISE_FUZZ_REPLAY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ledgerwise::fuzz::RunParserCase(data, size);
  return 0;
}
#endif
