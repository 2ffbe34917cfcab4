// Printing the body into PDF files: the Print dialog's proposal and answers, the sheets that
// come out, the progress dialog's texts at each sheet, Cancel, and a job that cannot start.
#include <QApplication>
#include <QImage>
#include <QPageRanges>
#include <QPainter>
#include <QPalette>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QRegularExpression>
#include <QRegularExpressionMatch>
#include <QTest>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "app_test_support.h"
#include "body/plain_text.h"
#include "body/rtf/rtf_reader.h"
#include "controls/dialog_units.h"
#include "corpus.h"
#include "dialog_template.h"
#include "format_template.h"
#include "pdf_tools.h"
#include "print/sheet_filter.h"
#include "print_progress_dialog.h"
#include "print_progress_template.h"
#include "rich_edit_print_job.h"

namespace parcelo::testing {
namespace {

namespace fs = std::filesystem;

// What the progress dialog and the main window showed while one sheet was drawn.
struct Sheet {
    unsigned page;
    QString caption;
    QString jobLine;
    QString pageLine;
    QString percent;
    int barValue;
    int barMaximum;
    bool mainWindowEnabled;
    bool dialogVisible;
    bool cancelUsable;
};

// The Print dialog's proposal, as the job set it up.
struct Proposal {
    int minPage;
    int maxPage;
    int fromPage;
    int toPage;
    QAbstractPrintDialog::PrintRange range;
    QAbstractPrintDialog::PrintDialogOptions options;
};

// How the test answers a job's dialogs.
struct JobAnswers {
    // The Print dialog: cancelled when false; else the printer is given these settings.
    bool acceptPrintDialog = true;
    QString outputFile;  // printing into this PDF file; empty: the printer as proposed
    int fromPage = 0;    // a page range when not 0
    int toPage = 0;
    std::function<void(QPrinter&)> choose;  // further choices made in the dialog
    QString saveAnswer;                     // the Save dialog's answer; empty: cancelled
    // Called while each sheet is printed, after it is drawn.
    std::function<void(PrintProgressDialog&, const Sheet&)> duringSheet;
};

// What a job asked and showed.
struct JobRecord {
    std::vector<Proposal> proposals;
    std::vector<QPageLayout> proposedLayouts;
    std::vector<QString> proposedFiles;
    int saveQuestions = 0;
    std::vector<ShownMessage> messages;
    bool enabledAtMessage = false;
    bool progressAtMessage = true;
    std::vector<Sheet> sheets;
};

// A body print job whose dialogs the test answers.
class TestPrintJob : public RichEditPrintJob {
  public:
    TestPrintJob(QWidget* mainWindow, const JobAnswers& answers, JobRecord& record)
        : RichEditPrintJob(mainWindow), answers_(answers), record_(record) {}

  protected:
    int ExecPrintDialog(QPrintDialog& dialog) override {
        record_.proposals.push_back({dialog.minPage(), dialog.maxPage(), dialog.fromPage(),
                                     dialog.toPage(), dialog.printRange(), dialog.options()});
        QPrinter& printer = *dialog.printer();
        record_.proposedLayouts.push_back(printer.pageLayout());
        record_.proposedFiles.push_back(printer.outputFileName());
        if (!answers_.acceptPrintDialog)
            return QDialog::Rejected;
        if (!answers_.outputFile.isEmpty()) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(answers_.outputFile);
        }
        if (answers_.fromPage != 0) {
            printer.setPrintRange(QPrinter::PageRange);
            printer.setFromTo(answers_.fromPage, answers_.toPage);
        }
        if (answers_.choose)
            answers_.choose(printer);
        return QDialog::Accepted;
    }
    QString AskOutputPath() override {
        ++record_.saveQuestions;
        return answers_.saveAnswer;
    }
    void ShowMessage(QMessageBox::Icon icon, const QString& caption, const QString& text) override {
        record_.messages.push_back({icon, caption, text});
        record_.enabledAtMessage = mainWindow()->isEnabled();
        record_.progressAtMessage = progressDialog() != nullptr;
    }
    void PrintPage(QPainter& painter, PrintInfo& info) override {
        PrintProgressDialog& dialog = *progressDialog();
        const QWidget* cancel = dialog.control(kIdcPrintCancel);
        const Sheet sheet{info.currentPage,
                          dialog.windowTitle(),
                          dialog.itemText(kIdcPrintJobLine),
                          dialog.itemText(kIdcPrintPageLine),
                          dialog.itemText(kIdcPrintPercent),
                          dialog.progressBar()->value(),
                          dialog.progressBar()->maximum(),
                          mainWindow()->isEnabled(),
                          dialog.isVisible(),
                          cancel != nullptr && cancel->isEnabled() && dialog.isEnabled()};
        record_.sheets.push_back(sheet);
        RichEditPrintJob::PrintPage(painter, info);
        if (answers_.duringSheet)
            answers_.duringSheet(dialog, sheet);
    }

