#pragma once
// The tool bar's pictures: each mode button shows what it works on (a body,
// a ring, a node or a line) with a sign for what it does.

#include <QtCore/QString>
#include <QtGui/QIcon>
#include <QtGui/QImage>

#include <cstdint>
#include <vector>

namespace lp {

// The mode buttons in the order they stand on the tool bar.
// (Edit mode codes of the section chart.)
const std::vector<int32_t>& ModeButtonOrder();
// The object name of a mode's button ("SpeedButton6" for "Move node");
// empty for a mode without a button.
QString ModeButtonName(int32_t Mode);
// The button picture of a mode.
QIcon ModeIcon(int32_t Mode);
// The undo button's and the line-look button's pictures.
QIcon UndoIcon();
QIcon LineLookIcon();
// The program's icon and the splash picture.
QImage ProgramIconImage(int Size);
QImage SplashImage();

} // namespace lp
