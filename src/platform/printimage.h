#pragma once

#include <memory>
#include <string>

#include <QDialog>
#include <QSize>
#include <QString>

#include "platform/picturefile.h"

class QComboBox;
class QPrinter;
class QPushButton;
class QRadioButton;
class QSpinBox;

// How a view's picture is put on paper; the number is what the "PrintType" setting stores.
enum class TPrintType : int {
    Common = 0,       // fixed scale, tiled over as many pages as needed
    Proportional = 1, // the largest size that fits one page, proportions kept
    Fit = 2,          // stretched to the whole page
};

// The tiles of the Common print type: the picture printed at a fixed scale, cut into pages.
struct TPrintTiling {
    double Factor = 1.0;   // printer pixels per picture pixel
    QSize Printed;         // the whole picture's printed size, in printer pixels
    double TileWidth = 0;  // picture pixels one page holds across
    double TileHeight = 0; // and down
    int Columns = 0;
    int Rows = 0;

    int Pages() const { return Columns * Rows; }
};

// The tiling of a picture onto pages of the given size at the given scale: as many columns and
// rows as cover the printed picture, never an empty page beyond it.
TPrintTiling CommonTiling(QSize picture, QSize page, double factor);
// The printed size of the Proportional type: the page width or height filled, proportions kept.
QSize ProportionalSize(QSize picture, QSize page);

// Prints one picture with one print type. The picture is drawn straight onto the printer, tile by
// tile for the Common type, so no image larger than a page is ever built.
class TPrintImage final {
public:
    TPrintImage(QSize size, TDrawing draw, TPrintType type);

    // Screen resolution the Common type's scale is taken from (printer dpi / screen dpi);
    // the primary screen's by default.
    void SetScreenDpi(double dpi) { m_screenDpi = dpi; }

    // One print job on the printer; throws TAppError with the reason when the job fails.
    void PrintOnce(QPrinter& printer);
    // n separate jobs (nothing for n <= 0). A printer writing a PDF file writes copy k (k > 1)
    // into "<name>-k.pdf" beside the first, so each job is a file of its own.
    void PrintCopies(QPrinter& printer, int n);

private:
    QSize m_size;
    TDrawing m_draw;
    TPrintType m_type;
    double m_screenDpi;
};

// The print window: printer (the system's printers and a "PDF file" printer that always exists and
// asks for a file name), its set-up dialog, the print type remembered in the settings and the
// number of copies. After the modal run the caller reads Confirmed(), Type(), Copies() and Printer().
class TFormPrintTuning final : public QDialog {
    Q_OBJECT

public:
    // valueName: the SocMain settings value holding the print type ("PrintType").
    explicit TFormPrintTuning(QWidget* owner, std::string valueName = "PrintType");
    ~TFormPrintTuning() override;

    bool Confirmed() const { return m_confirmed; }
    TPrintType Type() const;
    int Copies() const;
    // The printer set for the chosen entry (a PDF printer with its file name for "PDF file").
    QPrinter& Printer() { return *m_printer; }
    // Whether the chosen entry is the "PDF file" printer.
    bool IsPdfFile() const;

    QComboBox* PrinterList() const { return m_printers; }

private:
    void ComboBoxPrinterDriverChange(int index);
    void ButtonPrinterTuningClick();
    void ButtonOKClick();

    std::string m_valueName;
    std::unique_ptr<QPrinter> m_printer;
    QComboBox* m_printers = nullptr;
    QRadioButton* m_common = nullptr;
    QRadioButton* m_proportional = nullptr;
    QRadioButton* m_fit = nullptr;
    QSpinBox* m_copies = nullptr;
    QPushButton* m_ok = nullptr;
    bool m_confirmed = false;
};

// The main window's Print command for a view: the print window, then the picture printed in the
// chosen type and number of copies. A failure is shown in an information box. True when printed.
bool PrintPicture(QWidget* parent, QSize size, const TDrawing& draw);
