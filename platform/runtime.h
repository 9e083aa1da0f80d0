// The runtime layer: window, backing image and drawing state, fonts, screen images,
// the clock label, message boxes, the event pump, time, threads and chance.
// It is the only code of the game that talks to Qt's window system.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>
#include <QTransform>

#include <atomic>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <thread>
#include <tuple>
#include <vector>


class QLabel;
class QObject;
class QAction;
class QTimer;
class QPainter;
class QWidget;

namespace platform {

class CaptionSink;
class ClientWidget;
class MainWindow;
class WindowSystemWatch;

// Key codes of window messages: letters 'A'..'Z' (whatever Shift says), digits '0'..'9'
// (a shifted digit of the top row too), and these others.
enum Key : int {
  kKeyNone = 0,
  kKeyBackspace = 8,
  kKeyEnter = 13,
  kKeyEscape = 27,
  kKeyDelete = 127,
  kKeyOther = 0x10000,  // a key with no code of its own
  kKeyLeft,
  kKeyUp,
  kKeyRight,
  kKeyDown,
  kKeyHome,
  kKeyEnd,
  kKeyPageUp,
  kKeyPageDown,
};

// Modifier keys held with a key.
enum Modifier : int { kModShift = 1, kModControl = 2, kModAlt = 4 };

// Command: a menu item chosen while another command runs (see `postCommand`).
enum class MessageKind { None, KeyRelease, Char, LeftPress, RightPress, Command };

struct WindowMessage {
  MessageKind kind = MessageKind::None;
  int key = kKeyNone;     // KeyRelease and Char: the key's code; Command: the item's id
  char32_t character = 0; // Char: the typed character (Escape gives 27)
  int x = 0, y = 0;       // LeftPress/RightPress: client position of the press
  int modifiers = 0;      // KeyRelease and Char: the Modifier bits held
};

enum class TextBackground { Transparent = 1, Opaque = 2 };
enum class RasterOp { Copy = 13, Merge = 15 };
enum class FillStyle { Solid, Hollow };
enum class Pointer { Normal, Busy };
enum class MessageIcon { None, Information, Question, Warning, Critical };

using FontHandle = int;
using ImageHandle = int;

struct FontDescription {
  int height = 0;  // character cell height in pixels
  int width = 0;   // average character width in pixels
  int weight = 400;
  bool fixedPitch = false;
  QString face;
};

// A message box as the game asks for it; tests may answer it instead of a person.
struct MessageBoxRequest {
  MessageIcon icon = MessageIcon::None;
  QString text;
  QStringList buttons;    // captions, "&" marks the access letter
  int defaultButton = 1;  // 1-based
};

// The metrics of a realised font: where its glyphs land within the character cell.
struct FontMetrics {
  int cellHeight = 0;
  int cellWidth = 0;  // advance per character for fixed-pitch faces, average otherwise
  bool fixedPitch = false;
};

class Runtime {
 public:
  static constexpr int kClientWidth = 862;
  static constexpr int kClientHeight = 694;

  Runtime();
  ~Runtime();
  Runtime(const Runtime&) = delete;
  Runtime& operator=(const Runtime&) = delete;

  // --- window -------------------------------------------------------------
  QSize screenSize() const;
  void openWindow(int x, int y, int outerWidth, int outerHeight, const QString& title);
  void setClientSize(int width, int height);
  void setTitle(const QString& title);
  void clearClient(QColor colour);
  bool windowExists() const;
  void closeWindow();
  QWidget* mainWindowWidget() const;
  QWidget* clientWidget() const;
  // The picture of the client area in device pixels (the logical client size times the
  // device pixel ratio); every drawing call paints into it.
  const QImage& backingImage() const { return image_; }
  // Device pixels per client pixel of the screen the window is on (1, 1.25, 1.5, 2, 3).
  double devicePixelRatio() const { return ratio_; }
  // Redraws the backing image at another ratio: the old picture is scaled into it for the
  // moment and onDevicePixelRatioChanged asks the game to draw everything anew. The window
  // calls it when it moves to a screen of another ratio.
  void setDevicePixelRatio(double ratio);
  std::function<void()> onDevicePixelRatioChanged;
  // Where a client pixel edge lies in the backing image (see deviceEdge in runtime.cpp).
  int toDevice(int edge) const;
  QRect toDevice(const QRect& rect) const;
  // The caches of the window output (glyph stamps, dots left standing). On by default;
  // the benchmark switches them off to measure the plain path beside them.
  void setDrawingCaches(bool on);
  bool drawingCaches() const { return cachesOn_; }
  // The client area as a person sees it, child controls (the clock label) included.
  QImage grabClient();

