#include "sheets/frmData.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <algorithm>

#include "common/DSOSettings.h"
#include "widgets/StandardIcons.h"
#include "common/ShellState.h"
#include "common/Twips.h"
#include "link/TransferJobs.h"
#include "link/Vocabulary.h"
#include "platform/dialogs/FileDialog.h"
#include "sheets/DataTable.h"
#include "sheets/ViewWindows.h"

namespace {
const char* const ChannelWords[3] = {"CH1", "CH2", "LA"};

// A display setting shows its channel: the ON word of either language, so a
// setting held in the other language's word still counts.
bool displayOn(const QString& setting) {
    return setting == ValueWord(vwOn) || setting == ValueWordIn(vwOn, LangEnglish) ||
           setting == ValueWordIn(vwOn, LangChinese);
}

QString channelDisplay(int index) {
    const CtrlSettings& s = DSOSettings();
    return index == 0 ? s.CH1Display : index == 1 ? s.CH2Display : s.LADisplay;
}

constexpr int px(int twips) { return TwipsToPixels(twips); }
}  // namespace

frmData::frmData(QWidget* parent) : FetchingViewWindow(ViewData, "frmData", parent) {
    resize(px(9000), px(6600));

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName("Frame1");
    Frame1->setGeometry(px(100), px(60), px(3000), px(600));
    const QList<QRadioButton*> options =
        MakeChannelOptions(Frame1, {ChannelWords[0], ChannelWords[1], ChannelWords[2]},
                           QRect(px(120), px(220), px(850), px(300)), px(900), [this](int i) { selectOption(i); });
    std::copy(options.begin(), options.end(), OptionCH.begin());

    Frame2 = new QGroupBox(this);
    Frame2->setObjectName("Frame2");
    Frame2->setGeometry(px(3200), px(60), px(3000), px(600));
    SetRefreshButton(new QToolButton(Frame2));
    cmdRefresh->setText(" Refresh");
    cmdRefresh->setGeometry(px(120), px(150), px(1300), px(420));
    cmdExport = new QToolButton(Frame2);
    cmdExport->setObjectName("cmdExport");
    cmdExport->setText("Export");
    cmdExport->setToolTip("Output");
    cmdExport->setAutoRaise(true);
    cmdExport->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    cmdExport->setIcon(StandardIcon(QStyle::SP_DialogSaveButton));
    cmdExport->setGeometry(px(1550), px(150), px(1300), px(420));
    connect(cmdExport, &QToolButton::clicked, this, &frmData::cmdExport_Click);

    SettingLabel = new QLabel(this);
    SettingLabel->setObjectName("SettingLabel");
    // The settings line fills the room between the frames and the table: one line of text.
    SettingLabel->setGeometry(px(100), px(670), px(8800), px(230));

    // The table's view is built when the window is first painted (see
    // paintEvent); the model is there from the start and takes the column
    // captions under the view's name until then.
    Table = new DataTableModel([this]() -> const DataInfo* { return Record(); }, this);
    Table->setObjectName("MeasureView");
    Table->ShowEmpty();

    Form_Load();
}

frmData::~frmData() { UnloadOnce(); }

QTableView* frmData::TableView() {
    if (MeasureView) return MeasureView;
    MeasureView = new QTableView(this);
    MeasureView->setObjectName("MeasureView");
    // The row header is hidden before the model comes: a shown one measures
    // the text of its rows on every change of the row count.
    MeasureView->verticalHeader()->hide();
    MeasureView->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    MeasureView->setModel(Table);
    MeasureView->setSelectionBehavior(QAbstractItemView::SelectRows);
    MeasureView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    MeasureView->setWordWrap(false);
    Form_Resize();
    MeasureView->show();
    return MeasureView;
}

void frmData::paintEvent(QPaintEvent* event) {
    ViewWindow::paintEvent(event);
    // A table view with its headers and scroll bars costs more to build than
    // the rest of the window: a window opened under others (a reopened sheet
    // opens all its views at once) builds it only once some of it is seen.
    // It is built after this paint, not inside it.
    if (!MeasureView && !tableQueued_) {
        tableQueued_ = true;
        QMetaObject::invokeMethod(this, [this] { TableView(); }, Qt::QueuedConnection);
    }
}

DataInfo* frmData::Record() const { return RecordAs<DataInfo>(); }

void frmData::Form_Load() {
    Form_Resize();
    FetchingViewWindow::Form_Load();
    updateExportEnabled();
}

void frmData::PrepareNewView(int) { LayOutChannels(false); }

