#include "components/StatusBar.h"

#include "components/KeyboardMonitor.h"
#include "platform/ui/Application.h"
#include "platform/ui/Keyboard.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDateTime>
#include <QtCore/QMetaEnum>
#include <QtCore/QPointer>
#include <QtGui/QGuiApplication>
#include <QtGui/QHelpEvent>
#include <QtGui/QKeyEvent>
#include <QtWidgets/QToolTip>
#include <QtWidgets/QWidget>

#include <algorithm>
#include <cmath>

namespace lp {

namespace {

constexpr int kDateInterval = 60000;
constexpr int kTimeInterval = 1000;
constexpr int kGaugeInterval = 50;

// The process-wide listener of the lock keys: installed on the application
// with the first lock panel that needs it, removed with the last. It also
// hears the application being switched away and back, after which every
// lock indicator is repainted.
class TLockKeyHook : public QObject {
public:
    static TLockKeyHook& Instance()
    {
        static TLockKeyHook hook;
        return hook;
    }

    void Join(TsbStatusPanel* Panel)
    {
        if (std::find(FPanels.begin(), FPanels.end(), Panel) != FPanels.end())
            return;
        FPanels.push_back(Panel);
        if (FPanels.size() == 1 && QCoreApplication::instance())
            QCoreApplication::instance()->installEventFilter(this);
    }

    void Leave(TsbStatusPanel* Panel)
    {
        const auto Found = std::find(FPanels.begin(), FPanels.end(), Panel);
        if (Found == FPanels.end())
            return;
        FPanels.erase(Found);
        if (FPanels.empty() && QCoreApplication::instance())
            QCoreApplication::instance()->removeEventFilter(this);
    }

    bool Installed() const { return !FPanels.empty(); }

    // Forgets every panel and leaves the application.
    void Remove()
    {
        if (FPanels.empty())
            return;
        FPanels.clear();
        if (QCoreApplication::instance())
            QCoreApplication::instance()->removeEventFilter(this);
    }

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() == QEvent::KeyPress)
            KeyPressed(*static_cast<QKeyEvent*>(Event));
        else if (Event->type() == QEvent::ApplicationStateChange && Watched == QCoreApplication::instance())
            ApplicationSwitched();
        return QObject::eventFilter(Watched, Event);
    }

private:
    static int LockKeyOf(int QtKey)
    {
        switch (QtKey) {
        case Qt::Key_CapsLock: return VK_CAPITAL;
        case Qt::Key_NumLock: return VK_NUMLOCK;
        case Qt::Key_ScrollLock: return VK_SCROLL;
        default: return 0;
        }
    }

    void KeyPressed(const QKeyEvent& Key)
    {
        if (FRefreshAll) {
            FRefreshAll = false;
            for (TsbStatusPanel* Panel : std::vector<TsbStatusPanel*>(FPanels))
                Panel->Invalidate();
            return;
        }
        // Only the first press of a lock key changes its state.
        const int VirtualKey = LockKeyOf(Key.key());
        if (VirtualKey == 0 || Key.isAutoRepeat())
            return;
        for (TsbStatusPanel* Panel : std::vector<TsbStatusPanel*>(FPanels))
            if (Panel->LockKey() == VirtualKey)
                Panel->Invalidate();
    }

    // Leaving the application the lock keys may change unseen: the next key
    // repaints every indicator, and so does the switch itself (posted, so
    // that it comes after the desktop has settled).
    void ApplicationSwitched()
    {
        if (QGuiApplication::applicationState() != Qt::ApplicationActive)
            FRefreshAll = true;
        std::vector<QPointer<QObject>> Bars;
        for (TsbStatusPanel* Panel : FPanels)
            if (TsbStatusBar* Bar = Panel->StatusBar())
                if (std::find(Bars.begin(), Bars.end(), Bar) == Bars.end())
                    Bars.emplace_back(Bar);
        for (const QPointer<QObject>& Bar : Bars)
            QMetaObject::invokeMethod(
                Bar, [Bar] {
                    if (auto* StatusBar = qobject_cast<TsbStatusBar*>(Bar.data()))
                        StatusBar->RefreshLockPanels();
                },
                Qt::QueuedConnection);
    }

