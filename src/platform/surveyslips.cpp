#include "platform/surveyslips.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "platform/langcontroller.h"
#include "survey/surveycode.h"
#include "survey/surveycollection.h"
#include "survey/surveyqr.h"

namespace {

constexpr int kColumns = 2;
constexpr int kRows = 5;

void PaintSlip(QPainter& painter, const QRectF& slip, const TSurveyPupil& pupil, const QString& question,
               const QString& url, const QString& code, const QImage& qr)
{
    const qreal pad = slip.height() * 0.08;
    const QRectF inner = slip.adjusted(pad, pad, -pad, -pad);
    const qreal qrSide = inner.height();
    painter.drawImage(QRectF(inner.right() - qrSide, inner.top(), qrSide, qrSide), qr);
    const QRectF text(inner.left(), inner.top(), inner.width() - qrSide - pad, inner.height());

    QFont font = painter.font();
    const qreal line = text.height() / 8;
    font.setPixelSize(qRound(line * 0.9));
    font.setBold(true);
    painter.setFont(font);
    const int cut = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
    painter.drawText(QRectF(text.left(), text.top(), text.width(), line * 1.2), cut,
                     painter.fontMetrics().elidedText(QString::fromStdString(pupil.Name), Qt::ElideRight,
                                                      qRound(text.width())));
    font.setBold(false);
    font.setPixelSize(qRound(line * 0.62));
    painter.setFont(font);
    painter.drawText(QRectF(text.left(), text.top() + line * 1.3, text.width(), line * 2.2),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, question);
    painter.drawText(QRectF(text.left(), text.top() + line * 3.7, text.width(), line), cut,
                     CatalogueText("SURVEY_SLIP_OPEN"));
    painter.drawText(QRectF(text.left(), text.top() + line * 4.6, text.width(), line), cut, url);
    painter.drawText(QRectF(text.left(), text.top() + line * 5.8, text.width(), line), cut,
                     CatalogueText("SURVEY_SLIP_CODE"));
    QFont codeFont(QStringLiteral("DejaVu Sans Mono"));
    codeFont.setStyleHint(QFont::Monospace);
    codeFont.setPixelSize(qRound(line * 1.1));
    codeFont.setBold(true);
    painter.setFont(codeFont);
    painter.drawText(QRectF(text.left(), text.top() + line * 6.6, text.width(), line * 1.4), cut, code);
}

} // namespace

QImage QrImage(const QString& text)
{
    const TQrMatrix matrix = EncodeQr(text.toStdString());
    if (matrix.Size == 0)
        return {};
    constexpr int quiet = 4;
    QImage image(matrix.Size + 2 * quiet, matrix.Size + 2 * quiet, QImage::Format_Mono);
    image.setColor(0, qRgb(255, 255, 255));
    image.setColor(1, qRgb(0, 0, 0));
    image.fill(0);
    for (int y = 0; y < matrix.Size; ++y) {
        for (int x = 0; x < matrix.Size; ++x) {
            if (matrix.At(x, y))
                image.setPixel(x + quiet, y + quiet, 1);
        }
    }
    return image;
}

bool WriteSurveySlips(const QString& path, const TSurveyCollection& collection, const QString& url,
                      QString* reason)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (reason)
            *reason = file.errorString();
        return false;
    }
    QPdfWriter pdf(&file);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    pdf.setResolution(300);
    pdf.setTitle(CatalogueText("SURVEY_SLIPS_TITLE"));
    pdf.setCreator(QStringLiteral("Tremlow"));
    QPainter painter;
    if (!painter.begin(&pdf)) {
        if (reason)
            *reason = CatalogueText("SURVEY_SLIPS_FAILED");
        return false;
    }
    const QImage qr = QrImage(url);
    const QString question = QString::fromStdString(collection.Setup().Question);
    const QRectF page(QPointF(0, 0), QSizeF(pdf.width(), pdf.height()));
    const qreal width = page.width() / kColumns;
    const qreal height = page.height() / kRows;
    const auto& pupils = collection.Setup().Pupils;
    for (std::size_t i = 0; i < pupils.size(); ++i) {
        const int onPage = static_cast<int>(i % (kColumns * kRows));
        if (i > 0 && onPage == 0)
            pdf.newPage();
        if (onPage == 0) {
            // Cut lines between the slips of a whole page.
            painter.setPen(QPen(Qt::gray, 2, Qt::DashLine));
            for (int c = 1; c < kColumns; ++c)
                painter.drawLine(QPointF(width * c, 0), QPointF(width * c, page.height()));
            for (int r = 1; r < kRows; ++r)
                painter.drawLine(QPointF(0, height * r), QPointF(page.width(), height * r));
            painter.setPen(Qt::black);
        }
        const QRectF slip((onPage % kColumns) * width, (onPage / kColumns) * height, width, height);
        PaintSlip(painter, slip, pupils[i], question, url,
                  QString::fromStdString(PrintedSurveyCode(collection.CodeOf(pupils[i].Id))), qr);
    }
    const bool ok = painter.end() && file.error() == QFileDevice::NoError;
    if (!ok && reason)
        *reason = file.errorString();
    return ok;
}