  private:
    const JobAnswers& answers_;
    JobRecord& record_;
};

// A main window whose Print button runs a job that the test answers.
class PrintingDialog : public TestDialog {
  public:
    JobAnswers answers;
    JobRecord record;

  protected:
    std::unique_ptr<RichEditPrintJob> MakePrintJob() override {
        return std::make_unique<TestPrintJob>(this, answers, record);
    }
};

// A body of the given pages: each text starts a new page.
void SetPages(QTextDocument* document, const QStringList& pages) {
    document->clear();
    QTextCursor cursor(document);
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (i > 0) {
            QTextBlockFormat format;
            format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            cursor.insertBlock(format);
        }
        cursor.insertText(pages[i]);
    }
}

const QStringList kFivePages = {"Page one", "Page two", "Page three", "Page four", "Page five"};

// Text with every run of white space made one space, and ligatures and other compatibility
// characters spelt out: the view has "ffi" where the PDF's text has a ligature.
std::string Words(const QString& text) {
    return text.normalized(QString::NormalizationForm_KC).simplified().toStdString();
}

std::string Words(const std::string& text) {
    return Words(QString::fromUtf8(text));
}

using Pages = std::vector<std::string>;

// The text of each page of a PDF file.
Pages PageTexts(const std::string& path) {
    Pages pages;
    const int count = PdfPageCount(path);
    for (int page = 1; page <= count; ++page)
        pages.push_back(Words(PdfText(path, page, page)));
    return pages;
}

class Printing : public ::testing::Test {
  protected:
    void SetUp() override { dialog.answers.outputFile = QString::fromStdString(pdf); }

    ScratchDir dir;
    const std::string pdf = (dir.path() / "out.pdf").string();
    PrintingDialog dialog;
};

TEST_F(Printing, TheDialogProposesAllPagesAndAllowsRangesButNoSelection) {
    dialog.answers.acceptPrintDialog = false;
    dialog.PrintBody();
    ASSERT_EQ(dialog.record.proposals.size(), 1u);
    const Proposal& proposal = dialog.record.proposals[0];
    EXPECT_EQ(proposal.minPage, 1);
    EXPECT_EQ(proposal.maxPage, 65535);
    EXPECT_EQ(proposal.fromPage, 1);
    EXPECT_EQ(proposal.toPage, 65535);
    EXPECT_EQ(proposal.range, QAbstractPrintDialog::AllPages);
    EXPECT_TRUE(proposal.options.testFlag(QAbstractPrintDialog::PrintPageRange));
    EXPECT_TRUE(proposal.options.testFlag(QAbstractPrintDialog::PrintToFile));
    EXPECT_FALSE(proposal.options.testFlag(QAbstractPrintDialog::PrintSelection));
    EXPECT_FALSE(proposal.options.testFlag(QAbstractPrintDialog::PrintCurrentPage));
    // Cancelled: nothing printed, nothing said, the window as it was.
    EXPECT_TRUE(dialog.record.sheets.empty());
    EXPECT_TRUE(dialog.record.messages.empty());
    EXPECT_FALSE(fs::exists(pdf));
    EXPECT_TRUE(dialog.isEnabled());
}

TEST_F(Printing, AnEmptyBodyGivesOneEmptySheetCountedOneOfOne) {
    dialog.PrintBody();
    EXPECT_EQ(PdfPageCount(pdf), 1);
    EXPECT_EQ(Words(PdfText(pdf)), "");
    ASSERT_EQ(dialog.record.sheets.size(), 1u);
    const Sheet& sheet = dialog.record.sheets[0];
    EXPECT_EQ(sheet.pageLine, "Page 1 of 1,  left to end ...");
    EXPECT_EQ(sheet.percent, "100 %");
    EXPECT_EQ(sheet.barValue, 1);
    EXPECT_EQ(sheet.barMaximum, 1);
    EXPECT_TRUE(dialog.record.messages.empty());
}

