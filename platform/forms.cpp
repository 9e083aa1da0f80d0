// Dialog forms over Qt widgets.
#include "platform/forms.h"

#include <QCloseEvent>
#include <QDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeWidget>

#include "platform/font_faces.h"
#include "platform/runtime.h"

namespace platform {

class FormDialog final : public QDialog {
 public:
  FormDialog(Form& form, QWidget* parent) : QDialog(parent), form_(form) {}

  // Keys on an option button: a character performs the form's key-press event (Enter gives
  // 13, Backspace 8); Tab and Shift+Tab move the focus and Escape closes, as in any dialog;
  // the arrows move the choice among the option buttons without acting on it; keys that
  // type nothing (Delete, Home, F-keys ...) do nothing.
  // Return or Enter on a command button with the focus presses it, as Space does.
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (auto* command = qobject_cast<QPushButton*>(watched)) {
      if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return QDialog::eventFilter(watched, event);
      command->click();
      return true;
    }
    auto* option = qobject_cast<QRadioButton*>(watched);
    if (option == nullptr) return QDialog::eventFilter(watched, event);
    switch (key->key()) {
      case Qt::Key_Tab:
      case Qt::Key_Backtab:
      case Qt::Key_Escape:
        return QDialog::eventFilter(watched, event);
      case Qt::Key_Up:
      case Qt::Key_Left:
        moveChoice(option, -1);
        return true;
      case Qt::Key_Down:
      case Qt::Key_Right:
        moveChoice(option, 1);
        return true;
      default:
        break;
    }
    const char32_t character = typedCharacter(*key);
    if (character != 0 && form_.onKeyPress) {
      for (const auto& [name, widget] : form_.controls_)
        if (widget == option) form_.onKeyPress(name, character);
    }
    return true;
  }

 protected:
  void closeEvent(QCloseEvent* event) override {
    if (!form_.closed_) {
      form_.closed_ = true;
      if (form_.onClose) form_.onClose();
    }
    event->accept();
  }
  void reject() override { close(); }  // Escape acts as the close box

 private:
  static char32_t typedCharacter(const QKeyEvent& key) {
    if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) return 13;
    if (key.text().isEmpty()) return 0;
    const char32_t character = key.text().toUcs4().value(0);
    // Control codes but Backspace type nothing, nor does Delete.
    if ((character < 32 && character != 8) || character == 127) return 0;
    return character;
  }

  // The next (or previous) option button of the form, checked and focused, round the group.
  void moveChoice(QRadioButton* from, int step) {
    const QList<QRadioButton*> options = findChildren<QRadioButton*>();
    const qsizetype at = options.indexOf(from);
    if (at < 0 || options.size() < 2) return;
    QRadioButton* to = options[(at + step + options.size()) % options.size()];
    to->setChecked(true);
    to->setFocus(Qt::TabFocusReason);
  }

  Form& form_;
};

