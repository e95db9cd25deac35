// A plain reading of the log grammar, kept for the tests as the model the
// fast parser must agree with: every line split out, every phrase searched
// in turn, every grade word tried in table order.
#ifndef LEDGERWISE_TESTS_REFERENCE_PARSER_H_
#define LEDGERWISE_TESTS_REFERENCE_PARSER_H_

#include <string_view>

#include "log/records.h"

namespace ledgerwise {
namespace testing {

// Parses one whole file's bytes into the book, as the program would.
void ReferenceParse(VsLogBook& book, std::string_view fileName, std::string_view bytes);

// True when both books hold the same opponents, matches and parse state.
bool SameBooks(const VsLogBook& a, const VsLogBook& b, std::string* difference);

}  // namespace testing
}  // namespace ledgerwise

#endif  // LEDGERWISE_TESTS_REFERENCE_PARSER_H_
