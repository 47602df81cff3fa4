#include "measure/frmMeasure.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>
#include <vector>

#include "common/DSOSettings.h"
#include "common/SaveFile.h"
#include "common/ShellState.h"
#include "common/Twips.h"
#include "link/TransferJobs.h"
#include "link/Vocabulary.h"
#include "measure/frmPassFailed.h"
#include "measure/model/MeasureExport.h"
#include "measure/model/MeasurePictures.h"
#include "platform/dialogs/FileDialog.h"
#include "platform/dialogs/MsgBox.h"
#include "sheets/DataTable.h"
#include "sheets/SheetDocument.h"
#include "sheets/ViewHost.h"
#include "sheets/ViewWindows.h"

namespace {
constexpr int px(int twips) { return TwipsToPixels(twips); }
constexpr int DesignWidth = 8250;  // twips
const QColor Teal(0, 128, 128);
}  // namespace

frmMeasure::frmMeasure(QWidget* parent) : FetchingViewWindow(ViewMeasure, "frmMeasure", parent) {
    // Wide enough that the list shows all five columns, values, limits and
    // the widest verdict included, in either language.
    resize(px(DesignWidth), px(5190));

    SetRefreshButton(new QToolButton(this));
    cmdRefresh->setText(" Refresh");
    cmdRefresh->setGeometry(px(60), px(30), px(1125), px(390));

    FrameCH = new QGroupBox(this);
    FrameCH->setObjectName("FrameCH");
    // The option boxes are wide enough for their captions with Qt's fonts;
    // the button frame makes room for them.
    FrameCH->setGeometry(px(1260), 0, px(1815), px(465));
    const QList<QRadioButton*> options = MakeChannelOptions(
        FrameCH, {"CH1", "CH2"}, QRect(px(120), px(120), px(780), px(285)), px(840), [this](int i) { selectOption(i); });
    std::copy(options.begin(), options.end(), OptionCH.begin());

    FrameButtons = new QGroupBox(this);
    FrameButtons->setObjectName("FrameButtons");
    FrameButtons->setGeometry(px(3120), 0, px(2415), px(465));
    cmdPassFailed = new QToolButton(FrameButtons);
    cmdPassFailed->setObjectName("cmdPassFailed");
    cmdPassFailed->setText("Pass | Fail  ");
    cmdPassFailed->setToolTip("Pass&Fail");
    cmdPassFailed->setAutoRaise(true);
    cmdPassFailed->setGeometry(px(90), px(90), px(1245), px(330));
    connect(cmdPassFailed, &QToolButton::clicked, this, &frmMeasure::cmdPassFailed_Click);
    cmdExport = new QToolButton(FrameButtons);
    cmdExport->setObjectName("cmdExport");
    cmdExport->setText("Export");
    cmdExport->setToolTip("Output");
    cmdExport->setAutoRaise(true);
    cmdExport->setGeometry(px(1440), px(90), px(870), px(330));
    connect(cmdExport, &QToolButton::clicked, this, &frmMeasure::cmdExport_Click);

    SettingLabel = new QLabel(this);
    SettingLabel->setObjectName("SettingLabel");
    SettingLabel->setAutoFillBackground(true);
    QPalette lp = SettingLabel->palette();
    lp.setColor(QPalette::Window, Teal);
    lp.setColor(QPalette::WindowText, lp.color(QPalette::HighlightedText));
    SettingLabel->setPalette(lp);

    MeasureView = new QTreeWidget(this);
    MeasureView->setObjectName("MeasureView");
    MeasureView->setColumnCount(5);
    MeasureView->setHeaderLabels({"Type", "Value", "Under Limit", "Over Limit", "Pass&Fail"});
    MeasureView->setRootIsDecorated(false);
    MeasureView->setUniformRowHeights(true);
    MeasureView->setIconSize(QSize(56, 20));
    MeasureView->setSelectionMode(QAbstractItemView::SingleSelection);
    QPalette vp = MeasureView->palette();
    vp.setColor(QPalette::Base, Teal);
    vp.setColor(QPalette::Text, Qt::white);
    MeasureView->setPalette(vp);

    Form_Load();
}

frmMeasure::~frmMeasure() { UnloadOnce(); }

MeasureInfo* frmMeasure::Record() const {
    const int slot = Slot();
    return slot >= 0 ? &Sheets().MeasureViews[size_t(slot)] : nullptr;
}

void frmMeasure::Form_Load() {
    Form_Resize();
    FetchingViewWindow::Form_Load();
}

void frmMeasure::Form_Resize() {
    const int w = width() - px(200);
    const int h = height() - px(1000);
    if (w <= 0 || h <= 0) return;  // too small to lay out: left as it is
    // The settings line spans the window as the list does.
    SettingLabel->setGeometry(px(90), px(480), width() - px(480), px(315));
    MeasureView->setGeometry(px(100), px(900), w, h);
    // The columns share the list's inside, left of its vertical scroll bar:
    // equal, each at least as wide as its head and its cells.
    const int bar = MeasureView->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, MeasureView);
    const int room = w - 2 * MeasureView->frameWidth() - bar;
    if (room <= 0) return;
    std::vector<int> least;
    for (int c = 0; c < 5; ++c)
        least.push_back(std::max(MeasureView->header()->sectionSizeHint(c),
                                 static_cast<QAbstractItemView*>(MeasureView)->sizeHintForColumn(c)));
    const std::vector<int> widths = ShareColumnWidths(room, least);
    for (int c = 0; c < 5; ++c) MeasureView->setColumnWidth(c, widths[size_t(c)]);
}

