#include "replay/frmRecordPlay.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

#include "common/ShellState.h"
#include "link/Formatters.h"
#include "sheets/SheetFile.h"
#include "sheets/ViewRecords.h"
#include "sheets/ViewWindows.h"

namespace {

// A plain picture for the image list (the transport icons come with the
// replay view itself).
QIcon SolidIcon(const QColor& c) {
    QPixmap p(16, 16);
    p.fill(c);
    return QIcon(p);
}

}  // namespace

ImageListObject::ImageListObject(QObject* parent) : QObject(parent) {
    setObjectName("ImageList");
    Images = {SolidIcon(Qt::darkGray), SolidIcon(Qt::darkGreen)};
}

QIcon ImageListObject::ListImage(int index) const {
    return index >= 1 && index <= Images.size() ? Images[index - 1] : QIcon();
}

frmRecordPlay::frmRecordPlay(QWidget* parent)
    : PlaceholderViewWindow(ViewRecord, "frmRecordPlay", parent) {
    RecordWavePic = new QWidget(this);
    RecordWavePic->setObjectName("RecordWavePic");
    RecordWavePic->setMinimumHeight(40);
    Body->addWidget(RecordWavePic);

    SliderFrame = new QSlider(Qt::Horizontal, this);
    SliderFrame->setObjectName("SliderFrame");
    Body->addWidget(SliderFrame);

    auto* bar = new QHBoxLayout;
    for (int i = 0; i < 8; ++i) {
        auto* b = new ImageButton(this);
        b->setObjectName(QString("AresBtnPlay_%1").arg(i));
        b->setEnabled(false);  // nothing to replay before the view's content exists
        AresBtnPlay.append(b);
        bar->addWidget(b);
    }
    lblTimeInterval = new QLabel(this);
    lblTimeInterval->setObjectName("lblTimeInterval");
    bar->addWidget(lblTimeInterval);
    bar->addStretch(1);
    Body->addLayout(bar);

    PicMsg = new TextPicture(this);
    PicMsg->setObjectName("PicMsg");
    PicMsg->setMinimumHeight(30);
    Body->addWidget(PicMsg);
    Body->addStretch(1);

    ImageList = new ImageListObject(this);

    TimerSpeed = new QTimer(this);
    TimerSpeed->setObjectName("TimerSpeed");
}

void frmRecordPlay::Form_Load() {
    PlaceholderViewWindow::Form_Load();
    TimerSpeed->stop();
}

void frmRecordPlay::PrepareNewView(int slot) {
    if (!SlotInRange(ViewRecord, slot)) return;
    const RecordInfo& r = Sheets().RecordViews[size_t(slot)];
    SliderFrame->setMaximum(1000);
    SliderFrame->setMinimum(1);
    SliderFrame->setValue(1);
    RecordWavePic->setProperty("ScaleMode", 3);  // pixels
    lblTimeInterval->setText(FormatTime4(QString::number(r.FrameInterval)));
    AresBtnPlay[7]->SetPictures(ImageList->ListImage(2));
    for (int i = 0; i <= 6; ++i) AresBtnPlay[i]->setEnabled(false);
    SliderFrame->setEnabled(false);
    PicMsg->Cls();
    const int lang = Shell().UILanguage;
    if (lang == LangChinese || lang == LangEnglish) {
        PicMsg->ForeColor = QColor(255, 255, 255);
        PicMsg->FontBold = true;
        // The length is counted in bytes of the system code page: two per Chinese character.
        const int length = lang == LangChinese ? 2 * int(r.StatusText.size()) : int(r.StatusText.size());
        PicMsg->TextOut(30, 8, r.StatusText, length);
    }
}

void frmRecordPlay::RecordReplayPause() {
    const int slot = Slot();
    if (slot >= 0) Sheets().RecordViews[size_t(slot)].ReplayStatus = 1;
    TimerSpeed->stop();
    PicMsg->update();
}

void frmRecordPlay::Form_Unload() {
    const int slot = Slot();
    if (slot >= 0 && Sheets().RecordViews[size_t(slot)].ReplayStatus == 0) RecordReplayPause();
    PlaceholderViewWindow::Form_Unload();
}

void RegisterRecordWindow() {
    SetViewFormFactory(ViewRecord, [](int) -> QWidget* {
        auto* form = new frmRecordPlay;
        form->Form_Load();
        return form;
    });
    SheetFileHooks().RecordReplayPause = [](int slot) {
        if (auto* form = qobject_cast<frmRecordPlay*>(ViewForm(ViewRecord, slot)))
            form->RecordReplayPause();
    };
}
