#include "chart/editors/EditorPage.h"

#include "chart/canvas/PlotRoutines.h"
#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "platform/base/Exception.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"

#include <QtCore/QMetaProperty>
#include <QtGui/QKeyEvent>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QBoxLayout>
#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSlider>
#include <QtWidgets/QSpinBox>

#include <cstring>

namespace lp {

// --- Property paths ------------------------------------------------------------------------------

namespace {

QMetaProperty FindProperty(const QObject* Object, const QString& Name)
{
    const QMetaObject* meta = Object->metaObject();
    const int index = meta->indexOfProperty(Name.toLatin1().constData());
    return index >= 0 ? meta->property(index) : QMetaProperty();
}

// The object a property value holds, or nullptr for any other value.
QObject* ObjectOf(const QVariant& Value)
{
    if (!Value.isValid() || !(Value.metaType().flags() & QMetaType::PointerToQObject))
        return nullptr;
    return *static_cast<QObject* const*>(Value.constData());
}

// Splits Path into the holder of its last part and that part's name.
QObject* WalkPath(QObject* Root, const QString& Path, QString& LastName)
{
    const QStringList parts = Path.split(QLatin1Char('.'));
    QObject* object = Root;
    for (int i = 0; object && i + 1 < parts.size(); ++i) {
        const QMetaProperty property = FindProperty(object, parts[i]);
        object = property.isValid() ? ObjectOf(property.read(object)) : nullptr;
    }
    LastName = parts.last();
    return object;
}

} // namespace

QObject* PropertyPathOwner(QObject* Root, const QString& Path)
{
    QString name;
    return Root ? WalkPath(Root, Path, name) : nullptr;
}

QObject* ReadObjectPath(QObject* Root, const QString& Path)
{
    return ObjectOf(ReadPropertyPath(Root, Path));
}

QVariant ReadPropertyPath(QObject* Root, const QString& Path)
{
    if (!Root)
        return {};
    QString name;
    QObject* owner = WalkPath(Root, Path, name);
    if (!owner)
        return {};
    const QMetaProperty property = FindProperty(owner, name);
    if (!property.isValid())
        return {};
    const QVariant value = property.read(owner);
    if (property.isEnumType()) {
        int ordinal = 0;
        std::memcpy(&ordinal, value.constData(), std::min<qsizetype>(sizeof(int), value.metaType().sizeOf()));
        return ordinal;
    }
    return value;
}

bool WritePropertyPath(QObject* Root, const QString& Path, const QVariant& Value)
{
    if (!Root)
        return false;
    QString name;
    QObject* owner = WalkPath(Root, Path, name);
    if (!owner)
        return false;
    const QMetaProperty property = FindProperty(owner, name);
    if (!property.isValid() || !property.isWritable())
        return false;
    if (property.isEnumType()) {
        // The enumeration's own type, carrying the ordinal.
        const int ordinal = Value.toInt();
        QVariant typed(property.metaType());
        std::memcpy(typed.data(), &ordinal, std::min<qsizetype>(sizeof(int), property.metaType().sizeOf()));
        return property.write(owner, typed);
    }
    return property.write(owner, Value);
}

// --- The guard of user changes --------------------------------------------------------------------

bool RunUserChange(const std::function<void()>& Action) noexcept
{
    QString message;
    try {
        Action();
        return true;
    } catch (const EAbort&) {
        return false;
    } catch (const std::exception& Error) {
        message = TApplication::MessageOf(Error);
    } catch (...) {
        message = QStringLiteral("Unknown error");
    }
    try {
        ShowMessage(message);
    } catch (...) {
        // A message service that fails must not take the event loop down.
    }
    return false;
}

QObject* EditingContextOf(QObject* Object)
{
    for (QObject* each = Object; each; each = each->parent())
        if (auto* page = qobject_cast<TEditorPage*>(each))
            return page->EditingContext();
    return Object;
}

// --- TPropertyBinder -----------------------------------------------------------------------------

void TPropertyBinder::Bind(QObject* Control, const QString& Path)
{
    Bind(
        Control, [this, Path] { return ReadPropertyPath(FPage.Target(), Path); },
        [this, Path](const QVariant& Value) { WritePropertyPath(FPage.Target(), Path, Value); });
}

void TPropertyBinder::Bind(QObject* Control, TGetter Get, TSetter Set)
{
    auto binding = std::make_unique<TBinding>();
    binding->Control = Control;
    binding->Get = std::move(Get);
    binding->Set = std::move(Set);
    Connect(*binding);
    FBindings.push_back(std::move(binding));
}

void TPropertyBinder::BindField(QObject* Control, const QString& Path)
{
    Bind(Control, Path);
    FBindings.back()->Field = true;
}

void TPropertyBinder::BindField(QObject* Control, TGetter Get, TSetter Set)
{
    Bind(Control, std::move(Get), std::move(Set));
    FBindings.back()->Field = true;
}

bool TPropertyBinder::IsField(const QObject* Control) const
{
    const TBinding* binding = Find(Control);
    return binding && binding->Field;
}

void TPropertyBinder::WriteWhenDone(QObject* Control)
{
    for (const auto& binding : FBindings)
        if (binding->Control == Control)
            binding->WhenDone = true;
}

std::vector<QObject*> TPropertyBinder::Controls() const
{
    std::vector<QObject*> controls;
    for (const auto& binding : FBindings)
        controls.push_back(binding->Control);
    return controls;
}

const TPropertyBinder::TBinding* TPropertyBinder::Find(const QObject* Control) const
{
    for (const auto& binding : FBindings)
        if (binding->Control == Control)
            return binding.get();
    return nullptr;
}

QVariant TPropertyBinder::TargetValue(QObject* Control) const
{
    const TBinding* binding = Find(Control);
    return binding ? binding->Get() : QVariant();
}

void TPropertyBinder::SetTargetValue(QObject* Control, const QVariant& Value)
{
    if (const TBinding* binding = Find(Control))
        binding->Set(Value);
}

void TPropertyBinder::Connect(TBinding& Binding)
{
    QObject* control = Binding.Control;
    // Tied to the page's editing context, which goes before the binder
    // does: the focus-out that destroying a shown page sends its fields
    // calls none of these.
    QObject* context = FPage.EditingContext();
    auto changed = [this, control] { UserChanged(control); };
    if (auto* spin = qobject_cast<QSpinBox*>(control))
        QObject::connect(spin, &QSpinBox::valueChanged, context, changed);
    else if (auto* slider = qobject_cast<QSlider*>(control))
        QObject::connect(slider, &QSlider::valueChanged, context, changed);
    else if (auto* check = qobject_cast<QCheckBox*>(control))
        QObject::connect(check, &QCheckBox::toggled, context, changed);
    else if (auto* combo = qobject_cast<QComboBox*>(control))
        QObject::connect(combo, &QComboBox::currentIndexChanged, context, changed);
    else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        auto whenDone = [this, control] {
            const TBinding* binding = Find(control);
            return binding && binding->WhenDone;
        };
        QObject::connect(edit, &QLineEdit::textEdited, context, [changed, whenDone] {
            if (!whenDone())
                changed();
        });
        QObject::connect(edit, &QLineEdit::editingFinished, context, [changed, whenDone] {
            if (whenDone())
                changed();
        });
    }
    else if (auto* group = qobject_cast<QButtonGroup*>(control))
        QObject::connect(group, &QButtonGroup::idToggled, context, [changed](int, bool On) {
            if (On)
                changed();
        });
    else if (auto* color = qobject_cast<TButtonColor*>(control))
        color->OnClick = [changed, editing = QPointer<QObject>(context)](TButtonColor*) {
            if (editing)
                changed();
        };
    else if (auto* swatch = qobject_cast<TColorSwatch*>(control))
        swatch->OnChange = [changed, editing = QPointer<QObject>(context)](TColorSwatch*) {
            if (editing)
                changed();
        };
}