    std::vector<TsbStatusPanel*> FPanels;
    bool FRefreshAll = false;
};

// Shows the bar's hints as tool tips of its window.
class THintFilter : public QObject {
public:
    explicit THintFilter(TsbStatusBar& Bar) : FBar(Bar) {}

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() != QEvent::ToolTip)
            return QObject::eventFilter(Watched, Event);
        const auto* Help = static_cast<QHelpEvent*>(Event);
        try {
            QString Text;
            TRect Area;
            if (FBar.HintAt(Help->pos().x(), Help->pos().y(), Text, Area))
                QToolTip::showText(Help->globalPos(), Text, qobject_cast<QWidget*>(Watched),
                                   QRect(Area.Left, Area.Top, Area.Width(), Area.Height()));
            else
                QToolTip::hideText();
        } catch (const std::exception& Error) {
            Application().HandleException(Error);
        }
        return true;
    }

private:
    TsbStatusBar& FBar;
};

// Panels registered with a timer, over all bars.
int TimerRegistrations = 0;

double LocalNow()
{
    const QDateTime Now = QDateTime::currentDateTime();
    const QDate Date = Now.date();
    const QTime Time = Now.time();
    return EncodeDateTime(Date.year(), Date.month(), Date.day(), Time.hour(), Time.minute(), Time.second(),
                          Time.msec());
}

bool IsTimeType(TsbStatusPanelType Type)
{
    return Type == TsbStatusPanel::sptTime || Type == TsbStatusPanel::sptDateTime ||
           Type == TsbStatusPanel::sptTimeDate;
}

} // namespace

// --- TsbGaugeAttrs --------------------------------------------------------------------------

TsbGaugeAttrs::TsbGaugeAttrs(TsbStatusPanel* Owner) : FOwner(Owner) {}

void TsbGaugeAttrs::SetStyle(TsbGaugeStyle Value)
{
    if (FStyle == Value)
        return;
    if (FOwner)
        FOwner->GaugeStyleChanging(Value);
    FStyle = Value;
    if (FOwner) {
        // A new animation starts at the left end at its speed.
        if (Value != gsPercent)
            FOwner->ResetGauge();
        FOwner->JoinServices();
        FOwner->Invalidate();
    }
}

void TsbGaugeAttrs::SetPosition(int Value)
{
    Value = std::clamp(Value, 0, 100);
    if (FPosition == Value)
        return;
    FPosition = Value;
    if (FOwner)
        FOwner->Invalidate();
}

void TsbGaugeAttrs::SetSpeed(int Value)
{
    if (Value < 1 || FSpeed == Value)
        return;
    FSpeed = Value;
    if (FOwner)
        FOwner->FGaugeStep = FOwner->FGaugeStep < 0 ? -Value : Value;
}

void TsbGaugeAttrs::SetColor(TColor Value)
{
    if (FColor == Value)
        return;
    FColor = Value;
    if (FOwner)
        FOwner->GaugeColorChanged();
}

void TsbGaugeAttrs::SetTextColor(TColor Value)
{
    if (FTextColor == Value)
        return;
    FTextColor = Value;
    if (FOwner)
        FOwner->Invalidate();
}

void TsbGaugeAttrs::Assign(const TPersistent* Source)
{
    const auto* Attrs = qobject_cast<const TsbGaugeAttrs*>(Source);
    if (!Attrs) {
        TPersistent::Assign(Source);
        return;
    }
    SetPosition(Attrs->Position());
    SetStyle(Attrs->Style());
}

// --- TsbStatusPanel -------------------------------------------------------------------------

