#pragma once

#include "document/Groups.h"
#include "document/Persistent.h"
#include "graphics/Colors.h"

#include <QFontDialog>
#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class TColorDropDown;

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
    // The family, size and styles of a Qt font and, when given, a colour, as
    // one change.
    void Set(const QFont &font, std::optional<TColor> color);
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

// The program's font dialog: the standard one, which also lists the symbol
// families the program draws itself ("WingDings", "Webdings", "Symbol") where
// the desktop lacks them, and which offers the text colour under its effects
// once ShowColor has been called.
class TFontDialog : public QFontDialog
{
    Q_OBJECT

public:
    explicit TFontDialog(const QFont &initial, QWidget *parent = nullptr);

    // The family entry the dialog lists for a font's family: the symbol entry
    // when the family is one the program draws itself and the desktop lacks,
    // otherwise the installed family the name is drawn with.
    static QString ListedFamily(const QString &family);

    void ShowColor(TColor color);
    bool ColorShown() const { return m_colorShown; }
    TColor Color() const;
    // The font chosen with OK (also a symbol family the desktop lacks).
    QFont ChosenFont() const;

    TColorDropDown *ColorBox = nullptr;

private:
    // The entry the program adds: the lists of styles and sizes, and the
    // sample, are set here since the desktop knows nothing of the family.
    bool AddedFamilyShown() const;
    void AddSymbolFamilies();
    void SelectFamily(const QString &family);
    void FollowAddedFamily();
    void UpdateSampleColor();
    QFont CurrentAddedFont() const;

    QLabel *m_colorLabel = nullptr;
    QListView *m_families = nullptr;
    QListView *m_styles = nullptr;
    QListView *m_sizes = nullptr;
    QLineEdit *m_styleEdit = nullptr;
    QLineEdit *m_sizeEdit = nullptr;
    QLineEdit *m_sample = nullptr;
    QCheckBox *m_strikeOut = nullptr;
    QCheckBox *m_underline = nullptr;
    QComboBox *m_writingSystem = nullptr;
    QStringList m_added;
    QString m_sampleText;
    bool m_following = false;
    bool m_colorShown = false;
    bool m_sampleShowsPictures = false;
    bool m_bold = false;
    bool m_italic = false;
    int m_points = 12;
};