TEST_F(Printing, AOnePageBodyIsOneSheetWithNoTimeLeft) {
    dialog.bodyView()->setPlainText("Dear Ann,\nsee you on Monday.");
    dialog.PrintBody();
    EXPECT_EQ(PdfPageCount(pdf), 1);
    EXPECT_EQ(Words(PdfText(pdf)), "Dear Ann, see you on Monday.");
    ASSERT_EQ(dialog.record.sheets.size(), 1u);
    const Sheet& sheet = dialog.record.sheets[0];
    EXPECT_EQ(sheet.page, 1u);
    EXPECT_EQ(sheet.caption, "Printing ...");
    EXPECT_EQ(sheet.jobLine, "Printing Printing on PDF on file out.pdf ...");
    EXPECT_EQ(sheet.pageLine, "Page 1 of 1,  left to end ...");
    EXPECT_EQ(sheet.percent, "100 %");
}

TEST_F(Printing, EachSheetShowsItsCountPercentageAndTimeLeftWithTheWindowDisabled) {
    SetPages(dialog.bodyView()->document(), {"One", "Two", "Three", "Four"});
    dialog.PrintBody();
    EXPECT_EQ(PageTexts(pdf), Pages({"One", "Two", "Three", "Four"}));
    const std::vector<Sheet>& sheets = dialog.record.sheets;
    ASSERT_EQ(sheets.size(), 4u);
    // Before the first sheet nothing has been timed.
    EXPECT_EQ(sheets[0].pageLine, "Page 1 of 4, ?? left to end ...");
    const QRegularExpression later(
        "^Page ([234]) of 4, (\\?\\?|\\d+ seconds|\\d+ minutes, \\d+ seconds) left to end ...$");
    const char* percents[] = {"25 %", "50 %", "75 %", "100 %"};
    for (size_t i = 0; i < sheets.size(); ++i) {
        EXPECT_EQ(sheets[i].page, i + 1);
        EXPECT_EQ(sheets[i].percent, percents[i]);
        EXPECT_EQ(sheets[i].barValue, int(i + 1));
        EXPECT_EQ(sheets[i].barMaximum, 4);
        if (i > 0) {
            const QRegularExpressionMatch match = later.match(sheets[i].pageLine);
            EXPECT_TRUE(match.hasMatch()) << sheets[i].pageLine.toStdString();
            EXPECT_EQ(match.captured(1), QString::number(i + 1));
        }
        EXPECT_FALSE(sheets[i].mainWindowEnabled);
        EXPECT_TRUE(sheets[i].dialogVisible);
        EXPECT_TRUE(sheets[i].cancelUsable);  // not disabled with the main window
    }
    EXPECT_TRUE(dialog.isEnabled());
}

TEST_F(Printing, APageRangePrintsThosePagesCountedFromOne) {
    SetPages(dialog.bodyView()->document(), kFivePages);
    dialog.answers.fromPage = 2;
    dialog.answers.toPage = 3;
    dialog.PrintBody();
    EXPECT_EQ(PdfPageCount(pdf), 2);
    EXPECT_EQ(PageTexts(pdf), Pages({"Page two", "Page three"}));
    const std::vector<Sheet>& sheets = dialog.record.sheets;
    ASSERT_EQ(sheets.size(), 2u);
    EXPECT_EQ(sheets[0].page, 2u);
    EXPECT_EQ(sheets[0].pageLine, "Page 1 of 2, ?? left to end ...");
    EXPECT_EQ(sheets[0].percent, "50 %");
    EXPECT_EQ(sheets[1].page, 3u);
    EXPECT_TRUE(sheets[1].pageLine.startsWith("Page 2 of 2, "));
    EXPECT_EQ(sheets[1].percent, "100 %");
}

TEST_F(Printing, ARangeBeyondTheEndIsBroughtBackToTheLastPage) {
    SetPages(dialog.bodyView()->document(), kFivePages);
    dialog.answers.fromPage = 7;
    dialog.answers.toPage = 9;
    dialog.PrintBody();
    EXPECT_EQ(PageTexts(pdf), Pages({"Page five"}));
    ASSERT_EQ(dialog.record.sheets.size(), 1u);
    EXPECT_EQ(dialog.record.sheets[0].pageLine, "Page 1 of 1,  left to end ...");

    // A range running past the end stops at the last page.
    dialog.record = {};
    dialog.answers.fromPage = 4;
    dialog.answers.toPage = 40;
    dialog.PrintBody();
    EXPECT_EQ(PageTexts(pdf), Pages({"Page four", "Page five"}));
}