void TPropertyBinder::Show(QObject* Control, const QVariant& Value)
{
    if (!Value.isValid())
        return;
    if (auto* spin = qobject_cast<QSpinBox*>(Control))
        spin->setValue(Value.toInt()); // clamped to the range, shown only
    else if (auto* slider = qobject_cast<QSlider*>(Control))
        slider->setValue(Value.toInt());
    else if (auto* check = qobject_cast<QCheckBox*>(Control))
        check->setChecked(Value.toBool());
    else if (auto* combo = qobject_cast<QComboBox*>(Control)) {
        const int index = Value.toInt();
        combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
    } else if (auto* edit = qobject_cast<QLineEdit*>(Control)) {
        if (edit->text() != Value.toString())
            edit->setText(Value.toString());
    } else if (auto* group = qobject_cast<QButtonGroup*>(Control)) {
        if (QAbstractButton* button = group->button(Value.toInt()))
            button->setChecked(true);
    } else if (auto* color = qobject_cast<TButtonColor*>(Control)) {
        color->SetColor(static_cast<TColor>(Value.toInt()));
        color->update();
    } else if (auto* swatch = qobject_cast<TColorSwatch*>(Control))
        swatch->SetColor(static_cast<TColor>(Value.toInt()));
}

QVariant TPropertyBinder::ControlValue(QObject* Control)
{
    if (auto* spin = qobject_cast<QSpinBox*>(Control))
        return spin->value();
    if (auto* slider = qobject_cast<QSlider*>(Control))
        return slider->value();
    if (auto* check = qobject_cast<QCheckBox*>(Control))
        return check->isChecked();
    if (auto* combo = qobject_cast<QComboBox*>(Control))
        return combo->currentIndex();
    if (auto* edit = qobject_cast<QLineEdit*>(Control))
        return edit->text();
    if (auto* group = qobject_cast<QButtonGroup*>(Control))
        return group->checkedId();
    if (auto* color = qobject_cast<TButtonColor*>(Control))
        return static_cast<int>(color->Color());
    if (auto* swatch = qobject_cast<TColorSwatch*>(Control))
        return static_cast<int>(swatch->Color());
    return {};
}

