// The printer services of the runtime: choosing a printer, one named document with its
// page, the page size in printer pixels, and the drawing output switched to the page and back.
#pragma once

#include <QPageSize>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

#include "platform/runtime.h"

class QPainter;
class QPaintDevice;
class QPdfWriter;
class QPrinter;

namespace platform {

// Where a print job goes. The game prints on the system's printers; tests print into a
// PDF file or an image of their choosing, without any dialog.
struct PrintDestination {
  enum class Kind { SystemPrinter, PdfFile, Device };
  Kind kind = Kind::SystemPrinter;

  // PdfFile: the whole page is paintable, so the page is exactly size x resolution.
  QString pdfFile;
  QPageSize pageSize;
  int resolution = 600;  // dots per inch

  // Device: paints straight onto it (a QImage with its dots per metre set, say); the page
  // is the device's size. Not owned.
  QPaintDevice* device = nullptr;
  // Device: the pages after the first, one device each (not owned); a document with more
  // pages than devices fails at the page that has none.
  std::vector<QPaintDevice*> morePages;

  // SystemPrinter: the two questions put to the print system, replaceable by tests.
  // Sets the printer up as the default printer; false when there is none.
  std::function<bool(QPrinter&)> useDefaultPrinter;
  // The printer-selection dialog; false when the player cancels it.
  std::function<bool(QPrinter&)> selectionDialog;

  static PrintDestination systemPrinter() { return {}; }
  static PrintDestination pdf(const QString& file, const QPageSize& size, int dotsPerInch);
  static PrintDestination intoDevice(QPaintDevice* device);
  static PrintDestination intoDevices(const std::vector<QPaintDevice*>& pages);
};

// One print job. Nothing of the print system is touched before selectPrinter, and the
// runtime draws on the window again once the job ends, whichever way it ends.
class Printer {
 public:
  Printer(Runtime& runtime, PrintDestination destination);
  ~Printer();
  Printer(const Printer&) = delete;
  Printer& operator=(const Printer&) = delete;

  // selectPrinter: the default printer when there is one, otherwise the selection dialog,
  // which offers `documentName` as the file name when the player prints into a file.
  // False when no printer could be had (none, or the dialog was cancelled).
  bool selectPrinter(const QString& documentName = QString());
  // Starts the document `name` and begins its page; from here on every drawing call of
  // the runtime goes to the page. False when the printer refuses.
  bool startDocument(const QString& name);
  // Ends the page and begins the next one of the same size; the drawing goes on there.
  // False when the printer refuses (the document is then best abandoned).
  bool newPage();
  // Ends the page and the document and brings the drawing output back to the window.
  // False when the printer reports a failure.
  bool endDocument();
  // Abandons the job (what was sent stays sent); the output is back on the window.
  void abort();

  // The printable area of the page in printer pixels; 0 before startDocument.
  int pageWidth() const;
  int pageHeight() const;

 private:
  QPaintDevice* target() const;

  Runtime& runtime_;
  PrintDestination destination_;
  std::unique_ptr<QPrinter> printer_;
  std::unique_ptr<QPdfWriter> pdf_;
  std::unique_ptr<QPainter> painter_;
  bool selected_ = false;
  size_t nextDevicePage_ = 0;  // into destination_.morePages
};

}  // namespace platform
