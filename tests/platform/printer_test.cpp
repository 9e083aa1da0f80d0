// The printer services: PDF files, the way a printer is chosen, and every failure ending
// in one "Druckerfehler!" with the drawing back on the window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPaintEngine>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include "platform/printer.h"
#include "support/print_support.h"

namespace {

using namespace printtest;

const QPageSize kExamplePage(QSizeF(8, 11), QPageSize::Inch);  // 4800 x 6600 at 600 dpi

QByteArray readAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Page objects of a PDF file ("/Type /Page", not "/Pages").
int pdfPages(const QByteArray& pdf) {
  return int(QString::fromLatin1(pdf).count(QRegularExpression("/Type\\s*/Page(?![s\\w])")));
}

// A PDF text string as Qt writes it into the document information: UTF-16 with a
// byte-order mark, in hex or literal form.
bool hasTitle(const QByteArray& pdf, const QString& title) {
  QByteArray utf16("\xFE\xFF", 2);
  for (const QChar ch : title) {
    utf16.append(char(ch.unicode() >> 8));
    utf16.append(char(ch.unicode() & 0xFF));
  }
  return pdf.contains(title.toLatin1()) || pdf.toUpper().contains(utf16.toHex().toUpper()) || pdf.contains(utf16);
}

// A printer that refuses to start: its paint engine never begins.
class RefusingEngine final : public QPaintEngine {
 public:
  bool begin(QPaintDevice*) override {
    ++begins;
    return false;
  }
  bool end() override { return true; }
  void updateState(const QPaintEngineState&) override {}
  void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
  Type type() const override { return QPaintEngine::User; }
  int begins = 0;
};

class RefusingPrinter final : public QPaintDevice {
 public:
  QPaintEngine* paintEngine() const override { return &engine; }
  int metric(PaintDeviceMetric metric) const override {
    switch (metric) {
      case PdmWidth: return 4800;
      case PdmHeight: return 6600;
      case PdmDpiX: case PdmDpiY: case PdmPhysicalDpiX: case PdmPhysicalDpiY: return 600;
      case PdmDepth: return 24;
      default: return QPaintDevice::metric(metric);
    }
  }
  mutable RefusingEngine engine;
};

class Printer : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(folder.isValid()); }
  // The one box the player saw, if exactly one.
  void expectOnePrinterError() {
    ASSERT_EQ(rig.messages.size(), 1u);
    EXPECT_EQ(rig.messages[0].text, "Druckerfehler!");
    EXPECT_EQ(rig.messages[0].buttons, QStringList{"&OK"});
  }
  // Drawing lands on the window again.
  void expectOutputOnWindow() {
    EXPECT_TRUE(rig.runtime.drawingToWindow());
    rig.runtime.setFill(QColor(0, 0, 188));
    rig.runtime.filledBox(100, 100, 110, 110);
    EXPECT_EQ(rig.runtime.backingImage().pixelColor(105, 105), QColor(0, 0, 188));
  }

  QTemporaryDir folder;
  PrintRig rig;
};

