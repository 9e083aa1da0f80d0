// The record dialog frm1.
#include "app/board_dialog.h"

namespace punktivo {

namespace {

QString optionName(int slot) { return "opt" + QString::number(slot + 1); }

}  // namespace

BoardDialog::Outcome BoardDialog::run(Mode mode) {
  platform::Form frm1(runtime_, mode == Mode::Load ? "Welches Brett laden?" : "Sichern unter ...", 595, 235,
                      230, 150);
  for (int slot = 0; slot < 4; ++slot)
    frm1.addOptionButton(optionName(slot), "Nr. &" + QString::number(slot + 1), QRect(20, 14 + 30 * slot, 90, 24));
  frm1.addCommandButton("cmd1", "&OK", QRect(125, 16, 90, 28));
  frm1.addCommandButton("cmd2", "&Abbruch", QRect(125, 56, 90, 28));

  bool done = false;
  Outcome outcome;
  const auto checkedSlot = [&]() -> int {
    for (int slot = 0; slot < 4; ++slot)
      if (frm1.isChecked(optionName(slot))) return slot;
    return file_.boardSlot;
  };
  // Closes the dialog, then reads or writes the chosen record.
  const auto act = [&] {
    done = true;
    frm1.close();
    if (mode == Mode::Load) {
      outcome.load = file_.loadBoardRecord(file_.boardSlot);
    } else {
      outcome.save = file_.saveBoardRecord(file_.boardSlot);
    }
  };
  frm1.onClick = [&](const QString& control) {
    if (done) return;
    if (control == "cmd2") {
      done = true;
      frm1.close();
      return;
    }
    file_.boardSlot = int16_t(checkedSlot());
    act();
  };
  frm1.onKeyPress = [&](const QString& control, char32_t character) {
    if (done) return;
    if (character >= U'1' && character <= U'4') {
      file_.boardSlot = int16_t(character - U'1');
    } else if (character == 13) {
      file_.boardSlot = int16_t(control.mid(3).toInt() - 1);
    }
    frm1.setChecked(optionName(file_.boardSlot), true);
    frm1.setFocus(optionName(file_.boardSlot));
    act();
  };
  frm1.onClose = [&] { done = true; };

  const int slot = file_.boardSlot >= 0 && file_.boardSlot <= 3 ? file_.boardSlot : 0;
  frm1.setChecked(optionName(slot), true);
  frm1.show();
  frm1.setFocus(optionName(slot));
  if (onShown) onShown(frm1);
  frm1.runModal(done);
  return outcome;
}

}  // namespace punktivo
