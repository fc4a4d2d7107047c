#pragma once
// The base of every chart editor page and the binder between its controls
// and the edited object.
//
//   TEditorPage (QDialog)  embedded in a tab or shown as a dialog
//     └─owns─> TPropertyBinder   one binding per control:
//                control <-> getter/setter (a Qt property path of the
//                target, or two functions)
//
// The page observes its target (a QPointer), never owns it. Refresh() fills
// every bound control under a loading guard, so filling never writes. A
// user change writes only after the first show has ended (the page is
// "showing") and only when the value differs from the target's; then the
// other controls are filled again and UpdateEnabled() runs once. Values
// outside a control's range show clamped and are never written back.
// Changes apply at once; there is no undo.
//
// A page embedded in another window (a tab of the chart editor, a panel
// of another page) is a part of that window: Escape in it is the window's
// Escape. Shown alone, a page is a dialog with the dialog's Escape.
//
// Destroyed, a page first cuts its editing connections (see
// EditingContext()), and those of the pages inside it, then Qt's dialog
// teardown hides it and moves the focus out of its fields: that focus-out
// reaches nothing of the page, so a text typed but not yet written (a field
// that writes when its typing is done, a number not complete yet) is
// dropped. Closing a window is not that: it hides the pages whole, and
// their fields write what the focus-out completes.

#include <QtCore/QPointer>
#include <QtCore/QVariant>
#include <QtWidgets/QDialog>

#include <functional>
#include <memory>
#include <type_traits>
#include <vector>

class QAbstractButton;
class QButtonGroup;

namespace lp {

class TEditorPage;

// Runs Action, a change the user asked for through a control (a button, a
// field, a box): whatever it raises, the system's exceptions or any other,
// ends the change with its message (EAbort silently) and goes no further,
// so no exception leaves a slot or event handler into Qt's event loop. The
// one guard of every write the editors' controls make: the binder runs its
// writes through it, and handlers connect through ConnectUserChange. False
// when Action raised.
bool RunUserChange(const std::function<void()>& Action) noexcept;

// The editing context (TEditorPage::EditingContext()) of the page Object
// is or lies in, the nearest one up its parents; Object itself when it
// lies in no page; nullptr once that page is being destroyed.
QObject* EditingContextOf(QObject* Object);

// Connects Signal of Sender to Action (taking the signal's first arguments,
// or none) run through RunUserChange, while Context lives and the page
// Context lies in is not being destroyed.
template <class TSender, class TSignal, class TAction>
QMetaObject::Connection ConnectUserChange(TSender* Sender, TSignal Signal, QObject* Context, TAction Action)
{
    // Callable with exactly the arguments Action takes, so the connection
    // passes it as many of the signal's arguments as it wants.
    return QObject::connect(Sender, Signal, Context,
                            [Action = std::move(Action), editing = QPointer<QObject>(EditingContextOf(Context))](
                                const auto&... Args)
                                -> std::enable_if_t<std::is_invocable_v<const TAction&, decltype(Args)...>> {
                                if (editing)
                                    RunUserChange([&] { Action(Args...); });
                            });
}

// Reads the property at Path ("Title.Font.Color"): every part but the last
// names a property holding an object. An invalid QVariant when a part is
// missing or holds no object.
QVariant ReadPropertyPath(QObject* Root, const QString& Path);
// Writes Value into the property at Path; False when the path does not
// lead to a writable property. Enumerations take their ordinal.
bool WritePropertyPath(QObject* Root, const QString& Path, const QVariant& Value);
// The object that holds the last part of Path, or nullptr.
QObject* PropertyPathOwner(QObject* Root, const QString& Path);
// The object the property at Path holds, or nullptr.
QObject* ReadObjectPath(QObject* Root, const QString& Path);

class TPropertyBinder {
public:
    using TGetter = std::function<QVariant()>;
    using TSetter = std::function<void(const QVariant&)>;

    explicit TPropertyBinder(TEditorPage& Page) : FPage(Page) {}
    TPropertyBinder(const TPropertyBinder&) = delete;
    TPropertyBinder& operator=(const TPropertyBinder&) = delete;

