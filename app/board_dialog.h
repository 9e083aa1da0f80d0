// The record dialog of the player's board file: choose one of four records to load
// or to save; a single click on a record acts at once.
#pragma once

#include <functional>
#include <optional>

#include "platform/forms.h"
#include "platform/runtime.h"
#include "storage/board_file.h"

namespace punktivo {

class BoardDialog {
 public:
  enum class Mode { Load, Save };

  BoardDialog(platform::Runtime& runtime, BoardFile& file) : runtime_(runtime), file_(file) {}

  // Runs the dialog modally. Returns the result of the load or save it performed, or
  // nothing when it was cancelled.
  struct Outcome {
    std::optional<LoadResult> load;
    std::optional<SaveResult> save;
  };
  Outcome run(Mode mode);

  // Called once the form is shown (tests press its buttons from here).
  std::function<void(platform::Form&)> onShown;

 private:
  platform::Runtime& runtime_;
  BoardFile& file_;
};

}  // namespace punktivo