TEST_F(Printer, PdfFileGetsExactlyOneNamedPage) {
  const QString boardFile = folder.filePath("brett.pdf");
  rig.printing.destination = platform::PrintDestination::pdf(boardFile, kExamplePage, 600);
  rig.model.loadStartBoard();
  rig.model.board[1][1] = rig.model.givens[1][1] = 4;
  ASSERT_TRUE(rig.printing.printBoard());
  const QByteArray pdf = readAll(boardFile);
  ASSERT_TRUE(pdf.startsWith("%PDF"));
  EXPECT_EQ(pdfPages(pdf), 1);
  EXPECT_TRUE(QString::fromLatin1(pdf).contains(QRegularExpression("/MediaBox \\[0 0 576(\\.0*)? 792(\\.0*)?\\]")))
      << "8 x 11 inches";
  EXPECT_TRUE(hasTitle(pdf, "Brett drucken"));
  EXPECT_TRUE(rig.messages.empty());

  // The games page too, from a folder without collections (the board is printed again).
  const QString gamesFile = folder.filePath("spiele.pdf");
  rig.printing.destination = platform::PrintDestination::pdf(gamesFile, kExamplePage, 600);
  ASSERT_TRUE(rig.printing.printGames());
  const QByteArray games = readAll(gamesFile);
  EXPECT_EQ(pdfPages(games), 1);
  EXPECT_TRUE(hasTitle(games, "Spiele drucken"));
  EXPECT_TRUE(rig.messages.empty());
  expectOutputOnWindow();

  // With the solutions: two pages of one document.
  const QString solvedFile = folder.filePath("loesungen.pdf");
  rig.printing.destination = platform::PrintDestination::pdf(solvedFile, kExamplePage, 600);
  ASSERT_TRUE(rig.printing.printGames(punktivo::Printing::kWithSolutions));
  const QByteArray solved = readAll(solvedFile);
  EXPECT_EQ(pdfPages(solved), 2);
  EXPECT_TRUE(hasTitle(solved, "Spiele mit Lösungen drucken"));
  EXPECT_TRUE(rig.messages.empty());
  expectOutputOnWindow();
}

TEST_F(Printer, DefaultPrinterIsUsedWithoutAsking) {
  const QString file = folder.filePath("default.pdf");
  int defaultAsked = 0, dialogs = 0;
  auto destination = platform::PrintDestination::systemPrinter();
  destination.useDefaultPrinter = [&](QPrinter& printer) {
    ++defaultAsked;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    return true;
  };
  destination.selectionDialog = [&](QPrinter&) {
    ++dialogs;
    return false;
  };
  rig.printing.destination = destination;
  ASSERT_TRUE(rig.printing.printBoard());
  EXPECT_EQ(defaultAsked, 1);
  EXPECT_EQ(dialogs, 0);
  EXPECT_EQ(pdfPages(readAll(file)), 1);
  EXPECT_TRUE(rig.messages.empty());
}

TEST_F(Printer, WithoutDefaultTheDialogChoosesForExampleAPdfFile) {
  const QString file = folder.filePath("chosen.pdf");
  int dialogs = 0;
  auto destination = platform::PrintDestination::systemPrinter();
  destination.useDefaultPrinter = [](QPrinter&) { return false; };
  destination.selectionDialog = [&](QPrinter& printer) {
    ++dialogs;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    return true;
  };
  rig.printing.destination = destination;
  ASSERT_TRUE(rig.printing.printBoard());
  EXPECT_EQ(dialogs, 1);
  const QByteArray pdf = readAll(file);
  EXPECT_EQ(pdfPages(pdf), 1);
  EXPECT_TRUE(hasTitle(pdf, "Brett drucken"));
  EXPECT_TRUE(rig.messages.empty());
  expectOutputOnWindow();
}

TEST_F(Printer, WithoutAnyPrinterQtsDialogProposesAPdfFileNamedAfterTheDocument) {
  if (!QPrinterInfo::availablePrinterNames().isEmpty()) GTEST_SKIP() << "this machine has printers";
  const QString previous = QDir::currentPath();
  QDir::setCurrent(folder.path());
  // The player accepts the dialog as it comes up.
  QString proposed;
  QTimer::singleShot(0, [&] {
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (auto* dialog = qobject_cast<QPrintDialog*>(window)) {
        proposed = dialog->printer()->outputFileName();
        dialog->accept();
      }
    }
  });
  rig.printing.destination = platform::PrintDestination::systemPrinter();
  const bool printed = rig.printing.printBoard();
  QDir::setCurrent(previous);
  EXPECT_TRUE(printed);
  EXPECT_EQ(proposed, folder.filePath("Brett drucken.pdf"));
  EXPECT_EQ(pdfPages(readAll(folder.filePath("Brett drucken.pdf"))), 1);
  EXPECT_TRUE(rig.messages.empty());
  expectOutputOnWindow();
}

