// punktivo-tool export / import: the game's link writer and reader on board records.
#include "tools/tool_links.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <string_view>

#include "engine/board_model.h"
#include "engine/exact_solver.h"
#include "engine/random.h"
#include "storage/board_file.h"
#include "storage/puzzle_link.h"
#include "tools/tool_common.h"

namespace punktivo {

namespace {

constexpr int kExitOk = 0;
constexpr int kExitWriteFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitRefused = 3;  // import: the link cannot be taken faithfully

int usage(const std::string& error) {
  std::cerr << "punktivo-tool: " << error << " (try --help)\n";
  return kExitUsage;
}

int exportLink(int argc, char** argv) {
  if (argc < 3) return usage("export needs a file");
  std::string error;
  const auto input = parseRecordRef(argv[2], error);
  if (!input) return usage(error);
  LinkForm form = LinkForm::kFpuzzles;
  for (int i = 3; i < argc; i += 2) {  // --form and its word
    const std::string_view arg = argv[i];
    const std::string_view value = i + 1 < argc ? argv[i + 1] : "";
    if (arg != "--form") return usage("unexpected argument '" + std::string(arg) + "'");
    if (value == "fpuzzles") {
      form = LinkForm::kFpuzzles;
    } else if (value == "sudokupad") {
      form = LinkForm::kSudokuPad;
    } else if (value == "json") {
      form = LinkForm::kJson;
    } else {
      return usage("--form needs fpuzzles, sudokupad or json");
    }
  }
  NullDisplay display;
  BoardModel model(display);
  model.quietMode = true;
  SeededRandom unused(0);  // a reader never draws
  if (!readRecord(model, *input, unused)) return kExitUsage;
  std::cout << puzzleLink(linkPuzzleOf(model), form) << '\n';
  return kExitOk;
}

// The argument itself, or the text of the file it names (a little more than a link may
// hold is read, so that an overlong file is refused as an overlong link is).
std::optional<std::string> linkText(const std::string& arg) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(arg, ec)) return arg;
  std::ifstream in(arg, std::ios::binary);
  std::string text(kMostLinkBytes + 1, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (in.bad()) return std::nullopt;
  text.resize(static_cast<std::size_t>(in.gcount()));
  return text;
}

int importLink(int argc, char** argv) {
  if (argc < 3) return usage("import needs a link or a file holding one");
  std::optional<RecordRef> output;
  std::string error;
  for (int i = 3; i < argc; ++i) {
    if (std::string_view(argv[i]) != "-o") return usage("unexpected argument '" + std::string(argv[i]) + "'");
    if (!takeOutput(i, argc, argv, output, error)) return usage(error);
  }
  const auto text = linkText(argv[2]);
  if (!text) {
    std::cerr << "punktivo-tool: " << argv[2] << ": cannot be read\n";
    return kExitUsage;
  }
  const LinkResult link = readPuzzleLink(*text);
  if (!link.ok()) {
    std::cerr << "punktivo-tool: " << link.message() << (output ? " Nichts geschrieben." : "") << '\n';
    return kExitRefused;
  }
  NullDisplay display;
  BoardModel model(display);
  model.quietMode = true;
  placeLinkPuzzle(link.puzzle, model);
  int givens = 0;
  int white = 0;
  int black = 0;
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) {
      givens += model.givens[r][c] != 0 ? 1 : 0;
      for (const uint8_t dot : {c <= 8 ? model.dotsRight[r][c] : uint8_t{0}, r <= 8 ? model.dotsDown[c][r] : uint8_t{0}}) {
        white += dot == kWhiteDot ? 1 : 0;
        black += dot == kBlackDot ? 1 : 0;
      }
    }
  std::cout << "givens=" << gridLine(model.givens) << '\n'
            << "givenCount=" << givens << '\n'
            << "whiteDots=" << white << '\n'
            << "blackDots=" << black << '\n'
            << "solutions=" << countSolutions(model.givens, model.dotsRight, model.dotsDown, 2) << '\n';
  if (!output) return kExitOk;
  SeededRandom random(std::random_device{}());
  return writeRecord(model, *output, random) ? kExitOk : kExitWriteFailed;
}

}  // namespace

std::optional<int> runLinkOperation(int argc, char** argv) {
  if (argc < 2) return std::nullopt;
  const std::string_view operation = argv[1];
  if (operation == "export") return exportLink(argc, argv);
  if (operation == "import") return importLink(argc, argv);
  return std::nullopt;
}

}  // namespace punktivo
