#include "reports/reportorder.h"

#include <utility>

#include "i18n/langconv.h"
#include "settings/regs.h"

int ReportPartOfLetter(char letter)
{
    for (std::size_t i = 0; i < kReportPartCount; ++i) {
        if (kReportParts[i].Letter == letter)
            return static_cast<int>(i);
    }
    return -1;
}

namespace {

std::vector<std::string> CatalogueTitles()
{
    std::vector<std::string> titles;
    for (const TReportPartInfo& part : kReportParts)
        titles.push_back(LangConv().GetText(part.TitleKey));
    return titles;
}

} // namespace

TReportOrderInRegistry::TReportOrderInRegistry(TReportRegs& regs)
    : TReportOrderInRegistry(regs, CatalogueTitles())
{
}

TReportOrderInRegistry::TReportOrderInRegistry(TReportRegs& regs, std::vector<std::string> titles)
    : m_regs(regs), m_titles(std::move(titles))
{
    m_titles.resize(kReportPartCount);
    LoadOrder();
    LoadSelection();
}

void TReportOrderInRegistry::LoadOrder()
{
    m_order.clear();
    std::vector<bool> added(kReportPartCount, false);
    for (char letter : m_regs.PartsOrder) {
        const int part = ReportPartOfLetter(letter);
        if (part < 0 || added[static_cast<std::size_t>(part)])
            continue;
        added[static_cast<std::size_t>(part)] = true;
        m_order.push_back(part);
    }
    for (std::size_t i = 0; i < kReportPartCount; ++i) {
        if (!added[i])
            m_order.push_back(static_cast<int>(i));
    }
    if (m_current >= static_cast<int>(m_order.size()))
        m_current = 0;
}

void TReportOrderInRegistry::LoadSelection()
{
    m_on.assign(m_order.size(), true);
    for (std::size_t pos = 0; pos < m_order.size(); ++pos) {
        const TReportPartInfo& info = kReportParts[static_cast<std::size_t>(m_order[pos])];
        if (info.Picture && m_regs.PartsOrder.find(info.Letter) == std::string::npos)
            m_on[pos] = false;
    }
    for (char letter : m_regs.OffParts) {
        const int part = ReportPartOfLetter(letter);
        for (std::size_t pos = 0; part >= 0 && pos < m_order.size(); ++pos) {
            if (m_order[pos] == part)
                m_on[pos] = false;
        }
    }
}

void TReportOrderInRegistry::SaveOrder()
{
    std::string letters;
    for (int part : m_order)
        letters += kReportParts[static_cast<std::size_t>(part)].Letter;
    m_regs.PartsOrder = letters;
}

void TReportOrderInRegistry::SaveSelection()
{
    std::string letters;
    for (std::size_t pos = 0; pos < m_order.size(); ++pos) {
        if (!m_on[pos])
            letters += kReportParts[static_cast<std::size_t>(m_order[pos])].Letter;
    }
    m_regs.OffParts = letters;
}

std::vector<std::string> TReportOrderInRegistry::OrderedTitles() const
{
    std::vector<std::string> titles;
    for (std::size_t pos = 0; pos < m_order.size(); ++pos)
        titles.push_back(TitleAt(pos));
    return titles;
}

void TReportOrderInRegistry::SetCurrentPosition(int position)
{
    if (position >= 0 && position < static_cast<int>(m_order.size()))
        m_current = position;
}

void TReportOrderInRegistry::MoveUp()
{
    if (m_current <= 0)
        return;
    const auto pos = static_cast<std::size_t>(m_current);
    std::swap(m_order[pos], m_order[pos - 1]);
    // The on/off flag belongs to the part, so it moves with it.
    const bool on = m_on[pos];
    m_on[pos] = m_on[pos - 1];
    m_on[pos - 1] = on;
    --m_current;
}

void TReportOrderInRegistry::MoveDown()
{
    if (m_current < 0 || m_current + 1 >= static_cast<int>(m_order.size()))
        return;
    const auto pos = static_cast<std::size_t>(m_current);
    std::swap(m_order[pos], m_order[pos + 1]);
    const bool on = m_on[pos];
    m_on[pos] = m_on[pos + 1];
    m_on[pos + 1] = on;
    ++m_current;
}

void TReportOrderInRegistry::CheckAll()
{
    m_on.assign(m_order.size(), true);
}

void TReportOrderInRegistry::UncheckAll()
{
    m_on.assign(m_order.size(), false);
}
