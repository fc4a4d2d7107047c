#pragma once
// Keys typed into a modelling window as the keyboard types them.

#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QPushButton>

namespace lp::test {

// Alt+Key to the widget with the keyboard (else Window), pressed and
// released; a button's mnemonic clicks it as a mouse would, a moment
// later: waits until no button of Window is held down.
inline void PressAltKey(QWidget& Window, Qt::Key Key)
{
    QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : &Window;
    QTest::keyPress(focus, Key, Qt::AltModifier);
    QTest::keyRelease(focus, Key, Qt::AltModifier);
    for (QPushButton* button : Window.findChildren<QPushButton*>())
        QTRY_VERIFY_WITH_TIMEOUT(!button->isDown(), 2000);
}

} // namespace lp::test
