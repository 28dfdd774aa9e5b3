#include "views/status/statusform.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include "analysis/investigationobj.h"
#include "exchange/csvreader.h"
#include "platform/messagedialog.h"
#include "platform/modalseam.h"
#include "platform/picturefile.h"
#include "platform/savefile.h"
#include "platform/printimage.h"
#include "i18n/langconv.h"
#include "util/safefile.h"
#include "views/numberitem.h"

namespace {

constexpr THelpTopic kHelpTopic = THelpTopic::Status;
constexpr int kColumns = 8;
constexpr int kPictureMargin = 12;
constexpr int kCellPadding = 6;

QString CatalogueText(const char* key, const char* english)
{
    return HasLangConv() && LangConv().HasText(key) ? QString::fromStdString(LangConv().GetText(key))
                                                    : QString::fromUtf8(english);
}

// A standard score as shown: two decimals, always with a sign position.
QString ScoreText(double z)
{
    return QString::number(z, 'f', 2);
}


} // namespace

TStatusForm::TStatusForm(TFileAccess& store, int investId, const QString& title, QWidget* parent)
    : TVisualChildForm("StatusForm", store, investId, title, parent)
{
    resize(560, 360);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    m_counts = new QLabel(this);
    m_counts->setObjectName(QStringLiteral("StatusCountsLabel"));
    m_counts->setWordWrap(true);
    m_counts->setTextFormat(Qt::RichText);
    layout->addWidget(m_counts);

    m_table = new QTableWidget(this);
    m_table->setObjectName(QStringLiteral("StatusTable"));
    m_table->setColumnCount(kColumns);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->verticalHeader()->setVisible(false);
    m_table->setContextMenuPolicy(Qt::CustomContextMenu);
    layout->addWidget(m_table, 1);

    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("PopupMenuStatus"));
    auto add = [this](const char* name, const char* text, void (TStatusForm::*slot)()) {
        QAction* action = m_menu->addAction(QString::fromLatin1(text));
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, slot);
    };
    add("ItemCopyStatus", "&Copy", &TStatusForm::ItemCopyClick);
    add("ItemSaveCsvStatus", "&Save as CSV...", &TStatusForm::ItemSaveCsvClick);
    add("ItemPrintStatus", "&Print...", &TStatusForm::ItemPrintClick);
    connect(m_table, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_menu->popup(m_table->viewport()->mapToGlobal(at)); });

    SetHelpTopic(kHelpTopic);
    Start("STATUS_FORM_CAPTION");
}

TStatusForm::~TStatusForm() = default;

QStringList TStatusForm::Headers() const
{
    return {CatalogueText("STATUS_COLUMN_NAME", "Member"),
            CatalogueText("STATUS_COLUMN_LM", "Chosen (LM)"),
            CatalogueText("STATUS_COLUMN_LL", "Rejected by (LL)"),
            QStringLiteral("zLM"),
            QStringLiteral("zLL"),
            CatalogueText("STATUS_COLUMN_SP", "Preference (zSP)"),
            CatalogueText("STATUS_COLUMN_SI", "Impact (zSI)"),
            CatalogueText("STATUS_COLUMN_GROUP", "Status group")};
}

