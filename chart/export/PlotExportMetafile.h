#pragma once
// The metafile export format: an enhanced metafile (.emf) or, with its
// Enhanced option off, a placeable Windows metafile (.wmf), both recorded by
// the platform's metafile engine. It owns two save-dialog filter entries.

#include "chart/export/PlotExportFormat.h"

class QCheckBox;

namespace lp {

// The options form: one check box, "&Enhanced", checked at creation.
class TEMFOptions : public QWidget {
    Q_OBJECT
public:
    TEMFOptions();
    QCheckBox* CBEnhanced;
};

class TEMFExportFormat : public TPlotExportFormat {
    Q_OBJECT
public:
    Q_INVOKABLE TEMFExportFormat();

    // Enhanced until the options form exists, then its check box.
    bool Enhanced() const;

    void DoCopyToClipboard() override;
    // The stored index when Enhanced, else the one after it.
    int FilterIndex() const override;
    // Takes two numbers: Counter + 1 (enhanced) and Counter + 2 (plain).
    void AssignFilterIndex(int& Counter) override;
    // The second entry switches Enhanced off (creating the options form).
    bool OwnsFilterIndex(int Index) override;
    QString Description() const override;
    QString FileExtension() const override;
    QString FileFilter() const override;
    TGraphicFactory GraphicClass() const override;
    void SaveToStream(QIODevice& Stream) override;
    QWidget* Options(bool Create = true) override;
    TEMFOptions* EMFOptions() const;

private:
    std::unique_ptr<TMetafile> Metafile();
};

} // namespace lp
