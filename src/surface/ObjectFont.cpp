#include "surface/ObjectFont.h"

#include <QFont>
#include <QScopedValueRollback>

TObjectFont::TObjectFont(const QString &name, int points, uint32_t style,
                         std::function<void()> changed)
    : m_changed(std::move(changed))
{
    m_font.SetName(name);
    m_font.SetSize(points);
    m_font.SetStyle(style);
    m_font.SetColor(0);
    m_font.OnChange = [this] {
        m_parentFont = false;
        if (!m_quiet && m_changed)
            m_changed();
    };
}

void TObjectFont::Set(const TGFont &font)
{
    m_parentFont = false;
    m_font.Assign(font);
}

void TObjectFont::Set(const QFont &font)
{
    m_parentFont = false;
    m_font.Assign(font);
}

void TObjectFont::SetQuietly(const TGFont &font)
{
    QScopedValueRollback<bool> quiet(m_quiet, true);
    m_font.Assign(font);
}