TEST_F(Printer, CancelledDialogIsOnePrinterErrorAndTheGamesCommandStillRedraws) {
  int dialogs = 0;
  auto destination = platform::PrintDestination::systemPrinter();
  destination.useDefaultPrinter = [](QPrinter&) { return false; };
  destination.selectionDialog = [&](QPrinter&) {
    ++dialogs;
    return false;
  };
  rig.printing.destination = destination;
  EXPECT_FALSE(rig.printing.printBoard());
  EXPECT_EQ(dialogs, 1);
  expectOnePrinterError();
  expectOutputOnWindow();

  rig.messages.clear();
  rig.model.loadStartBoard();
  const punktivo::Grid dots = rig.model.dotsRight;
  EXPECT_FALSE(rig.printing.printGames());
  expectOnePrinterError();
  EXPECT_EQ(rig.display.mainScreens, 1);
  EXPECT_EQ(rig.model.dotsRight, dots) << "nothing prepared";
  EXPECT_TRUE(rig.quietAtLoad.empty());
  EXPECT_TRUE(rig.timedGame);
  expectOutputOnWindow();
}

TEST_F(Printer, PrinterThatCannotStartIsOnePrinterError) {
  RefusingPrinter refusing;
  rig.printing.destination = platform::PrintDestination::intoDevice(&refusing);
  EXPECT_FALSE(rig.printing.printBoard());
  EXPECT_EQ(refusing.engine.begins, 1);
  expectOnePrinterError();
  expectOutputOnWindow();

  rig.messages.clear();
  EXPECT_FALSE(rig.printing.printGames());
  expectOnePrinterError();
  EXPECT_EQ(rig.display.mainScreens, 1);
  expectOutputOnWindow();
}

TEST_F(Printer, UnwritablePdfFileIsOnePrinterError) {
  const QString file = folder.filePath("no-such-folder/brett.pdf");
  rig.printing.destination = platform::PrintDestination::pdf(file, kExamplePage, 600);
  EXPECT_FALSE(rig.printing.printBoard());
  expectOnePrinterError();
  expectOutputOnWindow();
  EXPECT_FALSE(QFile::exists(file));
  // The same through the system path, a PDF file chosen in the dialog.
  rig.messages.clear();
  auto destination = platform::PrintDestination::systemPrinter();
  destination.useDefaultPrinter = [](QPrinter&) { return false; };
  destination.selectionDialog = [&](QPrinter& printer) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    return true;
  };
  rig.printing.destination = destination;
  EXPECT_FALSE(rig.printing.printBoard());
  expectOnePrinterError();
  expectOutputOnWindow();
}

TEST_F(Printer, NoDeviceIsOnePrinterError) {
  rig.printing.destination = platform::PrintDestination::intoDevice(nullptr);
  EXPECT_FALSE(rig.printing.printBoard());
  expectOnePrinterError();
  expectOutputOnWindow();
}

TEST_F(Printer, PageSizeIsThePrintableAreaInPrinterPixels) {
  platform::Printer printer(rig.runtime, platform::PrintDestination::pdf(folder.filePath("size.pdf"), kExamplePage, 600));
  EXPECT_EQ(printer.pageWidth(), 0);
  ASSERT_TRUE(printer.selectPrinter());
  ASSERT_TRUE(printer.startDocument("Brett drucken"));
  EXPECT_FALSE(rig.runtime.drawingToWindow());
  EXPECT_EQ(printer.pageWidth(), 4800);
  EXPECT_EQ(printer.pageHeight(), 6600);
  EXPECT_TRUE(printer.endDocument());
  EXPECT_TRUE(rig.runtime.drawingToWindow());
  EXPECT_FALSE(printer.endDocument()) << "nothing left to end";
  // A job dropped half-way gives the output back too.
  {
    platform::Printer dropped(rig.runtime,
                              platform::PrintDestination::pdf(folder.filePath("dropped.pdf"), kExamplePage, 300));
    ASSERT_TRUE(dropped.selectPrinter());
    ASSERT_TRUE(dropped.startDocument("Spiele drucken"));
    EXPECT_EQ(dropped.pageWidth(), 2400);
  }
  expectOutputOnWindow();
}

}  // namespace
