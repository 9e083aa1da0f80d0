// Links of the web's solving tools: writing the f-puzzles JSON and its links, and reading
// them back strictly (anything the board cannot hold faithfully is refused with its reason).
#include "storage/puzzle_link.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "storage/json_value.h"
#include "storage/lz_string.h"

namespace punktivo {
namespace {

// "R1C1" ... "R9C9". Appends, not "literal" + string: GCC 12 warns falsely (-Wrestrict).
std::string cellName(int r, int c) {
  std::string name(1, 'R');
  name += static_cast<char>('0' + r);
  name += 'C';
  name += static_cast<char>('0' + c);
  return name;
}

void appendDot(std::string& list, int r1, int c1, int r2, int c2) {
  if (!list.empty()) list += ',';
  list += R"({"cells":[")";
  list += cellName(r1, c1);
  list += R"(",")";
  list += cellName(r2, c2);
  list += R"("]})";
}

// Top-level members that carry no rule: texts, display options and the author's solution.
bool harmlessMember(std::string_view name) {
  for (const std::string_view known :
       {"title", "author", "ruleset", "highlightConflicts", "solution", "disabledlogic",
        "truecandidatesoptions", "version"})
    if (name == known) return true;
  return false;
}

// Cell members of the solver's notes and colours.
bool harmlessCellMember(std::string_view name) {
  for (const std::string_view known :
       {"centerPencilMarks", "cornerPencilMarks", "candidates", "highlight", "c", "cArray"})
    if (name == known) return true;
  return false;
}

// false, null and empty lists switch nothing on, whatever their name.
bool inactive(const JsonValue& value) {
  return value.kind == JsonValue::Kind::kNull ||
         (value.kind == JsonValue::Kind::kBool && !value.boolean) ||
         (value.isArray() && value.items.empty());
}

std::optional<int> wholeNumber(const JsonValue& value) {
  if (value.kind != JsonValue::Kind::kNumber || std::floor(value.number) != value.number ||
      std::fabs(value.number) > 1e6)
    return std::nullopt;
  return static_cast<int>(value.number);
}

struct Cell {
  int r = 0;
  int c = 0;
};

// "R1C1" … "R9C9" (the letters in either case).
std::optional<Cell> parseCell(const JsonValue& value) {
  const std::string& t = value.text;
  if (value.kind != JsonValue::Kind::kString || t.size() != 4 || (t[0] != 'R' && t[0] != 'r') ||
      (t[2] != 'C' && t[2] != 'c') || t[1] < '1' || t[1] > '9' || t[3] < '1' || t[3] > '9')
    return std::nullopt;
  return Cell{t[1] - '0', t[3] - '0'};
}

class Reader {
 public:
  LinkResult result;

  bool fail(LinkError error, std::string detail = {}) {
    result.error = error;
    result.detail = std::move(detail);
    return false;
  }

  bool readRoot(const JsonValue& root) {
    if (!root.isObject()) return fail(LinkError::kBadJson);
    const JsonValue* size = root.find("size");
    if (size == nullptr || size->kind != JsonValue::Kind::kNumber) return fail(LinkError::kBadJson);
    if (wholeNumber(*size) != 9) return fail(LinkError::kNotNineByNine);
    const JsonValue* grid = root.find("grid");
    if (grid == nullptr || !readGrid(*grid)) return result.ok() ? fail(LinkError::kBadJson) : false;
    bool nonconsecutive = false;
    for (const auto& [name, value] : root.members) {
      if (name == "size" || name == "grid" || name == "difference" || name == "ratio" ||
          name == "negative" || harmlessMember(name) || inactive(value))
        continue;
      if (name == "nonconsecutive" && value.kind == JsonValue::Kind::kBool) {
        nonconsecutive = true;
        continue;
      }
      return fail(LinkError::kOtherRule, name);
    }
    if (!readDots(root.find("difference"), kWhiteDot) || !readDots(root.find("ratio"), kBlackDot))
      return false;
    // f-puzzles keeps the white dots' absence rule as "nonconsecutive": neighbours without a
    // white dot are not consecutive (its kropki puzzles have their one solution only so).
    return readNegative(root.find("negative"), nonconsecutive);
  }