TsbStatusPanel::TsbStatusPanel(TCollection* Collection)
    : TCollectionItem(Collection), FGaugeAttrs(std::make_unique<TsbGaugeAttrs>(this)),
      FGlyph(std::make_unique<TPicture>())
{
    FPanels = qobject_cast<TsbStatusPanels*>(Collection);
    if (!FPanels || !FPanels->StatusBar())
        throw EInvalidOperation("TsbStatusPanel owner must be TsbStatusPanesls");
    TsbStatusBar* Bar = FPanels->StatusBar();
    FLinkedPanel = Bar->TStatusBar::Panels().Add();
    FLinkedPanel->SetStyle(TStatusPanel::psOwnerDraw);
    FLinkedPanel->SetIndex(Index());
    FGlyph->OnChange = [this](TPicture*) {
        FitWidth();
        Invalidate();
    };
}

TsbStatusPanel::~TsbStatusPanel()
{
    LeaveServices();
    FGlyph->OnChange = nullptr;
    delete FLinkedPanel;
}

TsbStatusBar* TsbStatusPanel::StatusBar() const
{
    return FPanels ? FPanels->StatusBar() : nullptr;
}

TAlignment TsbStatusPanel::Alignment() const
{
    return FLinkedPanel->Alignment();
}

void TsbStatusPanel::SetAlignment(TAlignment Value)
{
    FLinkedPanel->SetAlignment(Value);
}

TStatusPanelBevel TsbStatusPanel::Bevel() const
{
    return FLinkedPanel->Bevel();
}

void TsbStatusPanel::SetBevel(TStatusPanelBevel Value)
{
    FLinkedPanel->SetBevel(Value);
}

void TsbStatusPanel::SetBorderWidth(int Value)
{
    Value = std::max(Value, 0);
    if (FBorderWidth == Value)
        return;
    FBorderWidth = Value;
    FitWidth();
    Invalidate();
}

TBiDiMode TsbStatusPanel::BiDiMode() const
{
    return FLinkedPanel->BiDiMode();
}

void TsbStatusPanel::SetBiDiMode(TBiDiMode Value)
{
    FLinkedPanel->SetBiDiMode(Value);
}

bool TsbStatusPanel::ParentBiDiMode() const
{
    return FLinkedPanel->ParentBiDiMode();
}

void TsbStatusPanel::SetParentBiDiMode(bool Value)
{
    FLinkedPanel->SetParentBiDiMode(Value);
}

bool TsbStatusPanel::IsAnimatedGauge() const
{
    return FPanelType == sptGauge && FGaugeAttrs->Style() != gsPercent;
}

int TsbStatusPanel::LockKey() const
{
    switch (FPanelType) {
    case sptNumLock: return VK_NUMLOCK;
    case sptScrollLock: return VK_SCROLL;
    default: return VK_CAPITAL;
    }
}

bool TsbStatusPanel::EffectiveEnabled() const
{
    const TsbStatusBar* Bar = StatusBar();
    return FEnabled && Bar && Bar->Enabled();
}

bool TsbStatusPanel::LockOn() const
{
    return FService == svMonitor ? FKeyOn : LockKeyOn(LockKey());
}

void TsbStatusPanel::JoinServices()
{
    TsbStatusBar* Bar = StatusBar();
    if (FService != svNone || !Bar || !EffectiveEnabled() || Bar->IsDesigning())
        return;
    if (IsLockType()) {
        if (Bar->FUseMonitorDLL) {
            if (Bar->FMonitorPanels++ == 0) {
                if (!TKeyboardMonitorLibrary::Loaded())
                    TKeyboardMonitorLibrary::Load();
                Bar->FMonitorMessage = TKeyboardMonitorLibrary::Register(Bar);
            }
            FKeyOn = LockKeyOn(LockKey());
            FService = svMonitor;
        } else {
            TLockKeyHook::Instance().Join(this);
            Bar->FMainWinHookPanels.push_back(this);
            FService = svKeyboardHook;
        }
    } else if (IsDateTimeType() || IsAnimatedGauge()) {
        FPanels->JoinTimer(this);
        FService = svTimer;
    }
}

