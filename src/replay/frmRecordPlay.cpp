#include "replay/frmRecordPlay.h"

#include <QEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPointer>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>
#include <map>
#include <tuple>

#include "common/ShellState.h"
#include "link/Messages.h"
#include "platform/dialogs/FileDialog.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/print/PictureOutput.h"
#include "platform/print/PrintDocs.h"
#include "replay/model/FrameDrawing.h"
#include "replay/model/RecordFile.h"
#include "replay/model/StatusLine.h"
#include "sheets/FileFunc.h"
#include "sheets/SheetDocument.h"
#include "sheets/SheetFile.h"
#include "sheets/ViewWindows.h"
#include "widgets/HoldRepeat.h"

namespace {

// Pictures of the buttons, drawn here.
enum class Glyph { Play, Pause, Stop, First, Last, Next, Prev, Loop, Open, Bitmap, Print, Preview, Colour, Mono,
                   Default, Up, Down };

QIcon DrawGlyphIcon(Glyph g, const QColor& ink, const QColor& ground, bool sunken) {
    QPixmap pm(23, 23);
    pm.fill(ground);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, true);
    if (sunken) {
        p.setPen(QColor(128, 128, 128));
        p.drawLine(0, 0, 22, 0);
        p.drawLine(0, 0, 0, 22);
        p.setPen(Qt::white);
        p.drawLine(22, 1, 22, 22);
        p.drawLine(1, 22, 22, 22);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    const auto tri = [&](double x0, double x1, bool right) {
        QPainterPath path;
        path.moveTo(right ? x0 : x1, 6);
        path.lineTo(right ? x1 : x0, 11.5);
        path.lineTo(right ? x0 : x1, 17);
        path.closeSubpath();
        p.drawPath(path);
    };
    switch (g) {
    case Glyph::Play: tri(7, 17, true); break;
    case Glyph::Pause: p.drawRect(7, 6, 3, 11); p.drawRect(13, 6, 3, 11); break;
    case Glyph::Stop: p.drawRect(7, 7, 9, 9); break;
    case Glyph::First: p.drawRect(5, 6, 2, 11); tri(7, 12, false); tri(12, 17, false); break;
    case Glyph::Last: tri(6, 11, true); tri(11, 16, true); p.drawRect(16, 6, 2, 11); break;
    case Glyph::Next: tri(7, 14, true); p.drawRect(14, 6, 2, 11); break;
    case Glyph::Prev: p.drawRect(7, 6, 2, 11); tri(9, 16, false); break;
    case Glyph::Loop: {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(ink, 2));
        p.drawArc(QRectF(5, 5, 13, 13), 30 * 16, 300 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        QPainterPath head;
        head.moveTo(15, 3);
        head.lineTo(20, 8);
        head.lineTo(14, 10);
        head.closeSubpath();
        p.drawPath(head);
        break;
    }
    case Glyph::Open: p.drawRect(4, 8, 15, 10); p.setBrush(ink.lighter(150)); p.drawRect(4, 5, 7, 3); break;
    case Glyph::Bitmap:
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(ink, 1.5));
        p.drawRect(4, 5, 15, 13);
        p.drawLine(6, 15, 10, 10);
        p.drawLine(10, 10, 13, 13);
        p.drawLine(13, 13, 17, 8);
        break;
    case Glyph::Print: p.drawRect(4, 9, 15, 7); p.setBrush(Qt::white); p.drawRect(7, 4, 9, 5); p.drawRect(7, 14, 9, 5); break;
    case Glyph::Preview:
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(ink, 2));
        p.drawEllipse(QRectF(5, 5, 9, 9));
        p.drawLine(13, 13, 18, 18);
        break;
    case Glyph::Colour:
        p.setBrush(Qt::black); p.drawRect(4, 4, 15, 15);
        p.setPen(QPen(QColor(255, 255, 0), 2));
        p.drawLine(5, 14, 10, 8);
        p.drawLine(10, 8, 17, 13);
        break;
    case Glyph::Mono:
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::white); p.drawRect(4, 4, 15, 15);
        p.setPen(QPen(Qt::black, 2));
        p.drawLine(5, 14, 10, 8);
        p.drawLine(10, 8, 17, 13);
        break;
    case Glyph::Default: p.drawEllipse(QRectF(6, 6, 11, 11)); break;
    case Glyph::Up: { QPainterPath t; t.moveTo(5, 15); t.lineTo(11.5, 7); t.lineTo(18, 15); t.closeSubpath(); p.drawPath(t); break; }
    case Glyph::Down: { QPainterPath t; t.moveTo(5, 8); t.lineTo(11.5, 16); t.lineTo(18, 8); t.closeSubpath(); p.drawPath(t); break; }
    }
    return QIcon(pm);
}

