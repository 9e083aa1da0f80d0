// The board sessions' common loop, buttons and keys.
#include "app/board_session.h"

#include "app/startup.h"

namespace app {

int buttonAt(int x, int y) {
  if (y < 597 || y > 623) return -1;
  for (int i = 0; i < 6; ++i)
    if (x >= kSessionButtons[i].clickLeft && x <= kSessionButtons[i].clickRight) return i;
  return -1;
}

void drawSessionButton(App& app, int index, bool pressed) {
  const SessionButton& b = kSessionButtons[index];
  app.drawing().drawButton(pressed ? 1 : 0, b.x, kButtonRowY, b.caption);
}

void buttonAction(App& app, int index, const std::function<void()>& action) {
  drawSessionButton(app, index, true);
  action();
  if (app.runtime().windowExists()) drawSessionButton(app, index, false);
}

bool sharedButtonAction(App& app, int key, bool clicked) {
  platform::Runtime& rt = app.runtime();
  switch (key) {
    case 'S':
      buttonAction(app, kSave, [&] {
        app.openSaveDialog();
        rt.waitButtonsUp();
      });
      return true;
    case 'D':
      buttonAction(app, kPrint, [&] {
        app.printBoard();
        rt.waitButtonsUp();
      });
      return true;
    case 'N':
      buttonAction(app, kRestart, [&] {
        app.step([&] { app.model().restartBoard(); });
        app.screen().redrawBoard();
        if (clicked) rt.waitButtonsUp();
      });
      return true;
    case 'H':
      buttonAction(app, kHelp, [&] {
        app.showHelpTopic(punktivo::kExplanationTopic);
        rt.waitButtonsUp();
      });
      return true;
    default:
      return false;
  }
}

SessionItems::SessionItems(App& app, Menu::SessionKind kind) : app_(app) { app.menu().setSessionItems(kind); }

SessionItems::~SessionItems() {
  if (!app_.runtime().windowExists()) return;
  app_.menu().setSessionItems(Menu::SessionKind::None);
  app_.cells().hideCursor();
}

int undoKey(int key, int modifiers) {
  if ((modifiers & platform::kModControl) == 0) return 0;
  if (key == 'Z') return (modifiers & platform::kModShift) != 0 ? kRedo : kUndo;
  if (key == 'Y') return kRedo;
  return 0;
}

CellKey cellKeyOf(const InputState& input, int key, int modifiers) {
  if (!input.cursorShown || (modifiers & (platform::kModControl | platform::kModAlt)) != 0) return {};
  if (key == platform::kKeyEnter) return {CellKey::kPicker, 0};
  if (key == platform::kKeyDelete || key == platform::kKeyBackspace) return {CellKey::kDigit, 0};
  if (key < '0' || key > '9') return {};
  const int digit = key - '0';
  if ((modifiers & platform::kModShift) != 0 && digit != 0) return {CellKey::kCandidate, digit};
  return {CellKey::kDigit, digit};
}

bool solveSequenceTriggered(int& armedKey, int key) {
  if (key == kSolveKeySecond) {
    const bool armed = armedKey == kSolveKeyFirst;
    armedKey = 0;
    return armed;
  }
  // Other keys released in between do not disarm it.
  if (key == kSolveKeyFirst) armedKey = kSolveKeyFirst;
  return false;
}

void BoardSession::drawButtonRow() {
  for (int i = 0; i < 6; ++i) drawSessionButton(app_, i, false);
  app_.buttonRowShown = true;
}

void BoardSession::runLoop() {
  platform::Runtime& rt = app_.runtime();
  for (;;) {
    rt.processEventsOnce();
    if (!rt.windowExists()) return;
    const platform::WindowMessage& m = rt.lastMessage();
    const Preview preview = this->preview(m);
    if (preview == Preview::kLeave) return;
    if (preview == Preview::kTaken) continue;
    if (m.kind == platform::MessageKind::Command) {
      commandAction(m.key);
      continue;
    }
    if (m.kind == platform::MessageKind::KeyRelease) {
      if (const int undo = undoKey(m.key, m.modifiers)) {
        commandAction(undo == kRedo ? kMenuRedo : kMenuUndo);
      } else if (keyboardAction(m.key, m.modifiers)) {
        if (!rt.windowExists()) return;
        afterCellInput();
      } else if (!keyAction(m.key, false)) {
        return;
      }
      continue;
    }
    if (m.kind == platform::MessageKind::LeftPress) {
      const int button = buttonAt(rt.mouseX(), rt.mouseY());
      if (button >= 0 && !keyAction(kSessionButtons[button].key, true)) return;
    }
    // A click enters digits unless the right button says otherwise.
    app_.input().candidateInput = false;
    if (m.kind == platform::MessageKind::LeftPress || m.kind == platform::MessageKind::RightPress) {
      boardClick(m.kind == platform::MessageKind::RightPress);
      if (!rt.windowExists()) return;
      afterCellInput();
    }
  }
}

bool BoardSession::sharedCommand(int id) {
  switch (id) {
    case kMenuHighlight:
    case kMenuTidyNotes:
    case kMenuMarkErrors:
      app_.toggleOption(id);
      return true;
    default:
      return false;
  }
}

bool BoardSession::sharedKey(int key, bool clicked) {
  if (sharedButtonAction(app_, key, clicked)) return true;
  if (key != 'M') return false;
  // The computed candidates take the game out of timing.
  app_.game().timedGame = false;
  app_.step([&] { app_.toggleComputedCandidates(); });
  return true;
}

}  // namespace app