  // --- event handlers -------------------------------------------------------
  // Win_0_MouseMove: button state, shift state, client x and y.
  std::function<void(int buttons, int shift, double x, double y)> onMouseMove;
  // Win_0_Close: returns true when the window may close.
  std::function<bool()> onCloseRequest;

  // --- event pump -----------------------------------------------------------
  // Lets pending window events run once and takes the next window message from the
  // queue; when none is queued it waits (at most a short while) for events first.
  void processEventsOnce();
  const WindowMessage& lastMessage() const { return current_; }
  int mouseX() const { return mouseX_; }
  int mouseY() const { return mouseY_; }
  bool mouseButtonsHeld() const { return buttonsHeld_ != 0; }
  // Keeps events moving until no mouse button is held (or the window is gone).
  void waitButtonsUp();
  // Lets pending events run, waiting a short while for some, without taking a window
  // message: the loops of modal forms use it, so messages queued for the main window
  // before the form opened stay for the loop that waits for them.
  void waitForEvents();
  // After a loop acted on a typed character, the release of that key is not a
  // message of its own: the next release of the same key is dropped.
  void consumeKeyRelease(int key);
  // After a modal loop (a form, a message box, the print dialog): a button let go while the
  // main window was blocked never reached it, so the held buttons are read afresh from the
  // window system.
  void refreshButtonsFromWindowSystem();
  // The end of scripted input: once this event is processed and every message before it
  // has been taken, windowExists() turns false and every waiting loop ends.
  void postQuit();

  // --- drawing state ----------------------------------------------------------
  void setPen(QColor colour);
  void setFill(QColor colour);
  void setLineWidth(int width);
  void setLineStyleSolid();
  void setFillStyle(FillStyle style);
  void setRasterOp(RasterOp op);
  void setTextBackground(TextBackground mode);
  QColor pen() const { return pen_; }
  QColor fill() const { return fill_; }
  int lineWidth() const { return lineWidth_; }
  TextBackground textBackground() const { return textBackground_; }

  // --- shapes and text (client pixels; corners inclusive) -------------------
  // A line from (x1, y1) up to, not including, (x2, y2).
  void line(int x1, int y1, int x2, int y2);
  void box(int x1, int y1, int x2, int y2);        // outline in the pen colour
  void filledBox(int x1, int y1, int x2, int y2);  // outline in pen, inside in fill
  void circle(int cx, int cy, int radius);         // outline in pen, inside in fill
  void pixel(int x, int y, QColor colour);
  // Text with the top-left corner of its first character cell at (x, y).
  void text(int x, int y, const QString& text);
  int textWidth(const QString& text) const;

  // --- fonts ------------------------------------------------------------------
  FontHandle createFont(const FontDescription& description);
  void selectFont(FontHandle font);
  void selectSystemFont(const QString& face, double points);
  // A face by name ("Arial" and the like) at a size in points on the current output.
  void selectFontByPoints(const QString& face, double points);
  void deleteFonts();
  FontMetrics currentFontMetrics() const;

  // --- drawing output ---------------------------------------------------------------
  // Sends every drawing call to `target` (a painter on a printer page, owned by the
  // caller) until redirectDrawing(nullptr) brings the output back to the window.
  void redirectDrawing(QPainter* target);
  bool drawingToWindow() const;

  // --- screen images -----------------------------------------------------------
  ImageHandle captureImage(int x1, int y1, int x2, int y2);
  void drawImage(ImageHandle image, int x, int y);
  void releaseImage(ImageHandle image);

