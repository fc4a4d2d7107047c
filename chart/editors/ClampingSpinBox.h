#pragma once
// A whole-number counter that takes any whole number typed and, when the
// typing is done (Enter, Tab, leaving the field), puts one outside its range
// at the nearest end of the range, so the field and what it sets agree
// whatever was typed. A plain counter refuses the keystroke that leaves the
// range, so "-2147483649" typed into 0..100 ended as 21.

#include <QtWidgets/QSpinBox>

#include <optional>

namespace lp {

class TClampingSpinBox : public QSpinBox {
    Q_OBJECT
public:
    using QSpinBox::QSpinBox;

    // The whole number Text spells (an optional sign and digits, the
    // counter's prefix and suffix around them), clamped into Min..Max;
    // nothing for any other text ("", "-", "1.5", "abc").
    static std::optional<int> ClampedWholeNumber(const QString& Text, int Min, int Max);

protected:
    // Out-of-range whole numbers are intermediate, not refused.
    QValidator::State validate(QString& Text, int& Pos) const override;
    // An out-of-range whole number becomes the nearest end of the range.
    void fixup(QString& Text) const override;

private:
    QString WithoutAffixes(const QString& Text) const;
};

} // namespace lp