void TsbStatusPanel::LeaveServices()
{
    const TService Service = FService;
    FService = svNone;
    TsbStatusBar* Bar = StatusBar();
    switch (Service) {
    case svNone:
        break;
    case svKeyboardHook:
        TLockKeyHook::Instance().Leave(this);
        if (Bar)
            std::erase(Bar->FMainWinHookPanels, this);
        break;
    case svMonitor:
        if (Bar && --Bar->FMonitorPanels == 0) {
            TKeyboardMonitorLibrary::Deregister(Bar);
            if (TKeyboardMonitorLibrary::RegisteredCount() == 0)
                TKeyboardMonitorLibrary::Unload();
        }
        break;
    case svTimer:
        FPanels->LeaveTimer(this);
        break;
    }
}

void TsbStatusPanel::ResetGauge()
{
    FGaugePosition = 0;
    FGaugeStep = FGaugeAttrs->Speed();
}

void TsbStatusPanel::SetPanelType(TsbStatusPanelType Value)
{
    if (FPanelType == Value)
        return;
    LeaveServices();
    FPanelType = Value;
    switch (Value) {
    case sptCapsLock:
    case sptNumLock:
    case sptScrollLock:
        SetText(Value == sptCapsLock ? QStringLiteral(" CAPS ")
                                     : Value == sptNumLock ? QStringLiteral(" NUM ") : QStringLiteral(" SCROLL "));
        SetAutoFit(true);
        JoinServices();
        break;
    case sptDate:
    case sptTime:
    case sptDateTime:
    case sptTimeDate:
        SetAutoFit(false);
        JoinServices();
        UpdateDateTime();
        break;
    case sptEllipsisText:
    case sptEllipsisPath:
        SetAutoFit(false);
        if (FHint.isEmpty())
            FHint = QStringLiteral("...");
        break;
    case sptGlyph:
        SetAutoFit(true);
        break;
    case sptGauge:
        SetAutoFit(false);
        SetAlignment(taCenter);
        if (FGaugeAttrs->Style() != gsPercent) {
            SetEnabled(false);
            ResetGauge();
        }
        break;
    default:
        SetAutoFit(false);
        break;
    }
    Invalidate();
}

void TsbStatusPanel::GaugeStyleChanging(TsbGaugeStyle)
{
    LeaveServices();
}

void TsbStatusPanel::GaugeColorChanged()
{
    FGradient.reset();
    Invalidate();
}

void TsbStatusPanel::SetGlyph(const TPicture* Value)
{
    FGlyph->Assign(Value);
}

void TsbStatusPanel::SetText(const QString& Value)
{
    if (FText == Value)
        return;
    FText = Value;
    FitWidth();
    Invalidate();
}

bool TsbStatusPanel::IsTextStored() const
{
    return !IsDateTimeType();
}

void TsbStatusPanel::SetDateFormat(const QString& Value)
{
    if (FDateFormat == Value)
        return;
    FDateFormat = Value;
    UpdateDateTime();
}

void TsbStatusPanel::SetTimeFormat(const QString& Value)
{
    if (FTimeFormat == Value)
        return;
    FTimeFormat = Value;
    UpdateDateTime();
}

void TsbStatusPanel::SetEnabled(bool Value)
{
    if (FEnabled == Value)
        return;
    LeaveServices();
    FEnabled = Value;
    if (!Value)
        ResetGauge();
    JoinServices();
    Invalidate();
}

int TsbStatusPanel::Width() const
{
    return FLinkedPanel->Width();
}

