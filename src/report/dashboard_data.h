// The dashboard's data: one JSON object the page's script reads, built from
// the book after the statistics pass.
//
//   stats  the player's all-time figures as personal.html shows them
//   names  every opponent's name in UTF-8, in book order
//   rank   per opponent, place + 1 (0 when not ranked)      } compact
//   dev    per opponent, deviation score × 1000             } numbers
//   count  per opponent, number of matches                  } (see
//   m      every match, opponent by opponent, 12 numbers    } compact_numbers.h)
//          each: day, start second, duration, result, own games, opponent
//          games, grade, shown wins, shown losses, rating, max chain,
//          disconnect rate. Day and the last six are differences from the
//          same opponent's previous match, which keeps them one letter long.
#ifndef LEDGERWISE_REPORT_DASHBOARD_DATA_H_
#define LEDGERWISE_REPORT_DASHBOARD_DATA_H_

#include <string>

#include "log/records.h"

namespace ledgerwise {

std::string DashboardData(const VsLogBook& book);

}  // namespace ledgerwise

#endif  // LEDGERWISE_REPORT_DASHBOARD_DATA_H_
