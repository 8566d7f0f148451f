// make_unsoda_input: UNSODA 2.0's tables (JSON, as in the shared data folder) to the input of
// vantrel-reference, on standard output or written whole to -o FILE.
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "data/atomic_file.hpp"
#include "unsoda/unsoda_samples.hpp"

namespace {

constexpr const char* kUsage =
    "Usage: make_unsoda_input UNSODA_FOLDER [-o FILE]\n"
    "UNSODA 2.0's tables (general.json, soil_properties.json, particle_size.json,\n"
    "lab_drying_h-t.json, publication.json) as vantrel-reference's input: one profile per\n"
    "site, the USDA texture from each sample's particle-size curve, the laboratory drying\n"
    "points. Check the folder's MD5SUMS first (./dev.sh reference does).\n"
    "  -o, --output FILE  write FILE whole (default: standard output)\n"
    "Exit status: 0 written, 2 a usage error or a table that cannot be read.\n";

bool read_table(const std::string& folder, const char* name,
                std::vector<vantrel::unsoda::JsonRow>& rows) {
  const std::string path = folder + "/" + name;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::cerr << path << ": cannot read\n";
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  std::string error;
  auto read = vantrel::unsoda::read_json_rows(text.str(), error);
  if (!read) {
    std::cerr << path << ":" << error << '\n';
    return false;
  }
  rows = std::move(*read);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::string folder, output;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help") {
      std::cout << kUsage;
      return 0;
    }
    if (a == "--version") {
      std::cout << "make_unsoda_input " << VANTREL_VERSION << '\n';
      return 0;
    }
    if ((a == "-o" || a == "--output") && i + 1 < argc) {
      output = argv[++i];
    } else if (!a.empty() && a[0] == '-') {
      std::cerr << "make_unsoda_input: unknown option " << a << "\n" << kUsage;
      return 2;
    } else if (folder.empty()) {
      folder = a;
    } else {
      std::cerr << "make_unsoda_input: one folder only\n" << kUsage;
      return 2;
    }
  }
  if (folder.empty()) {
    std::cerr << "make_unsoda_input: no UNSODA folder\n" << kUsage;
    return 2;
  }
  vantrel::unsoda::Tables t;
  if (!read_table(folder, "general.json", t.general) ||
      !read_table(folder, "soil_properties.json", t.properties) ||
      !read_table(folder, "particle_size.json", t.sizes) ||
      !read_table(folder, "lab_drying_h-t.json", t.lab_points) ||
      !read_table(folder, "publication.json", t.publications)) {
    return 2;
  }
  const vantrel::unsoda::Conversion c = vantrel::unsoda::convert(t);
  const std::string text = vantrel::unsoda::reference_input(c);
  if (output.empty()) {
    std::cout << text;
  } else {
    vantrel::AtomicFile file;
    std::string error;
    if (!file.open(output, error) || !file.write(text) || !file.commit(error)) {
      std::cerr << output << ": cannot write: " << error << '\n';
      return 2;
    }
  }
  std::cerr << "make_unsoda_input: " << c.samples.size() << " of " << c.read << " samples kept ("
            << c.interpolated << " with a texture limit interpolated); left out: " << c.no_depth
            << " without depths, " << c.no_texture << " without a texture, " << c.no_density
            << " without a density, " << c.no_points << " without laboratory points, "
            << c.no_wet_or_dry << " whose points miss 33 kPa or wetter or 500 kPa or drier\n";
  return 0;
}