 private:
  bool readGrid(const JsonValue& grid) {
    if (!grid.isArray() || grid.items.size() != 9) return false;
    for (int r = 1; r <= 9; ++r) {
      const JsonValue& row = grid.items[r - 1];
      if (!row.isArray() || row.items.size() != 9) return false;
      for (int c = 1; c <= 9; ++c)
        if (!readCell(row.items[c - 1], r, c)) return false;
    }
    return true;
  }

  bool readCell(const JsonValue& cell, int r, int c) {
    if (!cell.isObject()) return false;
    std::optional<int> digit;
    bool given = false;
    for (const auto& [name, value] : cell.members) {
      if (name == "value") {
        digit = wholeNumber(value);
        if (!digit || *digit < 1 || *digit > 9) return false;
      } else if (name == "given") {
        if (value.kind != JsonValue::Kind::kBool) return false;
        given = value.boolean;
      } else if (!harmlessCellMember(name) && !inactive(value)) {
        return fail(LinkError::kOtherRule, name);  // "region" (other boxes) and the like
      }
    }
    if (given && !digit) return false;
    // A value without "given" is a digit the solver entered, not part of the puzzle.
    if (given) result.puzzle.givens[r][c] = static_cast<uint8_t>(*digit);
    return true;
  }

  bool readDots(const JsonValue* list, uint8_t code) {
    if (list == nullptr) return true;
    if (!list->isArray()) return fail(LinkError::kBadJson);
    for (const JsonValue& dot : list->items) {
      const JsonValue* cells = dot.isObject() ? dot.find("cells") : nullptr;
      if (cells == nullptr || !cells->isArray() || cells->items.size() != 2) return fail(LinkError::kBadJson);
      const auto a = parseCell(cells->items[0]);
      const auto b = parseCell(cells->items[1]);
      if (!a || !b) return fail(LinkError::kBadJson);
      const std::string pair = cells->items[0].text + "–" + cells->items[1].text;
      if (!checkValue(dot.find("value"), code, pair)) return false;
      if (std::abs(a->r - b->r) + std::abs(a->c - b->c) != 1) return fail(LinkError::kNotNeighbours, pair);
      const Cell first = a->r < b->r || a->c < b->c ? *a : *b;
      uint8_t& slot = a->r == b->r ? result.puzzle.dotsRight[first.r][first.c]
                                   : result.puzzle.dotsDown[first.c][first.r];
      if (slot != kNoDot && slot != code) return fail(LinkError::kTwoDots, pair);
      slot = code;
    }
    return true;
  }

  // The dot's number, when written: 1 for a white dot, 2 for a black one (as a number or
  // as text, the way the editor's field keeps it; an empty text is the default).
  bool checkValue(const JsonValue* value, uint8_t code, const std::string& pair) {
    if (value == nullptr || (value->kind == JsonValue::Kind::kString && value->text.empty())) return true;
    const int wanted = code == kWhiteDot ? 1 : 2;
    std::optional<int> number = wholeNumber(*value);
    if (value->kind == JsonValue::Kind::kString && value->text.size() <= 6 &&
        value->text.find_first_not_of("0123456789") == std::string::npos)
      number = std::stoi(value->text);
    if (number == wanted) return true;
    const std::string shown = value->kind == JsonValue::Kind::kString ? value->text
                              : number                                ? std::to_string(*number)
                                                                      : std::string("?");
    return fail(code == kWhiteDot ? LinkError::kBadDifference : LinkError::kBadRatio, pair + ": " + shown);
  }

  bool readNegative(const JsonValue* negative, bool nonconsecutive) {
    bool ratio = false;
    bool difference = nonconsecutive;
    if (negative != nullptr) {
      if (!negative->isArray()) return fail(LinkError::kBadJson);
      for (const JsonValue& item : negative->items) {
        if (item.kind != JsonValue::Kind::kString) return fail(LinkError::kBadJson);
        if (item.text == "ratio") {
          ratio = true;
        } else if (item.text == "difference") {
          difference = true;
        } else {
          return fail(LinkError::kOtherRule, "negative: " + item.text);  // no X or V, ...
        }
      }
    }
    return ratio && difference ? true : fail(LinkError::kNotAllDots);
  }
};

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  return true;
}

