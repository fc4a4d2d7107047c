#pragma once
// Answers for the common-dialog service and screenshots of dialogs.

#include "platform/ui/Dialogs.h"

#include "ReferenceImage.h"

#include <QtCore/QDir>
#include <QtWidgets/QWidget>

#include <vector>

namespace lp::test {

// Replaces the colour dialog while alive: each call is recorded and answered
// with Answer (nullopt = Cancel); a chosen custom colour may be given.
class TColorDialogAnswer {
public:
    std::vector<TColorDialogRequest> Requests;
    std::optional<TColor> Answer;
    std::optional<TColor> CustomB;

    TColorDialogAnswer()
    {
        CommonDialogService().ExecuteColor = [this](TColorDialogRequest& Request) {
            Requests.push_back(Request);
            if (!Answer)
                return false;
            Request.Color = *Answer;
            if (CustomB)
                SetCustomColor(Request.CustomColors, QLatin1Char('B'), *CustomB);
            return true;
        };
    }
    ~TColorDialogAnswer() { ResetCommonDialogService(); }
};

// Grabs a shown widget into <artifacts>/screens/<Name>.png and returns it.
inline QImage SaveScreenshot(QWidget& Widget, const QString& Name)
{
    const QImage image = Widget.grab().toImage();
    const QString folder = ArtifactFolder() + QStringLiteral("/screens");
    QDir().mkpath(folder);
    image.save(folder + QLatin1Char('/') + Name + QStringLiteral(".png"));
    return image;
}

} // namespace lp::test
