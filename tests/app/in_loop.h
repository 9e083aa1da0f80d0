// Steps run from inside the game's own loops (a session, the picker), once what they wait for shows.
#pragma once

#include <QTimer>
#include <QWidget>

#include <functional>

namespace guitest {

// Runs `action` from inside the loop once `holds` does (or after some seconds without, so
// that a fault shows as a failure, never as a hang).
inline void whenInLoop(QWidget* client, const std::function<bool()>& holds, const std::function<void()>& action,
                       int tries = 5000) {
  QTimer::singleShot(1, client, [client, holds, action, tries] {
    if (holds() || tries == 0) {
      action();
    } else {
      whenInLoop(client, holds, action, tries - 1);
    }
  });
}

}  // namespace guitest
