// One "Update profile" on a full 200-profile reference file, and one "Calculate".
// Target: under 2 ms each.
#include <benchmark/benchmark.h>

#include "support/session.hpp"
#include "support/wrc_text.hpp"

namespace {

using vantrel::testing::Session;
using vantrel::testing::TempDir;

// Bundled crops and textures beside a reference file of 200 full profiles.
class FullFolder {
 public:
  FullFolder() {
    dir_.write(vantrel::kRetentionFileName, vantrel::testing::wrc_file(200));
    for (const char* name : {vantrel::kCropFileName, vantrel::kTextureFileName}) {
      std::filesystem::copy_file(vantrel::testing::kBundled / name, dir_ / name);
    }
  }
  const std::filesystem::path& path() const { return dir_.path(); }

 private:
  TempDir dir_;
};

void BM_UpdateProfile(benchmark::State& state) {
  const FullFolder folder;
  Session s(folder.path());
  s.run("type 1032 30\n");
  for (auto _ : state)
    s.dialog().notify_clicked(1010);
  state.counters["profiles"] = s.program().tables().curves.profile_count;
}
BENCHMARK(BM_UpdateProfile)->Unit(benchmark::kMicrosecond);

void BM_Calculate(benchmark::State& state) {
  const FullFolder folder;
  Session s(folder.path());
  s.run("click 1010\ntype 1033 2\nclick 1010\nchoose 1011 1\n");
  for (auto _ : state)
    s.dialog().notify_clicked(30002);  // with its two trace lines
}
BENCHMARK(BM_Calculate)->Unit(benchmark::kMicrosecond);

}  // namespace