void TsbStatusPanel::SetWidth(int Value)
{
    const TsbStatusBar* Bar = StatusBar();
    if (FAutoFit && !(Bar && Bar->IsLoading()))
        return;
    if (Value == Width())
        return;
    FLinkedPanel->SetWidth(Value);
    if (IsAnimatedGauge())
        ResetGauge();
}

void TsbStatusPanel::SetAutoFit(bool Value)
{
    if (FAutoFit == Value)
        return;
    FAutoFit = Value;
    FitWidth();
    Invalidate();
}

void TsbStatusPanel::FitWidth()
{
    const TsbStatusBar* Bar = StatusBar();
    if (!FAutoFit || !Bar)
        return;
    const int TextWidth = FText.isEmpty() ? 0 : Bar->MeasureText(FText);
    int NewWidth;
    if (FPanelType == sptGlyph && !FText.isEmpty())
        NewWidth = TextWidth + 2 + 2 * FBorderWidth + FGlyph->Width() + 4;
    else if (FPanelType == sptGlyph)
        NewWidth = FGlyph->Width() + FBorderWidth + 4;
    else
        NewWidth = TextWidth + 6 + FBorderWidth;
    FLinkedPanel->SetWidth(NewWidth);
}

void TsbStatusPanel::UpdateDateTime()
{
    if (!IsDateTimeType())
        return;
    const TsbStatusBar* Bar = StatusBar();
    if (!Bar)
        return;
    const TDateTimeFormatSettings& Settings = Bar->FormatSettings;
    const QString DatePart = FDateFormat.isEmpty() ? Settings.ShortDateFormat : FDateFormat;
    const QString TimePart = FTimeFormat.isEmpty() ? Settings.LongTimeFormat : FTimeFormat;
    QString Format;
    switch (FPanelType) {
    case sptDate: Format = DatePart; break;
    case sptTime: Format = TimePart; break;
    case sptDateTime: Format = DatePart + QLatin1Char(' ') + TimePart; break;
    default: Format = TimePart + QLatin1Char(' ') + DatePart; break;
    }
    SetText(FormatDateTime(Format, Bar->Now(), Settings));
}

void TsbStatusPanel::StepGauge()
{
    const int AreaWidth = CurrentInnerRect().Width();
    FGaugePosition += FGaugeStep;
    const int Speed = FGaugeAttrs->Speed();
    if (FGaugeAttrs->Style() == gsIndeterminate) {
        const TRect Area = CurrentInnerRect();
        const int BlockSize = Area.Height() - 2 * (Area.Height() / 3);
        if (FGaugeStep > 0 && FGaugePosition + BlockSize + 1 >= AreaWidth)
            FGaugeStep = -Speed;
        else if (FGaugeStep < 0 && FGaugePosition <= 1)
            FGaugeStep = Speed;
    } else {
        const int BitmapWidth = GradientBitmap().Width();
        if (FGaugeStep > 0 && FGaugePosition + 1 >= AreaWidth)
            FGaugeStep = -Speed;
        else if (FGaugeStep < 0 && FGaugePosition <= -BitmapWidth)
            FGaugeStep = Speed;
    }
    Invalidate();
}

void TsbStatusPanel::Invalidate()
{
    if (TsbStatusBar* Bar = StatusBar())
        Bar->InvalidatePanel(Index());
}

void TsbStatusPanel::SetIndex(int Value)
{
    TCollectionItem::SetIndex(Value);
    FLinkedPanel->SetIndex(Value);
}

QString TsbStatusPanel::DisplayName() const
{
    if (FPanelType == sptNormal || FPanelType == sptEllipsisText || FPanelType == sptEllipsisPath)
        return FText;
    return QString::fromLatin1(QMetaEnum::fromType<TsbStatusPanelType>().valueToKey(FPanelType));
}

