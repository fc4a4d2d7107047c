#include "chart/editors/PlotPenBrushDialogs.h"

#include "chart/canvas/PlotCanvas.h"
#include "chart/editors/BrushPictures.h"
#include "chart/editors/UnkeptSettings.h"
#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotPatterns.h"
#include "chart/canvas/PlotPens.h"
#include "chart/canvas/PlotRoutines.h"
#include "platform/core/NumberFormat.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Picture.h"
#include "platform/ui/Dialogs.h"

#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QVBoxLayout>

namespace lp {

namespace {

constexpr int StyleItemHeight = 16;
const char* const PenStyleNames[] = {"Solid", "Dash", "Dot", "Dash Dot", "Dash Dot Dot"};
const char* const BrushStyleNames[] = {"Solid", "None", "Horizontal", "Vertical",
                                       "Diagonal", "Back Diagonal", "Cross", "Diagonal Cross"};

QPushButton* MakeButton(const QString& Caption, QWidget* Parent)
{
    auto* button = new QPushButton(Caption, Parent);
    button->setAutoDefault(false);
    return button;
}

// The OK and Cancel buttons of a dialog, OK the default.
void MakeOkCancel(QDialog& Dialog, QPushButton*& Ok, QPushButton*& Cancel)
{
    Ok = MakeButton(QStringLiteral("OK"), &Dialog);
    Ok->setDefault(true);
    Cancel = MakeButton(QStringLiteral("Cancel"), &Dialog);
    QObject::connect(Ok, &QPushButton::clicked, &Dialog, &QDialog::accept);
    QObject::connect(Cancel, &QPushButton::clicked, &Dialog, &QDialog::reject);
}

} // namespace

// --- TPenDialog ------------------------------------------------------------------------------------

TPenDialog::TPenDialog(QWidget* Owner) : QDialog(Owner)
{
    setWindowTitle(QStringLiteral("Border Editor"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    CBVisible = new QCheckBox(QStringLiteral("&Visible"), this);
    Label1 = new QLabel(QStringLiteral("&Style:"), this);
    CBStyle = new TComboFlat(this);
    CBStyle->setMinimumWidth(135);
    for (const char* name : PenStyleNames)
        CBStyle->addItem(QString::fromLatin1(name));
    CBStyle->SetDrawItem([this](TCanvas& Canvas, const TRect& Rect, int Index,
                                TColor Background) { DrawStyleItem(Canvas, Rect, Index, Background); },
                         StyleItemHeight);
    Label1->setBuddy(CBStyle);
    BColor = new TButtonColor(QStringLiteral("&Color..."), this);
    BColor->setMinimumWidth(100);
    LWidth = new QLabel(QStringLiteral("&Width:"), this);
    UDWidth = new QSpinBox(this);
    UDWidth->setRange(1, 999);
    UDWidth->setValue(1);
    LWidth->setBuddy(UDWidth);
    CBEndStyle = new TComboFlat(this);
    CBEndStyle->addItems({QStringLiteral("Round"), QStringLiteral("Square"), QStringLiteral("Flat")});
    CBEndStyle->setMinimumWidth(68);
    MakeOkCancel(*this, BOk, BCancel);

    auto* grid = new QGridLayout(this);
    grid->addWidget(CBVisible, 0, 0);
    grid->addWidget(Label1, 0, 1, Qt::AlignRight);
    grid->addWidget(CBStyle, 0, 2, 1, 2);
    grid->addWidget(BColor, 1, 0);
    grid->addWidget(LWidth, 1, 1, Qt::AlignRight);
    grid->addWidget(UDWidth, 1, 2);
    grid->addWidget(CBEndStyle, 2, 0);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BOk);
    buttons->addWidget(BCancel);
    grid->addLayout(buttons, 3, 0, 1, 4);
    grid->setColumnStretch(3, 1);
    setMinimumWidth(277);

    connect(CBVisible, &QCheckBox::toggled, this, [this](bool on) {
        if (FLoading || !ChartPen())
            return;
        ChartPen()->SetVisible(on);
        SetModified();
    });
    connect(CBStyle, &QComboBox::currentIndexChanged, this, &TPenDialog::StyleChanged);
    connect(UDWidth, &QSpinBox::valueChanged, this, &TPenDialog::WidthChanged);
    connect(CBEndStyle, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (FLoading || !ChartPen() || index < 0)
            return;
        ChartPen()->SetEndStyle(static_cast<TPenEndStyle>(index));
        SetModified();
    });
    BColor->OnClick = [this](TButtonColor*) {
        CBStyle->update();
        CBStyle->view()->viewport()->update();
        SetModified();
    };
}

TPenDialog::~TPenDialog() = default;

TChartPen* TPenDialog::ChartPen() const
{
    return qobject_cast<TChartPen*>(ThePen);
}

bool TPenDialog::SmallDotsItem(int Index) const
{
    return ChartPen() && GeometricPens() && Index == CBStyle->count() - 1 && CBStyle->count() > 5;
}

void TPenDialog::showEvent(QShowEvent* Event)
{
    if (!FLoaded) {
        FLoaded = true;
        LoadPen();
    }
    QDialog::showEvent(Event);
}

void TPenDialog::LoadPen()
{
    FLoading = true;
    FBackup = std::make_unique<TChartPen>();
    if (ThePen) {
        FBackup->Assign(ThePen);
        if (TChartPen* pen = ChartPen()) {
            CBVisible->setChecked(pen->Visible());
            FBackup->SetVisible(pen->Visible());
            if (GeometricPens())
                CBStyle->addItem(PlotMsg_SmallDotsPen);
            if (pen->SmallDots()) {
                CBStyle->setCurrentIndex(CBStyle->count() - 1);
                UDWidth->setEnabled(false);
            } else {
                CBStyle->setCurrentIndex(std::min<int>(pen->Style(), CBStyle->count() - 1));
            }
            if (GeometricPens())
                CBEndStyle->setCurrentIndex(pen->EndStyle());
            else
                CBEndStyle->hide();
        } else {
            CBVisible->hide();
            CBEndStyle->hide();
            CBStyle->setCurrentIndex(std::min<int>(ThePen->Style(), CBStyle->count() - 1));
        }
        UDWidth->setValue(ThePen->Width());
        UpdateStyleEnabling();
        BColor->LinkProperty(ThePen, QStringLiteral("Color"));
    }
    CallControlHook(this);
    FModified = false;
    FLoading = false;
}

void TPenDialog::UpdateStyleEnabling()
{
    if (!GeometricPens() && ThePen)
        CBStyle->setEnabled(ThePen->Width() == 1);
}

void TPenDialog::WidthChanged(int Value)
{
    if (FLoading || !ThePen)
        return;
    ThePen->SetWidth(Value);
    UpdateStyleEnabling();
    SetModified();
}

void TPenDialog::StyleChanged(int Index)
{
    if (FLoading || !ThePen || Index < 0)
        return;
    TChartPen* pen = ChartPen();
    if (SmallDotsItem(Index)) {
        pen->SetSmallDots(true);
        UDWidth->setEnabled(false);
    } else {
        ThePen->SetStyle(static_cast<TPen::TPenStyle>(Index));
        if (pen)
            pen->SetSmallDots(false);
        UDWidth->setEnabled(true);
    }
    SetModified();
}

void TPenDialog::DrawStyleItem(TCanvas& Canvas, const TRect& Rect, int Index, TColor Background) const
{
    Canvas.Brush().SetStyle(TBrush::bsSolid);
    Canvas.Brush().SetColor(Background);
    Canvas.FillRect(Rect);
    TColor color = ThePen ? ColorToRGB(ThePen->Color()) : clBlack;
    if (color == Background)
        color = color == clWhite ? clBlack : clWhite;
    TPen& sample = Canvas.Pen();
    sample.SetWidth(1);
    sample.SetColor(color);
    // The last item of a chart pen with geometric pens is the small-dots pen
    // with no spacing: every other pixel.
    sample.SetStyle(SmallDotsItem(Index) ? TPen::psAlternate : static_cast<TPen::TPenStyle>(std::clamp(Index, 0, 4)));
    Canvas.MoveTo(Rect.Left + 2, Rect.Top + 8);
    Canvas.LineTo(Rect.Left + 30, Rect.Top + 8);
    DrawItemText(Canvas, Rect.Left + 34, Rect.Top + 2, CBStyle->itemText(Index), Background);
}

void TPenDialog::reject()
{
    if (FModified && ThePen && FBackup) {
        ThePen->Assign(FBackup.get());
        if (TChartPen* pen = ChartPen())
            pen->SetVisible(FBackup->Visible());
        if (ThePen->OnChange)
            ThePen->OnChange(ThePen);
    }
    QDialog::reject();
}

// --- TBrushDialog ----------------------------------------------------------------------------------

TBrushDialog::TBrushDialog(QWidget* Owner) : QDialog(Owner)
{
    setWindowTitle(QStringLiteral("Pattern Color Editor"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    LStyle = new QListWidget(this);
    for (int i = 0; i < BrushStyleItemCount; ++i)
        LStyle->addItem(i < 8 ? QString::fromLatin1(BrushStyleNames[i]) : QString());
    SetOwnerDrawnItems(*LStyle,
                       [this](TCanvas& Canvas, const TRect& Rect, int Index, TColor Background) {
                           DrawStyleItem(Canvas, Rect, Index, Background);
                       },
                       StyleItemHeight);
    LStyle->setMinimumSize(150, 180);
    BColor = new TButtonColor(QStringLiteral("&Color..."), this);
    GroupImage = new QGroupBox(QStringLiteral("Image:"), this);
    GroupImage->setObjectName(QStringLiteral("GroupImage"));
    Button1 = MakeButton(QStringLiteral("&Image..."), GroupImage);
    Image1 = new QLabel(GroupImage);
    Image1->setFixedSize(64, 48);
    Image1->setScaledContents(true);
    auto* imageLayout = new QVBoxLayout(GroupImage);
    imageLayout->addWidget(Button1);
    imageLayout->addWidget(Image1, 0, Qt::AlignHCenter);
    MakeOkCancel(*this, Button2, Button3);
    // In the order of AllBrushPictures.
    QLabel** hidden[] = {&ImageMetal, &ImageWood, &ImageStone, &ImageClouds, &ImageGrass, &ImageFire, &ImageSnow};
    static_assert(std::size(hidden) == AllBrushPictures.size());
    for (size_t i = 0; i < AllBrushPictures.size(); ++i) {
        auto* picture = new QLabel(this);
        picture->setObjectName(BrushPictureName(AllBrushPictures[i]));
        picture->setPixmap(QPixmap::fromImage(BrushPictureImage(AllBrushPictures[i])));
        picture->hide();
        *hidden[i] = picture;
    }

    auto* grid = new QGridLayout(this);
    grid->addWidget(LStyle, 0, 0, 5, 1);
    grid->addWidget(BColor, 0, 1);
    grid->addWidget(GroupImage, 1, 1);
    grid->setRowStretch(2, 1);
    grid->addWidget(Button2, 3, 1);
    grid->addWidget(Button3, 4, 1);

    connect(LStyle, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { StyleClick(LStyle->row(item)); });
    connect(Button1, &QPushButton::clicked, this, [this] { ImageClick(); });
    BColor->OnClick = [this](TButtonColor*) { LStyle->viewport()->update(); };
}

TBrushDialog::~TBrushDialog() = default;

void TBrushDialog::showEvent(QShowEvent* Event)
{
    if (!FLoaded && TheBrush) {
        FLoaded = true;
        FBackup = std::make_unique<TChartBrush>();
        FBackup->Assign(TheBrush);
        SelectStyleItem();
        BColor->LinkProperty(TheBrush, QStringLiteral("Color"));
        UpdateImageControls();
        UpdateColorButton();
    }
    QDialog::showEvent(Event);
}

void TBrushDialog::SelectStyleItem()
{
    // A brush filled by a picture of its own shows no style.
    const bool ownPicture = TheBrush->HasImage() && TheBrush->Style() < 8;
    LStyle->setCurrentRow(ownPicture ? -1 : std::min<int>(TheBrush->Style(), BrushStyleItemCount - 1));
}

void TBrushDialog::UpdateColorButton()
{
    BColor->setEnabled(TheBrush && TheBrush->Style() != TBrush::bsClear);
}

void TBrushDialog::UpdateImageControls()
{
    const bool hasImage = TheBrush && TheBrush->HasImage();
    Button1->setText(hasImage ? PlotMsg_ClearImage : PlotMsg_BrowseImage);
    Button1->setProperty("Tag", hasImage ? 1 : 0);
    if (hasImage)
        Image1->setPixmap(QPixmap::fromImage(TheBrush->Image()->Graphic()->ToImage()));
    else
        Image1->clear();
}

void TBrushDialog::StyleClick(int Index)
{
    if (!TheBrush || Index < 0 || Index >= BrushStyleItemCount)
        return;
    TheBrush->SetStyle(static_cast<TBrush::TBrushStyle>(Index));
    if (Index < 8) {
        TheBrush->SetImage(nullptr);
    } else {
        TBitmap pattern;
        LoadBrushStyleBitmap(Index - 8, pattern);
        TPicture picture;
        picture.SetGraphic(&pattern);
        TheBrush->SetImage(&picture);
    }
    UpdateImageControls();
    UpdateColorButton();
}

void TBrushDialog::ImageClick()
{
    if (!TheBrush)
        return;
    SelectStyleItem();
    if (Button1->property("Tag").toInt() == 1) {
        TheBrush->SetImage(nullptr);
    } else {
        const QString fileName = AskPictureFileName(this);
        if (!fileName.isEmpty()) {
            TPicture picture;
            picture.LoadFromFile(fileName);
            if (!qobject_cast<TBitmap*>(picture.Graphic())) {
                // The brush fills with bitmaps: other pictures are drawn
                // into one of the same size.
                TBitmap bitmap;
                bitmap.SetSize(picture.Graphic()->Width(), picture.Graphic()->Height());
                bitmap.Canvas().Draw(0, 0, picture.Graphic());
                picture.SetGraphic(&bitmap);
            }
            TheBrush->SetImage(&picture);
        }
    }
    UpdateImageControls();
}

void TBrushDialog::DrawStyleItem(TCanvas& Canvas, const TRect& Rect, int Index, TColor Background) const
{
    Canvas.Brush().SetStyle(TBrush::bsSolid);
    Canvas.Brush().SetColor(Background);
    Canvas.FillRect(Rect);
    if (Index != TBrush::bsClear) {
        TDeviceContext& dc = Canvas.Handle();
        const TColor oldText = dc.SetTextColor(clBlack);
        dc.SetBkColor(clWhite);
        dc.SetBkMode(TRANSPARENT);
        const TRect sample{Rect.Left + 2, Rect.Top + 2, Rect.Left + 16, Rect.Bottom - 2};
        Canvas.Brush().SetColor(clBlack);
        if (Index < 8) {
            Canvas.Brush().SetStyle(static_cast<TBrush::TBrushStyle>(Index));
            Canvas.FillRect(sample);
        } else {
            TBitmap pattern;
            LoadBrushStyleBitmap(Index - 8, pattern);
            Canvas.Brush().SetBitmap(&pattern);
            Canvas.FillRect(sample);
            Canvas.Brush().SetBitmap(nullptr);
        }
        dc.SetTextColor(oldText);
    }
    DrawItemText(Canvas, Rect.Left + 20, Rect.Top + 1, LStyle->item(Index)->text(), Background);
}

void TBrushDialog::reject()
{
    if (TheBrush && FBackup)
        TheBrush->Assign(FBackup.get());
    QDialog::reject();
}

// --- TButtonPen ------------------------------------------------------------------------------------

TButtonPen::TButtonPen(const QString& Caption, QWidget* Parent) : TPlotButton(Caption, Parent)
{
    connect(this, &QPushButton::clicked, this, [this] { PenClick(); });
}

void TButtonPen::LinkPen(TPen* Pen)
{
    LinkProperty(Pen, QString());
}

TPen* TButtonPen::Pen() const
{
    return qobject_cast<TPen*>(LinkedObject());
}

void TButtonPen::DrawSymbol(TPlotCanvas& Canvas)
{
    TPen* pen = Pen();
    if (!isEnabled() || !pen)
        return;
    const int penWidth = pen->Width();
    const bool narrowed = penWidth > 6;
    auto onChange = pen->OnChange;
    if (narrowed) {
        // The sample stays inside the button; the pen's owner hears nothing.
        pen->OnChange = nullptr;
        pen->SetWidth(6);
    }
    Canvas.Brush()->SetStyle(TBrush::bsClear);
    Canvas.AssignVisiblePen(*pen);
    Canvas.Line(width() - 17, height() / 2, width() - 6, height() / 2);
    if (narrowed) {
        pen->SetWidth(penWidth);
        pen->OnChange = std::move(onChange);
    }
}

void TButtonPen::PenClick()
{
    TPen* pen = Pen();
    if (!pen) {
        if (OnClick)
            OnClick(this);
        return;
    }
    if (FDialog)
        return;
    std::unique_ptr<TPenDialog> dialog = CreatePenDialog(this, *pen, HideColor);
    FDialog = dialog.get();
    const int result = dialog->exec();
    FDialog = nullptr;
    if (result == QDialog::Accepted) {
        repaint();
        if (OnClick)
            OnClick(this);
    }
}

// --- Entry routines --------------------------------------------------------------------------------

void PlaceDialogForm(QDialog& Form, QWidget* OwnerWindow)
{
    Form.setSizeGripEnabled(false);
    Form.adjustSize();
    const QRect area = OwnerWindow ? OwnerWindow->frameGeometry()
                                   : (QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry()
                                                                       : QRect(0, 0, 800, 600));
    Form.move(area.center() - QPoint(Form.width() / 2, Form.height() / 2));
}

QPushButton* AddDialogCloseButton(QDialog& Form)
{
    QPushButton* close = MakeButton(QStringLiteral("Close"), &Form);
    close->setObjectName(QStringLiteral("BClose"));
    close->setDefault(true);
    QObject::connect(close, &QPushButton::clicked, &Form, &QDialog::accept);
    if (auto* grid = qobject_cast<QGridLayout*>(Form.layout()))
        grid->addWidget(close, grid->rowCount(), 0, 1, -1, Qt::AlignRight);
    else if (auto* box = qobject_cast<QBoxLayout*>(Form.layout()))
        box->addWidget(close, 0, Qt::AlignRight);
    return close;
}

QHBoxLayout* OkCancelRow(QPushButton* Ok, QPushButton* Cancel)
{
    Ok->setDefault(true);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(Ok);
    row->addWidget(Cancel);
    return row;
}

std::unique_ptr<TPenDialog> CreatePenDialog(QWidget* Owner, TPen& Pen, bool HideColor)
{
    auto dialog = CreateDialogForm<TPenDialog>(Owner);
    dialog->ThePen = &Pen;
    if (HideColor)
        dialog->BColor->hide();
    return dialog;
}

bool EditChartPen(QWidget* Owner, TPen& Pen, bool HideColor)
{
    return CreatePenDialog(Owner, Pen, HideColor)->exec() == QDialog::Accepted;
}

TEditGradientEntry& EditGradientEntryPoint()
{
    static TEditGradientEntry entry;
    return entry;
}

bool EditGradient(QWidget* Owner, TPlotGradient& Gradient)
{
    const TEditGradientEntry entry = EditGradientEntryPoint();
    return entry ? entry(Owner, Gradient) : false;
}

namespace {

bool RunBrushDialog(QWidget* Owner, TChartBrush& Brush, const std::function<void(TBrushDialog&)>& Lock)
{
    auto dialog = CreateDialogForm<TBrushDialog>(Owner);
    dialog->TheBrush = &Brush;
    Lock(*dialog);
    CallControlHook(dialog.get());
    return dialog->exec() == QDialog::Accepted;
}

} // namespace

bool EditChartBrush(QWidget* Owner, TChartBrush& Brush)
{
    return RunBrushDialog(Owner, Brush, [Owner](TBrushDialog& Dialog) { LockUnkeptInDialog(Dialog, Owner); });
}

bool EditChartBrush(QWidget* Owner, TChartBrush& Brush, const TUnkeptSettings& Unkept)
{
    return RunBrushDialog(Owner, Brush, [&Unkept](TBrushDialog& Dialog) { LockUnkeptInDialog(Dialog, Unkept); });
}

bool EditPlotFont(QWidget* Owner, TFont& Font)
{
    TFontDialogRequest request;
    request.Owner = Owner;
    request.Font = QFont(Font.Name(), Font.Size());
    request.Font.setBold(Font.Style() & TFont::fsBold);
    request.Font.setItalic(Font.Style() & TFont::fsItalic);
    request.Font.setUnderline(Font.Style() & TFont::fsUnderline);
    request.Font.setStrikeOut(Font.Style() & TFont::fsStrikeOut);
    if (!ExecuteFontDialog(request))
        return false;
    const QFont& chosen = request.Font;
    Font.SetName(chosen.family());
    if (chosen.pointSize() > 0)
        Font.SetSize(chosen.pointSize());
    TFont::TFontStyles style;
    style.setFlag(TFont::fsBold, chosen.bold());
    style.setFlag(TFont::fsItalic, chosen.italic());
    style.setFlag(TFont::fsUnderline, chosen.underline());
    style.setFlag(TFont::fsStrikeOut, chosen.strikeOut());
    Font.SetStyle(style);
    return true;
}

QString AskPictureFileName(QWidget* Owner)
{
    TOpenDialogRequest request;
    request.Owner = Owner;
    request.Filter = GraphicFilter();
    return ExecuteOpenDialog(request) ? request.FileName : QString();
}

void LoadOrClearPicture(QWidget* Owner, TPicture& Picture)
{
    if (Picture.Graphic()) {
        Picture.SetGraphic(nullptr);
        return;
    }
    const QString fileName = AskPictureFileName(Owner);
    if (!fileName.isEmpty())
        Picture.LoadFromFile(fileName);
}

// --- Helpers of editor forms -----------------------------------------------------------------------

void AddFormTo(QWidget* Form, QWidget* Parent, int Tag)
{
    Form->setParent(Parent, Qt::Widget);
    Form->setAutoFillBackground(false);
    Form->setProperty("Tag", Tag);
    const int top = std::min(4, std::abs(Parent->height() - Form->height()) / 2);
    Form->move(4, top);
    Form->show();
}

void ShowControls(bool Visible, std::initializer_list<QWidget*> Controls)
{
    for (QWidget* control : Controls)
        control->setVisible(Visible);
}

bool AskYesNo(const QString& Message, QWidget* Control)
{
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
    const TMsgDlgButtons buttons = mbYes | mbNo;
    const int answer = Control ? MessageDlgPos(Message, TMsgDlgType::mtConfirmation, buttons,
                                               Control->mapToGlobal(QPoint(0, 0)) + QPoint(20, 30))
                               : MessageDlg(Message, TMsgDlgType::mtConfirmation, buttons);
    return answer == mrYes;
}

bool AskDeleteConfirm(const QString& Name, QWidget* Control)
{
    return AskYesNo(Format(PlotMsg_SureToDelete, {Name}), Control);
}

QStringList MarksStyleNames()
{
    return {QStringLiteral("Value"),           QStringLiteral("Percent"),
            QStringLiteral("Label"),           QStringLiteral("Label and Percent"),
            QStringLiteral("Label and Value"), QStringLiteral("Legend"),
            QStringLiteral("Percent Total"),   QStringLiteral("Label and Percent Total"),
            QStringLiteral("X value"),         QStringLiteral("X and Y values")};
}

void AddDefaultValueFormats(QStringList& Strings)
{
    Strings << PlotMsg_DefaultValueFormat << QStringLiteral("0") << QStringLiteral("0.0") << QStringLiteral("0.#")
            << QStringLiteral("#.#") << QStringLiteral("#,##0.00;(#,##0.00)") << QStringLiteral("00e-0")
            << QStringLiteral("#.0 \"x10\" E+0") << QStringLiteral("#.# x10E-#");
}

void LoadArrowBitmap(bool Up, TBitmap& Bitmap)
{
    Bitmap.SetSize(16, 16);
    TCanvas& canvas = Bitmap.Canvas();
    canvas.Brush().SetStyle(TBrush::bsSolid);
    canvas.Brush().SetColor(clWhite);
    canvas.FillRect({0, 0, 16, 16});
    canvas.Brush().SetColor(clBlack);
    canvas.Pen().SetColor(clBlack);
    if (Up)
        canvas.Polygon({{3, 10}, {12, 10}, {8, 5}});
    else
        canvas.Polygon({{3, 5}, {12, 5}, {8, 10}});
    Bitmap.SetTransparentColor(clWhite);
    Bitmap.SetTransparent(true);
}

void LoadArrowBitmaps(QAbstractButton* UpButton, QAbstractButton* DownButton)
{
    TBitmap up;
    TBitmap down;
    LoadArrowBitmap(true, up);
    LoadArrowBitmap(false, down);
    UpButton->setIcon(QIcon(QPixmap::fromImage(up.ToImage())));
    DownButton->setIcon(QIcon(QPixmap::fromImage(down.ToImage())));
}

namespace {

QListWidgetItem* CopyItem(const QListWidgetItem& Item)
{
    auto* copy = new QListWidgetItem(Item.text());
    copy->setData(Qt::UserRole, Item.data(Qt::UserRole));
    return copy;
}

} // namespace

void MoveListSelected(QListWidget* Source, QListWidget* Dest)
{
    for (int i = 0; i < Source->count(); ++i)
        if (Source->item(i)->isSelected())
            Dest->addItem(CopyItem(*Source->item(i)));
    for (int i = Source->count() - 1; i >= 0; --i)
        if (Source->item(i)->isSelected())
            delete Source->takeItem(i);
}

void MoveListItems(QListWidget* Source, QListWidget* Dest)
{
    for (int i = 0; i < Source->count(); ++i)
        Dest->addItem(CopyItem(*Source->item(i)));
    Source->clear();
}

// --- Cursor names ------------------------------------------------------------------------------

namespace {
const QString PlotHandIdent = QStringLiteral("crPlotHand");
}

bool PlotIdentToCursor(const QString& Ident, TCursor& Cursor)
{
    if (Ident.compare(PlotHandIdent, Qt::CaseInsensitive) == 0) {
        Cursor = crPlotHand;
        return true;
    }
    return IdentToCursor(Ident, Cursor);
}

bool PlotCursorToIdent(TCursor Cursor, QString& Ident)
{
    if (Cursor == crPlotHand) {
        Ident = PlotHandIdent;
        return true;
    }
    return CursorToIdent(Cursor, Ident);
}

TCursor CursorFromName(const QString& Name, TCursor Default)
{
    TCursor cursor = Default;
    return PlotIdentToCursor(QStringLiteral("cr") + Name, cursor) ? cursor : Default;
}

void TTempCursors::GetCursorName(const QString& Ident)
{
    Combo->addItem(Ident.startsWith(QStringLiteral("cr")) ? Ident.mid(2) : Ident);
}

void FillCursorCombo(QComboBox* Combo, TCursor Cursor)
{
    const QSignalBlocker block(Combo);
    Combo->clear();
    TTempCursors names(Combo);
    for (const QString& ident : CursorIdents())
        names.GetCursorName(ident);
    names.GetCursorName(PlotHandIdent);
    QString ident;
    Combo->setCurrentIndex(PlotCursorToIdent(Cursor, ident) ? Combo->findText(ident.mid(2)) : -1);
}

} // namespace lp
