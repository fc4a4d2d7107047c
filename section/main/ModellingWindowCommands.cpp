#include "section/main/ModellingWindowCommands.h"

#include "chart/export/PlotExportForm.h"
#include "platform/ui/Dialogs.h"

#include <QtCore/QFileInfo>
#include <QtGui/QAction>
#include <QtWidgets/QWidget>

namespace lp {

void AddModellingWindowKeys(QWidget& Window, const std::function<void()>* Undo, std::function<bool()> Busy,
                            std::function<void()> Cancel)
{
    auto* undo = new QAction(QStringLiteral("Undo"), &Window);
    undo->setShortcut(QKeySequence::Undo);
    QObject::connect(undo, &QAction::triggered, &Window, [Undo] {
        if (Undo && *Undo)
            (*Undo)();
    });
    Window.addAction(undo);
    auto* escape = new QAction(QStringLiteral("Cancel or close"), &Window);
    escape->setShortcut(Qt::Key_Escape);
    QObject::connect(escape, &QAction::triggered, &Window,
                     [&Window, Busy = std::move(Busy), Cancel = std::move(Cancel)] {
                         if (Busy())
                             Cancel();
                         else
                             Window.close();
                     });
    Window.addAction(escape);
}

void AskSaveResult(QWidget& Owner, const QString& Name, const QString& Title, const QString& Filter,
                   const QString& DefaultExt, const std::function<bool(const QString& FileName, QString& Error)>& Save)
{
    TSaveDialogRequest request;
    request.Owner = &Owner;
    request.Name = Name;
    request.Title = Title;
    request.Filter = Filter;
    request.DefaultExt = DefaultExt;
    if (!ExecuteSaveDialog(request))
        return;
    QString error;
    if (!Save(request.FileName, error))
        MessageDlg(QStringLiteral("%1 could not be saved: %2").arg(QFileInfo(request.FileName).fileName(), error),
                   TMsgDlgType::mtError, mbOK);
}

void ExportChartPicture(QWidget& Owner, TCustomPlotPanel& Chart)
{
    TPlotExportForm form(&Owner);
    form.setObjectName(QStringLiteral("ExportPictureDialog"));
    form.ExportPanel = &Chart;
    form.FormShow();
    form.exec();
}

} // namespace lp