void TsbStatusPanel::Assign(const TPersistent* Source)
{
    const auto* Panel = qobject_cast<const TsbStatusPanel*>(Source);
    if (!Panel) {
        TCollectionItem::Assign(Source);
        return;
    }
    FGaugeAttrs->Assign(Panel->GaugeAttrs());
    SetAlignment(Panel->Alignment());
    SetBevel(Panel->Bevel());
    SetBiDiMode(Panel->BiDiMode());
    SetParentBiDiMode(Panel->ParentBiDiMode());
    SetGlyph(Panel->Glyph());
    SetText(Panel->Text());
    SetDateFormat(Panel->DateFormat());
    SetTimeFormat(Panel->TimeFormat());
    SetEnabled(Panel->Enabled());
    // The width is copied as it is, AutoFit or not.
    FLinkedPanel->SetWidth(Panel->Width());
    SetAutoFit(Panel->AutoFit());
    SetHint(Panel->Hint());
    OnDrawPanel = Panel->OnDrawPanel;
    OnHintText = Panel->OnHintText;
    SetPanelType(Panel->PanelType());
}

// --- TsbStatusPanels ------------------------------------------------------------------------

TsbStatusPanels::TsbStatusPanels(TsbStatusBar* StatusBar)
    : TCollection(CollectionItemFactory<TsbStatusPanel>()), FStatusBar(StatusBar)
{
}

TsbStatusPanels::~TsbStatusPanels()
{
    Clear();
}

void TsbStatusPanels::Update(TCollectionItem* Item)
{
    if (!FStatusBar)
        return;
    if (Item)
        FStatusBar->InvalidatePanel(IndexOf(Item));
    else
        FStatusBar->Invalidate();
}

void TsbStatusPanels::JoinTimer(TsbStatusPanel* Panel)
{
    if (!FTimer) {
        FTimer = std::make_unique<TTimer>();
        FTimer->SetEnabled(false);
        FTimer->OnTimer = [this](TTimer*) { TimerTick(); };
        FTimerDate = std::floor(FStatusBar->Now());
    }
    if (std::find(FTimerClients.begin(), FTimerClients.end(), Panel) != FTimerClients.end())
        return;
    FTimerClients.push_back(Panel);
    ++TimerRegistrations;
    SetInterval();
    FTimer->SetEnabled(true);
}

void TsbStatusPanels::LeaveTimer(TsbStatusPanel* Panel)
{
    TimerRegistrations -= static_cast<int>(std::erase(FTimerClients, Panel));
    if (FTimerClients.empty())
        FTimer.reset();
    else
        SetInterval();
}

void TsbStatusPanels::SetInterval()
{
    // The fastest client sets the pace.
    int Interval = kDateInterval;
    for (const TsbStatusPanel* Client : FTimerClients) {
        if (Client->IsAnimatedGauge())
            Interval = std::min(Interval, kGaugeInterval);
        else if (IsTimeType(Client->PanelType()))
            Interval = std::min(Interval, kTimeInterval);
    }
    FTimer->SetInterval(Interval);
}

void TsbStatusPanels::TimerTick()
{
    const double Today = std::floor(FStatusBar->Now());
    const bool DateChanged = Today != FTimerDate;
    FTimerDate = Today;
    // A client may leave while the others are served.
    const std::vector<TsbStatusPanel*> Clients = FTimerClients;
    for (TsbStatusPanel* Client : Clients) {
        if (std::find(FTimerClients.begin(), FTimerClients.end(), Client) == FTimerClients.end())
            continue;
        if (IsTimeType(Client->PanelType()) || (Client->PanelType() == TsbStatusPanel::sptDate && DateChanged))
            Client->UpdateDateTime();
        else if (Client->IsAnimatedGauge())
            Client->StepGauge();
    }
}

// --- TsbStatusBar ---------------------------------------------------------------------------

TsbStatusBar::TsbStatusBar(TComponent* AOwner)
    : TStatusBar(AOwner), FMeasure(std::make_unique<TBitmap>(1, 1))
{
    FPanels = std::make_unique<TsbStatusPanels>(this);
    FMeasure->Canvas().Font().Assign(&Font());
}