// Each picture is drawn once and shared by every window: a new icon for
// every window would put a new set of pixmaps into Qt's pixmap cache each
// time a record view opens.
QIcon GlyphIcon(Glyph g, const QColor& ink, const QColor& ground = Qt::transparent, bool sunken = false) {
    static std::map<std::tuple<int, QRgb, QRgb, bool>, QIcon> made;
    QIcon& icon = made[{int(g), ink.rgba(), ground.rgba(), sunken}];
    if (icon.isNull()) icon = DrawGlyphIcon(g, ink, ground, sunken);
    return icon;
}

QPixmap Chequered() {
    QPixmap pm(23, 23);
    pm.fill(QColor(224, 224, 224));
    QPainter p(&pm);
    for (int y = 0; y < 23; ++y)
        for (int x = (y & 1); x < 23; x += 2) p.fillRect(x, y, 1, 1, Qt::white);
    return pm;
}

QToolButton* FlatButton(QWidget* parent, const char* name, const QIcon& icon) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setAutoRaise(true);
    b->setIcon(icon);
    b->setIconSize(QSize(20, 20));
    return b;
}

QFrame* Separator(QWidget* parent) {
    auto* f = new QFrame(parent);
    f->setFrameShape(QFrame::VLine);
    f->setFrameShadow(QFrame::Sunken);
    return f;
}

FrameStyle CurrentStyle(double zoom) {
    FrameStyle s;
    if (Shell().Ch1Color.isValid()) s.Ch1Color = Shell().Ch1Color;
    if (Shell().Ch2Color.isValid()) s.Ch2Color = Shell().Ch2Color;
    s.Zoom = zoom;
    return s;
}

constexpr QSize PrintPictureSize(700, 500);

// Screen readers announce a control by its tool tip, in the UI language: the
// accessible name follows every change of the tip (the language procedures
// set the tips).
class NameFromToolTip : public QObject {
public:
    using QObject::QObject;
    void Watch(QWidget* w) {
        w->installEventFilter(this);
        w->setAccessibleName(w->toolTip());
    }
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::ToolTipChange)
            if (auto* w = qobject_cast<QWidget*>(o)) w->setAccessibleName(w->toolTip());
        return false;
    }
};

}  // namespace

// ---- Image list --------------------------------------------------------------

namespace {

QList<QIcon> MakeListImages() {
    const QColor ink(32, 32, 32), grey(160, 160, 160);
    const QPixmap chequer = Chequered();
    QPixmap loopOn = chequer;
    {
        QPainter p(&loopOn);
        GlyphIcon(Glyph::Loop, ink, Qt::transparent, true).paint(&p, 0, 0, 23, 23);
    }
    return {
        GlyphIcon(Glyph::Loop, ink),                            // 1 loop off
        QIcon(loopOn),                                          // 2 loop on
        GlyphIcon(Glyph::Play, Qt::black, Qt::transparent, true),   // 3
        GlyphIcon(Glyph::Play, grey),                           // 4
        GlyphIcon(Glyph::Pause, Qt::black, Qt::transparent, true),  // 5
        GlyphIcon(Glyph::Pause, grey),                          // 6
        GlyphIcon(Glyph::Stop, Qt::black, Qt::transparent, true),   // 7
        GlyphIcon(Glyph::Stop, grey),                           // 8
        GlyphIcon(Glyph::Loop, QColor(0, 0, 160)),              // 9 raised (hover)
        GlyphIcon(Glyph::Loop, ink, QColor(200, 200, 200), true),  // 10 pressed in
    };
}

}  // namespace

ImageListObject::ImageListObject(QObject* parent) : QObject(parent) {
    setObjectName("ImageList");
    // Drawn once, shared by every window.
    static const QList<QIcon> made = MakeListImages();
    Images = made;
}

QIcon ImageListObject::ListImage(int index) const {
    return index >= 1 && index <= Images.size() ? Images[index - 1] : QIcon();
}

// ---- Status line and frame picture ---------------------------------------------

