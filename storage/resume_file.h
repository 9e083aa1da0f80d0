// The last game, kept for "Letztes Spiel fortsetzen": the running board with its level,
// timing and mistakes in a small binary file of its own, written atomically, read without
// trusting a byte (magic, version, exact length, CRC-32 and the range of every field).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "engine/board_model.h"
#include "storage/atomic_file.h"

namespace punktivo {

// In the working directory beside "brett.ptv". Not a ".ptv": it holds no board records, and
// punktivo-tool and the record dialog take every ".ptv" for a file of records.
inline constexpr const char* kResumeFile = "letztes.spiel";

// Layout, little-endian: magic "PTVSTAND", version (2 bytes), payload length (2 bytes), the
// payload, and the CRC-32 (as zlib computes it) of every byte before it. The payload of
// version 1: board, givens and solution (81 digits 0-9 each, row by row), dotsRight (rows 1-9,
// columns 1-8) and dotsDown (columns 1-9, rows 1-8; column first, as in the model), 72 codes
// 0-2 each, the candidate notes (81 cells, 2 bytes each: bit d set for digit d), level (0-3),
// timed (0/1), unsolved (0/1), elapsed milliseconds (4 bytes, 0 unless timed), mistakes
// (2 bytes, 0-32767). Version 2, written only for a timed game in which a hint was shown,
// adds one byte of marks after the mistakes (bit 0: a hint was shown; the time does not
// count for the hall of fame), so a game without hints keeps the file of version 1.
inline constexpr char kResumeMagic[8] = {'P', 'T', 'V', 'S', 'T', 'A', 'N', 'D'};
inline constexpr uint16_t kResumeVersion = 1;
inline constexpr uint16_t kResumeVersionWithMarks = 2;
inline constexpr std::size_t kResumeHeaderSize = 12;
inline constexpr std::size_t kResumePayloadSize = 3 * 81 + 2 * 72 + 2 * 81 + 3 + 4 + 2;  // 558
inline constexpr std::size_t kResumeFileSize = kResumeHeaderSize + kResumePayloadSize + 4;  // 574
inline constexpr std::size_t kResumeFileSizeWithMarks = kResumeFileSize + 1;  // 575
inline constexpr int kMaxResumeMistakes = 32767;

// What the file holds. Only the cells of rows and columns 1-9 count (row and column 0 of the
// images stay 0), and only digits 1-9 of the candidate notes.
struct ResumeState {
  Grid board{};
  Grid givens{};
  Grid solution{};
  Grid dotsRight{};
  Grid dotsDown{};
  CandidateFlags candidates{};
  bool unsolvedFlag = false;
  int difficulty = 0;
  bool timedGame = false;
  uint32_t elapsedMilliseconds = 0;
  int mistakeCount = 0;
  bool hintShown = false;  // a hint was shown in the timed game (version 2 only)
  bool operator==(const ResumeState&) const = default;
};

// The model's part of the state (the rest is the caller's: level, timing, mistakes).
ResumeState resumeStateOf(const BoardModel& model);
// Puts the state's board into the model as a loaded record goes in: the five images, the
// candidate notes (and their byte image for board files) and unsolvedFlag.
void restoreModel(const ResumeState& state, BoardModel& model);

// A game worth keeping, and one the file can hold: at least one given, every digit 0-9,
// every dot code 0-2, level 0-3, mistakes 0-32767, elapsed time only in a timed game, and a
// timed game with fewer than three mistakes (the third ends the timing).
// (Dot codes beyond 2 come only from a hand-made board file; such a board is not kept.)
bool isKeepable(const ResumeState& state);

// The file's bytes; the state must be keepable.
std::vector<uint8_t> encodeResume(const ResumeState& state);

enum class ResumeStatus {
  kOk,
  kMissing,         // no file: there is no game to resume
  kUnreadable,      // exists but cannot be read (a folder, no permission, ...)
  kForeign,         // not a file of ours (no magic)
  kUnknownVersion,  // ours, but of a version this game does not know
  kDamaged,         // wrong length, wrong checksum, or a field out of range
};

struct ResumeReadResult {
  ResumeStatus status = ResumeStatus::kOk;
  int error = 0;  // errno for kUnreadable
  ResumeState state;  // valid for kOk only
  bool ok() const { return status == ResumeStatus::kOk; }
  std::string describe() const;
};

// The state from the bytes of a file; anything but a whole, keepable state is rejected.
ResumeReadResult decodeResume(std::span<const uint8_t> bytes);

// Reads at most one byte more than a file of ours has, so a huge file costs nothing.
ResumeReadResult readResumeFile(const std::filesystem::path& path = kResumeFile);
// Replaces the file with the state (which must be keepable); on failure the old file stays.
WriteResult writeResumeFile(const ResumeState& state, const std::filesystem::path& path = kResumeFile,
                            FileCalls& calls = systemFileCalls());

// CRC-32 (polynomial 0xEDB88320, as zlib and PNG compute it).
uint32_t crc32(std::span<const uint8_t> bytes);

}  // namespace punktivo
