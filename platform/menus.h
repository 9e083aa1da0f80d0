// Menus and message boxes of the runtime: the window's menu bar with its check marks and
// enabled items, and the modal message box (which tests may answer instead of a person).
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <vector>

class QAction;
class QObject;
class QWidget;

namespace platform {

class EventPump;
struct WindowState;

enum class MessageIcon { None, Information, Question, Warning, Critical };

// A message box as the game asks for it; tests may answer it instead of a person.
struct MessageBoxRequest {
  MessageIcon icon = MessageIcon::None;
  QString text;
  QStringList buttons;    // captions, "&" marks the access letter
  int defaultButton = 1;  // 1-based
};

class Menus {
 public:
  // `events`: a modal message box reads the held buttons afresh from it when it closes.
  Menus(WindowState& window, EventPump& events);
  Menus(const Menus&) = delete;
  Menus& operator=(const Menus&) = delete;

  // --- menus --------------------------------------------------------------------------
  using MenuHandle = int;
  MenuHandle createMenuBar();
  MenuHandle createPopupMenu();
  void appendMenuItem(MenuHandle menu, int id, const QString& caption);
  void appendMenuSeparator(MenuHandle menu);
  void appendSubmenu(MenuHandle menu, MenuHandle submenu, const QString& caption);
  // Attaches the bar to the main window; a bar attached before is destroyed.
  void setWindowMenu(MenuHandle bar);
  void setMenuCheck(int id, bool checked);
  bool menuChecked(int id) const;
  // While a command runs no second one may start.
  void setMenuEnabled(bool enabled);
  // Items that stay enabled while the menu bar is disabled (their menu's title too): they
  // reach a running command as Command messages through `postCommand`.
  void keepMenuItemEnabled(int id);
  void setMenuItemEnabled(int id, bool enabled);
  bool menuItemEnabled(int id) const;
  bool menuEnabled() const;
  // The items of a menu as "id:caption", "-" for a separator, ">caption" for a submenu
  // (followed by its own items and an empty entry): what the player can choose.
  QStringList describeMenu(MenuHandle menu) const;
  MenuHandle windowMenu() const { return windowMenu_; }
  // Chooses the item as the player does (tests, keyboard shortcuts of the window).
  void chooseMenuItem(int id);
  // Win_0_MenuEvent.
  std::function<void(int id)> onMenuEvent;

  // --- message boxes --------------------------------------------------------------
  // Returns the 1-based number of the button pressed.
  int messageBox(MessageIcon icon, const QString& text, const QString& buttons,
                 int defaultButton);
  std::function<int(const MessageBoxRequest&)> messageBoxResponder;  // tests answer here

 private:
  void forgetMenusUnder(QObject* root);
  void applyItemEnabled(int id, QAction* action);

  WindowState& window_;
  EventPump& events_;
  std::map<MenuHandle, QWidget*> menus_;  // QMenuBar or QMenu
  std::map<int, QAction*> menuItems_;
  std::vector<int> keptItems_;  // see keepMenuItemEnabled
  MenuHandle nextMenu_ = 1;
  MenuHandle windowMenu_ = 0;
  bool menuEnabled_ = true;
};

}  // namespace platform
