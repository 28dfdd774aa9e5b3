#include "platform/printimage.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include <QDialogButtonBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QVBoxLayout>

#include "platform/helpviewer.h"
#include "platform/langcontroller.h"
#include "platform/modalseam.h"
#include "platform/savefile.h"
#include "i18n/langconv.h"
#include "platform/dialogbuttons.h"
#include "settings/regs.h"
#include "util/error.h"
#include "util/progress.h"

namespace {

constexpr THelpTopic kHelpTopic = THelpTopic::PrintWindow;
constexpr int kMaxCopies = 100;

QString CatalogueText(const char* key, const char* fallback)
{
    if (!HasLangConv())
        return QString::fromUtf8(fallback);
    return QString::fromStdString(LangConv().GetText(key));
}

double PrimaryScreenDpi()
{
    if (QScreen* screen = QGuiApplication::primaryScreen())
        return screen->logicalDotsPerInchX();
    return 96.0;
}

int Round(double value)
{
    return static_cast<int>(std::lround(value));
}

// The page's printable size in printer pixels.
QSize PageSize(QPrinter& printer)
{
    return printer.pageLayout().paintRectPixels(printer.resolution()).size();
}

// The file copy k of a PDF print job goes to.
QString CopyFileName(const QString& first, int copy)
{
    if (copy <= 1)
        return first;
    const QFileInfo info(first);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral("-") + QString::number(copy) +
                               QStringLiteral(".") + (info.suffix().isEmpty() ? QStringLiteral("pdf") : info.suffix()));
}

// Why a PDF file could not be started, as the system words it ("" when that cannot be told).
QString FileFailureReason(const QString& fileName)
{
    const QFileInfo info(fileName);
    if (info.isDir())
        return QStringLiteral(" (") + QString::fromLocal8Bit(std::strerror(EISDIR)) + QLatin1Char(')');
    if (!info.dir().exists())
        return QStringLiteral(" (") + QString::fromLocal8Bit(std::strerror(ENOENT)) + QLatin1Char(')');
    if (!info.exists() ? !QFileInfo(info.absolutePath()).isWritable() : !info.isWritable())
        return QStringLiteral(" (") + QString::fromLocal8Bit(std::strerror(EACCES)) + QLatin1Char(')');
    return {};
}

} // namespace

TPrintTiling CommonTiling(QSize picture, QSize page, double factor)
{
    TPrintTiling tiling;
    tiling.Factor = factor;
    tiling.Printed = QSize(Round(factor * picture.width()), Round(factor * picture.height()));
    if (page.width() <= 0 || page.height() <= 0 || factor <= 0)
        return tiling;
    tiling.TileWidth = page.width() / factor;
    tiling.TileHeight = page.height() / factor;
    tiling.Columns = std::max(1, (tiling.Printed.width() + page.width() - 1) / page.width());
    tiling.Rows = std::max(1, (tiling.Printed.height() + page.height() - 1) / page.height());
    return tiling;
}

QSize ProportionalSize(QSize picture, QSize page)
{
    if (picture.width() <= 0 || picture.height() <= 0)
        return page;
    const double fx = static_cast<double>(page.width()) / picture.width();
    const double fy = static_cast<double>(page.height()) / picture.height();
    if (fx > fy)
        return {Round(picture.width() * fy), page.height()};
    return {page.width(), Round(picture.height() * fx)};
}

// ---------------------------------------------------------------------------------------------

TPrintImage::TPrintImage(QSize size, TDrawing draw, TPrintType type)
    : m_size(size), m_draw(std::move(draw)), m_type(type), m_screenDpi(PrimaryScreenDpi())
{
}

