// Printing over Qt PrintSupport: the system's printers through QPrinter, PDF files and
// plain paint devices for tests.
#include "platform/printer.h"

#include <QDir>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace platform {

namespace {

bool useSystemDefault(QPrinter& printer) {
  const QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull()) return false;
  printer.setOutputFormat(QPrinter::NativeFormat);
  printer.setPrinterName(info.printerName());
  return printer.isValid();
}

bool showSelectionDialog(Runtime& runtime, QPrinter& printer) {
  // Without any printer Qt's dialog offers only a PDF file; propose one named after the
  // document beside the player's other files rather than an empty name.
  if (printer.outputFileName().isEmpty() && QPrinterInfo::availablePrinterNames().isEmpty()) {
    const QString name = printer.docName().isEmpty() ? QStringLiteral("Punktivo") : printer.docName();
    printer.setOutputFileName(QDir::current().absoluteFilePath(name + ".pdf"));
  }
  QPrintDialog dialog(&printer, runtime.mainWindowWidget());
  const bool accepted = dialog.exec() == QDialog::Accepted;
  runtime.refreshButtonsFromWindowSystem();
  return accepted;
}

}  // namespace

PrintDestination PrintDestination::pdf(const QString& file, const QPageSize& size, int dotsPerInch) {
  PrintDestination d;
  d.kind = Kind::PdfFile;
  d.pdfFile = file;
  d.pageSize = size;
  d.resolution = dotsPerInch;
  return d;
}

PrintDestination PrintDestination::intoDevice(QPaintDevice* device) {
  PrintDestination d;
  d.kind = Kind::Device;
  d.device = device;
  return d;
}

PrintDestination PrintDestination::intoDevices(const std::vector<QPaintDevice*>& pages) {
  PrintDestination d = intoDevice(pages.empty() ? nullptr : pages.front());
  if (!pages.empty()) d.morePages.assign(pages.begin() + 1, pages.end());
  return d;
}

Printer::Printer(Runtime& runtime, PrintDestination destination)
    : runtime_(runtime), destination_(std::move(destination)) {}

Printer::~Printer() { abort(); }

bool Printer::selectPrinter(const QString& documentName) {
  selected_ = false;
  switch (destination_.kind) {
    case PrintDestination::Kind::PdfFile:
      pdf_ = std::make_unique<QPdfWriter>(destination_.pdfFile);
      pdf_->setResolution(destination_.resolution);
      pdf_->setPageSize(destination_.pageSize);
      pdf_->setPageMargins(QMarginsF(0, 0, 0, 0));
      selected_ = destination_.pageSize.isValid() && destination_.resolution > 0;
      break;
    case PrintDestination::Kind::Device:
      selected_ = destination_.device != nullptr;
      break;
    case PrintDestination::Kind::SystemPrinter: {
      printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
      printer_->setDocName(documentName);
      const bool hasDefault = destination_.useDefaultPrinter ? destination_.useDefaultPrinter(*printer_)
                                                             : useSystemDefault(*printer_);
      if (hasDefault) {
        selected_ = true;
      } else {
        selected_ = destination_.selectionDialog ? destination_.selectionDialog(*printer_)
                                                 : showSelectionDialog(runtime_, *printer_);
      }
      break;
    }
  }
  return selected_;
}

QPaintDevice* Printer::target() const {
  if (printer_) return printer_.get();
  if (pdf_) return pdf_.get();
  return destination_.device;
}

bool Printer::startDocument(const QString& name) {
  if (!selected_ || painter_) return false;
  QPaintDevice* device = target();
  if (device == nullptr) return false;
  if (printer_) printer_->setDocName(name);
  if (pdf_) pdf_->setTitle(name);
  auto painter = std::make_unique<QPainter>();
  // Beginning the painter starts the document and its first page.
  if (!painter->begin(device)) return false;
  if (device->width() <= 0 || device->height() <= 0) {
    painter->end();
    return false;
  }
  painter_ = std::move(painter);
  runtime_.redirectDrawing(painter_.get());
  return true;
}

bool Printer::newPage() {
  if (!painter_) return false;
  if (printer_) return printer_->newPage();
  if (pdf_) return pdf_->newPage();
  // A plain device is one page: the next one is the next device.
  if (nextDevicePage_ >= destination_.morePages.size()) return false;
  QPaintDevice* next = destination_.morePages[nextDevicePage_++];
  runtime_.redirectDrawing(nullptr);
  painter_->end();
  if (next == nullptr || !painter_->begin(next)) {
    painter_.reset();
    return false;
  }
  runtime_.redirectDrawing(painter_.get());
  return true;
}

bool Printer::endDocument() {
  if (!painter_) return false;
  runtime_.redirectDrawing(nullptr);
  const bool ended = painter_->end();
  painter_.reset();
  return ended;
}

void Printer::abort() {
  if (!painter_) return;
  runtime_.redirectDrawing(nullptr);
  // The unfinished page is not sent; pages already sent stay sent.
  if (printer_) printer_->abort();
  if (painter_->isActive()) painter_->end();
  painter_.reset();
}

int Printer::pageWidth() const { return painter_ ? painter_->device()->width() : 0; }
int Printer::pageHeight() const { return painter_ ? painter_->device()->height() : 0; }

}  // namespace platform