TEST_F(Printing, AListOfRangesPrintsEachPageOnce) {
    SetPages(dialog.bodyView()->document(), kFivePages);
    dialog.answers.choose = [](QPrinter& printer) {
        QPageRanges ranges;
        ranges.addRange(4, 5);
        ranges.addPage(1);
        ranges.addRange(5, 9);
        printer.setPrintRange(QPrinter::PageRange);
        printer.setPageRanges(ranges);
    };
    dialog.PrintBody();
    EXPECT_EQ(PageTexts(pdf), Pages({"Page one", "Page four", "Page five"}));
}

// The three ways to cancel, each pressed while the second of five sheets prints.
struct CancelWay {
    const char* name;
    void (*press)(PrintProgressDialog& dialog);
};

class CancelDuringSecondSheet : public Printing, public ::testing::WithParamInterface<CancelWay> {};

TEST_P(CancelDuringSecondSheet, AbandonsTheDocumentSilentlyAndEnablesTheWindow) {
    SetPages(dialog.bodyView()->document(), kFivePages);
    bool hidden = false;
    dialog.answers.duringSheet = [&](PrintProgressDialog& progress, const Sheet& sheet) {
        if (sheet.page != 2)
            return;
        GetParam().press(progress);
        hidden = !progress.isVisible();
    };
    dialog.PrintBody();
    EXPECT_EQ(dialog.record.sheets.size(), 2u);  // no sheet after the one in progress
    EXPECT_TRUE(hidden);
    EXPECT_TRUE(printAbortRequested);
    EXPECT_TRUE(dialog.record.messages.empty());
    EXPECT_TRUE(dialog.isEnabled());
    // An abandoned document leaves no file that looks complete.
    EXPECT_FALSE(fs::exists(pdf));
}

INSTANTIATE_TEST_SUITE_P(
    Ways, CancelDuringSecondSheet,
    ::testing::Values(
        CancelWay{"Button",
                  [](PrintProgressDialog& d) {
                      QTest::mouseClick(d.control(kIdcPrintCancel), Qt::LeftButton);
                  }},
        CancelWay{"Escape", [](PrintProgressDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }},
        CancelWay{"CloseBox", [](PrintProgressDialog& d) { d.close(); }}),
    [](const ::testing::TestParamInfo<CancelWay>& way) { return way.param.name; });

TEST_F(Printing, AJobThatCannotStartSaysSoOnceTheWindowIsEnabledAgain) {
    dialog.bodyView()->setPlainText("Hello");
    dialog.answers.outputFile =
        QString::fromStdString((dir.path() / "nowhere" / "out.pdf").string());
    dialog.PrintBody();
    ASSERT_EQ(dialog.record.messages.size(), 1u);
    EXPECT_EQ(dialog.record.messages[0].icon, QMessageBox::Warning);
    EXPECT_EQ(dialog.record.messages[0].caption, "app_tests");
    EXPECT_EQ(dialog.record.messages[0].text, "Could not start print job.");
    EXPECT_TRUE(dialog.record.enabledAtMessage);
    EXPECT_FALSE(dialog.record.progressAtMessage);
    EXPECT_TRUE(dialog.record.sheets.empty());
    EXPECT_TRUE(dialog.isEnabled());
}

TEST_F(Printing, PrintingToAFileTheDialogDidNotNameAsksForOne) {
    dialog.bodyView()->setPlainText("Hello");
    dialog.answers.outputFile.clear();
    dialog.answers.choose = [](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString());
    };
    dialog.PrintBody();  // the Save dialog is cancelled
    EXPECT_EQ(dialog.record.saveQuestions, 1);
    EXPECT_TRUE(dialog.record.sheets.empty());
    EXPECT_TRUE(dir.fileNames().empty());

    dialog.answers.saveAnswer = QString::fromStdString(pdf);
    dialog.PrintBody();
    EXPECT_EQ(dialog.record.saveQuestions, 2);
    EXPECT_EQ(Words(PdfText(pdf)), "Hello");

    // A file named in the Print dialog is not asked for again.
    dialog.answers.choose = nullptr;
    dialog.answers.outputFile = QString::fromStdString((dir.path() / "named.pdf").string());
    dialog.PrintBody();
    EXPECT_EQ(dialog.record.saveQuestions, 2);
    EXPECT_EQ(PdfPageCount((dir.path() / "named.pdf").string()), 1);
}

