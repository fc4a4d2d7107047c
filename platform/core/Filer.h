#pragma once
// Custom stored properties: what a class stores besides its published
// properties (a series' binary point data, lists of component names,
// indexes of custom axes, old names that are still read).
//
// A class lists them in TPersistent::DefineProperties; the component
// streamer passes a filer that reads or writes each one. A definition with
// no writer is read only (an obsolete name), and HasData says whether the
// property is written at all for this object.

#include <QtCore/QIODevice>
#include <QtCore/QString>
#include <QtCore/QVariant>

#include <functional>
#include <vector>

namespace lp {

class TFiler {
public:
    using TValueReader = std::function<void(const QVariant& Value)>;
    using TValueWriter = std::function<QVariant()>;
    using TStreamProc = std::function<void(QIODevice& Stream)>;

    virtual ~TFiler() = default;
    virtual void DefineProperty(const QString& Name, TValueReader Reader, TValueWriter Writer, bool HasData) = 0;
    virtual void DefineBinaryProperty(const QString& Name, TStreamProc Reader, TStreamProc Writer, bool HasData) = 0;
};

// A filer that keeps the definitions, for streamers and tests to walk.
class TPropertyDefinitions : public TFiler {
public:
    struct TDefinition {
        QString Name;
        bool Binary = false;
        bool HasData = false;
        TValueReader ReadValue;
        TValueWriter WriteValue;
        TStreamProc ReadStream;
        TStreamProc WriteStream;
    };

    void DefineProperty(const QString& Name, TValueReader Reader, TValueWriter Writer, bool HasData) override
    {
        Items.push_back({Name, false, HasData, std::move(Reader), std::move(Writer), {}, {}});
    }
    void DefineBinaryProperty(const QString& Name, TStreamProc Reader, TStreamProc Writer, bool HasData) override
    {
        Items.push_back({Name, true, HasData, {}, {}, std::move(Reader), std::move(Writer)});
    }
    // The definition named Name (ignoring case), or nullptr.
    const TDefinition* Find(const QString& Name) const
    {
        for (const TDefinition& D : Items)
            if (D.Name.compare(Name, Qt::CaseInsensitive) == 0)
                return &D;
        return nullptr;
    }

    std::vector<TDefinition> Items;
};

} // namespace lp
