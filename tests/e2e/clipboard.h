// The X clipboard as another program uses it: text offered to whoever asks (served from a
// thread of its own until the offer is replaced or another program takes the clipboard),
// and the text the clipboard's owner hands out.
#pragma once

#include <atomic>
#include <optional>
#include <string>
#include <thread>

namespace e2e {

class Clipboard {
 public:
  explicit Clipboard(std::string displayName) : display_(std::move(displayName)) {}
  ~Clipboard() { stop(); }
  Clipboard(const Clipboard&) = delete;
  Clipboard& operator=(const Clipboard&) = delete;

  // Takes the clipboard and serves `text` (as UTF8_STRING, STRING or TEXT) until the next
  // offer, the end of this object, or another owner.
  void offer(const std::string& text);
  // What the owner hands out as UTF8_STRING, or nullopt when nobody owns the clipboard or
  // the owner does not answer in time.
  std::optional<std::string> read();

 private:
  void stop();
  std::string display_;
  std::thread server_;
  std::atomic<bool> stopping_{false};
};

}  // namespace e2e
