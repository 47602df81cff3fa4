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
#include "sheets/ViewWindow.h"

class QGroupBox;
class QLabel;
class QRadioButton;
class QTableView;
class QTimer;
class QToolButton;
class DataTableModel;

class frmData : public ViewWindow {
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
    // (Timer1_Timer, the set-up tick, is the base's).
    void Timer2_Timer();
    void OptionCH_Click(int index);
    void cmdRefresh_Click();
    void cmdExport_Click();
    void Form_Resize();

    // The record of the slot in the tag (nullptr when none).
    DataInfo* Record() const;

    // The table's view: built when the window is first painted, or here.
    QTableView* TableView();

    QTableView* MeasureView = nullptr;  // null until built
    DataTableModel* Table = nullptr;
    QLabel* SettingLabel = nullptr;
    std::array<QRadioButton*, 3> OptionCH{};
    QToolButton* cmdRefresh = nullptr;
    QToolButton* cmdExport = nullptr;
    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QTimer* Timer2 = nullptr;
    bool& FirstTickPending = SetUpPending;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void SetUp() override;
    void Tick() override;
    bool CanClose() const override;
    void Form_Unload() override;

private:
    void selectOption(int index);  // selects from code, running OptionCH_Click
    void setStopLook(bool stop);
    void updateExportEnabled();

    bool tableQueued_ = false;
};

// The data window of a slot when one exists (nullptr otherwise).
frmData* DataForm(int slot);
// Makes the data view windows the windows of the Data views' slots.
void RegisterDataViewWindow();