// The packed data of a link, %-escapes resolved; nullopt when the text is no link we know.
std::optional<std::string> linkPayload(std::string_view text) {
  for (const std::string_view scheme : {"https://", "http://"})
    if (startsWithNoCase(text, scheme)) text.remove_prefix(scheme.size());
  if (startsWithNoCase(text, "www.")) text.remove_prefix(4);
  std::string_view payload;
  if (startsWithNoCase(text, "f-puzzles.com/") || startsWithNoCase(text, "f-puzzles.com?")) {
    const std::size_t query = text.find('?');
    if (query == std::string_view::npos) return std::nullopt;
    std::string_view rest = text.substr(query + 1);
    for (;;) {
      const std::size_t amp = rest.find_first_of("&#");
      const std::string_view param = rest.substr(0, amp);
      if (param.substr(0, 5) == "load=") {
        payload = param.substr(5);
        break;
      }
      if (amp == std::string_view::npos || rest[amp] == '#') return std::nullopt;
      rest.remove_prefix(amp + 1);
    }
  } else {
    if (startsWithNoCase(text, "beta.")) text.remove_prefix(5);
    if (!startsWithNoCase(text, "sudokupad.app/")) return std::nullopt;
    text.remove_prefix(14);
    if (text.substr(0, 10) == "?puzzleid=") text.remove_prefix(10);
    if (text.substr(0, 8) != "fpuzzles") return std::nullopt;
    payload = text.substr(8);
    payload = payload.substr(0, payload.find_first_of("?&#"));
  }
  std::string decoded;
  for (std::size_t i = 0; i < payload.size(); ++i) {
    if (payload[i] != '%') {
      decoded += payload[i];
      continue;
    }
    unsigned value = 0;
    // A broken escape leaves its '%', which no Base64 text holds.
    if (i + 2 >= payload.size()) return std::string(1, '%');
    for (int k = 1; k <= 2; ++k) {
      const char h = static_cast<char>(std::tolower(static_cast<unsigned char>(payload[i + k])));
      const std::size_t digit = std::string_view("0123456789abcdef").find(h);
      if (digit == std::string_view::npos) return std::string(1, '%');
      value = value * 16 + static_cast<unsigned>(digit);
    }
    decoded += static_cast<char>(value);
    i += 2;
  }
  return decoded;
}

bool base64Characters(std::string_view text) {
  if (text.empty()) return false;
  for (const char c : text)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '/' && c != '=') return false;
  return true;
}

}  // namespace

LinkPuzzle linkPuzzleOf(const BoardModel& model) {
  LinkPuzzle puzzle;
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) {
      const uint8_t given = model.givens[r][c];
      puzzle.givens[r][c] = given <= 9 ? given : 0;
      const auto dot = [](uint8_t code) -> uint8_t { return code == kWhiteDot || code == kBlackDot ? code : 0; };
      if (c <= 8) puzzle.dotsRight[r][c] = dot(model.dotsRight[r][c]);
      if (r <= 8) puzzle.dotsDown[c][r] = dot(model.dotsDown[c][r]);
    }
  return puzzle;
}

std::string puzzleJson(const LinkPuzzle& puzzle) {
  std::string json = R"({"size":9,"grid":[)";
  std::string white;
  std::string black;
  for (int r = 1; r <= 9; ++r) {
    json += r == 1 ? "[" : ",[";
    for (int c = 1; c <= 9; ++c) {
      if (c > 1) json += ',';
      const uint8_t given = puzzle.givens[r][c];
      json += given >= 1 && given <= 9 ? R"({"value":)" + std::to_string(given) + R"(,"given":true})" : "{}";
      if (c <= 8 && puzzle.dotsRight[r][c] != kNoDot)
        appendDot(puzzle.dotsRight[r][c] == kWhiteDot ? white : black, r, c, r, c + 1);
      if (r <= 8 && puzzle.dotsDown[c][r] != kNoDot)
        appendDot(puzzle.dotsDown[c][r] == kWhiteDot ? white : black, r, c, r + 1, c);
    }
    json += ']';
  }
  // Both ways of saying that every dot is shown: the negative list, and "nonconsecutive",
  // which f-puzzles and SudokuPad read as the white dots' absence rule.
  json += R"(],"difference":[)" + white + R"(],"ratio":[)" + black +
          R"(],"negative":["ratio","difference"],"nonconsecutive":true})";
  return json;
}

