#pragma once
// The measurement view window: one Measure view's 18 measurements of CH1 or
// CH2 with value, limits and verdict, fetched from the instrument once or
// continuously (jobs 1 and 2), judged against the limits of the pass/fail
// dialog, and exported as tab-separated text.
//
// The window's tag is its view's slot; every handler reads it again, so a view
// that moved to another slot is shown from its new one.
#include <QWidget>
#include <array>

#include "common/SheetModel.h"
#include "measure/model/MeasureList.h"
#include "sheets/FetchingView.h"

class QGroupBox;
class QLabel;
class QRadioButton;
class QToolButton;
class QTreeWidget;

class frmMeasure : public FetchingViewWindow {
    Q_OBJECT
public:
    explicit frmMeasure(QWidget* parent = nullptr);
    ~frmMeasure() override;

    // Called again when the window is re-used for a view in another slot.
    void Form_Load() override;
    // One fetch of the chosen channel; false when nothing was fetched (no
    // channel, a transfer refused or failed): the record keeps its values.
    bool LoadMeasure();

    // The names alone (a view without data) / the record judged.
    void StartDispMeasure();
    void DispMeasure(int slot);
    // The record again, as its state asks (after a language switch).
    void Redisplay();

    // Writes the export file of a view; false (after saying why) when it
    // could not be written whole.
    bool ExportMeasureFileProc(const QString& path, int slot);

    // Handlers, public so the tests can drive them without a clock (the
    // set-up and channel tick Timer1_Timer, the pacing tick Timer2_Timer
    // and cmdRefresh_Click are the bases').
    void cmdPassFailed_Click();
    void cmdExport_Click();
    void Form_Resize() override;

    // The record of the slot in the tag (nullptr when none).
    MeasureInfo* Record() const;

    QGroupBox* FrameCH = nullptr;
    std::array<QRadioButton*, 2> OptionCH{};
    QGroupBox* FrameButtons = nullptr;
    QToolButton* cmdPassFailed = nullptr;
    QToolButton* cmdExport = nullptr;
    QLabel* SettingLabel = nullptr;
    QTreeWidget* MeasureView = nullptr;

protected:
    // The first tick shows the record; every tick (the first included)
    // keeps the channel choice in step with the display settings.
    void SetUp() override;
    void Tick() override;
    bool Fetch() override { return LoadMeasure(); }

private:
    void selectOption(int index);
    void fillList(const MeasureListRows& rows);
};

// The measurement window of a slot when one exists (nullptr otherwise).
frmMeasure* MeasureForm(int slot);
// Registers the Measure views' window factory with the window registry.
void RegisterMeasureWindow();