void TStatusForm::Build()
{
    // The groups do not depend on the choice kind shown: they combine both kinds.
    m_result = ComputeStatusGroups(Model(), CurrentStatusThresholds());
    m_table->setSortingEnabled(false);
    m_table->clearContents();
    m_table->setHorizontalHeaderLabels(Headers());
    m_table->setRowCount(static_cast<int>(m_result.Members.size()));
    for (std::size_t i = 0; i < m_result.Members.size(); ++i) {
        const TStatusMember& m = m_result.Members[i];
        const int row = static_cast<int>(i);
        m_table->setItem(row, 0, new TNameItem(QString::fromStdString(m.Name)));
        m_table->setItem(row, 1, new TNumberItem(QString::number(m.LM), m.LM));
        m_table->setItem(row, 2, new TNumberItem(QString::number(m.LL), m.LL));
        m_table->setItem(row, 3, new TNumberItem(ScoreText(m.zLM), m.zLM));
        m_table->setItem(row, 4, new TNumberItem(ScoreText(m.zLL), m.zLL));
        m_table->setItem(row, 5, new TNumberItem(ScoreText(m.zSP), m.zSP));
        m_table->setItem(row, 6, new TNumberItem(ScoreText(m.zSI), m.zSI));
        auto* group = new TNumberItem(StatusGroupName(m.Group), static_cast<int>(m.Group));
        group->setBackground(StatusGroupColor(m.Group));
        m_table->setItem(row, 7, group);
        for (int c = 1; c < kColumns - 1; ++c)
            m_table->item(row, c)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    m_table->setSortingEnabled(true);
    m_table->resizeColumnsToContents();

    if (!m_result.Available()) {
        m_counts->setText(CountsLine().toHtmlEscaped());
        return;
    }
    QStringList parts;
    for (const TStatusGroup g : kAllStatusGroups) {
        parts << QStringLiteral("<span style=\"background-color:%1\">&nbsp;&nbsp;&nbsp;</span> %2: <b>%3</b>")
                     .arg(StatusGroupColor(g).name(), StatusGroupName(g).toHtmlEscaped())
                     .arg(m_result.Count(g));
    }
    m_counts->setText(parts.join(QStringLiteral("&nbsp;&nbsp; ")));
}

QString TStatusForm::CountsLine() const
{
    if (m_result.Unavailable == TStatusUnavailable::TooFewMembers)
        return CatalogueText("STATUS_TOO_FEW_MEMBERS", "Status groups need at least three members.");
    if (!m_result.Available())
        return CatalogueText("STATUS_NO_NEGATIVE_CHOICES",
                             "Status groups need negative choices: this investigation has none.");
    QStringList parts;
    for (const TStatusGroup g : kAllStatusGroups)
        parts << StatusGroupName(g) + QStringLiteral(": ") + QString::number(m_result.Count(g));
    return parts.join(QStringLiteral("   "));
}

std::vector<int> TStatusForm::ColumnWidths() const
{
    const QFontMetrics metrics(font());
    const QStringList headers = Headers();
    const std::vector<QStringList> rows = ShownRows();
    std::vector<int> widths;
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics boldMetrics(bold);
    for (int c = 0; c < kColumns; ++c) {
        int column = boldMetrics.horizontalAdvance(headers[c]);
        for (const QStringList& row : rows)
            column = std::max(column, metrics.horizontalAdvance(row[c]));
        widths.push_back(column + 2 * kCellPadding);
    }
    return widths;
}

QSize TStatusForm::ContentSize() const
{
    // Every column as wide as its contents, every row, and the counts above the table.
    const int frame = 2 * m_table->frameWidth();
    const int tableWidth =
        m_table->horizontalHeader()->length() + frame + m_table->verticalScrollBar()->sizeHint().width();
    const int tableHeight = m_table->horizontalHeader()->sizeHint().height() +
                            m_table->verticalHeader()->length() + frame;
    const QMargins margins = layout()->contentsMargins();
    return {tableWidth + margins.left() + margins.right(),
            m_counts->heightForWidth(tableWidth) + layout()->spacing() + tableHeight + margins.top() +
                margins.bottom()};
}

void TStatusForm::Refresh()
{
    update();
}

void TStatusForm::ApplySettings()
{
    // The thresholds may have changed; the groups follow them.
    if (m_table)
        Build();
}

std::vector<QStringList> TStatusForm::ShownRows() const
{
    std::vector<QStringList> rows;
    for (int r = 0; r < m_table->rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < kColumns; ++c)
            row << (m_table->item(r, c) ? m_table->item(r, c)->text() : QString());
        rows.push_back(row);
    }
    return rows;
}

QString TStatusForm::TableText() const
{
    QString text = Headers().join('\t') + '\n';
    for (const QStringList& row : ShownRows())
        text += row.join('\t') + '\n';
    return text;
}