std::string puzzleLink(const LinkPuzzle& puzzle, LinkForm form) {
  std::string json = puzzleJson(puzzle);
  if (form == LinkForm::kJson) return json;
  const std::string payload = lzCompressToBase64(utf8ToUtf16(json));
  return std::string(form == LinkForm::kFpuzzles ? kFpuzzlesPrefix : kSudokuPadPrefix) + payload;
}

LinkResult readPuzzleLink(std::string_view text) {
  LinkResult result;
  if (text.size() > kMostLinkBytes) {
    result.error = LinkError::kTooLong;
    return result;
  }
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  text = first == std::string_view::npos ? std::string_view() : text.substr(first);
  text = text.substr(0, text.find_last_not_of(" \t\r\n") + 1);

  std::string json;
  if (!text.empty() && text.front() == '{') {
    json = text;
  } else {
    const auto payload = linkPayload(text);
    if (!payload) {
      result.error = LinkError::kNotALink;
      return result;
    }
    if (!base64Characters(*payload)) {
      result.error = LinkError::kBadBase64;
      return result;
    }
    const auto unpacked = lzDecompressFromBase64(*payload, kMostJsonUnits);
    if (!unpacked || unpacked->empty()) {
      result.error = LinkError::kBadPacking;
      return result;
    }
    json = utf16ToUtf8(*unpacked);
  }
  const auto root = parseJson(json);
  if (!root) {
    result.error = LinkError::kBadJson;
    return result;
  }
  Reader reader;
  reader.readRoot(*root);
  if (!reader.result.ok()) reader.result.puzzle = LinkPuzzle{};
  return reader.result;
}

std::string LinkResult::message() const {
  switch (error) {
    case LinkError::kNone: return {};
    case LinkError::kTooLong: return "Der Link ist zu lang: mehr als 64 KiB.";
    case LinkError::kNotALink:
      return "In der Zwischenablage steht kein Link von f-puzzles oder SudokuPad mit f-puzzles-Daten.";
    case LinkError::kBadBase64:
      return "Der Link ist beschädigt: Er enthält Zeichen, die in Base64-Daten nicht vorkommen.";
    case LinkError::kBadPacking:
      return "Der Link ist beschädigt: Die gepackten Rätseldaten lassen sich nicht entpacken.";
    case LinkError::kBadJson: return "Die Rätseldaten im Link sind beschädigt oder unvollständig.";
    case LinkError::kNotNineByNine: return "Nur Rätsel mit 9 × 9 Feldern können übernommen werden.";
    case LinkError::kOtherRule:
      return "Das Rätsel enthält eine Regel, die Punktivo nicht kennt: „" + detail + "“.";
    case LinkError::kNotNeighbours:
      return "Ein Punkt liegt zwischen Feldern, die nicht nebeneinander liegen: " + detail + ".";
    case LinkError::kBadRatio:
      return "Ein schwarzer Punkt verlangt ein anderes Verhältnis als 1 : 2 (" + detail + ").";
    case LinkError::kBadDifference:
      return "Ein weißer Punkt verlangt einen anderen Unterschied als 1 (" + detail + ").";
    case LinkError::kTwoDots:
      return "Zwischen zwei Feldern liegen ein weißer und ein schwarzer Punkt: " + detail + ".";
    case LinkError::kNotAllDots:
      return "Im Rätsel sind nicht alle Punkte eingezeichnet: Die Regel, dass zwischen Feldern "
             "ohne Punkt keiner gilt, fehlt.";
  }
  return {};
}

void placeLinkPuzzle(const LinkPuzzle& puzzle, BoardModel& model) {
  model.board = puzzle.givens;
  model.givens = puzzle.givens;
  model.dotsRight = puzzle.dotsRight;
  model.dotsDown = puzzle.dotsDown;
  model.solution = Grid{};
  model.candidates = CandidateFlags{};
  model.candidatesStore = CandidateBytes{};
}

}  // namespace punktivo
