#pragma once

#include "document/Groups.h"
#include "document/Persistent.h"

#include <functional>

class QFont;

// The font a text object keeps as its own, stored as "Font" only while
// ParentFont is off. Setting a font turns ParentFont off even when nothing
// else changes; a real change of any attribute (also one the design reader
// makes on the font itself) turns it off and tells the owner.
class TObjectFont
{
public:
    TObjectFont(const QString &name, int points, uint32_t style, std::function<void()> changed);
    TObjectFont(const TObjectFont &) = delete;
    TObjectFont &operator=(const TObjectFont &) = delete;

    TGFont *Font() { return &m_font; }
    const TGFont &Data() const { return m_font; }
    bool ParentFont() const { return m_parentFont; }
    void SetParentFont(bool value) { m_parentFont = value; }

    void Set(const TGFont &font);
    void Set(const QFont &font);
    // Takes every attribute without telling the owner (copying a sample).
    void SetQuietly(const TGFont &font);

    // The "Font" entry of a kind T that offers Font() and ParentFont().
    template <class T> static TPropertyDescriptor Property()
    {
        return props::StoredWhen(
            props::Object<T>(QStringLiteral("Font"), &T::Font),
            [](const TPersistent &p) { return !props::As<T>(p).ParentFont(); });
    }

private:
    TGFont m_font;
    // The object sets its own font at creation, so the font is always stored.
    bool m_parentFont = false;
    bool m_quiet = false;
    std::function<void()> m_changed;
};