StatusPicture::StatusPicture(QWidget* parent, std::function<const RecordInfo*()> record)
    : QWidget(parent), record_(std::move(record)) {}

void StatusPicture::TakeTexts() {
    const RecordInfo* r = record_();
    Texts = r ? RecordStatusTexts(width(), r->StatusText, r->CurrentFrame, r->FrameCount, Shell().UILanguage)
              : QList<StatusText>();
    // Screen readers read the line as it stands: "Replaying 3/10".
    QStringList words;
    for (const StatusText& t : Texts) words << t.text;
    const QString name = words.join(QLatin1Char(' '));
    if (accessibleName() != name) setAccessibleName(name);
}

void StatusPicture::Refresh() {
    TakeTexts();
    update();
}

void StatusPicture::paintEvent(QPaintEvent*) {
    TakeTexts();
    QPainter p(this);
    DrawStatusTexts(p, width(), height(), Qt::black, Texts);
}

FramePicture::FramePicture(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FramePicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (Picture.isNull()) p.fillRect(rect(), palette().window());
    else p.drawImage(0, 0, Picture);
}

void FramePicture::resizeEvent(QResizeEvent*) {
    if (Resized) Resized();
}

// ---- The window --------------------------------------------------------------

frmRecordPlay::frmRecordPlay(QWidget* parent)
    : ViewWindow(ViewRecord, "frmRecordPlay", 0, parent), engine_([this] { return Record(); }) {
    setAttribute(Qt::WA_DeleteOnClose);
    auto* Body = new QVBoxLayout(this);
    Body->setContentsMargins(2, 2, 2, 2);
    Body->setSpacing(2);
    setMinimumHeight(240);

    // Tool strip.
    auto* tool = new QFrame(this);
    tool->setObjectName("FrameTool");
    auto* tl = new QHBoxLayout(tool);
    tl->setContentsMargins(4, 2, 4, 2);
    const QColor ink(32, 32, 32);
    cmdRun = FlatButton(tool, "cmdRun", GlyphIcon(Glyph::Open, QColor(200, 160, 40)));
    FlatBttn4 = FlatButton(tool, "FlatBttn4", GlyphIcon(Glyph::Colour, ink));
    FlatBttn5 = FlatButton(tool, "FlatBttn5", GlyphIcon(Glyph::Mono, ink));
    FlatBttn1 = FlatButton(tool, "FlatBttn1", GlyphIcon(Glyph::Bitmap, ink));
    FlatBttn2 = FlatButton(tool, "FlatBttn2", GlyphIcon(Glyph::Print, ink));
    FlatBttn3 = FlatButton(tool, "FlatBttn3", GlyphIcon(Glyph::Preview, ink));
    tl->addWidget(cmdRun);
    tl->addWidget(Separator(tool));
    tl->addWidget(FlatBttn4);
    tl->addWidget(FlatBttn5);
    tl->addWidget(Separator(tool));
    tl->addWidget(FlatBttn1);
    tl->addWidget(Separator(tool));
    tl->addWidget(FlatBttn2);
    tl->addWidget(FlatBttn3);
    tl->addStretch(1);
    Body->addWidget(tool);

    // The frame picture inside its holder.
    RecordBackPic = new QFrame(this);
    RecordBackPic->setObjectName("RecordBackPic");
    static_cast<QFrame*>(RecordBackPic)->setFrameShape(QFrame::Panel);
    static_cast<QFrame*>(RecordBackPic)->setFrameShadow(QFrame::Sunken);
    RecordBackPic->setAutoFillBackground(true);
    auto* bl = new QVBoxLayout(RecordBackPic);
    bl->setContentsMargins(2, 2, 2, 2);
    RecordWavePic = new FramePicture(RecordBackPic);
    RecordWavePic->setObjectName("RecordWavePic");
    RecordWavePic->setAutoFillBackground(true);
    RecordWavePic->setMinimumSize(120, 80);
    RecordWavePic->Resized = [this] {
        if (!SetUpPending) RedrawPicture();
    };
    bl->addWidget(RecordWavePic);
    Body->addWidget(RecordBackPic, 1);

    SliderFrame = new QSlider(Qt::Horizontal, this);
    SliderFrame->setObjectName("SliderFrame");
    SliderFrame->setRange(1, 1000);
    Body->addWidget(SliderFrame);

    // Operation panel: transport buttons, then the interval group.
    auto* panel = new QFrame(this);
    panel->setObjectName("OptratePic");
    auto* bar = new QHBoxLayout(panel);
    bar->setContentsMargins(4, 0, 4, 0);
    const Glyph glyphs[] = {Glyph::Play, Glyph::Pause, Glyph::Stop, Glyph::First, Glyph::Last, Glyph::Next, Glyph::Prev};
    for (int i = 0; i < 8; ++i) {
        auto* b = new ImageButton(panel);
        b->setObjectName(QString("AresBtnPlay_%1").arg(i));
        if (i < 7) b->SetPictureUp(GlyphIcon(glyphs[i], ink));
        AresBtnPlay.append(b);
        connect(b, &QToolButton::clicked, this, [this, i] { engine_.Click(i); });
    }
    // Groups: play/pause/stop | first/last | previous/next | loop.
    for (int i : {0, 1, 2}) bar->addWidget(AresBtnPlay[i]);
    bar->addWidget(Separator(panel));
    for (int i : {3, 4}) bar->addWidget(AresBtnPlay[i]);
    bar->addWidget(Separator(panel));
    for (int i : {6, 5}) bar->addWidget(AresBtnPlay[i]);
    bar->addWidget(Separator(panel));
    bar->addWidget(AresBtnPlay[7]);
    bar->addStretch(1);
    auto* time = new QFrame(panel);
    time->setObjectName("PicTime");
    auto* tb = new QHBoxLayout(time);
    tb->setContentsMargins(0, 0, 0, 0);
    AresBtnDefaultTime = FlatButton(time, "AresBtnDefaultTime", GlyphIcon(Glyph::Default, QColor(0, 128, 0)));
    lblTimeInterval = new QLabel(QStringLiteral("100ms"), time);
    lblTimeInterval->setObjectName("lblTimeInterval");
    lblTimeInterval->setMinimumWidth(70);
    lblTimeInterval->setAlignment(Qt::AlignCenter);
    AresBtnSub = FlatButton(time, "AresBtnSub", GlyphIcon(Glyph::Down, ink));
    AresBtnAdd = FlatButton(time, "AresBtnAdd", GlyphIcon(Glyph::Up, ink));
    tb->addWidget(AresBtnDefaultTime);
    tb->addWidget(lblTimeInterval);
    tb->addWidget(AresBtnSub);
    tb->addWidget(AresBtnAdd);
    bar->addWidget(time);
    Body->addWidget(panel);

    PicMsg = new StatusPicture(this, [this]() -> const RecordInfo* { return Record(); });
    PicMsg->setObjectName("PicMsg");
    PicMsg->setFixedHeight(30);
    Body->addWidget(PicMsg);

    ImageList = new ImageListObject(this);
    TimerInterval = new QTimer(this);
    TimerInterval->setObjectName("TimerInterval");
    TimerSpeed = new QTimer(this);
    TimerSpeed->setObjectName("TimerSpeed");
    TimerSpeed->setInterval(100);

    // Wiring: widgets and timers to the engine, the engine back to them.
    ReplayEngine::Hooks& h = engine_.EngineHooks();
    h.DrawFrame = [this] { RedrawPicture(); };
    h.StatusChanged = [this] { PicMsg->Refresh(); };
    h.ControlsChanged = [this] { ApplyControls(); };
    h.IntervalChanged = [this] { ShowInterval(); };
    h.Language = [] { return Shell().UILanguage; };
    connect(TimerInterval, &QTimer::timeout, this, [this] { engine_.FrameTick(); });
    connect(SliderFrame, &QSlider::valueChanged, this, [this](int v) { engine_.SliderMoved(v); });
    connect(SliderFrame, &QSlider::sliderPressed, this, [this] { engine_.SliderPressed(); });
    connect(SliderFrame, &QSlider::sliderReleased, this, [this] { engine_.SliderReleased(); });
    // The interval buttons step while held: every 100 ms, faster the longer.
    auto* hold = new HoldRepeat(this, TimerSpeed);
    hold->SetTiming(100, 100);
    hold->SetStep([this](int up, int ticks) { engine_.IntervalHoldStep(up != 0, ticks); });
    hold->Attach(AresBtnAdd, 1);
    hold->Attach(AresBtnSub, 0);
    connect(AresBtnDefaultTime, &QToolButton::clicked, this, [this] { engine_.DefaultInterval(); });
    connect(cmdRun, &QToolButton::clicked, this, [this] { cmdRun_Click(); });
    connect(FlatBttn1, &QToolButton::clicked, this, [this] { FlatBttn1_Click(); });
    connect(FlatBttn2, &QToolButton::clicked, this, [this] { FlatBttn2_Click(); });
    connect(FlatBttn3, &QToolButton::clicked, this, [this] { FlatBttn3_Click(); });
    connect(FlatBttn4, &QToolButton::clicked, this, [this] { FlatBttn4_Click(); });
    connect(FlatBttn5, &QToolButton::clicked, this, [this] { FlatBttn5_Click(); });

    auto* names = new NameFromToolTip(this);
    for (QWidget* w : std::initializer_list<QWidget*>{cmdRun, FlatBttn1, FlatBttn2, FlatBttn3, FlatBttn4, FlatBttn5,
                                                      AresBtnDefaultTime})
        names->Watch(w);
    for (ImageButton* b : AresBtnPlay) names->Watch(b);
    resize(520, 525);
}

