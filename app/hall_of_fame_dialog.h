// The two hall-of-fame dialogs: `champ` asks a new champion's name, `ruhm` shows the four
// lists on a tab strip and can empty one of them.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/forms.h"
#include "platform/runtime.h"
#include "storage/hall_of_fame.h"

namespace punktivo {

class HallOfFameDialogs {
 public:
  HallOfFameDialogs(platform::Runtime& runtime, HallOfFame& hall) : runtime_(runtime), hall_(hall) {}

  // The name most recently accepted in the name dialog; it pre-fills the name box.
  std::string championName;
  // Set by the name dialog's accept button.
  bool championAccepted = false;

  struct RecordOutcome {
    int place = 0;                     // 1-10 when the time qualified, else 0
    bool entered = false;              // the name was given and the entry made
    std::optional<WriteResult> save;   // the save that followed, if any
  };

  // A solved game's time on level 0-3: when it beats a place, asks the name and enters it
  // there (saving the lists); a cancelled name dialog leaves lists and file as they were.
  // Always ends by showing the hall of fame on that level.
  RecordOutcome recordResult(const std::string& finalTime, int level);

  // The hall-of-fame dialog with the tab of `level` selected.
  void showHallOfFame(int level);

  // Called once a form is shown (tests give its input from here). The hall of fame may be
  // shown twice in a row: after a delete it opens again.
  std::function<void(platform::Form&)> onNameDialogShown;
  std::function<void(platform::Form&)> onHallShown;

 private:
  // Runs champ modally; true when the name was accepted.
  bool runNameDialog();
  // Runs ruhm modally; returns the level to empty when the player confirmed a delete.
  std::optional<int> runHallDialog(int tab);
  void reportSaveFailure();

  platform::Runtime& runtime_;
  HallOfFame& hall_;
};

}  // namespace punktivo
