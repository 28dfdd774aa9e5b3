#include "views/compare/compareform.h"

#include <algorithm>
#include <array>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QHeaderView>
#include <QMenu>
#include <QPainter>
#include <QScrollArea>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "i18n/langconv.h"
#include "platform/literaltext.h"
#include "platform/modalseam.h"
#include "platform/printimage.h"
#include "platform/savefile.h"
#include "reports/comparison.h"
#include "util/error.h"
#include "util/safefile.h"
#include "views/compare/changesociogram.h"
#include "views/numberitem.h"
#include "views/statuslegend.h"

namespace {

constexpr int kColumns = 14;
constexpr int kStatusLaterColumn = 12;
constexpr int kPictureMargin = 12;
constexpr int kCellPadding = 6;
// The members block is the last of a pair's blocks; the window shows it as its own table.
constexpr std::size_t kSummaryBlocks = 5;
const QColor kMovedColor(255, 244, 200);

QString Text(const char* key)
{
    return QString::fromStdString(LangConv().GetText(key));
}

// A number cell, right-aligned; undefined values (-1 for sorting) show the dash.
QTableWidgetItem* Number(const QString& text, double value)
{
    auto* item = new TNumberItem(text, value);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

QTableWidgetItem* Count(int32_t value)
{
    return Number(QString::number(value), value);
}

QTableWidgetItem* Index(double value)
{
    return Number(QString::fromStdString(FormatIndexValue(value)), value);
}

QTableWidgetItem* Status(const std::optional<TStatusGroup>& group)
{
    if (!group)
        return new TNumberItem(Text("COMPARE_UNDEFINED"), -1);
    auto* item = new TNumberItem(StatusGroupName(*group), static_cast<int>(*group));
    item->setBackground(StatusGroupColor(*group));
    return item;
}

QStringList Row(const std::vector<std::string>& cells)
{
    QStringList row;
    for (const std::string& cell : cells)
        row << QString::fromStdString(cell);
    return row;
}

QString BlockTable(const TComparisonBlock& block)
{
    QString html = QStringLiteral("<p><b>%1</b></p>").arg(QString::fromStdString(block.Title).toHtmlEscaped());
    for (const std::string& line : block.Lines)
        html += QStringLiteral("<p>%1</p>").arg(QString::fromStdString(line).toHtmlEscaped());
    if (block.Rows.empty())
        return html;
    html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">");
    for (const auto& row : block.Rows) {
        html += QStringLiteral("<tr>");
        for (std::size_t c = 0; c < row.size(); ++c) {
            html += QStringLiteral("<td%1>%2</td>")
                        .arg(c == 0 ? QString() : QStringLiteral(" align=\"right\""),
                             QString::fromStdString(row[c]).toHtmlEscaped());
        }
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

// The heading and its notes, then the summary tables side by side.
QString SummaryHtml(const std::vector<TComparisonBlock>& blocks)
{
    QString html = QStringLiteral("<h3>%1</h3>").arg(QString::fromStdString(blocks.front().Title).toHtmlEscaped());
    for (const std::string& line : blocks.front().Lines)
        html += QString::fromStdString(line).toHtmlEscaped() + QStringLiteral("<br>");
    // Two by two: the changes beside the group indices, the stability beside the transitions.
    html += QStringLiteral("<table cellspacing=\"0\" cellpadding=\"6\">");
    for (const auto& row : {std::array<std::size_t, 2>{1, 3}, std::array<std::size_t, 2>{2, 4}}) {
        html += QStringLiteral("<tr>");
        for (const std::size_t b : row) {
            if (b < blocks.size())
                html += QStringLiteral("<td valign=\"top\">") + BlockTable(blocks[b]) + QStringLiteral("</td>");
        }
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

} // namespace

TCompareForm::TCompareForm(TFileAccess& store, int investId, const std::vector<int32_t>& withIds,
                           const QString& title, QWidget* parent)
    : TVisualChildForm("CompareForm", store, investId, title, parent)
{
    m_ids.push_back(investId);
    m_ids.insert(m_ids.end(), withIds.begin(), withIds.end());
    m_series = CompareInvestigations(Store(), m_ids, CurrentStatusThresholds());
    if (m_series.Problem != TWavesProblem::None)
        throw TAppError(WavesProblemText(m_series));

    resize(820, 560);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("CompareTabs"));
    layout->addWidget(m_tabs);

    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("PopupMenuCompare"));
    auto add = [this](const char* name, const char* text, auto slot) {
        QAction* action = m_menu->addAction(QString::fromLatin1(text));
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, slot);
    };
    add("ItemCopyCompare", "&Copy", &TCompareForm::ItemCopyClick);
    add("ItemSaveCsvCompare", "&Save as CSV...", &TCompareForm::ItemSaveCsvClick);
    add("ItemPrintCompare", "&Print...", &TCompareForm::ItemPrintClick);
    m_menu->addSeparator();
    add("ItemSociogramCompare", "Sociogram of &change", [this] { ShowSociogram(CurrentPair()); });

    for (std::size_t p = 0; p < m_series.Pairs.size(); ++p) {
        auto* splitter = new QSplitter(Qt::Vertical, m_tabs);
        auto* summary = new QTextBrowser(splitter);
        summary->setObjectName(QStringLiteral("CompareSummary%1").arg(p + 1));
        summary->setContextMenuPolicy(Qt::CustomContextMenu);
        // The summary tables keep their width and scroll rather than squeeze their words.
        summary->setLineWrapMode(QTextEdit::NoWrap);
        auto* table = new QTableWidget(splitter);
        table->setObjectName(QStringLiteral("CompareTable%1").arg(p + 1));
        table->setColumnCount(kColumns);
        table->setEditTriggers(QAbstractItemView::NoEditTriggers);
        table->setSelectionBehavior(QAbstractItemView::SelectRows);
        table->verticalHeader()->setVisible(false);
        table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
        table->setContextMenuPolicy(Qt::CustomContextMenu);
        for (QWidget* w : {static_cast<QWidget*>(summary), static_cast<QWidget*>(table)}) {
            connect(w, &QWidget::customContextMenuRequested, this,
                    [this, w](const QPoint& at) { m_menu->popup(w->mapToGlobal(at)); });
        }
        splitter->setStretchFactor(0, 1);
        splitter->setStretchFactor(1, 1);
        const QString caption = QString::fromStdString(m_series.Waves[p].Name) + QStringLiteral(" \u2192 ") +
                                QString::fromStdString(m_series.Waves[p + 1].Name);
        m_tabs->addTab(splitter, LiteralCaption(caption));
        m_summaries.push_back(summary);
        m_members.push_back(table);

        auto* scroll = new QScrollArea(m_tabs);
        auto* sociogram = new TChangeSociogram(Store(), m_series.Waves[p], m_series.Waves[p + 1], scroll);
        sociogram->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(sociogram, &QWidget::customContextMenuRequested, this,
                [this, sociogram](const QPoint& at) { m_menu->popup(sociogram->mapToGlobal(at)); });
        scroll->setWidget(sociogram);
        m_tabs->addTab(scroll, Text("COMPARE_SOCIOGRAM") + QStringLiteral(": ") + LiteralCaption(caption));
        m_sociograms.push_back(sociogram);
    }

    SetHelpTopic(THelpTopic::Compare);
    Start("COMPARE_FORM_CAPTION");
}

TCompareForm::~TCompareForm() = default;

void TCompareForm::Build()
{
    for (std::size_t p = 0; p < m_series.Pairs.size(); ++p) {
        const auto blocks = ComparisonBlocks(m_series.Waves[p], m_series.Waves[p + 1], m_series.Pairs[p]);
        m_summaries[p]->setHtml(SummaryHtml(blocks));
        FillMembers(*m_members[p], m_series.Pairs[p]);
    }
}

void TCompareForm::FillMembers(QTableWidget& table, const TWaveComparison& pair)
{
    const QString earlier = QStringLiteral("\n") + Text("COMPARE_EARLIER");
    const QString later = QStringLiteral("\n") + Text("COMPARE_LATER");
    const QString change = QStringLiteral("\n") + Text("COMPARE_CHANGE");
    const QString pos = Text("COMPARE_COLUMN_POS");
    const QString neg = Text("COMPARE_COLUMN_NEG");
    const QString pi = Text("Pi_INDEX");
    const QString sti = Text("Sti_INDEX");
    const QString status = Text("COMPARE_STATUS");
    table.setSortingEnabled(false);
    table.clearContents();
    table.setHorizontalHeaderLabels({Text("COMPARE_MEMBER"), pos + earlier, pos + later, pos + change, neg + earlier,
                                     neg + later, neg + change, pi + earlier, pi + later, sti + earlier, sti + later,
                                     status + earlier, status + later, Text("COMPARE_JACCARD")});
    table.setRowCount(static_cast<int>(pair.Members.size()));
    for (std::size_t i = 0; i < pair.Members.size(); ++i) {
        const TMemberChange& m = pair.Members[i];
        const int row = static_cast<int>(i);
        auto* name = new TNameItem(QString::fromStdString(m.Name));
        if (m.Moved()) {
            QFont bold = table.font();
            bold.setBold(true);
            name->setFont(bold);
            name->setText(name->text() + QStringLiteral(" *"));
        }
        table.setItem(row, 0, name);
        table.setItem(row, 1, Count(m.ForIn[0]));
        table.setItem(row, 2, Count(m.ForIn[1]));
        table.setItem(row, 3, Count(m.ForIn[1] - m.ForIn[0]));
        table.setItem(row, 4, Count(m.AgainstIn[0]));
        table.setItem(row, 5, Count(m.AgainstIn[1]));
        table.setItem(row, 6, Count(m.AgainstIn[1] - m.AgainstIn[0]));
        table.setItem(row, 7, Index(m.Pi[0]));
        table.setItem(row, 8, Index(m.Pi[1]));
        table.setItem(row, 9, Index(m.Sti[0]));
        table.setItem(row, 10, Index(m.Sti[1]));
        table.setItem(row, 11, Status(m.Status[0]));
        table.setItem(row, kStatusLaterColumn, Status(m.Status[1]));
        table.setItem(row, 13,
                      m.Jaccard ? Index(*m.Jaccard) : Number(Text("COMPARE_UNDEFINED"), -1));
        if (m.Moved()) {
            for (const int c : {0, 11})
                table.item(row, c)->setBackground(kMovedColor);
        }
    }
    table.setSortingEnabled(true);
    table.resizeColumnsToContents();
}

void TCompareForm::Refresh()
{
    update();
}

void TCompareForm::ApplySettings()
{
    // Status cut-offs may have changed: the groups, transitions and kappa follow them.
    if (m_tabs && !m_members.empty()) {
        m_series = CompareInvestigations(Store(), m_ids, CurrentStatusThresholds());
        if (m_series.Problem == TWavesProblem::None)
            Build();
    }
}

int TCompareForm::CurrentPair() const
{
    return std::max(0, m_tabs->currentIndex()) / 2;
}

bool TCompareForm::SociogramShown() const
{
    return m_tabs->currentIndex() % 2 == 1;
}

void TCompareForm::ShowSociogram(int pair)
{
    m_tabs->setCurrentIndex(2 * pair + 1);
}

std::vector<std::vector<QStringList>> TCompareForm::PrintedTables(int pair) const
{
    const auto p = static_cast<std::size_t>(pair);
    const auto blocks = ComparisonBlocks(m_series.Waves[p], m_series.Waves[p + 1], m_series.Pairs[p]);
    // Each table starts with its title and notes as rows of one cell.
    std::vector<std::vector<QStringList>> tables;
    for (std::size_t b = 0; b < std::min(blocks.size(), kSummaryBlocks); ++b) {
        std::vector<QStringList> rows{{QString::fromStdString(blocks[b].Title)}};
        for (const std::string& line : blocks[b].Lines)
            rows.push_back({QString::fromStdString(line)});
        for (const auto& row : blocks[b].Rows)
            rows.push_back(Row(row));
        tables.push_back(std::move(rows));
    }
    const QTableWidget& table = *m_members[p];
    std::vector<QStringList> members{{QString::fromStdString(blocks.back().Title)}};
    QStringList header;
    for (int c = 0; c < kColumns; ++c)
        header << table.horizontalHeaderItem(c)->text().replace('\n', ' ');
    members.push_back(header);
    for (int r = 0; r < table.rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < kColumns; ++c)
            row << (table.item(r, c) ? table.item(r, c)->text() : QString());
        members.push_back(row);
    }
    tables.push_back(std::move(members));
    return tables;
}

