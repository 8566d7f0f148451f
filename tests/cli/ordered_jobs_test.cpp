// Work on several threads, written in input order: every chunk read once, computed once and
// written in its place, a stop keeping what follows unread, the memory bound by the limit.
#include "cli/ordered_jobs.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <vector>

namespace vantrel {
namespace {

struct Piece {
  int number = -1;
  int computed = 0;
};

struct Case {
  int jobs;
  std::size_t limit;
  int chunks;
  int stop_after;  // the writer says stop after this many; -1 never
};

TEST(OrderedJobs, ChunksAreWrittenInTheirOrderOnceEachAndAStopReadsNoFurther) {
  const std::vector<Case> cases = {
      {1, 4, 0, -1},   {1, 4, 25, -1}, {2, 1, 25, -1}, {2, 8, 200, -1},
      {3, 2, 97, -1},  {8, 3, 40, -1}, {1, 4, 25, 10}, {2, 2, 200, 1},
      {4, 3, 200, 50}, {3, 5, 1, -1},  {2, 4, 30, 0},  {6, 1, 60, 59},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(std::to_string(k.jobs) + " jobs, limit " + std::to_string(k.limit) + ", " +
                 std::to_string(k.chunks) + " chunks, stop after " + std::to_string(k.stop_after));
    int read = 0;
    std::atomic<int> in_flight{0};
    std::atomic<int> most_in_flight{0};
    std::vector<int> written;
    OrderedJobs<Piece> run(
        [&](Piece& p) {
          if (read == k.chunks) return false;
          p.number = read++;
          const int now = ++in_flight;
          most_in_flight = std::max(most_in_flight.load(), now);
          return true;
        },
        [](Piece& p) {
          ++p.computed;
          volatile int spin = 0;  // uneven work, so that jobs finish out of order
          for (int i = 0; i < (p.number % 5) * 2000; ++i)
            spin = spin + i;
        },
        [&](Piece& p) {
          EXPECT_EQ(p.computed, 1);
          written.push_back(p.number);
          --in_flight;
          return k.stop_after < 0 || static_cast<int>(written.size()) <= k.stop_after;
        },
        k.limit);
    run.run(k.jobs);
    const int expected = k.stop_after < 0 ? k.chunks : std::min(k.chunks, k.stop_after + 1);
    ASSERT_EQ(static_cast<int>(written.size()), expected);
    for (int i = 0; i < expected; ++i)
      EXPECT_EQ(written[static_cast<std::size_t>(i)], i);
    EXPECT_LE(most_in_flight.load(), std::max<int>(1, static_cast<int>(k.limit)));
    if (k.stop_after >= 0) {
      // After a stop no more than the chunks already allowed in flight were read.
      EXPECT_LE(read, expected + static_cast<int>(k.limit));
    }
  }
}

}  // namespace
}  // namespace vantrel
