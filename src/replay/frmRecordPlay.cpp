#include "replay/frmRecordPlay.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

#include "sheets/SheetFile.h"
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

TextPicture::TextPicture(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
}

void TextPicture::Cls() {
    Texts.clear();
    update();
}

void TextPicture::TextOut(int x, int y, const QString& text, int length) {
    Texts.append({x, y, text.left(qMax(0, length)), ForeColor, FontBold});
    update();
}

void TextPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    for (const Text& t : Texts) {
        QFont f = font();
        f.setBold(t.bold);
        p.setFont(f);
        p.setPen(t.color);
        p.drawText(QRect(t.x, t.y, width(), height()), Qt::AlignLeft | Qt::AlignTop, t.text);
    }
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