  // --- the label control --------------------------------------------------------
  void createLabel(int x, int y, int width, int height, const QString& caption,
                   const QString& fontFace, double points, QColor background);
  // Safe from any thread: the caption is handed to the user-interface thread.
  void setLabelCaption(const QString& caption);
  QString labelCaption() const;

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
  // Queues a Command message for the loop that runs.
  void postCommand(int id);
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

  // --- time, threads, pointer, sound, chance -----------------------------------------
  double clock() const;                   // seconds, monotonic
  std::function<double()> clockSource;    // tests may replace the clock
  QString dateText() const;               // German short date, e.g. 07.12.2026
  std::function<QString()> dateSource;
  void pause(int milliseconds);
  std::thread startThread(std::function<void()> body);
  void setPointer(Pointer pointer);
  void hidePointer();
  void showPointer();
  void beep();
  int beepCount() const { return beepCount_; }
  // The seed of the game's chance (PUNKTIVO_SEED, or the clock): the game seeds its
  // random source with it, so a run can be replayed.
  uint64_t randomSeed() const { return seed_; }

  // Used by the window classes.
  // Follows the ratio of the window's screen, later (from a paint or screen-change event).
  void followScreenLater();
  void handleInput(const WindowMessage& message);
  // A key press the client area received (`id`: the key's scan code, or its Qt key); only
  // the release of such a key becomes a message. Keys pressed while a menu or a dialog had
  // the keyboard belong to that menu or dialog.
  // The release is reported with the key and modifiers of its press (Ctrl let go before Z
  // still releases Ctrl+Z).
  void handleKeyPress(int id, int key, int modifiers);
  std::optional<WindowMessage> takeKeyRelease(int id);
  // The release of a key the keyboard repeats while it is held; the press stays remembered.
  std::optional<WindowMessage> repeatedKeyRelease(int id) const;
  void forgetPressedKeys() { pressedKeys_.clear(); }
  // Another program destroyed the main window: every loop ends, open dialogs close without
  // acting, and the program ends as after a confirmed exit.
  void handleWindowDestroyed();
  void handleMouseMove(int buttons, int shift, double x, double y);
  void handleButtonRelease(Qt::MouseButton button);
  void handleQuitRequest();
  void applyQueuedCaption(const QString& caption, int epoch);
  bool handleCloseRequest();
  void paintClient(QPainter& painter, const QRect& rect);

 private:
  struct RealisedFont {
    QFont font;
    FontMetrics metrics;
    int ascent = 0;
    int glyphOffset = 0;  // fixed pitch: where a glyph starts inside its cell
    int id = -1;          // created and system fonts: a key of the glyph stamps
  };
  // A circle rasterised once, for one look and one sub-pixel phase of its corner.
  struct SpriteKey {
    int radius, lineWidth;
    QRgb pen, fill;
    bool solid;
    int phaseX, phaseY, width, height;
    auto operator<=>(const SpriteKey&) const = default;
  };
  struct CircleSprite {
    QImage pixels;
    bool binary = false;  // every pixel opaque or clear: drawing it twice changes nothing
  };
  // A sprite copied into the window whose pixels nothing has touched since.
  struct StandingSprite {
    QRect area;  // client pixels
    const QImage* sprite;
  };
  // A text rendered once over a plain background, copied from then on.
  struct StampKey {
    int font;
    QString text;
    QRgb pen;
    int phaseX, phaseY;
    bool operator<(const StampKey& other) const {
      return std::tie(font, pen, phaseX, phaseY) != std::tie(other.font, other.pen, other.phaseX, other.phaseY)
                 ? std::tie(font, pen, phaseX, phaseY) < std::tie(other.font, other.pen, other.phaseX, other.phaseY)
                 : text < other.text;
    }
  };
  // The text over one background it was drawn on: the pixels of its area before and after.
  struct StampVariant {
    QImage before, after;
  };
  struct Stamp {
    QRect area;           // device pixels around the ink, relative to the text's device origin
    bool usable = false;  // false when the ink reached beyond the area
    std::vector<StampVariant> variants;
  };
  struct CapturedImage {
    QImage pixels;   // device pixels
    QRect logical;   // the client rectangle it was taken from
  };
  RealisedFont realise(const FontDescription& description) const;
  void markDirty(const QRect& rect);
  void drawCircleShape(QPainter& painter, QPointF centre, int radius);
  const CircleSprite& circleSprite(int radius, const QRect& deviceArea, QPoint corner);
  bool spriteStands(const QRect& area, const QImage* sprite) const;
  void fillLogical(const QRect& rect, QColor colour);
  double scale() const;
  QTransform deviceTransform(QPoint deviceOrigin) const;
  void paintGlyphs(QPainter& p, const QTransform& transform, int x, int y, const QString& text,
                   const QRect& deviceClip);
  bool stampText(int x, int y, const QString& text, const QRect& cell);
  QRect stampArea(int x, int y, const QString& text, const QRect& cell) const;
  bool inkStaysInside(int x, int y, const QString& text, const QRect& cell, const QRect& area);
  QImage renderOver(int x, int y, const QString& text, const QRect& cell, const QImage& background,
                    QPoint deviceOrigin);
  QRect logicalCover(const QRect& deviceArea) const;
  int phase(int edge) const;
  bool imageHolds(const QRect& deviceArea, const QImage& pixels) const;
  void rebuildImage(QSize logical, double ratio, bool scaleOld);
  void forgetCaches();
  void flushDirty();
  void forgetMenusUnder(QObject* root);
  void applyItemEnabled(int id, QAction* action);
  QPainter& painter();