namespace {

// The row pictures are made once: an icon made anew for every refresh would
// put new pixmaps into Qt's pixmap cache each time.
const QIcon& RowIcon(int picture) {
    static std::array<QIcon, 19> made;
    const size_t i = picture >= 1 && picture <= 18 ? size_t(picture) : 0;
    if (made[i].isNull()) made[i] = QIcon(QPixmap::fromImage(MeasurePicture(int(i))));
    return made[i];
}

}  // namespace

void frmMeasure::fillList(const MeasureListRows& rows) {
    MeasureView->clear();
    for (const MeasureListRow& r : rows) {
        auto* item = new QTreeWidgetItem(MeasureView);
        item->setIcon(0, RowIcon(r.picture));
        item->setText(0, r.name);
        item->setText(1, r.value);
        item->setText(2, r.under);
        item->setText(3, r.over);
        item->setText(4, r.verdict);
    }
    Form_Resize();
}

void frmMeasure::StartDispMeasure() { fillList(NameRows(Shell().UILanguage)); }

void frmMeasure::DispMeasure(int slot) {
    if (!SlotInRange(ViewMeasure, slot)) return;
    MeasureInfo& r = Sheets().MeasureViews[size_t(slot)];
    SettingLabel->setText(r.Title);
    fillList(JudgedRows(r, Shell().UILanguage));
}

void frmMeasure::Redisplay() {
    const MeasureInfo* r = Record();
    if (r && r->HasData) DispMeasure(Slot());
    else StartDispMeasure();
}

void frmMeasure::selectOption(int index) {
    for (int i = 0; i < 2; ++i) OptionCH[size_t(i)]->setChecked(i == index);
}

void frmMeasure::SetUp() { Redisplay(); }

void frmMeasure::Tick() {
    const bool on1 = IsOnWordOfEitherLanguage(DSOSettings().CH1Display);
    const bool on2 = IsOnWordOfEitherLanguage(DSOSettings().CH2Display);
    QRadioButton* ch1 = OptionCH[0];
    QRadioButton* ch2 = OptionCH[1];
    if (on1 && on2) {
        ch1->setEnabled(true);
        ch2->setEnabled(true);
        if (!ch1->isChecked() && !ch2->isChecked()) selectOption(0);
    } else {
        ch1->setEnabled(on1);
        ch1->setChecked(on1);
        ch2->setEnabled(on2);
        ch2->setChecked(on2 && !ch1->isChecked());
    }
}

bool frmMeasure::LoadMeasure() {
    int code = JobNone;
    if (OptionCH[0]->isEnabled() && OptionCH[0]->isChecked()) code = JobMeasureCH1;
    else if (OptionCH[1]->isEnabled() && OptionCH[1]->isChecked()) code = JobMeasureCH2;
    // A failed job has told the user; the record keeps its values.
    if (!RunFetchJob(code, "测量数据下载中...", "Measure Data Loading...", true, 0, [] { SetProgress(1); }))
        return false;
    MeasureInfo* r = Record();
    if (!r) return false;
    const TransferStateData& t = Transfer();
    r->HasData = true;
    for (int k = 0; k < MeasureItemCount; ++k) r->Items[size_t(k)].Value = t.MeasureResults[size_t(k)].Value;
    r->Title = t.DataTitle;
    SheetDoc().SetModified(true);
    DispMeasure(Slot());
    // Replies that could not be read are said, so a garbled link does not
    // pass for an instrument that cannot measure.
    ShowViewStatus(UnreadMeasuresText(t.MeasureUnread, MeasureCount18));
    return true;
}

void frmMeasure::cmdPassFailed_Click() {
    const int slot = Slot();
    if (slot < 0) return;
    QPointer<frmMeasure> self(this);
    frmPassFailed dialog(slot, window());
    const QString caption = windowTitle();
    dialog.setWindowTitle(Shell().UILanguage == LangChinese
                              ? QString::fromUtf8("通过&失败设置 [") + caption + "]"
                              : QStringLiteral("Pass & Fail Setting [") + caption + "]");
    const bool ok = dialog.exec() == QDialog::Accepted;
    if (ok && self) Redisplay();
}

bool frmMeasure::ExportMeasureFileProc(const QString& path, int slot) {
    if (!SlotInRange(ViewMeasure, slot)) return false;
    const QByteArray bytes =
        MeasureExportText(Sheets().MeasureViews[size_t(slot)], Shell().MakerName, Shell().UILanguage);
    QString error;
    if (!SaveFileWhole(path, bytes, &error)) {
        MsgBox(error, vbCritical);
        return false;
    }
    return true;
}

void frmMeasure::cmdExport_Click() {
    const int slot = Slot();
    if (slot < 0) return;
    const int lang = Shell().UILanguage;
    const QString path = GetSaveFileName(ExportDialogTitle(lang), ExportDialogFilter(lang), this);
    if (path.isEmpty()) return;  // cancelled
    ExportMeasureFileProc(path, slot);
}

frmMeasure* MeasureForm(int slot) { return qobject_cast<frmMeasure*>(ExistingViewForm(ViewMeasure, slot)); }

void RegisterMeasureWindow() {
    SetViewFormFactory(ViewMeasure, [](int) -> QWidget* { return new frmMeasure; });
}
