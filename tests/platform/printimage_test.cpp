#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>

#include "platform/printimage.h"
#include "settings/regs.h"
#include "support/core/recorders.h"
#include "support/core/tempdir.h"
#include "support/ui/scriptedseam.h"

namespace {

QString PathIn(const TTempDir& dir, const char* name)
{
    return QString::fromStdString(dir.Path().string()) + QLatin1Char('/') + QLatin1String(name);
}

// Pages of a PDF file written by Qt: one "/Type /Page" object per page.
int PdfPages(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QString text = QString::fromLatin1(file.readAll());
    return static_cast<int>(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
}

void Fill(QPainter& painter)
{
    painter.fillRect(QRect(0, 0, 5000, 5000), Qt::darkGreen);
}

QPrinter& PdfPrinter(QPrinter& printer, const QString& path)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    return printer;
}

} // namespace

TEST(PrintTilingTest, CommonTypeCoversThePictureWithoutBlankPages)
{
    const double f = 4657.0 / 1024.0;
    const QSize page(2400, 3300);
    const TPrintTiling one = CommonTiling(QSize(500, 400), page, f);
    EXPECT_EQ(one.Printed, QSize(2274, 1819));
    EXPECT_EQ(one.Columns, 1);
    EXPECT_EQ(one.Rows, 1);

    const TPrintTiling two = CommonTiling(QSize(1000, 400), page, f);
    EXPECT_EQ(two.Columns, 2);
    EXPECT_EQ(two.Rows, 1);
    EXPECT_NEAR(two.TileWidth, 2400 / f, 1e-9);
    // The second page holds the rest: 1000 - 527.7 picture pixels.
    EXPECT_NEAR(1000 - two.TileWidth, 472.3, 0.1);

    // A picture exactly one page wide and two pages high needs exactly 1 x 2 pages.
    const TPrintTiling exact = CommonTiling(QSize(2400, 6600), page, 1.0);
    EXPECT_EQ(exact.Columns, 1);
    EXPECT_EQ(exact.Rows, 2);
    EXPECT_EQ(exact.Pages(), 2);
}

TEST(PrintTilingTest, ProportionalFillsTheLimitingSide)
{
    EXPECT_EQ(ProportionalSize(QSize(1000, 100), QSize(2000, 3000)), QSize(2000, 200));
    EXPECT_EQ(ProportionalSize(QSize(100, 1000), QSize(2000, 3000)), QSize(300, 3000));
    EXPECT_EQ(ProportionalSize(QSize(200, 300), QSize(2000, 3000)), QSize(2000, 3000));
}

TEST(PrintImageTest, PagesPerTypeAndOneJobPerCopy)
{
    TTempDir dir;
    TRecordingProgress progress;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);

    // A4 at 96 dpi holds 793 x 1122 picture pixels: 2000 x 1200 needs 3 x 2 pages.
    TPrintImage common(QSize(2000, 1200), Fill, TPrintType::Common);
    common.SetScreenDpi(96);
    common.PrintOnce(PdfPrinter(printer, PathIn(dir, "common.pdf")));
    EXPECT_EQ(PdfPages(PathIn(dir, "common.pdf")), 6);
    EXPECT_EQ(progress.calls.front(), "begin");
    EXPECT_EQ(progress.calls.back(), "end");

    for (TPrintType type : {TPrintType::Proportional, TPrintType::Fit}) {
        TPrintImage image(QSize(2000, 1200), Fill, type);
        image.PrintOnce(PdfPrinter(printer, PathIn(dir, "one.pdf")));
        EXPECT_EQ(PdfPages(PathIn(dir, "one.pdf")), 1);
    }

    TPrintImage copies(QSize(300, 200), Fill, TPrintType::Fit);
    copies.PrintCopies(PdfPrinter(printer, PathIn(dir, "copy.pdf")), 3);
    EXPECT_EQ(PdfPages(PathIn(dir, "copy.pdf")), 1);
    EXPECT_EQ(PdfPages(PathIn(dir, "copy-2.pdf")), 1);
    EXPECT_EQ(PdfPages(PathIn(dir, "copy-3.pdf")), 1);
    EXPECT_FALSE(QFileInfo::exists(PathIn(dir, "copy-4.pdf")));
    EXPECT_EQ(printer.outputFileName(), PathIn(dir, "copy.pdf"));

    copies.PrintCopies(PdfPrinter(printer, PathIn(dir, "none.pdf")), 0);
    EXPECT_FALSE(QFileInfo::exists(PathIn(dir, "none.pdf")));
}