void TPropertyBinder::Fill(const QObject* Except)
{
    for (const auto& binding : FBindings)
        if (binding->Control != Except)
            Show(binding->Control, binding->Get());
}

void TPropertyBinder::UserChanged(QObject* Control)
{
    const TBinding* binding = Find(Control);
    if (!FPage.CanWrite() || !binding)
        return;
    // A half-typed text (the validator's intermediate state) is not applied.
    if (auto* edit = qobject_cast<QLineEdit*>(Control); edit && !edit->hasAcceptableInput())
        return;
    bool unchanged = false;
    const bool written = RunUserChange([&] {
        const QVariant value = ControlValue(Control);
        unchanged = !value.isValid() || value == binding->Get();
        if (!unchanged)
            binding->Set(value);
    });
    if (unchanged)
        return;
    // A value the target refuses: after the message the page shows what
    // the target kept, the refused control too (a line edit keeps its
    // text, so typing can go on to a value the target takes).
    if (!written && !qobject_cast<QLineEdit*>(Control)) {
        FPage.Refresh();
        return;
    }
    FPage.AfterUserChange(Control);
}

// --- TEditorPage ---------------------------------------------------------------------------------

TEditorPage::TEditorPage(QWidget* Parent) : QDialog(Parent), FBinder(*this)
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
}

TEditorPage::~TEditorPage()
{
    // The dialog's destructor, which runs after this one, hides the page:
    // the focus leaves its field (a window losing its activation, or the
    // focus passing on to a widget outside the page), the field reports its
    // editing finished and its validator fixes its text up. By then the
    // binder, the target and the derived page's parts are gone, so every
    // editing connection goes now, those of the pages embedded in this one
    // with them (their writes may reach into this page); what the user
    // typed but no write took yet is dropped.
    for (TEditorPage* inner : findChildren<TEditorPage*>())
        inner->FEditingContext.reset();
    FEditingContext.reset();
}

void TEditorPage::SetTarget(QObject* Target)
{
    FTarget = Target;
    Refresh();
}

void TEditorPage::Refresh()
{
    FillExcept(nullptr);
}

void TEditorPage::AfterUserChange(const QObject* Changed)
{
    FillExcept(Changed);
}

void TEditorPage::FillExcept(const QObject* Except)
{
    {
        TLoadingGuard guard(FLoading);
        if (FTarget) {
            FBinder.Fill(Except);
            FillControls();
        }
    }
    UpdateEnabled();
}

void EmbedEditorPage(TEditorPage* Page, QWidget* Parent)
{
    AddFormToParent(Page, Parent);
    // In its parent's layout, so the parent (and the window) is never
    // smaller than the page needs; a page placed by hand is cut off by a
    // smaller parent.
    QLayout* layout = Parent->layout();
    if (!layout) {
        layout = new QVBoxLayout(Parent);
        layout->setContentsMargins(4, 4, 4, 4);
    }
    if (layout->indexOf(Page) < 0)
        layout->addWidget(Page);
}

void TEditorPage::keyPressEvent(QKeyEvent* Event)
{
    // The dialog's own handling would hide an embedded page and leave its
    // tab empty: ignored, the key goes up the parents to the window, which
    // does with it what its Escape does (the chart editor closes).
    if (!isWindow() && Event->matches(QKeySequence::Cancel)) {
        Event->ignore();
        return;
    }
    QDialog::keyPressEvent(Event);
}

void TEditorPage::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    if (!FCreating)
        return;
    if (FTarget)
        Refresh();
    CallControlHook(this);
    KeepTabRowsReachable(*this);
    // A page's push buttons open dialogs: Enter typed into one of its fields
    // must not press the first of them when the page is shown on its own.
    for (QPushButton* button : findChildren<QPushButton*>())
        if (!button->isDefault())
            button->setAutoDefault(false);
    FCreating = false;
}

} // namespace lp