frmRecordPlay::~frmRecordPlay() { UnloadOnce(); }

RecordInfo* frmRecordPlay::Record() const {
    const int slot = Slot();
    if (slot < 0 || slot >= RecordSlots) return nullptr;
    return &Sheets().RecordViews[size_t(slot)];
}

void frmRecordPlay::Form_Load() {
    ViewWindow::Form_Load();
    ZoomFactor = 1.0;
    TimerSpeed->stop();
}

void frmRecordPlay::PrepareNewView(int) {
    ShowInterval();
    ShowLoopPictures();
    engine_.Setup();  // the record holds no file yet
}

void frmRecordPlay::SetUp() {
    RecordInfo* r = Record();
    if (!r) return;
    SetScheme(r->BlackBackground);
    ShowInterval();
    ShowLoopPictures();
    engine_.Setup();
    Form_Resize();
}

void frmRecordPlay::Form_Resize() {
    if (isMinimized() || SetUpPending) return;
    RecordInfo* r = Record();
    if (!r) return;
    RedrawPicture();
    if (r->DisplayActive) PicMsg->Refresh();
}

void frmRecordPlay::RedrawPicture() {
    const RecordInfo* r = Record();
    if (!r) return;
    RecordWavePic->Picture = RenderRecordPicture(RecordWavePic->size(), *r, CurrentStyle(ZoomFactor));
    RecordWavePic->update();
}

