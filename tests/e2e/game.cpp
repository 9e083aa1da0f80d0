// Starting the game on the test's X server and looking at it as a player does.
#include "tests/e2e/game.h"

#include <gtest/gtest.h>

#include "engine/exact_solver.h"

#include <cmath>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace e2e {

namespace {

constexpr int kClientWidth = 862;
constexpr int kClientHeight = 694;
constexpr int kBoardX = 29, kBoardY = 45, kCell = 60;
constexpr int kButtonY = 598;
constexpr std::array<int, 6> kButtonX = {30, 108, 202, 296, 398, 476};
constexpr std::array<int, 6> kButtonRight = {107, 201, 295, 397, 475, 612};
constexpr QRgb kWhite = 0xffffffffU;
constexpr QRgb kDarkGrey = 0xff404040U;

std::filesystem::path makeTempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "punktivo-e2e-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp");
  return pattern;
}

}  // namespace

Game::Game(const GameOptions& options)
    : x_(XServer::instance()),
      dir_(makeTempDir()),
      scale_(options.scaleFactor > 0 ? options.scaleFactor : 1.0) {
  for (const auto& [name, bytes] : options.files) {
    std::ofstream out(dir_ / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
  const std::filesystem::path runtimeDir = dir_ / "run";
  std::filesystem::create_directory(runtimeDir);
  std::filesystem::permissions(runtimeDir, std::filesystem::perms::owner_all);

  const auto replaced = [](const std::string& entry) {
    for (const char* name : {"DISPLAY=", "QT_QPA_PLATFORM=", "QT_SCALE_FACTOR=", "PUNKTIVO_SEED=", "HOME=",
                             "XDG_RUNTIME_DIR=", "PUNKTIVO_DATA_DIR=", "WAYLAND_DISPLAY=", "LSAN_OPTIONS="})
      if (entry.rfind(name, 0) == 0) return true;
    return false;
  };
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e)
    if (!replaced(*e)) env.emplace_back(*e);
  env.push_back("DISPLAY=" + x_.displayName());
  env.push_back("QT_QPA_PLATFORM=xcb");
  env.push_back("PUNKTIVO_SEED=" + options.seed);
  env.push_back("PUNKTIVO_DATA_DIR=" + options.dataDir);
  env.push_back("HOME=" + dir_.string());
  env.push_back("XDG_RUNTIME_DIR=" + runtimeDir.string());
  if (options.scaleFactor > 0)
    env.push_back("QT_SCALE_FACTOR=" + QString::number(options.scaleFactor).toStdString());
  // Under AddressSanitizer: what libdbus keeps of the missing session bus is not ours.
  const char* lsan = std::getenv("LSAN_OPTIONS");
  env.push_back(std::string("LSAN_OPTIONS=") + (lsan != nullptr ? std::string(lsan) + ":" : std::string()) +
                "suppressions=" PUNKTIVO_E2E_LSAN_SUPPRESSIONS);
  std::vector<char*> envp;
  envp.reserve(env.size() + 1);
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);

  // Another build of the game may stand in (to show a scenario failing on an older one).
  const char* other = std::getenv("PUNKTIVO_E2E_GAME");
  const std::string binary = other != nullptr && *other != '\0' ? other : PUNKTIVO_GAME_BINARY;
  const std::string log = (dir_ / "game.log").string();
  pid_ = fork();
  if (pid_ == 0) {
    if (chdir(dir_.c_str()) != 0) _exit(126);
    const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out, 1);
    dup2(out, 2);
    char* argv[] = {const_cast<char*>(binary.c_str()), nullptr};
    execve(binary.c_str(), argv, envp.data());
    _exit(127);
  }

  // The start screen is drawn once the window manager has placed the window, the board's
  // corner is red and the picture holds still.
  // A window mapped while the window manager is still settling may be left without the
  // keyboard; then the start screen stands still unfocused, and a click on the window's
  // title bar (which acts on nothing in the game) gives it the focus, as a player would.
  QImage last;
  int unfocusedStill = 0;
  std::string missing = "no main window";
  const bool drawn = waitUntil([&] {
    const TopLevel main = x_.findWindow(kMainTitle);
    if (main.id == 0) return false;
    window_ = main.id;
    // The client area fills the window below the menu bar.
    origin_ = QPoint(main.geometry.x(), main.geometry.bottom() + 1 - int(std::lround(kClientHeight * scale_)));
    const QImage now = grab(QRect(0, 0, kClientWidth, kClientHeight));
    const QPoint corner = QPoint(kBoardX, kBoardY) * scale_;
    const bool still = now == last && now.pixel(corner) == 0xffff0000U;
    last = now;
    if (!still) {
      missing = "the start screen did not stand still";
      return false;
    }
    if (x_.hasFocus(window_)) return true;
    missing = "the main window never had the keyboard";
    if (unfocusedStill++ % 100 == 50) x_.click(main.geometry.center().x(), main.geometry.top() - 8);
    return false;
  });
  if (!drawn) {
    // Whether the game was still there tells a hang from a crash.
    const std::string process =
        running() ? " (the game still runs)" : " (the game ended with status " + std::to_string(exitStatus_) + ")";
    // No destructor runs after a throw here.
    leaveEvidence();
    stop();
    throw std::runtime_error("the start screen was not drawn: " + missing + process);
  }
}