TEST_F(Printing, TheChosenPrinterIsProposedAgainForTheRestOfTheRun) {
    dialog.bodyView()->setPlainText("Hello");
    dialog.answers.choose = [](QPrinter& printer) {
        printer.setPageOrientation(QPageLayout::Landscape);
        printer.setPageSize(QPageSize(QPageSize::A5));
    };
    dialog.PrintBody();
    ASSERT_EQ(dialog.record.proposals.size(), 1u);

    // Another job, from another window, cancelled at once.
    PrintingDialog other;
    other.answers.acceptPrintDialog = false;
    other.PrintBody();
    ASSERT_EQ(other.record.proposedLayouts.size(), 1u);
    EXPECT_EQ(other.record.proposedLayouts[0].orientation(), QPageLayout::Landscape);
    EXPECT_EQ(other.record.proposedLayouts[0].pageSize().id(), QPageSize::A5);
    EXPECT_EQ(other.record.proposedFiles[0], QString::fromStdString(pdf));
    // The range is not remembered: every job proposes all pages.
    EXPECT_EQ(other.record.proposals[0].range, QAbstractPrintDialog::AllPages);

    // Put back for the tests that follow.
    other.answers.acceptPrintDialog = true;
    other.answers.outputFile = QString::fromStdString(pdf);
    other.answers.choose = [](QPrinter& printer) {
        printer.setPageOrientation(QPageLayout::Portrait);
        printer.setPageSize(QPageSize(QPageSize::A4));
    };
    other.PrintBody();
}

// A long table's border is drawn for all its pages on every sheet: the filter must drop what
// is off the sheet, and keep what is on it, lines of no height and text included.
TEST(SheetFilter, PassesOnWhatMeetsTheSheetAndDropsTheRest) {
    QImage image(100, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter target(&image);
    {
        SheetFilter sheet(target, QRectF(0, 0, 100, 50));
        QPainter painter(&sheet);
        painter.setPen(QPen(Qt::black, 2));
        painter.drawLine(QLineF(10, 10, 90, 10));
        painter.drawLine(QLineF(50, 75, 50, 95));
        painter.fillRect(QRectF(10, 70, 20, 20), Qt::black);
        // Moved onto the sheet by the painter's own transformation.
        painter.translate(0, -60);
        painter.fillRect(QRectF(70, 80, 10, 10), Qt::black);
        QFont font;
        font.setPixelSize(30);
        painter.setFont(font);
        painter.drawText(QRectF(10, 70, 50, 40), Qt::AlignCenter, QStringLiteral("X"));
    }
    target.end();
    const auto dark = [&](int x, int y) { return qGray(image.pixel(x, y)) < 128; };
    EXPECT_TRUE(dark(50, 10));
    EXPECT_FALSE(dark(50, 85));
    EXPECT_FALSE(dark(20, 80));
    EXPECT_TRUE(dark(75, 25));
    bool text = false;
    for (int y = 12; y < 50; ++y) {
        for (int x = 10; x < 60; ++x)
            text = text || dark(x, y);
    }
    EXPECT_TRUE(text);
}

TEST_F(Printing, TheTextAreaIsTheWholeSheetLessMarginsInPoints) {
    RichEditPrintJob job;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(30, 30, 30, 30), QPageLayout::Millimeter);  // not used
    printer.setFullPage(true);
    const QRectF sheet = printer.paperRect(QPrinter::DevicePixel);
    const qreal dot = printer.resolution() / 72.0;  // device pixels in a point
    EXPECT_EQ(job.PageArea(printer),
              QRectF(50 * dot, 50 * dot, sheet.width() - 100 * dot, sheet.height() - 100 * dot));
    job.margins = QMargins(10, 20, 30, 40);
    EXPECT_EQ(job.PageArea(printer),
              QRectF(10 * dot, 20 * dot, sheet.width() - 40 * dot, sheet.height() - 60 * dot));
}

TEST_F(Printing, ALongBodyLosesAndRepeatsNoLineAtThePageBreaks) {
    QStringList lines;
    for (int i = 1; i <= 300; ++i)
        lines << QStringLiteral("Line %1 of the long body").arg(i);
    // Paragraphs of many lines, so that page breaks fall inside them all down the body, well
    // past the part the layout lays out first.
    QStringList paragraphs;
    for (int i = 1; i <= 40; ++i) {
        QStringList words;
        for (int word = 1; word <= 80; ++word)
            words << QStringLiteral("p%1w%2").arg(i).arg(word);
        paragraphs << words.join(u' ');
    }
    for (const QStringList& body : {lines, paragraphs}) {
        SCOPED_TRACE(body.first().left(20).toStdString());
        dialog.record.sheets.clear();
        dialog.bodyView()->setPlainText(body.join(u'\n'));
        dialog.PrintBody();
        const int pages = PdfPageCount(pdf);
        EXPECT_GT(pages, 3);
        EXPECT_EQ(int(dialog.record.sheets.size()), pages);
        EXPECT_EQ(Words(PdfText(pdf)), Words(body.join(u'\n')));
        // Every page but the last is full.
        const Pages pageTexts = PageTexts(pdf);
        for (int page = 0; page + 1 < pages; ++page)
            EXPECT_GT(pageTexts[page].size(), 1000) << page;
    }
}