void frmData::LayOutChannels(bool) {
    QRadioButton* ch1 = OptionCH[0];
    QRadioButton* ch2 = OptionCH[1];
    QRadioButton* la = OptionCH[2];
    ch2->move(ch1->x() + px(900), ch2->y());
    la->setVisible(false);
    la->setEnabled(false);
}

void frmData::Form_Resize() {
    const int w = width() - px(200);
    const int h = height() - px(1000);
    if (w <= 0 || h <= 0 || !MeasureView) return;
    MeasureView->setGeometry(px(100), px(900), w, h);
    const int cw = w - px(600);
    if (cw <= 0) return;
    MeasureView->setColumnWidth(0, cw / 5);
    MeasureView->setColumnWidth(1, 2 * cw / 5);
    MeasureView->setColumnWidth(2, 2 * cw / 5);
}

void frmData::ShowEmptyList() {
    SettingLabel->clear();
    Table->ShowEmpty();
    Form_Resize();
}

void frmData::ShowDataList() {
    const DataInfo* r = Record();
    SettingLabel->setText(r ? r->Title : QString());
    Table->ShowData();
    Form_Resize();
}

void frmData::RefreshDataList() {
    const DataInfo* r = Record();
    if (r && r->HasData) ShowDataList();
    else ShowEmptyList();
    updateExportEnabled();
}

void frmData::updateExportEnabled() {
    const DataInfo* r = Record();
    cmdExport->setEnabled(r && r->HasData);
}

void frmData::selectOption(int index) {
    for (int i = 0; i < 3; ++i) OptionCH[size_t(i)]->setChecked(i == index);
    OptionCH_Click(index);
}

void frmData::OptionCH_Click(int) {
    DataInfo* r = Record();
    if (!r) return;
    for (int i = 0; i < 3; ++i)
        if (OptionCH[size_t(i)]->isChecked()) {
            r->Channel = QString::fromLatin1(ChannelWords[i]);
            return;
        }
}

void frmData::SetUp() {
    RefreshDataList();
    if (const DataInfo* r = Record())
        for (int i = 0; i < 3; ++i)
            if (r->Channel == QLatin1String(ChannelWords[i])) selectOption(i);
}

void frmData::Tick() {
    for (int i = 0; i < 3; ++i) {
        QRadioButton* o = OptionCH[size_t(i)];
        if (!displayOn(channelDisplay(i))) {
            o->setEnabled(false);
            o->setChecked(false);
        } else {
            o->setEnabled(true);
            const bool otherSelected =
                OptionCH[size_t((i + 1) % 3)]->isChecked() || OptionCH[size_t((i + 2) % 3)]->isChecked();
            if (!otherSelected && !o->isChecked()) selectOption(i);
        }
    }
}

bool frmData::LoadData() {
    if (!OptionCH[0]->isEnabled() && !OptionCH[1]->isEnabled()) return false;
    int code = JobNone;
    for (int i = 0; i < 3 && code == JobNone; ++i)
        if (OptionCH[size_t(i)]->isChecked()) code = JobDataCH1 + i;
    if (!RunFetchJob(code, "波形数据的数据下载中...", "Wave Data Data Loading...", true, 0, [] { SetProgress(1); }))
        return false;
    DataInfo* r = Record();
    if (!r) return false;
    const TransferStateData& t = Transfer();
    const int n = std::clamp(t.DataPointCount, 0, DataTableSize - 1);
    r->HasData = true;
    Sheets().SheetModified = true;
    r->PointCount = n;
    r->Title = t.DataTitle;
    r->TimeTexts = QStringList(t.DataTimeText.begin(), t.DataTimeText.begin() + n + 1);
    r->VoltTexts = QStringList(t.DataVoltText.begin(), t.DataVoltText.begin() + n + 1);
    ShowDataList();
    updateExportEnabled();
    return true;
}

void frmData::cmdExport_Click() {
    const DataInfo* r = Record();
    if (!r || !r->HasData) return;  // only a fetched (or stored) table is exported
    const int slot = Slot();
    const int lang = Shell().UILanguage;
    const QString path = GetSaveFileName(ExportDialogTitle(lang), ExportDialogFilter(lang), this);
    if (path.isEmpty()) return;
    ExportDataText(path, slot);
}

void RegisterDataViewWindow() {
    SetViewFormFactory(ViewData, [](int) -> QWidget* { return new frmData; });
}

frmData* DataForm(int slot) { return qobject_cast<frmData*>(ExistingViewForm(ViewData, slot)); }
