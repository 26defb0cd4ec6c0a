// Copying an object's properties onto another of its kind by the property table.
#include "DocumentTestSupport.h"
#include "document/Persistent.h"

namespace {

// A kind whose setters log their calls, with one entry of every sort the copy
// treats differently.
class TLogged : public TPersistent
{
public:
    explicit TLogged(QStringList *log = nullptr)
        : m_log(log)
    {
        m_font.OnChange = [this] { Log(QStringLiteral("Font")); };
    }
    const TPropertyTable &PropertyTable() const override
    {
        using T = TLogged;
        using namespace props;
        static const TPropertyTable table = {
            NeverStored(String<T>(QStringLiteral("Name"), &T::Name, &T::SetName)),
            Integer<T>(QStringLiteral("Width"), &T::Width, &T::SetWidth),
            Object<T>(QStringLiteral("Font"), &T::Font),
            StoredWhen(Float<T>(QStringLiteral("Scale"), &T::Scale, &T::SetScale),
                       [](const TPersistent &) { return false; }),
            Boolean<T>(QStringLiteral("Locked"), &T::Locked, &T::SetLocked),
            String<T>(QStringLiteral("Caption"), &T::Caption, &T::SetCaption),
        };
        return table;
    }
    QString Name() const { return m_name; }
    void SetName(const QString &v)
    {
        Log(QStringLiteral("Name"));
        m_name = v;
    }
    int Width() const { return m_width; }
    void SetWidth(int v)
    {
        Log(QStringLiteral("Width"));
        m_width = v;
    }
    TGFont *Font() { return &m_font; }
    double Scale() const { return m_scale; }
    void SetScale(double v)
    {
        Log(QStringLiteral("Scale"));
        m_scale = v;
    }
    bool Locked() const { return m_locked; }
    void SetLocked(bool v)
    {
        Log(QStringLiteral("Locked"));
        m_locked = v;
    }
    QString Caption() const { return m_caption; }
    void SetCaption(const QString &v)
    {
        Log(QStringLiteral("Caption"));
        m_caption = v;
    }

private:
    void Log(const QString &name)
    {
        if (m_log)
            m_log->append(name);
    }
    QStringList *m_log;
    QString m_name;
    int m_width = 0;
    TGFont m_font;
    double m_scale = 1;
    bool m_locked = false;
    QString m_caption;
};

} // namespace

TEST(PropertyCopyTest, SettersRunInTableOrderAndTheFilterLeavesEntriesOut)
{
    TLogged from;
    from.SetName(QStringLiteral("Source"));
    from.SetWidth(42);
    from.Font()->SetName(QStringLiteral("Courier New"));
    from.Font()->SetSize(20);
    from.SetScale(1.5);
    from.SetLocked(true);
    from.SetCaption(QStringLiteral("Copied"));

    // Every entry but the never stored name, in the order a design is read,
    // and a value the stored-when condition keeps out of files all the same.
    QStringList log;
    TLogged to(&log);
    CopyStoredProperties(to, from);
    EXPECT_EQ(log, QStringList({"Width", "Font", "Scale", "Locked", "Caption"}));
    EXPECT_EQ(to.Name(), QString());
    EXPECT_EQ(to.Width(), 42);
    EXPECT_EQ(to.Font()->Name(), "Courier New");
    EXPECT_EQ(to.Font()->Size(), 20);
    EXPECT_EQ(to.Scale(), 1.5);
    EXPECT_TRUE(to.Locked());
    EXPECT_EQ(to.Caption(), "Copied");

    // An equal group is no change; a refused entry is not even read.
    log.clear();
    TLogged again(&log);
    again.Font()->Assign(*to.Font());
    log.clear();
    CopyStoredProperties(again, from, [](const TPropertyDescriptor &d) {
        return d.name != QStringLiteral("Width") && d.name != QStringLiteral("Caption");
    });
    EXPECT_EQ(log, QStringList({"Scale", "Locked"}));
    EXPECT_EQ(again.Width(), 0);
    EXPECT_EQ(again.Caption(), QString());
}