TEST_F(Printing, TheTextPrintsBlackWhateverTheDesktopsColours) {
    QPalette dark = QApplication::palette();
    dark.setColor(QPalette::Text, Qt::white);
    const QPalette saved = QApplication::palette();
    QApplication::setPalette(dark);
    dialog.bodyView()->setPlainText("Dark desktop");
    dialog.PrintBody();
    QApplication::setPalette(saved);
    // Rendered in grey, the page has dark pixels where the text is.
    const std::string pgm = CommandOutput("pdftoppm -r 72 -gray " + ShellQuoted(pdf));
    size_t pixels = 0;  // after "P5\nwidth height\n255\n"
    for (int line = 0; line < 3 && pixels != std::string::npos; ++line)
        pixels = pgm.find('\n', pixels == 0 ? 0 : pixels + 1);
    ASSERT_NE(pixels, std::string::npos);
    int darkest = 255;
    for (size_t i = pixels + 1; i < pgm.size(); ++i)
        darkest = std::min(darkest, int(static_cast<unsigned char>(pgm[i])));
    EXPECT_LT(darkest, 64);
}

// The box in points of the first word `word` in a PDF file, from pdftotext's boxes; empty
// when it is not there.
QRectF WordBox(const std::string& pdf, const std::string& word) {
    const std::string boxes = CommandOutput("pdftotext -bbox " + ShellQuoted(pdf) + " -");
    const size_t end = boxes.find(">" + word + "</word>");
    const size_t start = boxes.rfind("<word", end);
    if (end == std::string::npos || start == std::string::npos)
        return {};
    const std::string box = boxes.substr(start, end - start);
    const auto number = [&box](const std::string& name) {
        const size_t at = box.find(name + "=\"");
        return at == std::string::npos ? 0.0 : std::stod(box.substr(at + name.size() + 2));
    };
    return QRectF(QPointF(number("xMin"), number("yMin")), QPointF(number("xMax"), number("yMax")));
}

double WordHeight(const std::string& pdf, const std::string& word) {
    return WordBox(pdf, word).height();
}

TEST_F(Printing, TextSizedInPixelsPrintsAsLargeAsOnScreen) {
    dialog.bodyView()->document()->setHtml(
        "<p style='font-size:40px'>Pixels</p><p style='font-size:30pt'>Points</p>"
        "<p style='font-size:40px'></p><p>After</p>");
    dialog.PrintBody();
    EXPECT_EQ(Words(PdfText(pdf)), "Pixels Points After");
    const double points = WordHeight(pdf, "Points");
    ASSERT_GT(points, 20.0);
    // 40 pixels of 1/96 inch are 30 points.
    EXPECT_NEAR(WordHeight(pdf, "Pixels"), points, points * 0.2);
}

// A PDF holds a ligature as one glyph, which is copied from the sheet as "ﬁ" or not at all:
// the letters print as letters, whatever strategy the body's font or style sheet implies.
// Arabic beside them still joins its letters.
TEST_F(Printing, LigaturesPrintAsTheirLetters) {
    dialog.bodyView()->document()->setHtml(
        "<p style='font-family:Carlito,sans-serif'>office fifty flow</p>");
    AppendRtf(*dialog.bodyView()->document(),
              "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Carlito;}}\\f0 office fifty flow\\par "
              "\\u1605?\\u1585?\\u1581?\\u1576?\\u1575? flow\\par}");
    dialog.PrintBody();
    const std::string text = QString::fromUtf8(PdfText(pdf)).simplified().toStdString();
    EXPECT_EQ(text.substr(0, 35), "office fifty flow office fifty flow") << text;
    // No ligature anywhere (U+FB00 to U+FB06), the word after the Arabic one neither.
    EXPECT_EQ(text.find("\xEF\xAC"), std::string::npos) << text;
    // The first letter of the word in its initial form.
    EXPECT_NE(text.find("\xEF\xBB\xA3"), std::string::npos) << text;
}