Game::~Game() {
  if (::testing::Test::HasFailure()) leaveEvidence();
  stop();
}

void Game::leaveEvidence() {
  // The screen and the game's output beside the test's results.
  const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
  saveScreenshot(name);
  std::error_code ec;
  std::filesystem::copy_file(dir_ / "game.log", "e2e-" + name + ".log", std::filesystem::copy_options::overwrite_existing,
                             ec);
}

void Game::stop() {
  if (running()) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  std::error_code ec;
  std::filesystem::remove_all(dir_, ec);
}

void Game::click(int x, int y, int button) {
  press(x, y, button);
  release(button);
}

void Game::press(int x, int y, int button) {
  const QPoint p = toScreen(QPoint(x, y));
  x_.moveTo(p.x(), p.y());
  x_.button(button, true);
}

void Game::release(int button) { x_.button(button, false); }

bool Game::popupShown() {
  for (const TopLevel& w : x_.topLevels())
    if (w.viewable && w.overrideRedirect && w.geometry.height() > 40) return true;
  return false;
}

void Game::chooseMenu(const char* menuLetter, const char* itemLetter) {
  x_.chord("Alt_L", menuLetter);
  // The pop-up takes the keyboard once it is shown; the item's key is let go only after
  // the pop-up has gone, as by a person who holds the key a moment.
  waitUntil([&] { return popupShown(); });
  x_.key(itemLetter, true);
  waitUntil([&] { return !popupShown(); });
  x_.key(itemLetter, false);
}

void Game::chooseMenuByArrows(const char* menuLetter, int downs) {
  x_.chord("Alt_L", menuLetter);
  waitUntil([&] { return popupShown(); });
  for (int i = 0; i < downs; ++i) x_.tap("Down");
  pressKeyUntil("Return", [&] { return !popupShown(); });
}

void Game::pressKeyUntil(const char* keysym, const std::function<bool()>& condition) {
  x_.key(keysym, true);
  waitUntil(condition);
  x_.key(keysym, false);
}

QPoint Game::cellCentre(int row, int column) const {
  return {kBoardX + kCell * (column - 1) + kCell / 2, kBoardY + kCell * (row - 1) + kCell / 2};
}

QPoint Game::buttonCentre(Button button) const {
  return {(kButtonX[size_t(button)] + kButtonRight[size_t(button)]) / 2, kButtonY + 13};
}

QImage Game::grab(const QRect& client) {
  return x_.grab(QRect(toScreen(client.topLeft()), client.size() * scale_));
}

