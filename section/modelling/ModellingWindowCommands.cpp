#include "section/modelling/ModellingWindowCommands.h"

#include "chart/editors/TypedNumberEdit.h"
#include "chart/engine/PlotChart.h"
#include "chart/export/PlotExportForm.h"
#include "platform/ui/Dialogs.h"

#include <QtCore/QFileInfo>
#include <QtCore/QLocale>
#include <QtGui/QAction>
#include <QtGui/QCursor>
#include <QtWidgets/QMenu>
#include <QtWidgets/QWidget>

namespace lp {

std::optional<double> TypedNumber(const QString& Text, bool Positive, bool& Valid)
{
    const QString trimmed = Text.trimmed();
    Valid = true;
    if (trimmed.isEmpty())
        return std::nullopt;
    const std::optional<double> value = TypedReal(trimmed);
    Valid = value && (!Positive || *value > 0.0);
    if (!Valid)
        return std::nullopt;
    return value;
}

std::optional<double> AskPositiveNumber(const QString& Caption, const QString& Prompt, const QString& Default)
{
    const TInputRequest request{Caption, Prompt, Default};
    const std::optional<QString> text = InputService() ? InputService()(request) : DefaultInputService(request);
    if (!text)
        return std::nullopt;
    bool valid = true;
    const std::optional<double> value = TypedNumber(*text, true, valid);
    if (!valid || !value) {
        MessageDlg(QStringLiteral("\"%1\" is no number above 0.").arg(*text), TMsgDlgType::mtError, mbOK);
        return std::nullopt;
    }
    return value;
}

QString ShortNumber(double Value, int Digits)
{
    return QLocale().toString(Value, 'g', Digits);
}

QString CountText(long long Count, const QString& One, const QString& Many)
{
    return QStringLiteral("%1 %2").arg(Count).arg(Count == 1 ? One : Many);
}

QString IterationCount(long long Count)
{
    return CountText(Count, QStringLiteral("iteration"), QStringLiteral("iterations"));
}

QString ElectrodeCount(long long Count)
{
    return CountText(Count, QStringLiteral("electrode"), QStringLiteral("electrodes"));
}

QString DatumCount(long long Count)
{
    return CountText(Count, QStringLiteral("datum"), QStringLiteral("data"));
}

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
                   const QString& DefaultExt, const std::function<bool(const QString& FileName, QString& Error)>& Save,
                   const std::function<QString(const QString& FileName)>& Refusal,
                   const std::function<QString(const QString& FileName, int FilterIndex)>& WrittenName)
{
    TSaveDialogRequest request;
    request.Owner = &Owner;
    request.Name = Name;
    request.Title = Title;
    request.Filter = Filter;
    request.DefaultExt = DefaultExt;
    request.Refusal = Refusal;
    request.WrittenName = WrittenName;
    if (!ExecuteSaveDialog(request))
        return;
    const QString file = WrittenName ? WrittenName(request.FileName, request.FilterIndex) : request.FileName;
    QString error;
    if (!Save(file, error))
        MessageDlg(QStringLiteral("%1 could not be saved: %2").arg(QFileInfo(file).fileName(), error),
                   TMsgDlgType::mtError, mbOK);
}

TCustomChart* ChooseChart(QWidget& Owner, const std::vector<TCustomChart*>& Shown)
{
    if (Shown.size() <= 1)
        return Shown.empty() ? nullptr : Shown.front();
    QMenu menu(&Owner);
    std::vector<QAction*> actions;
    for (TCustomChart* chart : Shown) {
        QString title = chart->Title()->Text()->Count() > 0 ? chart->Title()->Text()->Strings(0) : QString();
        const QString mark = QStringLiteral(" (out of date)");
        if (title.endsWith(mark))
            title.chop(mark.size());
        actions.push_back(menu.addAction(title));
    }
    QAction* chosen = menu.exec(QCursor::pos());
    for (size_t i = 0; i < actions.size(); ++i)
        if (chosen == actions[i])
            return Shown[i];
    return nullptr;
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