TsbStatusBar::~TsbStatusBar()
{
    Destroying();
    FPanels->Clear();
    Q_ASSERT_X(FMainWinHookPanels.empty(), "TsbStatusBar", "Unbalanced MainWinHook registrations");
    FPanels->FStatusBar = nullptr;
    FPanels.reset();
}

QString TsbStatusBar::Version() const
{
    return QStringLiteral("TsbStatusBar v1.24");
}

double TsbStatusBar::Now() const
{
    return Clock ? Clock() : LocalNow();
}

void TsbStatusBar::SetPanels(const TsbStatusPanels& Value)
{
    FPanels->Assign(&Value);
}

void TsbStatusBar::SetUseMonitorDLL(bool Value)
{
    if (FUseMonitorDLL == Value)
        return;
    for (int i = 0; i < FPanels->Count(); ++i)
        FPanels->GetItem(i)->LeaveServices();
    FUseMonitorDLL = Value;
    if (Value) {
        if (!TKeyboardMonitorLibrary::Loaded())
            TKeyboardMonitorLibrary::Load();
        if (!TKeyboardMonitorLibrary::Loaded()) {
            FUseMonitorDLL = false;
            if (IsDesigning())
                throw EInvalidOperation("Could not load " + TKeyboardMonitorLibrary::LibraryName().toStdString());
        }
    }
    for (int i = 0; i < FPanels->Count(); ++i)
        FPanels->GetItem(i)->JoinServices();
}

TsbStatusPanel* TsbStatusBar::PanelOfLink(const TStatusPanel* Link) const
{
    for (int i = 0; i < FPanels->Count(); ++i)
        if (FPanels->GetItem(i)->LinkedPanel() == Link)
            return FPanels->GetItem(i);
    Assert(false, "Panel links corrupted");
    return nullptr;
}

void TsbStatusBar::DrawPanel(TCanvas& Canvas, TStatusPanel* Panel, const TRect& Rect)
{
    TsbStatusPanel* Own = PanelOfLink(Panel);
    if (OnDrawPanel)
        OnDrawPanel(this, Own, Rect);
    Own->Redraw(Canvas, Rect);
}

void TsbStatusBar::InvalidatePanel(int Index)
{
    if (Index < 0 || Index >= FPanels->Count() || !HandleAllocated() || IsDestroying())
        return;
    const TRect Rect = PanelRect(FPanels->GetItem(Index)->LinkedPanel()->Index());
    TCanvas* Canvas = WindowCanvas();
    if (Rect.IsEmpty() || !Canvas)
        return;
    const TCanvasScope Scope(*this, *Canvas);
    Canvas->Font().Assign(&Font());
    DrawPanel(*Canvas, FPanels->GetItem(Index)->LinkedPanel(), Rect);
    UpdateWindow();
}

void TsbStatusBar::RefreshLockPanels()
{
    for (int i = 0; i < FPanels->Count(); ++i)
        if (FPanels->GetItem(i)->IsLockType())
            InvalidatePanel(i);
}

void TsbStatusBar::MonitorMessage(int VirtualKey, bool Toggled)
{
    const TsbStatusPanelType Type = VirtualKey == VK_NUMLOCK   ? TsbStatusPanel::sptNumLock
                                    : VirtualKey == VK_SCROLL  ? TsbStatusPanel::sptScrollLock
                                                               : TsbStatusPanel::sptCapsLock;
    for (int i = 0; i < FPanels->Count(); ++i) {
        TsbStatusPanel* Panel = FPanels->GetItem(i);
        if (Panel->PanelType() != Type)
            continue;
        Panel->FKeyOn = Toggled;
        InvalidatePanel(i);
    }
}

int TsbStatusBar::MeasureText(const QString& Text) const
{
    return FMeasure->Canvas().TextWidth(Text);
}

