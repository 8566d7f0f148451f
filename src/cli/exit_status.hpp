// The exit status of every command-line tool.
#pragma once

namespace vantrel {

inline constexpr int kExitOk = 0;      // everything asked for was computed and written
inline constexpr int kExitFailed = 1;  // some profiles or lines failed; the rest was written
inline constexpr int kExitUsage = 2;   // nothing was computed: a usage error or a file that failed

}  // namespace vantrel
