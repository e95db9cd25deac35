// The dashboard's data: one JSON object the page's script reads, written from
// the book straight into the page a few kilobytes at a time (a million
// opponents would make it tens of megabytes in memory). The script works out
// every figure itself, over the period the reader picks.
//
//   live    only in a watching run's page: {"generation": text}
//   rules   the statistics pass's constants the script needs too:
//           recentSeconds (the recent period before the latest start),
//           rankedShown (an opponent's shown wins + losses that rank it),
//           rankedOwnAbove (decided matches the player must exceed)
//   grades  the grade names by grade number, the last one for any other grade
//   names   every opponent's name in UTF-8, in book order; an opponent's
//           number is its place here
//   matchCount  the number of matches
//   m       every match in the order of its start (day, then second; equal
//           starts in book order), as strings of a few hundred kilobytes that
//           end between matches: opponent number, day, start second,
//           duration, outcome (result + 4 × (own games + 3 × opponent
//           games), or 36 and the three), rare changes (0, or 1 and grade,
//           max chain and disconnect rate), shown wins, shown losses, rating.
//           Day and start second are differences from the match before in
//           the stream, the opponent's figures from the same opponent's match
//           before, which keeps most of them a letter or two long.
//
// m is compact numbers (compact_numbers.h), and every line stays under a few
// hundred kilobytes. The page follows time without sorting anything.
#ifndef LEDGERWISE_UTF8_OUTPUTS_DASHBOARD_DATA_H_
#define LEDGERWISE_UTF8_OUTPUTS_DASHBOARD_DATA_H_

#include "log/records.h"
#include "report/output_file.h"
#include "utf8_outputs/dashboard.h"

namespace ledgerwise {

// Writes the object as CR LF-ended lines; `live` may be nullptr.
void WriteDashboardData(const VsLogBook& book, const DashboardLive* live, OutputFile& out);

}  // namespace ledgerwise

#endif  // LEDGERWISE_UTF8_OUTPUTS_DASHBOARD_DATA_H_
