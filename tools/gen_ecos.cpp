// Writes data/ecos.dat from the opening lines of data/eco.
//   gen_ecos <folder of .tsv files> <output file>
#include <cstdio>
#include <fstream>

#include "tools/eco_build.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: gen_ecos <folder of .tsv files> <output file>\n");
    return 2;
  }
  EcoBuild build;
  BuildEcoTable(argv[1], build);
  for (const std::string& line : build.unplayable) std::fprintf(stderr, "gen_ecos: cannot play %s\n", line.c_str());
  std::ofstream out(argv[2], std::ios::binary);
  const std::string bytes = EcoTableBytes(build.table);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  if (!out) {
    std::fprintf(stderr, "gen_ecos: cannot write %s\n", argv[2]);
    return 1;
  }
  std::printf("%zu lines, %zu positions, %zu conflicts (a line's position taken by another code)\n", build.lines.size(),
              build.table.size(), build.conflicts.size());
  for (const EcoConflict& c : build.conflicts)
    std::printf("  %s %s  ->  %s %s\n", c.lost->code.c_str(), c.lost->moves.c_str(), c.kept->code.c_str(),
                c.kept->moves.c_str());
  return build.unplayable.empty() ? 0 : 1;
}