ButtonLook Game::buttonLook(Button button) {
  // The second row of the button's frame: white when up, dark grey when pressed.
  const QRgb edge = grab(QRect(kButtonX[size_t(button)] + 3, kButtonY + 1, 1, 1)).pixel(0, 0);
  if (edge == kWhite) return ButtonLook::Up;
  if (edge == kDarkGrey) return ButtonLook::Pressed;
  return ButtonLook::Absent;
}

bool Game::sessionShown() {
  for (int b = kLoad; b <= kAbort; ++b)
    if (buttonLook(Button(b)) != ButtonLook::Up) return false;
  return true;
}

bool Game::idleShown() {
  for (int b = kLoad; b <= kAbort; ++b)
    if (buttonLook(Button(b)) != ButtonLook::Absent) return false;
  return true;
}

bool Game::pickerShown(int row, int column) {
  // The picker's two inner column rules run through the whole picker, 30 pixels apart.
  const int px = kBoardX + kCell * (column - 1) - 16;
  const int py = kBoardY + kCell * (row - 1) - 16;
  const QImage picker = grab(QRect(px, py, 91, 91));
  for (int y = 2; y <= 88; ++y)
    if (picker.pixel(30, y) != 0xff000000U || picker.pixel(60, y) != 0xff000000U) return false;
  return true;
}

Ink Game::cellInk(int row, int column) {
  // The middle of the cell, away from the dots on its edges.
  const QImage cell = grab(QRect(kBoardX + kCell * (column - 1) + 10, kBoardY + kCell * (row - 1) + 10, 40, 40));
  int blue = 0, red = 0, black = 0;
  for (int y = 0; y < cell.height(); ++y) {
    for (int x = 0; x < cell.width(); ++x) {
      const QRgb p = cell.pixel(x, y);
      if (p == 0xff0000bcU) ++blue;
      if (p == 0xffff0000U) ++red;
      if (p == 0xff000000U) ++black;
    }
  }
  if (red > 20) return Ink::Red;
  if (blue > 20) return Ink::Blue;
  if (black > 20) return Ink::Black;
  return Ink::None;
}

QRgb Game::cellTint(int row, int column) {
  // Inside the top-left corner: no digit, candidate mark or dot reaches there.
  return grab(QRect(kBoardX + kCell * (column - 1) + 3, kBoardY + kCell * (row - 1) + 3, 1, 1)).pixel(0, 0) | 0xff000000U;
}

bool Game::clockMoves() {
  const QImage before = clockImage();
  return waitUntil([&] { return clockImage() != before; }, std::chrono::milliseconds(5000));
}

bool Game::clockStopped() { return !stillImage(kClock, std::chrono::milliseconds(2500)).isNull(); }

QImage Game::stillImage(const QRect& client, std::chrono::milliseconds quiet) {
  QImage last;
  auto since = std::chrono::steady_clock::now();
  const bool still = waitUntil([&] {
    const QImage now = grab(client);
    const auto at = std::chrono::steady_clock::now();
    if (now != last) {
      last = now;
      since = at;
    }
    return at - since >= quiet;
  });
  return still ? last : QImage();
}

TopLevel Game::dialog() {
  for (const TopLevel& w : x_.topLevels())
    if (w.viewable && !w.overrideRedirect && !w.name.isEmpty() && w.id != window_ && w.name != "Openbox") return w;
  return {};
}

bool Game::waitDialog(const QString& titleStart) {
  // Shown, and given the keyboard by the window manager.
  return waitUntil([&] {
    const TopLevel w = dialog();
    return w.id != 0 && w.name.startsWith(titleStart) && x_.hasFocus(w.id);
  });
}

bool Game::waitNoDialog() {
  return waitUntil([&] { return dialog().id == 0; });
}

void Game::closeDialogWith(const char* keysym) {
  // A person types into the dialog once it has the keyboard, and goes on in the main
  // window once the window manager has given the keyboard back.
  const unsigned long open = dialog().id;
  if (open != 0) waitUntil([&] { return x_.hasFocus(open); });
  pressKeyUntil(keysym, [&] { return dialog().id != open; });
  waitUntil([&] { return x_.hasFocus(window_) || dialog().id != 0 || !running(); });
}

