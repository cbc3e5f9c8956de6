#include "catalogue/HeldFields.h"

#include "catalogue/CatalogueRecord.h"

#include <sqlite3.h>

#include <limits>
#include <stdexcept>

void HeldFields::reset(CatalogueFields::FieldMask fields)
{
    m_fields = fields;
    m_textFields.clear();
    m_numberFields.clear();
    for (int field = 0; field < CatalogueFields::Count; ++field) {
        if (fields & CatalogueFields::bit(CatalogueFields::Field(field)))
            (CatalogueFields::storedAsText(field) ? m_textFields : m_numberFields).push_back(field);
    }
    m_members = 0;
    m_text = QByteArray();
    m_textEnds = {};
    m_numbers = {};
}

QByteArray HeldFields::columnList() const
{
    QByteArray list;
    for (int field = 0; field < CatalogueFields::Count; ++field) {
        if (m_fields & CatalogueFields::bit(CatalogueFields::Field(field))) {
            if (!list.isEmpty())
                list += ", ";
            list += CatalogueFields::name(field);
        }
    }
    return list;
}

void HeldFields::append(sqlite3_stmt* row, int firstColumn)
{
    // The columns come in field order; texts and numbers are kept apart.
    int column = firstColumn;
    std::size_t text = 0;
    std::size_t number = 0;
    for (int field = 0; field < CatalogueFields::Count; ++field) {
        if (!(m_fields & CatalogueFields::bit(CatalogueFields::Field(field))))
            continue;
        if (text < m_textFields.size() && m_textFields[text] == field) {
            const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(row, column));
            const int length = sqlite3_column_bytes(row, column);
            if (bytes)
                m_text.append(bytes, length);
            if (quint64(m_text.size()) > std::numeric_limits<std::uint32_t>::max())
                throw std::length_error("held texts beyond 4 GB");
            m_textEnds.push_back(std::uint32_t(m_text.size()));
            ++text;
        } else {
            m_numbers.push_back(CatalogueFields::readNumber(row, column, field));
            ++number;
        }
        ++column;
    }
    ++m_members;
}

void HeldFields::squeeze()
{
    m_text.squeeze();
    m_textEnds.shrink_to_fit();
    m_numbers.shrink_to_fit();
}

void HeldFields::fill(std::size_t member, CatalogueRecord& record, CatalogueFields::FieldMask fields) const
{
    auto wanted = [fields](int field) { return (fields & CatalogueFields::bit(CatalogueFields::Field(field))) != 0; };
    const std::size_t texts = m_textFields.size();
    for (std::size_t t = 0; t < texts; ++t) {
        if (!wanted(m_textFields[t]))
            continue;
        const std::size_t at = member * texts + t;
        const std::uint32_t begin = at == 0 ? 0 : m_textEnds[at - 1];
        CatalogueFields::setFromText(record, m_textFields[t], m_text.constData() + begin, int(m_textEnds[at] - begin));
    }
    const std::size_t numbers = m_numberFields.size();
    for (std::size_t n = 0; n < numbers; ++n) {
        if (wanted(m_numberFields[n]))
            CatalogueFields::setFromNumber(record, m_numberFields[n], m_numbers[member * numbers + n]);
    }
}