QString TCompareForm::TableText() const
{
    QString text;
    for (const auto& table : PrintedTables(CurrentPair())) {
        for (const QStringList& row : table)
            text += row.join('\t') + '\n';
        text += '\n';
    }
    return text;
}

std::string TCompareForm::CsvText() const
{
    return ComparisonCsv(m_series);
}

void TCompareForm::ItemCopyClick()
{
    QApplication::clipboard()->setText(TableText());
}

void TCompareForm::ItemSaveCsvClick()
{
    const QString title = Text("COMPARE_SAVE_CSV_DLG");
    const QString typed = AskSaveFileName(this, title, Text("STATUS_CSV_FILTER"));
    if (typed.isEmpty())
        return;
    std::string error;
    if (!ReplaceFile(typed.toStdString(), CsvText(), error)) {
        Modal().Information(this, title,
                            Text("COMPARE_CSV_NOT_SAVED") + QStringLiteral(" (") + QDir::toNativeSeparators(typed) +
                                QStringLiteral("): ") + QString::fromStdString(error));
    }
}

void TCompareForm::ItemPrintClick()
{
    PrintPicture(this, PictureSize(), Drawing());
}

namespace {

// Column widths of a table whose first rows of one cell are its title and notes.
std::vector<int> ColumnWidths(const std::vector<QStringList>& rows, const QFontMetrics& metrics)
{
    std::vector<int> widths;
    for (const QStringList& row : rows) {
        if (row.size() < 2)
            continue;
        widths.resize(std::max(widths.size(), static_cast<std::size_t>(row.size())));
        for (int c = 0; c < row.size(); ++c)
            widths[static_cast<std::size_t>(c)] =
                std::max(widths[static_cast<std::size_t>(c)], metrics.horizontalAdvance(row[c]) + 2 * kCellPadding);
    }
    return widths;
}

} // namespace