TEST(PrintImageTest, TextsKeepTheirScreenSizeOnAHighResolutionPrinter)
{
    // Views measure their captions with the screen's metrics; the printed font must match them,
    // else the captions overflow their boxes and are clipped away.
    TTempDir dir;
    QPrinter printer(QPrinter::HighResolution);
    const int resolution = printer.resolution();
    QFont font;
    font.setPointSize(10);
    const int screenHeight = QFontMetrics(font).height();
    for (TPrintType type : {TPrintType::Common, TPrintType::Proportional, TPrintType::Fit}) {
        int printedHeight = -1;
        TPrintImage image(
            QSize(300, 200),
            [&](QPainter& painter) {
                painter.setFont(font);
                printedHeight = painter.fontMetrics().height();
                painter.drawText(QPoint(10, 40), QStringLiteral("Caption"));
            },
            type);
        image.PrintOnce(PdfPrinter(printer, PathIn(dir, "text.pdf")));
        EXPECT_NEAR(printedHeight, screenHeight, 1) << static_cast<int>(type);
        EXPECT_EQ(PdfPages(PathIn(dir, "text.pdf")), 1);
    }
    // The printer is handed back as it came.
    EXPECT_EQ(printer.resolution(), resolution);
}

TEST(PrintImageTest, AFailedJobIsReported)
{
    TTempDir dir;
    QPrinter printer(QPrinter::HighResolution);
    TPrintImage image(QSize(30, 20), Fill, TPrintType::Fit);
    try {
        image.PrintOnce(PdfPrinter(printer, PathIn(dir, "no/such/folder.pdf")));
        ADD_FAILURE() << "no error";
    } catch (const std::exception& error) {
        // The message names the file and why it could not be written.
        const std::string text = error.what();
        EXPECT_NE(text.find("folder.pdf"), std::string::npos) << text;
        EXPECT_NE(text.find(std::strerror(ENOENT)), std::string::npos) << text;
    }
}

TEST(FormPrintTuningTest, PrintTypeIsReadAndWrittenAndPdfPrinterAsksForAFile)
{
    TTempDir dir;
    Regs().WriteSocMainInt("PrintType", 2);
    {
        TFormPrintTuning form(nullptr);
        EXPECT_EQ(form.Type(), TPrintType::Fit);
        auto* list = form.findChild<QComboBox*>("ComboBoxPrinterDriver");
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->itemText(list->count() - 1), "PDF file");
        if (QPrinterInfo::availablePrinterNames().isEmpty()) {
            EXPECT_TRUE(form.IsPdfFile());
        }
        EXPECT_TRUE(form.findChild<QPushButton*>("ButtonOK")->isEnabled());
        auto* copies = form.findChild<QSpinBox*>("SpinEditCopies");
        EXPECT_EQ(copies->minimum(), 1);
        EXPECT_EQ(copies->maximum(), 100);
    }

    Regs().WriteSocMainInt("PrintType", 7);
    TFormPrintTuning form(nullptr);
    EXPECT_EQ(form.Type(), TPrintType::Common);
    auto* list = form.findChild<QComboBox*>("ComboBoxPrinterDriver");
    list->setCurrentIndex(list->count() - 1);
    form.findChild<QRadioButton*>("RadioButtonProportional")->setChecked(true);

    TScriptedModalSeam seam;
    // Cancelling the file name keeps the window open and unconfirmed.
    seam.ExpectSaveFile(QString());
    form.findChild<QPushButton*>("ButtonOK")->click();
    EXPECT_FALSE(form.Confirmed());
    EXPECT_EQ(Regs().ReadSocMainInt("PrintType", -1), 7);

    seam.ExpectSaveFile(PathIn(dir, "out"));
    form.findChild<QPushButton*>("ButtonOK")->click();
    EXPECT_TRUE(form.Confirmed());
    EXPECT_EQ(form.Printer().outputFileName(), PathIn(dir, "out.pdf"));
    EXPECT_EQ(form.Printer().outputFormat(), QPrinter::PdfFormat);
    EXPECT_EQ(Regs().ReadSocMainInt("PrintType", -1), 1);
    EXPECT_TRUE(seam.AllConsumed());
}