    // Binds Control to the property at Path of the page's target, walked at
    // each use. Supported controls: QSpinBox, QSlider (value), QCheckBox
    // (checked), QComboBox (index = enumeration ordinal or integer),
    // QLineEdit (text), TButtonColor and TColorSwatch (colour), and a
    // QButtonGroup (checked id).
    void Bind(QObject* Control, const QString& Path);
    // Binds Control to two functions: for fields, computed values and
    // writes that need no repaint.
    void Bind(QObject* Control, TGetter Get, TSetter Set);
    // The same for a value stored as a plain field of the target: the write
    // needs no repaint (the target uses it at its next action), and the
    // page walk checks that none happens.
    void BindField(QObject* Control, const QString& Path);
    void BindField(QObject* Control, TGetter Get, TSetter Set);
    bool IsField(const QObject* Control) const;
    // Makes the bound line edit Control write when its typing is done
    // (Return, leaving it) instead of at each keystroke: for a value whose
    // check refuses what a user passes on the way to the number meant.
    void WriteWhenDone(QObject* Control);
    // Fills every bound control from the target (the caller holds the
    // loading guard).
    void Fill(const QObject* Except = nullptr);
    // The controls bound, in the order they were bound.
    std::vector<QObject*> Controls() const;
    // The target's value behind Control, and a write of it in code (no
    // refresh): what the page's users and tests reach a binding through.
    // Invalid / nothing for a control that is not bound.
    QVariant TargetValue(QObject* Control) const;
    void SetTargetValue(QObject* Control, const QVariant& Value);
    // The value Control shows, in the binding's terms.
    static QVariant ControlValue(QObject* Control);

private:
    struct TBinding {
        QObject* Control = nullptr;
        TGetter Get;
        TSetter Set;
        bool Field = false;
        bool WhenDone = false;
    };
    void Connect(TBinding& Binding);
    void UserChanged(QObject* Control);
    static void Show(QObject* Control, const QVariant& Value);
    const TBinding* Find(const QObject* Control) const;

    TEditorPage& FPage;
    std::vector<std::unique_ptr<TBinding>> FBindings;
};

class TEditorPage : public QDialog {
    Q_OBJECT
public:
    explicit TEditorPage(QWidget* Parent = nullptr);
    ~TEditorPage() override;

    // The edited object (observed); refreshes the controls.
    void SetTarget(QObject* Target);
    QObject* Target() const { return FTarget.data(); }
    template <class T>
    T* TargetAs() const
    {
        return qobject_cast<T*>(FTarget.data());
    }

    // Fills every control from the target under the loading guard, then
    // runs UpdateEnabled().
    void Refresh();
    bool Loading() const { return FLoading; }
    // True from creation until the end of the first show: no control writes
    // meanwhile.
    bool Creating() const { return FCreating; }
    // Whether a user change may write: shown once, not loading, a target set.
    bool CanWrite() const { return !FCreating && !FLoading && FTarget; }

    TPropertyBinder& Binder() { return FBinder; }
    // What the page's editing connections hang on: the binder's
    // connections take it as their context, and the editing helpers
    // (ConnectUserChange, BindNumberEdit, BindNumberField) check it is
    // there before they run. The page's destructor destroys it, and the
    // editing contexts of the pages inside the page, before any part of
    // the page goes; nullptr from then on.
    QObject* EditingContext() const { return FEditingContext.get(); }

    // Runs after a bound control wrote its value: the other controls are
    // filled again and UpdateEnabled() runs.
    void AfterUserChange(const QObject* Changed);
    // Whether the page may be left now (a host asks before switching away
    // or closing; a page asks the pages embedded in it); yes by default.
    virtual bool MayLeave() { return true; }
    // Pages whose edits wait for an explicit apply (their "&Apply", or the
    // function page's for an embedded function form): a control change
    // writes nothing until ApplyEdits(), which a host or test calls as the
    // button does. Other pages write at once and ignore it.
    virtual bool DefersEdits() const { return false; }
    virtual void ApplyEdits() {}

protected:
    // The enabling rules of the page; nothing by default.
    virtual void UpdateEnabled() {}
    // Fills what the binder does not cover (runs under the loading guard).
    virtual void FillControls() {}
    void showEvent(QShowEvent* Event) override;
    // Escape in an embedded page goes on to the window around it.
    void keyPressEvent(QKeyEvent* Event) override;

private:
    // Fills every control but Except, then runs UpdateEnabled().
    void FillExcept(const QObject* Except);

    QPointer<QObject> FTarget;
    std::unique_ptr<QObject> FEditingContext = std::make_unique<QObject>();
    TPropertyBinder FBinder;
    bool FLoading = false;
    bool FCreating = true;
};

// A new page of class TPage embedded in Parent (a tab) as the shared
// embedding routine places forms, and added to Parent's layout (one with
// margins of 4 is made when Parent has none): Parent needs at least the
// room the page needs.
template <class TPage>
TPage* InsertEditorPage(QWidget* Parent)
{
    auto* page = new TPage(Parent);
    EmbedEditorPage(page, Parent);
    return page;
}
void EmbedEditorPage(TEditorPage* Page, QWidget* Parent);

// Holds a page's loading flag for a scope.
class TLoadingGuard {
public:
    explicit TLoadingGuard(bool& Flag) : FFlag(Flag), FOld(Flag) { FFlag = true; }
    ~TLoadingGuard() { FFlag = FOld; }
    TLoadingGuard(const TLoadingGuard&) = delete;
    TLoadingGuard& operator=(const TLoadingGuard&) = delete;

private:
    bool& FFlag;
    bool FOld;
};

} // namespace lp
