// Modal dialog forms: option buttons, command buttons, a text box, labels and a tab
// strip of report-view lists, raising click, key-press and close events by control name.
#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <vector>

class QDialog;
class QWidget;
class QTabWidget;

namespace platform {

class Runtime;
class FormDialog;

struct ListColumn {
  QString caption;
  int width;  // pixels
};

// What report-view lists as Form::addListPage makes them need, measured in their own
// font and with the padding the view puts around a cell's text.
// Pixels a column needs to show `text` in full.
int listColumnWidth(const QString& text, int fontPointSize);
// The size of a tab strip whose list pages show `columns` and `rows` rows without scrolling.
QSize listTabStripSize(const std::vector<ListColumn>& columns, int rows, int fontPointSize);

class Form {
 public:
  // A form whose top-left corner lands at (x, y) of the main window's client area.
  Form(Runtime& runtime, const QString& caption, int x, int y, int width, int height);
  ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  void addOptionButton(const QString& name, const QString& caption, QRect geometry);
  void addCommandButton(const QString& name, const QString& caption, QRect geometry);
  // The command button that Enter presses.
  void setDefaultButton(const QString& name);
  void addTextBox(const QString& name, QRect geometry, const QString& text);
  void addLabel(const QString& name, const QString& caption, QRect geometry);
  void addTabStrip(const QString& name, QRect geometry);
  // A page of the tab strip holding a report-view list; returns the page's index.
  int addListPage(const QString& tabStrip, const QString& tabCaption, const QString& listName,
                  const std::vector<ListColumn>& columns, int fontPointSize);
  void setListRows(const QString& listName, const std::vector<QStringList>& rows);
  std::vector<QStringList> listRows(const QString& listName) const;
  int currentTab(const QString& tabStrip) const;
  void setCurrentTab(const QString& tabStrip, int index);

  void setChecked(const QString& name, bool checked);
  bool isChecked(const QString& name) const;
  void setFocus(const QString& name);
  QString focusedControl() const;
  QString text(const QString& name) const;

  // Events: a control was clicked; a character was typed on a control (Enter gives 13);
  // the form's close box was used.
  std::function<void(const QString& control)> onClick;
  std::function<void(const QString& control, char32_t character)> onKeyPress;
  std::function<void()> onClose;

  void show();
  void close();
  bool exists() const;
  // Processes events until `done` is set or the form is gone; the main window takes no
  // input meanwhile.
  void runModal(const bool& done);

  // The control's widget, for tests that click it like a player.
  QWidget* control(const QString& name) const;
  QWidget* window() const;

 private:
  friend class FormDialog;
  void registerControl(const QString& name, QWidget* widget);

  Runtime& runtime_;
  std::unique_ptr<FormDialog> dialog_;
  std::map<QString, QWidget*> controls_;
  bool closed_ = false;
};

}  // namespace platform