void TPrintImage::PrintOnce(QPrinter& printer)
{
    // The views lay out their texts with the screen's font metrics. On a printer of another
    // resolution the same point sizes come out many times larger, so captions overflow their
    // boxes and are clipped away. At the screen's resolution the layout holds; PDF and system
    // printer output stay vector, so nothing is lost in sharpness.
    struct TResolutionGuard {
        QPrinter& Printer;
        int Saved;
        ~TResolutionGuard() { Printer.setResolution(Saved); }
    } guard{printer, printer.resolution()};
    printer.setResolution(Round(m_screenDpi > 0 ? m_screenDpi : 96.0));

    QPainter painter;
    if (!painter.begin(&printer)) {
        const QString file = printer.outputFileName();
        QString where = file.isEmpty() ? printer.printerName() : QDir::toNativeSeparators(file);
        if (!file.isEmpty())
            where += FileFailureReason(file);
        throw TAppError((CatalogueText("PRINT_FAILED", "Printing failed") + QStringLiteral(": ") + where).toStdString());
    }
    const QSize page = PageSize(printer);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const double w = std::max(1, m_size.width());
    const double h = std::max(1, m_size.height());

    switch (m_type) {
    case TPrintType::Common: {
        const double factor = printer.resolution() / (m_screenDpi > 0 ? m_screenDpi : 96.0);
        const TPrintTiling tiling = CommonTiling(m_size, page, factor);
        TProgressScope progress;
        const int step = Round(100.0 / std::max(1, tiling.Pages())) + 1;
        bool first = true;
        for (int row = 0; row < tiling.Rows; ++row) {
            for (int column = 0; column < tiling.Columns; ++column) {
                if (!first && !printer.newPage()) {
                    painter.end();
                    throw TAppError(CatalogueText("PRINT_FAILED", "Printing failed").toStdString());
                }
                first = false;
                const double left = column * tiling.TileWidth;
                const double top = row * tiling.TileHeight;
                // The tile's printed part: the rest of the picture when the edge cuts it.
                const double partWidth = std::min(tiling.TileWidth, w - left);
                const double partHeight = std::min(tiling.TileHeight, h - top);
                painter.save();
                painter.setClipRect(QRectF(0, 0, partWidth * factor, partHeight * factor));
                painter.scale(factor, factor);
                painter.translate(-left, -top);
                m_draw(painter);
                painter.restore();
                progress.Advance(step);
            }
        }
        break;
    }
    case TPrintType::Proportional: {
        const QSize printed = ProportionalSize(m_size, page);
        painter.setClipRect(QRect(QPoint(0, 0), printed));
        painter.scale(printed.width() / w, printed.height() / h);
        m_draw(painter);
        break;
    }
    case TPrintType::Fit:
        painter.setClipRect(QRect(QPoint(0, 0), page));
        painter.scale(page.width() / w, page.height() / h);
        m_draw(painter);
        break;
    }
    painter.end();
}

void TPrintImage::PrintCopies(QPrinter& printer, int n)
{
    const bool toFile = printer.outputFormat() == QPrinter::PdfFormat;
    const QString first = printer.outputFileName();
    for (int copy = 1; copy <= n; ++copy) {
        if (toFile)
            printer.setOutputFileName(CopyFileName(first, copy));
        PrintOnce(printer);
    }
    if (toFile)
        printer.setOutputFileName(first);
}

// ---------------------------------------------------------------------------------------------

TFormPrintTuning::TFormPrintTuning(QWidget* owner, std::string valueName)
    : QDialog(owner), m_valueName(std::move(valueName)), m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    setObjectName(QStringLiteral("FormPrintTuning"));
    setWindowTitle(QStringLiteral("Print window"));
    resize(403, 208);

    auto* labelPrinter = new QLabel(QStringLiteral("Printer:"), this);
    labelPrinter->setObjectName(QStringLiteral("LabelPrinter"));
    m_printers = new QComboBox(this);
    m_printers->setObjectName(QStringLiteral("ComboBoxPrinterDriver"));
    labelPrinter->setBuddy(m_printers);
    auto* features = new QPushButton(QStringLiteral("Features..."), this);
    features->setObjectName(QStringLiteral("ButtonPrinterTuning"));

    auto* group = new QGroupBox(QStringLiteral("Print type"), this);
    group->setObjectName(QStringLiteral("GroupBoxPrintType"));
    m_common = new QRadioButton(QStringLiteral("Common"), group);
    m_common->setObjectName(QStringLiteral("RadioButtonCommon"));
    m_proportional = new QRadioButton(QStringLiteral("Proportional"), group);
    m_proportional->setObjectName(QStringLiteral("RadioButtonProportional"));
    m_fit = new QRadioButton(QStringLiteral("Fit to list"), group);
    m_fit->setObjectName(QStringLiteral("RadioButtonFit"));
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(m_common);
    groupLayout->addWidget(m_proportional);
    groupLayout->addWidget(m_fit);
    m_common->setChecked(true);

    auto* labelCopies = new QLabel(QStringLiteral("Copies:"), this);
    labelCopies->setObjectName(QStringLiteral("LabelCopies"));
    m_copies = new QSpinBox(this);
    m_copies->setObjectName(QStringLiteral("SpinEditCopies"));
    m_copies->setRange(1, kMaxCopies);
    m_copies->setValue(1);
    labelCopies->setBuddy(m_copies);

    const TDialogButtons row = MakeOkCancelHelpButtons(
        this, {.Ok = "ButtonOK", .Cancel = "ButtonCancel", .Help = "ButtonHelp", .OkText = "Print"});
    m_ok = row.Ok;
    QPushButton* cancel = row.Cancel;
    QPushButton* help = row.Help;

    auto* printerRow = new QHBoxLayout;
    printerRow->addWidget(labelPrinter);
    printerRow->addWidget(m_printers, 1);
    printerRow->addWidget(features);
    auto* copiesColumn = new QVBoxLayout;
    copiesColumn->addWidget(labelCopies);
    copiesColumn->addWidget(m_copies);
    copiesColumn->addStretch(1);
    auto* middle = new QHBoxLayout;
    middle->addWidget(group, 1);
    middle->addLayout(copiesColumn);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(printerRow);
    layout->addLayout(middle);
    layout->addWidget(row.Box);

    TLanguageController::Translate(*this);

    // The system's printers, then the PDF file printer that always exists.
    const QStringList names = QPrinterInfo::availablePrinterNames();
    m_printers->addItems(names);
    m_printers->addItem(CatalogueText("PRINTER_PDF_FILE", "PDF file"));
    const QString current = QPrinterInfo::defaultPrinterName();
    const int index = names.indexOf(current);
    m_printers->setCurrentIndex(index >= 0 ? index : static_cast<int>(names.size()));
    ComboBoxPrinterDriverChange(m_printers->currentIndex());

    switch (Regs().ReadSocMainInt(m_valueName, 0)) {
    case 1:
        m_proportional->setChecked(true);
        break;
    case 2:
        m_fit->setChecked(true);
        break;
    default:
        m_common->setChecked(true);
        break;
    }

    connect(m_printers, &QComboBox::currentIndexChanged, this, &TFormPrintTuning::ComboBoxPrinterDriverChange);
    connect(features, &QPushButton::clicked, this, &TFormPrintTuning::ButtonPrinterTuningClick);
    connect(m_ok, &QPushButton::clicked, this, &TFormPrintTuning::ButtonOKClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [] { ShowHelpTopic(kHelpTopic); });
}