// Lengths of a body are those of the screen, 96 pixels an inch, whatever the printer's dots.
TEST_F(Printing, LengthsPrintAsOnScreen) {
    dialog.bodyView()->document()->setHtml(
        "<p>Edge</p><p style='margin-left:48px'>Indented</p>"
        "<p style='margin-left:48px; margin-top:96px'>Lower</p>"
        "<table cellpadding=24 cellspacing=0><tr><td>Padded</td></tr></table>"
        "<pre>.\tTabbed</pre>");
    dialog.PrintBody();
    const QRectF edge = WordBox(pdf, "Edge");
    ASSERT_FALSE(edge.isEmpty());
    EXPECT_NEAR(WordBox(pdf, "Indented").left() - edge.left(), 36, 1);
    EXPECT_NEAR(WordBox(pdf, "Lower").left() - edge.left(), 36, 1);
    EXPECT_GT(WordBox(pdf, "Lower").top() - WordBox(pdf, "Indented").bottom(), 72 - 1);
    EXPECT_NEAR(WordBox(pdf, "Padded").left() - edge.left(), 18, 1);
    // A tab goes to the first of Qt's stops, 80 pixels in.
    EXPECT_NEAR(WordBox(pdf, "Tabbed").left() - edge.left(), 60, 1);
}

// Word's signatures put each line in a row of exact height; a row whose lines need more room
// must not print them over the text below the table.
TEST_F(Printing, ARowOfExactHeightPrintsAboveTheTextAfterIt) {
    AppendRtf(*dialog.bodyView()->document(),
              "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20"
              "\\trowd\\trrh-300\\cellx4000\\pard\\intbl Name\\par Title"
              "\\par Phone\\cell\\row\\trowd\\trrh-300\\cellx2880\\cellx5760\\pard\\intbl\\fs40 "
              "Large\\cell Right\\cell\\row\\pard\\fs20 Disclaimer\\par}");
    dialog.PrintBody();
    const QRectF phone = WordBox(pdf, "Phone");
    const QRectF large = WordBox(pdf, "Large");
    ASSERT_FALSE(phone.isEmpty());
    ASSERT_FALSE(large.isEmpty());
    EXPECT_GE(large.top(), phone.bottom());
    EXPECT_GE(WordBox(pdf, "Disclaimer").top(), large.bottom());
    // A cell of 2880 twips is two inches wide on paper as on screen.
    EXPECT_NEAR(WordBox(pdf, "Right").left() - large.left(), 144, 1);
}

TEST_F(Printing, APictureNamedByALocalFileIsNotReadFromDisk) {
    const fs::path picture = dir.path() / "secret.png";
    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(QString::fromStdString(picture.string())));
    QTextCursor cursor(dialog.bodyView()->document());
    cursor.insertText("Before ");
    QTextImageFormat format;
    format.setName(QUrl::fromLocalFile(QString::fromStdString(picture.string())).toString());
    cursor.insertImage(format);
    cursor.insertText(" after");
    dialog.PrintBody();
    EXPECT_EQ(Words(PdfText(pdf)), "Before after");
    // What is printed is the view's "no picture" mark, not the 40 × 40 picture.
    const std::string images = CommandOutput("pdfimages -list " + ShellQuoted(pdf));
    EXPECT_EQ(images.find(" 40 "), std::string::npos) << images;
}

TEST_F(Printing, TheCorpusBodyPrintsTheTextTheViewShowsInItsOrder) {
    if (!HaveCorpus())
        GTEST_SKIP() << "no sample corpus here (see PARCELO_CORPUS_DIR)";
    const fs::path sample = CorpusFile("verdammelt-tnef/rtf.tnef");
    dialog.fileName = QString::fromStdString(sample.string());
    TemporaryFolder tmp;
    ASSERT_EQ(dialog.LoadTnefFile(), 1);
    dialog.PrintBody();
    const std::string shown = Words(PlainTextOfDocument(*dialog.bodyView()->document()));
    ASSERT_NE(shown.find("Compuware Corporation"), std::string::npos);
    EXPECT_EQ(Words(PdfText(pdf)), shown);
}