namespace {

// The face of every form; lists take it in their own size.
QFont formFont(int pixelSize) {
  QFont font(kSansFamily);
  font.setPixelSize(pixelSize);
  return font;
}

void setUpList(QTreeWidget& list, const std::vector<ListColumn>& columns, int fontPointSize) {
  list.setRootIsDecorated(false);
  list.setSelectionMode(QAbstractItemView::NoSelection);
  list.setColumnCount(int(columns.size()));
  QStringList headers;
  for (const ListColumn& column : columns) headers << column.caption;
  list.setHeaderLabels(headers);
  // The columns keep the widths asked for, also narrow ones and the last one.
  list.header()->setMinimumSectionSize(1);
  list.header()->setStretchLastSection(false);
  for (size_t i = 0; i < columns.size(); ++i) list.setColumnWidth(int(i), columns[i].width);
  list.setFont(formFont(fontPointSize * 96 / 72));
  // Lists are made as wide as their columns (listTabStripSize). A horizontal scroll bar
  // left over from the small size before the first layout would stay, since each scroll
  // bar then leaves too little room for the other.
  list.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

}  // namespace

int listColumnWidth(const QString& text, int fontPointSize) {
  QTreeWidget list;
  setUpList(list, {{QString(), 0}}, fontPointSize);
  list.addTopLevelItem(new QTreeWidgetItem(QStringList{text}));
  // The view's own measure, the one it elides by.
  return static_cast<QAbstractItemView&>(list).sizeHintForColumn(0);
}

QSize listTabStripSize(const std::vector<ListColumn>& columns, int rows, int fontPointSize) {
  QTabWidget tabs;
  auto* list = new QTreeWidget();
  setUpList(*list, columns, fontPointSize);
  list->addTopLevelItem(new QTreeWidgetItem(QStringList{"0"}));
  int width = 2 * list->frameWidth();
  for (const ListColumn& column : columns) width += column.width;
  const int height =
      2 * list->frameWidth() + list->header()->sizeHint().height() + rows * list->sizeHintForRow(0);
  list->setMinimumSize(width, height);
  tabs.addTab(list, "0");
  return tabs.minimumSizeHint();
}

Form::Form(Runtime& runtime, const QString& caption, int x, int y, int width, int height) : runtime_(runtime) {
  dialog_ = std::make_unique<FormDialog>(*this, runtime.mainWindowWidget());
  dialog_->setWindowTitle(caption);
  dialog_->setFixedSize(width, height);
  const QWidget* client = runtime.clientWidget();
  const QPoint origin = client != nullptr ? client->mapToGlobal(QPoint(0, 0)) : QPoint(0, 0);
  dialog_->move(origin + QPoint(x, y));
  dialog_->setFont(formFont(13));
}

Form::~Form() {
  if (dialog_) dialog_->hide();
}

void Form::registerControl(const QString& name, QWidget* widget) {
  widget->setObjectName(name);
  controls_[name] = widget;
}

void Form::addOptionButton(const QString& name, const QString& caption, QRect geometry) {
  auto* button = new QRadioButton(caption, dialog_.get());
  button->setGeometry(geometry);
  button->installEventFilter(dialog_.get());
  QObject::connect(button, &QRadioButton::clicked, dialog_.get(), [this, name] {
    if (onClick) onClick(name);
  });
  registerControl(name, button);
}

void Form::addCommandButton(const QString& name, const QString& caption, QRect geometry) {
  auto* button = new QPushButton(caption, dialog_.get());
  button->setGeometry(geometry);
  button->setAutoDefault(false);
  button->installEventFilter(dialog_.get());
  QObject::connect(button, &QPushButton::clicked, dialog_.get(), [this, name] {
    if (onClick) onClick(name);
  });
  registerControl(name, button);
}

void Form::setDefaultButton(const QString& name) {
  if (auto* button = qobject_cast<QPushButton*>(controls_.at(name))) button->setDefault(true);
}

void Form::addTextBox(const QString& name, QRect geometry, const QString& text) {
  auto* box = new QLineEdit(text, dialog_.get());
  box->setGeometry(geometry);
  registerControl(name, box);
}

void Form::addLabel(const QString& name, const QString& caption, QRect geometry) {
  auto* label = new QLabel(caption, dialog_.get());
  label->setGeometry(geometry);
  label->setWordWrap(true);
  registerControl(name, label);
}

void Form::addTabStrip(const QString& name, QRect geometry) {
  auto* tabs = new QTabWidget(dialog_.get());
  tabs->setGeometry(geometry);
  registerControl(name, tabs);
}

int Form::addListPage(const QString& tabStrip, const QString& tabCaption, const QString& listName,
                      const std::vector<ListColumn>& columns, int fontPointSize) {
  auto* tabs = qobject_cast<QTabWidget*>(controls_.at(tabStrip));
  auto* list = new QTreeWidget();
  setUpList(*list, columns, fontPointSize);
  registerControl(listName, list);
  return tabs->addTab(list, tabCaption);
}

void Form::setListRows(const QString& listName, const std::vector<QStringList>& rows) {
  auto* list = qobject_cast<QTreeWidget*>(controls_.at(listName));
  list->clear();
  for (const QStringList& row : rows) list->addTopLevelItem(new QTreeWidgetItem(row));
}

std::vector<QStringList> Form::listRows(const QString& listName) const {
  const auto* list = qobject_cast<QTreeWidget*>(controls_.at(listName));
  std::vector<QStringList> rows;
  for (int i = 0; i < list->topLevelItemCount(); ++i) {
    QStringList row;
    for (int c = 0; c < list->columnCount(); ++c) row << list->topLevelItem(i)->text(c);
    rows.push_back(row);
  }
  return rows;
}

int Form::currentTab(const QString& tabStrip) const {
  return qobject_cast<QTabWidget*>(controls_.at(tabStrip))->currentIndex();
}

void Form::setCurrentTab(const QString& tabStrip, int index) {
  qobject_cast<QTabWidget*>(controls_.at(tabStrip))->setCurrentIndex(index);
}

void Form::setChecked(const QString& name, bool checked) {
  if (auto* button = qobject_cast<QAbstractButton*>(controls_.at(name))) button->setChecked(checked);
}

bool Form::isChecked(const QString& name) const {
  const auto* button = qobject_cast<QAbstractButton*>(controls_.at(name));
  return button != nullptr && button->isChecked();
}

void Form::setFocus(const QString& name) { controls_.at(name)->setFocus(); }

QString Form::focusedControl() const {
  for (const auto& [name, widget] : controls_)
    if (widget->hasFocus()) return name;
  return QString();
}

QString Form::text(const QString& name) const {
  if (const auto* box = qobject_cast<QLineEdit*>(controls_.at(name))) return box->text();
  return QString();
}

void Form::show() {
  dialog_->setWindowModality(Qt::ApplicationModal);
  dialog_->show();
  dialog_->raise();
  dialog_->activateWindow();
}

void Form::close() {
  if (closed_) return;
  closed_ = true;  // a programmatic close raises no close event
  dialog_->hide();
}

bool Form::exists() const { return !closed_ && runtime_.windowExists(); }

void Form::runModal(const bool& done) {
  // Application-modal: the main window takes no input while the form is open.
  while (!done && exists()) runtime_.waitForEvents();
  runtime_.refreshButtonsFromWindowSystem();
  if (runtime_.clientWidget() != nullptr) runtime_.clientWidget()->setFocus();
}

QWidget* Form::control(const QString& name) const { return controls_.at(name); }
QWidget* Form::window() const { return dialog_.get(); }

}  // namespace platform