void frmRecordPlay::ApplyControls() {
    const ReplayControls& c = engine_.Controls();
    for (int i = 0; i < 7; ++i) AresBtnPlay[i]->setEnabled(c.TransportEnabled[size_t(i)]);
    for (int i = 0; i < 3; ++i) AresBtnPlay[i]->SetPictureDisabled(ImageList->ListImage(c.DisabledPicture[size_t(i)]));
    for (QToolButton* b : {AresBtnSub, AresBtnAdd, AresBtnDefaultTime}) b->setEnabled(c.IntervalButtonsEnabled);
    {
        const QSignalBlocker block(SliderFrame);
        SliderFrame->setRange(c.SliderMin, c.SliderMax);
        SliderFrame->setValue(c.SliderValue);
        SliderFrame->setEnabled(c.SliderEnabled);
    }
    if (c.FrameTimerOn) {
        if (TimerInterval->interval() != c.FrameTimerMs || !TimerInterval->isActive()) TimerInterval->start(c.FrameTimerMs);
    } else {
        TimerInterval->stop();
    }
    ShowLoopPictures();
}

void frmRecordPlay::ShowInterval() {
    if (const RecordInfo* r = Record()) lblTimeInterval->setText(FrameIntervalText(r->FrameInterval));
    lblTimeInterval->repaint();
}

void frmRecordPlay::ShowLoopPictures() {
    const RecordInfo* r = Record();
    if (!r) return;
    ImageButton* loop = AresBtnPlay[7];
    loop->SetPictureUp(ImageList->ListImage(r->LoopReplay ? 2 : 1));
    loop->SetPictureDown(ImageList->ListImage(r->LoopReplay ? 2 : 10));
}

void frmRecordPlay::RecordReplayPause() { engine_.RecordReplayPause(); }

