#pragma once
// The data view window: one Data view's numbered table of time and voltage
// of one channel (CH1, CH2 or the logic analyser), refreshed from the
// instrument once or continuously, and exported as text.
//
// The window's tag is its view's slot; every handler reads it again to find
// the record, so a view that moved to another slot is shown from its new one.
#include <QWidget>
#include <array>

#include "common/SheetModel.h"
#include "sheets/FetchingView.h"

class QGroupBox;
class QLabel;
class QRadioButton;
class QTableView;
class QToolButton;
class DataTableModel;

class frmData : public FetchingViewWindow {
    Q_OBJECT
public:
    explicit frmData(QWidget* parent = nullptr);
    ~frmData() override;

    // Called again when the window is re-used for a view in another slot.
    void Form_Load() override;
    // A new view: the channel options laid out (LA hidden and disabled).
    void PrepareNewView(int slot) override;
    // CH1 and CH2 900 twips apart, LA hidden and disabled (with or without
    // the logic analyser: the data view offers no LA table yet).
    void LayOutChannels(bool laPresent) override;
    // Fetches the chosen channel's table (jobs 3, 4, 5); false when nothing was fetched.
    bool LoadData();

    void ShowEmptyList();
    void ShowDataList();
    void RefreshDataList();

    // Handlers, public so the tests can drive them without a clock
    // (the set-up tick Timer1_Timer, the pacing tick Timer2_Timer and
    // cmdRefresh_Click are the bases').
    void OptionCH_Click(int index);
    void cmdExport_Click();
    void Form_Resize() override;

    // The record of the slot in the tag (nullptr when none).
    DataInfo* Record() const;

    // The table's view: built when the window is first painted, or here.
    QTableView* TableView();

    QTableView* MeasureView = nullptr;  // null until built
    DataTableModel* Table = nullptr;
    QLabel* SettingLabel = nullptr;
    std::array<QRadioButton*, 3> OptionCH{};
    QToolButton* cmdExport = nullptr;
    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    bool& FirstTickPending = SetUpPending;

protected:
    void paintEvent(QPaintEvent* event) override;
    void SetUp() override;
    void Tick() override;
    bool Fetch() override { return LoadData(); }

private:
    void selectOption(int index);  // selects from code, running OptionCH_Click
    void updateExportEnabled();

    bool tableQueued_ = false;
};

// The data window of a slot when one exists (nullptr otherwise).
frmData* DataForm(int slot);
// Makes the data view windows the windows of the Data views' slots.
void RegisterDataViewWindow();
