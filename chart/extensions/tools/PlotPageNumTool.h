#pragma once
// The page number tool: an annotation showing the chart's current page and
// its page count through a format text ("Page %d of %d" by default).
//
// The format is the user's text: only "%d" (the page, then the page
// count) and "%%" are filled; any other "%" sequence, and a "%d" beyond
// the second, is shown as it stands.

#include "chart/extensions/tools/PlotAnnotationTool.h"

namespace lp {

class TPageNumTool : public TAnnotationTool {
    Q_OBJECT
    Q_PROPERTY(QString Format READ Format WRITE SetFormat)
    Q_CLASSINFO("stored:Format", "IsFormatStored")

public:
    explicit TPageNumTool(TComponent* AOwner = nullptr);

    // "Page Number".
    QString Description() const override;
    // Format filled with the chart's page and page count (1 and 1
    // without a chart).
    QString GetText() const override;

    QString Format() const { return FFormat; }
    void SetFormat(const QString& Value) { SetStringProperty(FFormat, Value); }
    // Stored only when it differs from the message text "Page %d of %d".
    Q_INVOKABLE bool IsFormatStored() const;

private:
    QString FFormat;
};

// Format with its "%d" filled by Page and then by Count, "%%" written as
// "%", everything else as it stands.
QString FormatPageNumber(const QString& Format, int Page, int Count);

// The page-number tool class the chart editor's paging page offers; null
// until RegisterPageNumTool and after UnregisterPageNumTool.
inline const QMetaObject* PageNumToolClass = nullptr;

void RegisterPageNumTool();
void UnregisterPageNumTool();

} // namespace lp
