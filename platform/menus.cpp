// Menus and message boxes over Qt Widgets.
#include "platform/menus.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

#include "platform/event_pump.h"
#include "platform/window.h"
#include "platform/window_state.h"

namespace platform {

Menus::Menus(WindowState& window, EventPump& events) : window_(window), events_(events) {}

Menus::MenuHandle Menus::createMenuBar() {
  const MenuHandle handle = nextMenu_++;
  menus_[handle] = new QMenuBar();
  return handle;
}

Menus::MenuHandle Menus::createPopupMenu() {
  const MenuHandle handle = nextMenu_++;
  menus_[handle] = new QMenu();
  return handle;
}

void Menus::appendMenuItem(MenuHandle menu, int id, const QString& caption) {
  QWidget* widget = menus_.at(menu);
  auto* action = new QAction(caption, widget);
  action->setCheckable(true);
  action->setChecked(false);
  QObject::connect(action, &QAction::triggered, action, [this, id, action] {
    // Check marks follow the program's state only, never the click itself.
    action->setChecked(menuChecked(id));
    if (onMenuEvent) onMenuEvent(id);
  });
  widget->addAction(action);
  menuItems_[id] = action;
}

void Menus::appendMenuSeparator(MenuHandle menu) {
  if (auto* popup = qobject_cast<QMenu*>(menus_.at(menu))) popup->addSeparator();
}

void Menus::appendSubmenu(MenuHandle menu, MenuHandle submenu, const QString& caption) {
  auto* child = qobject_cast<QMenu*>(menus_.at(submenu));
  child->setTitle(caption);
  QWidget* parent = menus_.at(menu);
  child->setParent(parent, child->windowFlags());
  if (auto* bar = qobject_cast<QMenuBar*>(parent)) {
    bar->addMenu(child);
    // Escape closes a menu and leaves Qt's bar with its title selected and the keyboard;
    // the game's keys would go to the bar until a second Escape. Once the menu is gone and
    // no other has opened, the bar gives the keyboard back.
    QObject::connect(child, &QMenu::aboutToHide, bar, [bar] {
      QTimer::singleShot(0, bar, [bar] {
        if (!bar->hasFocus() || QApplication::activePopupWidget() != nullptr) return;
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(bar, &escape);
      });
    });
  } else {
    qobject_cast<QMenu*>(parent)->addMenu(child);
  }
}

void Menus::setWindowMenu(MenuHandle bar) {
  auto* menuBar = qobject_cast<QMenuBar*>(menus_.at(bar));
  QWidget* oldBar = windowMenu_ != 0 ? menus_.at(windowMenu_) : nullptr;
  if (oldBar != nullptr && oldBar != menuBar) forgetMenusUnder(oldBar);
  window_.window->setMenuBar(menuBar);  // Qt destroys the bar attached before
  windowMenu_ = bar;
  window_.window->adjustSize();
  window_.window->setFixedSize(window_.window->sizeHint());
}

void Menus::forgetMenusUnder(QObject* root) {
  const auto within = [root](QObject* object) {
    for (; object != nullptr; object = object->parent())
      if (object == root) return true;
    return false;
  };
  std::erase_if(menus_, [&](const auto& entry) { return within(entry.second); });
  std::erase_if(menuItems_, [&](const auto& entry) { return within(entry.second); });
}

void Menus::setMenuCheck(int id, bool checked) {
  const auto it = menuItems_.find(id);
  if (it != menuItems_.end()) {
    it->second->setProperty("punktivoChecked", checked);
    it->second->setChecked(checked);
  }
}

bool Menus::menuChecked(int id) const {
  const auto it = menuItems_.find(id);
  return it != menuItems_.end() && it->second->property("punktivoChecked").toBool();
}

void Menus::setMenuEnabled(bool enabled) {
  menuEnabled_ = enabled;
  if (windowMenu_ == 0) return;
  QWidget* bar = menus_.at(windowMenu_);
  if (keptItems_.empty()) {
    bar->setEnabled(enabled);
    return;
  }
  // The bar stays usable for the kept items; every other title and item follows `enabled`.
  for (QAction* title : bar->actions()) {
    QMenu* menu = title->menu();
    if (menu == nullptr) continue;
    const QList<QAction*> items = menu->actions();
    const bool holdsKept = std::any_of(keptItems_.begin(), keptItems_.end(), [&](int id) {
      const auto it = menuItems_.find(id);
      return it != menuItems_.end() && items.contains(it->second);
    });
    // The menu itself, not its title action: Qt carries a menu's state over to its title.
    menu->setEnabled(enabled || holdsKept);
  }
  for (const auto& [id, action] : menuItems_) applyItemEnabled(id, action);
}

void Menus::applyItemEnabled(int id, QAction* action) {
  const QVariant wanted = action->property("punktivoEnabled");
  const bool kept = std::find(keptItems_.begin(), keptItems_.end(), id) != keptItems_.end();
  action->setEnabled((!wanted.isValid() || wanted.toBool()) && (kept || menuEnabled_ || keptItems_.empty()));
}

bool Menus::menuEnabled() const { return windowMenu_ != 0 && menuEnabled_; }

void Menus::keepMenuItemEnabled(int id) {
  keptItems_.push_back(id);
  setMenuEnabled(menuEnabled_);
}

void Menus::setMenuItemEnabled(int id, bool enabled) {
  const auto it = menuItems_.find(id);
  if (it == menuItems_.end()) return;
  it->second->setProperty("punktivoEnabled", enabled);
  applyItemEnabled(id, it->second);
}

bool Menus::menuItemEnabled(int id) const {
  const auto it = menuItems_.find(id);
  if (it == menuItems_.end() || !it->second->isEnabled()) return false;
  return menuEnabled() || std::find(keptItems_.begin(), keptItems_.end(), id) != keptItems_.end();
}

QStringList Menus::describeMenu(MenuHandle menu) const {
  QStringList items;
  const QWidget* widget = menus_.at(menu);
  for (QAction* action : widget->actions()) {
    if (action->isSeparator()) {
      items << "-";
    } else if (QMenu* sub = action->menu()) {
      items << ">" + sub->title();
      for (const auto& [handle, w] : menus_)
        if (w == sub) items << describeMenu(handle);
      items << "";
    } else {
      for (const auto& [id, item] : menuItems_)
        if (item == action) items << QString::number(id) + ":" + action->text();
    }
  }
  return items;
}

void Menus::chooseMenuItem(int id) {
  const auto it = menuItems_.find(id);
  if (it == menuItems_.end() || !it->second->isEnabled()) return;
  const bool kept = std::find(keptItems_.begin(), keptItems_.end(), id) != keptItems_.end();
  if (menuEnabled() || kept) it->second->trigger();
}

// --- message boxes ---------------------------------------------------------------------------

int Menus::messageBox(MessageIcon icon, const QString& text, const QString& buttons, int defaultButton) {
  MessageBoxRequest request{icon, text, buttons.split('|'), defaultButton};
  if (messageBoxResponder) return messageBoxResponder(request);
  QMessageBox box(window_.window.get());
  box.setWindowTitle(window_.window ? window_.window->windowTitle() : QString());
  box.setText(text);
  switch (icon) {
    case MessageIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MessageIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MessageIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case MessageIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    case MessageIcon::None: break;
  }
  std::vector<QAbstractButton*> added;
  for (const QString& caption : request.buttons) added.push_back(box.addButton(caption, QMessageBox::AcceptRole));
  if (defaultButton >= 1 && defaultButton <= int(added.size()))
    box.setDefaultButton(static_cast<QPushButton*>(added[size_t(defaultButton - 1)]));
  // Escape or the close box answer with the last button ("&NEIN", "&OK").
  box.setEscapeButton(added.back());
  window_.flushRepaints();
  box.exec();
  events_.refreshButtonsFromWindowSystem();
  const auto it = std::find(added.begin(), added.end(), box.clickedButton());
  return it == added.end() ? int(added.size()) : int(it - added.begin()) + 1;
}

}  // namespace platform
