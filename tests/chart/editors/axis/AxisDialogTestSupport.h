#pragma once
// What the axis editor tests share: the messages shown, recorded instead of
// shown, and an answer to a modal dialog once it is up.

#include "platform/ui/Dialogs.h"

#include <QtCore/QStringList>
#include <QtCore/QTimer>
#include <QtWidgets/QApplication>

#include <gtest/gtest.h>

#include <functional>

namespace lp::test {

// Records the messages shown while alive.
class TMessages {
public:
    TMessages()
    {
        MessageService() = [this](const TMessageRequest& Request) {
            Texts.append(Request.Text);
            return int(mrOk);
        };
    }
    ~TMessages() { ResetMessageService(); }
    TMessages(const TMessages&) = delete;
    TMessages& operator=(const TMessages&) = delete;
    QStringList Texts;
};

// Runs Action on the modal dialog of class T once it shows.
template <class T>
void OnModal(std::function<void(T&)> Action)
{
    QTimer::singleShot(0, [Action] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        Action(*dialog);
    });
}

} // namespace lp::test