void TsbStatusBar::FontChanged()
{
    FMeasure->Canvas().Font().Assign(&Font());
    RefitPanels();
    TStatusBar::FontChanged();
}

void TsbStatusBar::RefitPanels()
{
    for (int i = 0; i < FPanels->Count(); ++i)
        FPanels->GetItem(i)->FitWidth();
}

void TsbStatusBar::Loaded()
{
    TStatusBar::Loaded();
    RefitPanels();
}

void TsbStatusBar::EnabledChanged()
{
    for (int i = 0; i < FPanels->Count(); ++i) {
        TsbStatusPanel* Panel = FPanels->GetItem(i);
        Panel->LeaveServices();
        if (!Enabled())
            Panel->ResetGauge();
        Panel->JoinServices();
    }
    Invalidate();
}

bool TsbStatusBar::HintAt(int X, int Y, QString& HintText, TRect& CursorRect) const
{
    const int Link = PanelAt(X, Y);
    CursorRect = ClientRect();
    if (Link >= 0) {
        TsbStatusPanel* Panel = PanelOfLink(TStatusBar::Panels().Items(Link));
        QString PanelHint = Panel->Hint();
        const bool Ellipsis = Panel->PanelType() == TsbStatusPanel::sptEllipsisText ||
                              Panel->PanelType() == TsbStatusPanel::sptEllipsisPath;
        if (Ellipsis && !IsDesigning() && PanelHint == QLatin1String("..."))
            PanelHint = Panel->Text();
        if (Panel->OnHintText)
            Panel->OnHintText(const_cast<TsbStatusBar*>(this), Panel, PanelHint);
        if (!PanelHint.isEmpty()) {
            HintText = PanelHint;
            CursorRect = PanelRect(Link);
            return true;
        }
        // The bar's hint holds until the mouse reaches a panel with one.
        for (int i = Link - 1; i >= 0; --i)
            if (!PanelOfLink(TStatusBar::Panels().Items(i))->Hint().isEmpty()) {
                CursorRect.Left = PanelRect(i).Right;
                break;
            }
        for (int i = Link + 1; i < TStatusBar::Panels().Count(); ++i)
            if (!PanelOfLink(TStatusBar::Panels().Items(i))->Hint().isEmpty()) {
                CursorRect.Right = PanelRect(i).Left;
                break;
            }
    }
    HintText = FHint;
    return !HintText.isEmpty();
}

void TsbStatusBar::Paint(TCanvas& Canvas)
{
    // The window exists once it paints: its tool tips come from the panels
    // (also after the window was made anew).
    if (HandleAllocated() && FHintWindow != Widget()) {
        if (!FHintFilter)
            FHintFilter = std::make_unique<THintFilter>(*this);
        FHintWindow = Widget();
        FHintWindow->installEventFilter(FHintFilter.get());
    }
    TStatusBar::Paint(Canvas);
}

void TsbStatusBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    FMouseDown = {X, Y};
    TStatusBar::MouseDown(Button, Shift, X, Y);
}

void TsbStatusBar::Click()
{
    const int Link = PanelAt(FMouseDown.X, FMouseDown.Y);
    if (Link >= 0) {
        TsbStatusPanel* Panel = PanelOfLink(TStatusBar::Panels().Items(Link));
        if (Panel->OnClick)
            Panel->OnClick(Panel);
    }
    TStatusBar::Click();
}

} // namespace lp

namespace lp {

void FinalizeStatusBars()
{
    TKeyboardMonitorLibrary::Unload();
    TLockKeyHook& Hook = TLockKeyHook::Instance();
    const bool HookInstalled = Hook.Installed();
    Hook.Remove();
    Assert(!HookInstalled, "TsbStatusBar: Keyboard hook still installed");
    Assert(TimerRegistrations == 0, "TsbStatusBar: Unbalanced timer registrations");
}

} // namespace lp
