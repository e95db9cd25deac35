// The dashboard's data: one JSON object the page's script reads, built from
// the book and given as lines to write one after the other. The script works
// out every figure itself, over the period the reader picks.
//
//   names  every opponent's name in UTF-8, in book order
//   count  per opponent, the number of matches
//   m      every match, opponent by opponent, as strings of a few hundred
//          kilobytes that end between matches: day, start second, duration,
//          outcome (result + 4 × (own games + 3 × opponent games), or 36
//          and the three), rare changes (0, or 1 and grade, max chain and
//          disconnect rate), shown wins, shown losses, rating. Day and the
//          opponent's figures are differences from the same opponent's
//          previous match, which keeps most of them one letter long.
//
// count and m are compact numbers (compact_numbers.h).
#ifndef LEDGERWISE_UTF8_OUTPUTS_DASHBOARD_DATA_H_
#define LEDGERWISE_UTF8_OUTPUTS_DASHBOARD_DATA_H_

#include <string>
#include <vector>

#include "log/records.h"

namespace ledgerwise {

std::vector<std::string> DashboardData(const VsLogBook& book);

}  // namespace ledgerwise

#endif  // LEDGERWISE_UTF8_OUTPUTS_DASHBOARD_DATA_H_