void frmRecordPlay::Form_Unload() {
    PrintDocs().RecordPrintDoc.reset();
    ViewWindow::Form_Unload();
    TimerSpeed->stop();
    const RecordInfo* r = Record();
    if (r && r->ReplayStatus == StateReplaying) engine_.RecordReplayPause();
    TimerInterval->stop();
}

// ---- Opening a record file -------------------------------------------------------

void frmRecordPlay::cmdRun_Click() {
    const bool zh = Shell().UILanguage == LangChinese;
    QPointer<frmRecordPlay> self(this);
    const QString path = GetOpenFileName(zh ? QString::fromUtf8("打开波形录制文件") : QStringLiteral("Open Record Files"),
                                         zh ? QString::fromUtf8("录制文件 (*.rcd)|*.rcd")
                                            : QStringLiteral("Record Files (*.rcd)|*.rcd"),
                                         this);
    if (!self || path.isEmpty()) return;
    OpenRecordFile(path);
}

bool frmRecordPlay::OpenRecordFile(const QString& path) {
    RecordContent content;
    QString reason;
    switch (ReadRecordFile(path, content, &reason)) {
    case RecordError::None: break;
    case RecordError::FormatError: MsgBox(MessageTable().MsgFileFormatError); return false;
    case RecordError::InflateFailed: MsgBox(MessageTable().MsgFileFail); return false;
    case RecordError::ChannelOff: MsgBox(MessageTable().MsgBadChannelData); return false;
    case RecordError::ChangedWhileRead:
        MsgBox(ReadRefusalText({ReadRefusal::Changed, {}}, MessageTable().MsgFileFail), vbCritical);
        return false;
    case RecordError::Unreadable:
        MsgBox(ReadRefusalText(ReadRefusal::Unopened(reason), MessageTable().MsgFileFail), vbCritical);
        return false;
    }
    RecordInfo* r = Record();
    if (!r) return false;
    CommitRecordContent(*r, std::move(content), path);
    setWindowTitle(ViewTitle(ViewRecord, Slot()));
    engine_.RecordLoaded();
    SheetDoc().SetModified(true);
    return true;
}

// ---- Picture export, printing and the background schemes ----------------------------

void frmRecordPlay::FlatBttn1_Click() {
    if (const RecordInfo* r = Record(); r && r->ReplayStatus == StateReplaying) engine_.RecordReplayPause();
    // The picture as it stands on screen.
    ExportPictureBmp(RecordWavePic->Picture, this);
}

void frmRecordPlay::PrintOrPreview(bool preview) {
    const RecordInfo* r = Record();
    if (!r || !r->DisplayActive) return;
    if (r->ReplayStatus == StateReplaying) engine_.RecordReplayPause();
    // The frame drawn afresh on a picture of 700 x 500 pixels.
    const QImage picture = RenderRecordPicture(PrintPictureSize, *r, CurrentStyle(ZoomFactor));
    QPointer<frmRecordPlay> self(this);
    PreviewOrPrintPicture(picture, PrintSlot::Record, !preview, this);
    if (self) Form_Resize();
}

void frmRecordPlay::FlatBttn2_Click() { PrintOrPreview(false); }
void frmRecordPlay::FlatBttn3_Click() { PrintOrPreview(true); }

void frmRecordPlay::SetScheme(bool black) {
    for (QWidget* w : {RecordBackPic, static_cast<QWidget*>(RecordWavePic)}) {
        QPalette pal = w->palette();
        pal.setColor(QPalette::Window, RecordBackground(black));
        w->setPalette(pal);
    }
}

void frmRecordPlay::FlatBttn4_Click() {
    RecordInfo* r = Record();
    if (!r || r->BlackBackground) return;
    SetScheme(true);
    r->BlackBackground = true;
    SheetDoc().SetModified(true);
    Form_Resize();
}

void frmRecordPlay::FlatBttn5_Click() {
    RecordInfo* r = Record();
    if (!r || !r->BlackBackground) return;
    SetScheme(false);
    r->BlackBackground = false;
    SheetDoc().SetModified(true);
    Form_Resize();
}

void RegisterRecordWindow() {
    SetViewFormFactory(ViewRecord, [](int) -> QWidget* {
        auto* form = new frmRecordPlay;
        form->Form_Load();
        return form;
    });
    SheetFileHooks().RecordReplayPause = [](int slot) {
        if (auto* form = qobject_cast<frmRecordPlay*>(ExistingViewForm(ViewRecord, slot)))
            form->RecordReplayPause();
    };
}