  std::unique_ptr<QTimer> wake_;
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<WindowSystemWatch> watch_;
  ClientWidget* client_ = nullptr;
  QLabel* label_ = nullptr;
  std::unique_ptr<CaptionSink> captionSink_;
  std::atomic<int> captionEpoch_{0};
  QImage image_;
  std::unique_ptr<QPainter> windowPainter_;  // draws into image_
  QPainter* painter_ = nullptr;              // where drawing goes now: windowPainter_ or the printer's
  bool windowGone_ = false;
  bool quitPending_ = false;
  QRect dirty_;

  std::deque<WindowMessage> queue_;
  WindowMessage current_;
  std::vector<int> swallowedReleases_;
  struct PressedKey {
    int id, key, modifiers;
  };
  std::vector<PressedKey> pressedKeys_;
  int mouseX_ = 0, mouseY_ = 0;
  int buttonsHeld_ = 0;

  QColor pen_{0, 0, 0};
  QColor fill_{255, 255, 255};
  int lineWidth_ = 1;
  FillStyle fillStyle_ = FillStyle::Solid;
  RasterOp rasterOp_ = RasterOp::Copy;
  TextBackground textBackground_ = TextBackground::Opaque;

  std::vector<RealisedFont> fonts_;
  RealisedFont currentFont_;
  std::map<QString, RealisedFont> systemFonts_;

  double ratio_ = 1.0;
  QSize logicalSize_{kClientWidth, kClientHeight};
  bool cachesOn_ = true;
  bool ratioCheckPending_ = false;
  std::map<ImageHandle, CapturedImage> images_;
  std::map<SpriteKey, CircleSprite> circleSprites_;
  std::vector<StandingSprite> standing_;
  std::map<StampKey, Stamp> stamps_;
  mutable std::map<std::pair<int, QString>, int> textWidths_;
  int nextFontId_ = 0;
  std::map<MenuHandle, QWidget*> menus_;  // QMenuBar or QMenu
  std::map<int, QAction*> menuItems_;
  std::vector<int> keptItems_;  // see keepMenuItemEnabled
  MenuHandle nextMenu_ = 1;
  MenuHandle windowMenu_ = 0;
  ImageHandle nextImage_ = 1;

  int pointerHidden_ = 0;
  bool beepsMuted_ = false;  // while the game draws anew after a change of ratio
  bool menuEnabled_ = true;
  int beepCount_ = 0;
  uint64_t seed_ = 0;
};

}  // namespace platform