TFormPrintTuning::~TFormPrintTuning() = default;

bool TFormPrintTuning::IsPdfFile() const
{
    return m_printers->currentIndex() == m_printers->count() - 1;
}

TPrintType TFormPrintTuning::Type() const
{
    if (m_proportional->isChecked())
        return TPrintType::Proportional;
    if (m_fit->isChecked())
        return TPrintType::Fit;
    return TPrintType::Common;
}

int TFormPrintTuning::Copies() const
{
    return m_copies->value();
}

void TFormPrintTuning::ComboBoxPrinterDriverChange(int index)
{
    m_ok->setEnabled(index >= 0);
    if (index < 0)
        return;
    if (IsPdfFile()) {
        m_printer->setOutputFormat(QPrinter::PdfFormat);
    } else {
        m_printer->setOutputFormat(QPrinter::NativeFormat);
        m_printer->setOutputFileName({});
        m_printer->setPrinterName(m_printers->itemText(index));
    }
}

void TFormPrintTuning::ButtonPrinterTuningClick()
{
    QPageSetupDialog dialog(m_printer.get(), this);
    dialog.setObjectName(QStringLiteral("PrinterSetupDialog"));
    if (Modal().Exec(dialog) != QDialog::Accepted || IsPdfFile())
        return;
    const int index = m_printers->findText(m_printer->printerName());
    if (index >= 0)
        m_printers->setCurrentIndex(index);
}

void TFormPrintTuning::ButtonOKClick()
{
    if (m_printers->currentIndex() < 0)
        return;
    ComboBoxPrinterDriverChange(m_printers->currentIndex());
    if (IsPdfFile()) {
        const QString title = CatalogueText("PRINT_TO_PDF_DLG", "Print to PDF file");
        const QString name = AskSaveFileName(
            this, title, CatalogueText("PICTURE_FILTER_PDF", "PDF documents") + QStringLiteral(" (*.pdf)"));
        if (name.isEmpty())
            return;
        m_printer->setOutputFileName(name);
    }
    m_confirmed = true;
    Regs().WriteSocMainInt(m_valueName, static_cast<int>(Type()));
    accept();
}

bool PrintPicture(QWidget* parent, QSize size, const TDrawing& draw)
{
    TFormPrintTuning form(parent);
    Modal().Exec(form);
    if (!form.Confirmed())
        return false;
    try {
        TPrintImage image(size, draw, form.Type());
        image.PrintCopies(form.Printer(), form.Copies());
    } catch (const TAppError& error) {
        Modal().Information(parent, form.windowTitle(), QString::fromStdString(error.what()));
        return false;
    }
    return true;
}