QSize TCompareForm::PictureSize() const
{
    if (SociogramShown())
        return m_sociograms[static_cast<std::size_t>(CurrentPair())]->PictureSize();
    const QFontMetrics metrics(font());
    const int lineHeight = metrics.height() + kCellPadding;
    int width = metrics.horizontalAdvance(windowTitle());
    int lines = 1;
    for (const auto& table : PrintedTables(CurrentPair())) {
        int tableWidth = 0;
        for (const int w : ColumnWidths(table, metrics))
            tableWidth += w;
        width = std::max(width, tableWidth);
        for (const QStringList& row : table)
            width = std::max(width, row.size() == 1 ? metrics.horizontalAdvance(row[0]) : 0);
        lines += static_cast<int>(table.size()) + 1;
    }
    return {width + 2 * kPictureMargin + 1, lines * lineHeight + 2 * kPictureMargin + 1};
}

void TCompareForm::PaintPicture(QPainter& painter)
{
    if (SociogramShown()) {
        m_sociograms[static_cast<std::size_t>(CurrentPair())]->PaintTo(painter);
        return;
    }
    const QSize size = PictureSize();
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    painter.setPen(Qt::black);
    const QFontMetrics metrics(font());
    const int lineHeight = metrics.height() + kCellPadding;
    QFont bold = font();
    bold.setBold(true);
    int y = kPictureMargin;
    painter.setFont(bold);
    painter.drawText(QRect(kPictureMargin, y, size.width(), lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     windowTitle());
    y += lineHeight;
    for (const auto& table : PrintedTables(CurrentPair())) {
        const std::vector<int> widths = ColumnWidths(table, metrics);
        for (std::size_t r = 0; r < table.size(); ++r) {
            const QStringList& row = table[r];
            painter.setFont(r == 0 ? bold : font());
            if (row.size() == 1) {
                painter.drawText(QRect(kPictureMargin, y, size.width(), lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                                 row[0]);
            } else {
                int x = kPictureMargin;
                for (int c = 0; c < row.size(); ++c) {
                    const QRect cell(x, y, widths[static_cast<std::size_t>(c)], lineHeight);
                    painter.drawRect(cell);
                    painter.drawText(cell.adjusted(kCellPadding, 0, -kCellPadding, 0),
                                     (c == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter, row[c]);
                    x += widths[static_cast<std::size_t>(c)];
                }
            }
            y += lineHeight;
        }
        y += lineHeight;
    }
}