bool Game::waitWindow(const QString& title) {
  return waitUntil([&] {
    const TopLevel w = x_.findWindow(title);
    return w.id != 0 && x_.hasFocus(w.id);
  });
}

bool Game::waitNoWindow(const QString& title) {
  return waitUntil([&] { return x_.findWindow(title).id == 0; });
}

bool Game::running() {
  if (pid_ <= 0) return false;
  int status = 0;
  const pid_t done = waitpid(pid_, &status, WNOHANG);
  if (done == pid_) {
    exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    pid_ = -1;
    return false;
  }
  return true;
}

bool Game::waitExit() {
  return waitUntil([&] { return !running(); });
}

std::vector<uint8_t> Game::readFile(const std::string& name) const {
  std::ifstream in(dir_ / name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::optional<int> Game::savedDigit(int slot, int row, int column) const {
  const std::vector<uint8_t> bytes = readFile("brett.ptv");
  const size_t at = size_t(slot) * 2400 + size_t(10 * row + column);
  if (at >= bytes.size()) return std::nullopt;
  return int(bytes[at]);
}

std::string Game::savedBoard(int slot) const {
  const std::vector<uint8_t> bytes = readFile("brett.ptv");
  std::string digits;
  for (int r = 1; r <= 9; ++r) {
    for (int c = 1; c <= 9; ++c) {
      const size_t at = size_t(slot) * 2400 + size_t(10 * r + c);
      digits += at < bytes.size() && bytes[at] <= 9 ? char('0' + bytes[at]) : '?';
    }
  }
  return digits;
}

std::string Game::solutionOfSaved(int slot) const {
  const std::vector<uint8_t> bytes = readFile("brett.ptv");
  if (bytes.size() < size_t(slot + 1) * 2400) return {};
  const auto image = [&](size_t offset) {
    punktivo::Grid grid{};
    for (size_t i = 0; i < 10; ++i)
      for (size_t j = 0; j < 10; ++j) grid[i][j] = bytes[size_t(slot) * 2400 + offset + 10 * i + j];
    return grid;
  };
  const punktivo::ExactSolution solved = punktivo::solveExact(image(100), image(200), image(300));
  if (!solved.unique()) return {};
  std::string digits;
  for (size_t r = 1; r <= 9; ++r)
    for (size_t c = 1; c <= 9; ++c) digits += char('0' + solved.grid[r][c]);
  return digits;
}

void Game::saveThroughDialog() {
  const auto before = std::filesystem::exists(dir_ / "brett.ptv")
                          ? std::filesystem::last_write_time(dir_ / "brett.ptv")
                          : std::filesystem::file_time_type::min();
  tap("s");
  waitWindow(kSaveTitle);
  closeDialogWith("Return");
  waitUntil([&] {
    std::error_code ec;
    return std::filesystem::last_write_time(dir_ / "brett.ptv", ec) != before && !ec;
  });
}

void Game::saveScreenshot(const std::string& name) {
  x_.grab(QRect(0, 0, XServer::kWidth, XServer::kHeight)).save(QString::fromStdString("e2e-" + name + ".png"));
}

std::vector<uint8_t> boardFileWith(const std::string& givens, int slot) {
  std::vector<uint8_t> bytes(9600, 0);
  for (size_t i = 0; i < bytes.size(); ++i)
    if (i % 2400 >= 1400) bytes[i] = uint8_t(1 + i % 9);  // the filler the game writes
  for (int r = 1; r <= 9; ++r) {
    for (int c = 1; c <= 9; ++c) {
      const char ch = givens[size_t(r - 1) * 9 + size_t(c - 1)];
      const uint8_t digit = ch >= '1' && ch <= '9' ? uint8_t(ch - '0') : 0;
      bytes[size_t(slot) * 2400 + size_t(10 * r + c)] = digit;        // board
      bytes[size_t(slot) * 2400 + 100 + size_t(10 * r + c)] = digit;  // givens
    }
  }
  return bytes;
}

}  // namespace e2e
