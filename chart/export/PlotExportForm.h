#pragma once
// The export dialog: copies, saves or mails a panel as a picture, as a
// native file or, for charts, as data.
//
//   TPlotExportFormBase (QDialog)   any panel; native form = its component stream
//     PageControl1: Picture (format list, Options / Size pages)
//                   Native  (series data, file size, binary or text)
//                   Data    (series, format, delimiter, quotes, includes)
//     bottom bar:   Copy, Save..., Send..., Close
//   TPlotExportForm                 chart file for Native, series data exporters for Data
//
// Save dialogs and the mail program are replaceable members, so tests and
// hosts drive the dialog without modal windows. Every file is written
// through SaveAtomically: a failed save leaves an existing file as it was.
// Send writes the file into a folder of its own in the temporary folder and
// hands it to the desktop's mail program ("xdg-email --attach"); the mail
// program may read it later, so it is removed when this program ends.

#include "chart/canvas/PlotPanel.h"
#include "chart/export/PlotExportFormat.h"

#include <QtWidgets/QDialog>

#include <functional>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QWidget;

namespace lp {

class TSeriesData;

// What a save dialog is asked: filter as "text|mask|text|mask" pairs, the
// 1-based filter index and the default extension; on acceptance the chosen
// name and filter index. WrittenName, when set, gives the file a chosen
// name will be written to (the dialog asks before replacing that file).
struct TExportSaveRequest {
    QString Filter;
    int FilterIndex = 1;
    QString DefaultExt;
    QString FileName;
    std::function<QString(const QString& FileName, int FilterIndex)> WrittenName;
};

// The data filter entries, indexes 1 to 8: space, tab, comma, colon and
// custom delimited text, XML, HTML, spreadsheet.
QString ExportDataFilter();
// The extension ("txt", "csv", "xml", "htm", "xls") of a data filter index.
QString ExportDataFilterExtension(int FilterIndex);

class TPlotExportFormBase : public QDialog {
    Q_OBJECT
public:
    explicit TPlotExportFormBase(QWidget* Owner = nullptr);
    ~TPlotExportFormBase() override;

    // The panel to export; TagPanel wins at show time when set.
    TCustomPlotPanel* ExportPanel = nullptr;
    TCustomPlotPanel* TagPanel = nullptr;

    // Fills the lists for the panel (nothing without one).
    void FormShow();
    // The three actions of the bottom bar for the page shown; failures
    // raise (the buttons report them through the application).
    void Copy();
    void Save();
    void Send();
    // Enables Copy, Save and Send for the page and the choices shown.
    void UpdateButtons();

    // Asks for the file to save; the default shows a file dialog.
    std::function<bool(TExportSaveRequest&)> AskSaveFileName;
    // Whether a mail program can be started (asked once per dialog); the
    // default looks for xdg-email.
    std::function<bool()> MailAvailable;
    // Opens a new message with Subject and the file attached; 0 on success,
    // else the failing code. The default runs xdg-email.
    std::function<int(const QString& Subject, const QString& FileName)> SendMail;

    QString PictureFilter() const { return FPictureFilter; }
    // The selected picture format (nullptr when there is none).
    TPlotExportFormat* SelectedFormat() const;
    // The 1-based filter index the data save offers for the choices shown.
    int DataFilterIndex() const;
    // The delimiter chosen in CBDelim.
    QChar Delimiter() const;

    QTabWidget* PageControl1;
    QWidget* TabPicture;
    QWidget* TabNative;
    QWidget* TabData;
    QGroupBox* RGFormat;
    QListWidget* LBFormat;
    QTabWidget* PageOptions;
    QWidget* TabOptions;
    QWidget* TabSize;
    QSpinBox* UDWidth;
    QSpinBox* UDHeight;
    QCheckBox* CBAspect;
    QCheckBox* CBNativeData;
    QCheckBox* CBFileSize;
    QLabel* LabelSize;
    QComboBox* CBNativeFormat;
    QWidget* Panel5;
    QComboBox* CBSeries;
    QGroupBox* RGText;
    QRadioButton* RBText;
    QRadioButton* RBXML;
    QRadioButton* RBHTML;
    QRadioButton* RBExcel;
    QComboBox* CBDelim;
    QLineEdit* ECustom;
    QLineEdit* EQuotes;
    QCheckBox* CBLabels;
    QCheckBox* CBIndex;
    QCheckBox* CBHeader;
    QCheckBox* CBColors;
    QPushButton* BCopy;
    QPushButton* BSave;
    QPushButton* BSend;
    QPushButton* BClose;

    // The chosen data format: 0 text, 1 XML, 2 HTML, 3 spreadsheet.
    int DataFormat() const;
    void SetDataFormat(int Index);

protected:
    // A new data exporter for the choices shown (none in the base).
    virtual std::unique_ptr<TSeriesData> CreateData();
    // Writes the native form to FileName (replaced only by a complete file).
    virtual void SaveNativeToFile(const QString& FileName, bool IncludeData);
    virtual bool HasSeries() const;
    // The native form in memory.
    virtual QByteArray CreateNativeStream();
    // Hides the Data page and the series data check box in the base.
    virtual void PrepareDataPage();

    TCustomPlotPanel* Panel() const { return ExportPanel; }
    bool NativeIsText() const;

private:
    void CreatePicturePage();
    void CreateNativePage();
    void CreateDataPage();
    void CreateButtons();
    void Connect();
    void Guard(const std::function<void()>& Handler);

    void FillFormats();
    void FormatClick();
    void ChainOptionsFocus(QWidget* Options);
    void WidthChanged(int Value);
    void HeightChanged(int Value);
    void DataFormatClick();
    void DelimiterChange();
    void FileSizeClick();

    QString CurrentExtension() const;
    void SaveTo(const QString& FileName);
    void SavePicture(const QString& FileName);
    void SaveData(const QString& FileName);

    struct TFormatItem {
        QString Description;
        std::unique_ptr<TPlotExportFormat> Format;
    };
    std::vector<TFormatItem> FFormats;
    QString FPictureFilter;
    double FRatio = 0;
    bool FChanging = false;
    int FMailAvailable = -1; // unknown until asked
};

class TPlotExportForm : public TPlotExportFormBase {
    Q_OBJECT
public:
    explicit TPlotExportForm(QWidget* Owner = nullptr);

protected:
    std::unique_ptr<TSeriesData> CreateData() override;
    void SaveNativeToFile(const QString& FileName, bool IncludeData) override;
    bool HasSeries() const override;
    QByteArray CreateNativeStream() override;
    void PrepareDataPage() override;
};

} // namespace lp
