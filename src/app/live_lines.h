// What a watching run tells the player as the game writes its log: a line
// when a match starts, with the record against that opponent so far (or
// that this is a first meeting), and a line when it ends, with the result,
// the updated record, and the player's record for the day and the session.
#ifndef LEDGERWISE_APP_LIVE_LINES_H_
#define LEDGERWISE_APP_LIVE_LINES_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "log/records.h"

namespace ledgerwise {

class LiveLines {
 public:
  // Where the book stands now; the next Look reports only what came after.
  // An undecided last match of `today` (the game is in it) is reported as
  // started by the first Look.
  void Start(const VsLogBook& book, int32_t today);

  // The lines, in the console's encoding, for the matches that started or
  // ended since the last look. `book` is rebuilt from the same logs plus
  // what the game wrote since; if its history differs before that point (an
  // old log edited), nothing is reported and it becomes the new start.
  std::vector<std::string> Look(const VsLogBook& book, bool utf8);

 private:
  // A match by its place in open order, and what identifies it across
  // rebuilds of the book.
  struct Seen {
    size_t count = 0;        // matches opened so far
    int64_t lastStart = -1;  // the last one's start instant
    std::string lastName;    // its opponent
    bool lastUndecided = false;
  };
  static Seen Where(const VsLogBook& book);

  Seen seen_;
};

}  // namespace ledgerwise

#endif  // LEDGERWISE_APP_LIVE_LINES_H_