std::string TStatusForm::CsvText() const
{
    // Full precision here: the file is for further analysis, not for reading.
    std::string out = "id,name,LM,LL,zLM,zLL,zSP,zSI,group\r\n";
    auto number = [](double v) { return QString::number(v, 'g', 17).toStdString(); };
    for (const TStatusMember& m : m_result.Members) {
        out += std::to_string(m.ClientId) + ',' + CsvField(SpreadsheetSafeText(m.Name)) + ',' + std::to_string(m.LM) + ',' +
               std::to_string(m.LL) + ',' + number(m.zLM) + ',' + number(m.zLL) + ',' + number(m.zSP) + ',' +
               number(m.zSI) + ',' + StatusGroupWord(m.Group) + "\r\n";
    }
    return out;
}

void TStatusForm::ItemCopyClick()
{
    QApplication::clipboard()->setText(TableText());
}

void TStatusForm::ItemSaveCsvClick()
{
    const QString title = CatalogueText("STATUS_SAVE_CSV_DLG", "Save the status groups as CSV");
    const QString typed = AskSaveFileName(this, title, CatalogueText("STATUS_CSV_FILTER", "CSV files (*.csv)"));
    if (typed.isEmpty())
        return;
    std::string error;
    if (!ReplaceFile(typed.toStdString(), CsvText(), error)) {
        Modal().Information(this, title,
                            CatalogueText("STATUS_CSV_NOT_SAVED", "The status groups could not be saved") +
                                QStringLiteral(" (") + QDir::toNativeSeparators(typed) + QStringLiteral("): ") +
                                QString::fromStdString(error));
    }
}

void TStatusForm::ItemPrintClick()
{
    PrintPicture(this, PictureSize(), Drawing());
}

QSize TStatusForm::PictureSize() const
{
    const QFontMetrics metrics(font());
    int width = 0;
    for (const int w : ColumnWidths())
        width += w;
    width = std::max({width, metrics.horizontalAdvance(windowTitle()), metrics.horizontalAdvance(CountsLine())});
    const int lineHeight = metrics.height() + kCellPadding;
    const int height = lineHeight * (m_table->rowCount() + 3);
    return {width + 2 * kPictureMargin + 1, height + 2 * kPictureMargin + 1};
}

void TStatusForm::PaintPicture(QPainter& painter)
{
    const QSize size = PictureSize();
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    painter.setFont(font());
    painter.setPen(Qt::black);
    const QFontMetrics metrics(font());
    const QStringList headers = Headers();
    const std::vector<QStringList> rows = ShownRows();
    const std::vector<int> widths = ColumnWidths();
    const int lineHeight = metrics.height() + kCellPadding;
    int y = kPictureMargin;
    // The window's caption, the counts per group, then the table in the order shown.
    painter.drawText(QRect(kPictureMargin, y, size.width(), lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     windowTitle());
    y += lineHeight;
    painter.drawText(QRect(kPictureMargin, y, size.width(), lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     CountsLine());
    y += lineHeight;

    auto drawRow = [&](const QStringList& cells, int top, bool header, const QColor& groupColor) {
        int x = kPictureMargin;
        for (int c = 0; c < kColumns; ++c) {
            const QRect cell(x, top, widths[static_cast<std::size_t>(c)], lineHeight);
            if (c == kColumns - 1 && !header)
                painter.fillRect(cell, groupColor);
            painter.drawRect(cell);
            const Qt::Alignment align =
                (c == 0 || c == kColumns - 1 || header) ? Qt::AlignLeft : Qt::AlignRight;
            painter.drawText(cell.adjusted(kCellPadding, 0, -kCellPadding, 0), align | Qt::AlignVCenter, cells[c]);
            x += widths[static_cast<std::size_t>(c)];
        }
    };
    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    drawRow(headers, y, true, Qt::white);
    painter.setFont(font());
    y += lineHeight;
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const QTableWidgetItem* group = m_table->item(r, kColumns - 1);
        drawRow(rows[static_cast<std::size_t>(r)], y, false,
                group ? group->background().color() : QColor(Qt::white));
        y += lineHeight;
    }
}