// The command line prints what the window prints: the same sheets with the same text.
TEST_F(Printing, TheCommandLinePrintsTheSameSheetsAsTheWindow) {
    if (!HaveCorpus())
        GTEST_SKIP() << "no sample corpus here (see PARCELO_CORPUS_DIR)";
    for (const char* name : {"verdammelt-tnef/rtf.tnef", "mimekit/christmas.tnef",
                             "verdammelt-tnef/long-filename.tnef", "pytnef/winmail-1.dat",
                             "apache-poi-hmef/bug52400-winmail-with-attachments.dat",
                             "uponusolutions-tnef/umlaute.tnef"}) {
        const fs::path sample = CorpusFile(name);
        dialog.fileName = QString::fromStdString(sample.string());
        TemporaryFolder tmp;
        ASSERT_EQ(dialog.LoadTnefFile(), 1);
        dialog.PrintBody();
        const std::string command = (dir.path() / "command.pdf").string();
        CommandOutput(ShellQuoted(PARCELO_EXTRACT_BINARY) + " --pdf " + ShellQuoted(command) + " " +
                      ShellQuoted(sample.string()));
        const Pages fromWindow = PageTexts(pdf);
        ASSERT_FALSE(fromWindow.empty()) << name;
        EXPECT_EQ(PageTexts(command), fromWindow) << name;
        const std::string text = CommandOutput(ShellQuoted(PARCELO_EXTRACT_BINARY) + " --text " +
                                               ShellQuoted(sample.string()));
        std::string joined;
        for (const std::string& page : fromWindow) {
            if (!page.empty())  // trailing empty paragraphs can fill a sheet of their own
                joined += (joined.empty() ? "" : " ") + page;
        }
        // A word too long for its table cell is broken across two lines, which the PDF's
        // text shows as two words: the characters are compared, in their order.
        const auto withoutSpaces = [](std::string words) {
            std::erase(words, ' ');
            return words;
        };
        EXPECT_EQ(withoutSpaces(joined), withoutSpaces(Words(text))) << name;
    }
}

TEST(PrintTimeLeft, IsShownInSecondsUpToAMinuteThenInMinutes) {
    struct Case {
        unsigned sheet, total;
        unsigned long long average;
        const char* text;
    };
    const Case cases[] = {
        {1, 4, 0, "??"},    // nothing timed yet
        {2, 4, 300, "??"},  // 3 × 0.3 s rounds down to 0
        {2, 4, 1000, "3 seconds"},
        {1, 61, 1000, "1 minutes, 1 seconds"},  // 61 s
        {1, 60, 1000, "60 seconds"},            // a minute exactly
        {1, 1, 5000, ""},                       // a job of one sheet
        {3, 3, 250000, "4 minutes, 10 seconds"},
        {1, 65535, 4000000000ULL, "4369000000 minutes, 0 seconds"},  // no overflow
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PrintJob::TimeLeftText(c.sheet, c.total, c.average), c.text)
            << c.sheet << "/" << c.total << " at " << c.average << " ms";
    }
}

TEST(PrintProgressTemplate, FollowsTemplate106InDialogUnitsOfItsFont) {
    printAbortRequested = true;
    PrintProgressDialog progress;
    EXPECT_FALSE(printAbortRequested);  // cleared by a new dialog
    EXPECT_FALSE(progress.isVisible());
    EXPECT_EQ(progress.windowTitle(), "Printing");
    EXPECT_TRUE(progress.windowFlags().testFlag(Qt::Tool));
    const DialogUnits units(progress.font());
    EXPECT_EQ(progress.size(), QSize(units.toPixelsX(219), units.toPixelsY(57)));
    for (const ControlTemplate& item : kPrintProgressControls) {
        QWidget* widget = progress.control(item.id);
        ASSERT_NE(widget, nullptr) << item.id;
        EXPECT_EQ(widget->geometry(), units.toPixels(item.x, item.y, item.width, item.height))
            << item.id;
        if (item.id != kIdcPrintProgressBar) {
            EXPECT_EQ(progress.itemText(item.id), item.text) << item.id;
        }
    }
    EXPECT_EQ(progress.control(kIdcPrintProgressBar), progress.progressBar());
}

TEST(FormatTemplates, FillThePlaceholdersInOrderAndLeaveTheRest) {
    EXPECT_EQ(FormatTemplate("%d %%", {"25"}), "25 %");
    EXPECT_EQ(FormatTemplate("Page %d of %d, %s left to end ...", {"2", "5", "3 seconds"}),
              "Page 2 of 5, 3 seconds left to end ...");
    EXPECT_EQ(FormatTemplate("Page %d of %d", {"2"}), "Page 2 of %d");  // no argument left
    EXPECT_EQ(FormatTemplate("%n %x %", {"a"}), "%n %x %");             // not placeholders
    EXPECT_EQ(FormatTemplate("%s", {"%d"}), "%d");  // arguments are not templates
}

}  // namespace
}  // namespace parcelo::testing
